// The game's rules over plain data: random ranges, shuffle, deal, patterns, turns, winner.
#include "host/ballboard.h"
#include "host/bingocard.h"
#include "host/loginname.h"
#include "host/patterns.h"
#include "host/randomrange.h"
#include "host/tablerules.h"
#include "host/turnorder.h"
#include "host/winner.h"

#include <QTest>

#include <numeric>
#include <set>

using namespace rules;

namespace {

// A card drawn as five rows, top to bottom, each five columns B to O: '#' covered.
Card cardFromRows(const QStringList& rows)
{
    Card card;
    for (int y = 1; y <= cardSide; ++y)
        for (int x = 1; x <= cardSide; ++x)
            card.at(x, y) = rows.at(y - 1).at(x - 1) == u'#' ? 0 : 15 * (x - 1) + y;
    return card;
}

} // namespace

class tst_Rules : public QObject {
    Q_OBJECT

private slots:
    void randomRangeStaysInBounds();
    void randomRangeIsSeededAndPortable();
    void bobCountIsClamped_data();
    void bobCountIsClamped();
    void shuffleInvariants();
    void dealInvariants();
    void goldenSeededDeal();
    void cellsHoldingFindsBothCards();
    void patterns_data();
    void patterns();
    void drawnNumbers();
    void computerPickTakesHiddenPositions();
    void roundMembership_data();
    void roundMembership();
    void turnOrder();
    void winner_data();
    void winner();
    void loginNames_data();
    void loginNames();
    void picks_data();
    void picks();
    void covers_data();
    void covers();
    void seatForConnection_data();
    void seatForConnection();
    void startValuesDefault();
};

void tst_Rules::randomRangeStaysInBounds()
{
    std::mt19937 rng(7);
    std::set<int> seen;
    for (int i = 0; i < 5000; ++i) {
        const int v = randomInRange(rng, 1, 75);
        QVERIFY(v >= 1 && v <= 75);
        seen.insert(v);
    }
    QCOMPARE(int(seen.size()), 75);
    QCOMPARE(randomInRange(rng, 4, 4), 4);
    for (int i = 0; i < 100; ++i) {
        const int v = randomInRange(rng, -3, 2);
        QVERIFY(v >= -3 && v <= 2);
    }
}

// The mapping is our own, so a seed gives the same draws with every standard library.
void tst_Rules::randomRangeIsSeededAndPortable()
{
    std::mt19937 rng(12345);
    QList<int> draws;
    for (int i = 0; i < 8; ++i)
        draws << randomInRange(rng, 1, 75);
    std::mt19937 again(12345);
    for (int i = 0; i < 8; ++i)
        QCOMPARE(randomInRange(again, 1, 75), draws.at(i));
    // mt19937(12345) starts 3992670690, 3823185381, ...; modulo 75 plus 1.
    QCOMPARE(draws.at(0), int(3992670690u % 75) + 1);
    QCOMPARE(draws.at(1), int(3823185381u % 75) + 1);
}

void tst_Rules::bobCountIsClamped_data()
{
    QTest::addColumn<int>("requested");
    QTest::addColumn<int>("used");
    QTest::newRow("nine") << 9 << 5;
    QTest::newRow("one") << 1 << 3;
    QTest::newRow("negative") << -4 << 3;
    QTest::newRow("three") << 3 << 3;
    QTest::newRow("four") << 4 << 4;
    QTest::newRow("five") << 5 << 5;
}

void tst_Rules::bobCountIsClamped()
{
    QFETCH(int, requested);
    QFETCH(int, used);
    QCOMPARE(clampedBobCount(requested), used);
    std::mt19937 rng(1);
    const Board board = shuffledBoard(rng, requested);
    int bobs = 0;
    for (const BoardSlot& s : board.balls)
        bobs += s.value == bobValue ? 1 : 0;
    QCOMPARE(bobs, used);
}

void tst_Rules::shuffleInvariants()
{
    for (int bobCount = minBobCount; bobCount <= maxBobCount; ++bobCount) {
        for (unsigned seed = 0; seed < 300; ++seed) {
            std::mt19937 rng(seed);
            const Board board = shuffledBoard(rng, bobCount);
            int bobs = 0;
            std::set<int> numbers;
            for (int position = 1; position <= boardPositions; ++position) {
                const BoardSlot& s = board.slot(position);
                QVERIFY(!s.revealed);
                if (s.value == bobValue) {
                    QVERIFY2(position <= visiblePositions, "Zorer Aru ball off the board");
                    ++bobs;
                    continue;
                }
                QVERIFY(s.value >= 1 && s.value <= highestNumber);
                QVERIFY2(numbers.insert(s.value).second, "number placed twice");
            }
            QCOMPARE(bobs, bobCount);
            QCOMPARE(int(numbers.size()), boardPositions - bobCount);
        }
    }
}

void tst_Rules::dealInvariants()
{
    for (unsigned seed = 0; seed < 500; ++seed) {
        std::mt19937 rng(seed);
        const CardPair cards = dealtCards(rng);
        for (const Card& card : cards) {
            std::set<int> numbers;
            for (int x = 1; x <= cardSide; ++x) {
                for (int y = 1; y <= cardSide; ++y) {
                    const int n = card.at(x, y);
                    if (x == 3 && y == 3) {
                        QCOMPARE(n, 0);
                        continue;
                    }
                    QVERIFY(n >= 15 * (x - 1) + 1 && n <= 15 * x);
                    QVERIFY2(numbers.insert(n).second, "number twice on one card");
                }
            }
        }
    }
}

// Pins a seeded deal, so a change to the draws (or their order) is seen.
void tst_Rules::goldenSeededDeal()
{
    std::mt19937 rng(2024);
    const CardPair cards = dealtCards(rng);
    QList<int> cells;
    for (const Card& card : cards)
        for (int x = 1; x <= cardSide; ++x)
            for (int y = 1; y <= cardSide; ++y)
                cells << card.at(x, y);
    // clang-format off
    const QList<int> golden = {
        3, 6, 5, 4, 11,      27, 24, 25, 18, 20,  37, 44, 0, 31, 39,
        52, 51, 56, 48, 59,  67, 74, 70, 72, 75,
        13, 12, 6, 14, 7,    18, 27, 23, 21, 17,  31, 34, 0, 43, 45,
        56, 46, 48, 60, 53,  65, 73, 64, 63, 67,
    };
    // clang-format on
    QCOMPARE(cells, golden);
}

void tst_Rules::cellsHoldingFindsBothCards()
{
    CardPair cards{cardFromRows({".....", ".....", "..#..", ".....", "....."}),
                   cardFromRows({".....", ".....", "..#..", ".....", "....."})};
    cards[1].at(2, 4) = 99;
    cards[0].at(5, 1) = 99;
    const std::vector<CellRef> expected{{1, 5, 1}, {2, 2, 4}};
    QVERIFY(cellsHolding(cards, 99) == expected);
    QVERIFY(cellsHolding(cards, 0).empty());
    QVERIFY(cellsHolding(cards, 77).empty());
}

void tst_Rules::patterns_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QList<int>>("points"); // covered, line, corners, cross, X, square, blackout

    const auto row = [](const char* name, const QStringList& rows, const QList<int>& points) {
        QTest::newRow(name) << rows << points;
    };
    row("centre only", {".....", ".....", "..#..", ".....", "....."}, {1, 0, 0, 0, 0, 0, 0});
    row("cross", {"..#..", "..#..", "#####", "..#..", "..#.."}, {9, 20, 0, 25, 0, 0, 0});
    // The four corners lie on the diagonals, so the X also earns the corners.
    row("diagonals", {"#...#", ".#.#.", "..#..", ".#.#.", "#...#"}, {9, 20, 15, 0, 20, 0, 0});
    row("border", {"#####", "#...#", "#.#.#", "#...#", "#####"}, {17, 40, 15, 0, 0, 25, 0});
    row("full", {"#####", "#####", "#####", "#####", "#####"}, {25, 120, 15, 25, 20, 25, 100});
    row("corners only", {"#...#", ".....", "..#..", ".....", "#...#"}, {5, 0, 15, 0, 0, 0, 0});
    row("one column", {"#....", "#....", "#.#..", "#....", "#...."}, {6, 10, 0, 0, 0, 0, 0});
    row("one diagonal", {"#....", ".#...", "..#..", "...#.", "....#"}, {5, 10, 0, 0, 0, 0, 0});
    row("all but one", {"#####", "#####", "#####", "#####", "####."}, {24, 90, 0, 25, 0, 0, 0});
}

void tst_Rules::patterns()
{
    QFETCH(QStringList, rows);
    QFETCH(QList<int>, points);
    const Card card = cardFromRows(rows);
    for (int p = 0; p < patternCount; ++p)
        QCOMPARE(patternPoints(Pattern(p), card), points.at(p));
    // Both cards alike: each is scored on its own and the two are added.
    const PatternScores scores = scoreCards({card, card});
    QList<int> doubled;
    for (int p : points)
        doubled << 2 * p;
    QCOMPARE(QList<int>(scores.begin(), scores.end()), doubled);
    QCOMPARE(roundTotal(scores), std::accumulate(doubled.begin(), doubled.end(), 0));
}

void tst_Rules::drawnNumbers()
{
    std::mt19937 rng(11);
    Board board = shuffledBoard(rng, 5);
    const int hidden = board.slot(10).value;
    QVERIFY(!isDrawn(board, hidden));
    board.slot(10).revealed = true;
    QVERIFY(isDrawn(board, hidden) || hidden == bobValue);
    QVERIFY(!isDrawn(board, 0));
    // Positions 73 to 75 are never on the board, even if flagged.
    board.slot(74).revealed = true;
    QVERIFY(!isDrawn(board, board.slot(74).value));
    QCOMPARE(revealedVisibleCount(board), 1);
}

void tst_Rules::computerPickTakesHiddenPositions()
{
    std::mt19937 rng(5);
    Board board = shuffledBoard(rng, 5);
    for (int pick = 0; pick < visiblePositions; ++pick) {
        const int position = randomHiddenPosition(board, rng);
        QVERIFY(Board::isVisible(position));
        QVERIFY(!board.slot(position).revealed);
        board.slot(position).revealed = true;
    }
    QCOMPARE(randomHiddenPosition(board, rng), 0);
}

void tst_Rules::roundMembership_data()
{
    QTest::addColumn<int>("gametype");
    QTest::addColumn<QList<int>>("connected");
    QTest::addColumn<QList<int>>("inround");
    QTest::newRow("type 1 alone") << 1 << QList<int>{1} << QList<int>{1, 2};
    QTest::newRow("type 2 alone") << 2 << QList<int>{1} << QList<int>{1, 2, 3, 4};
    QTest::newRow("type 3 alone") << 3 << QList<int>{1} << QList<int>{1, 2, 3, 4, 5, 6, 7};
    QTest::newRow("type 1, person in 6") << 1 << QList<int>{1, 6} << QList<int>{1, 2, 6};
    QTest::newRow("type 2, person in 6") << 2 << QList<int>{1, 6} << QList<int>{1, 2, 3, 4, 6};
    QTest::newRow("unreadable type acts as 1") << 10 << QList<int>{1} << QList<int>{1, 2};
    QTest::newRow("host gone") << 1 << QList<int>{} << QList<int>{1, 2};
}

void tst_Rules::roundMembership()
{
    QFETCH(int, gametype);
    QFETCH(QList<int>, connected);
    QFETCH(QList<int>, inround);
    TableSeats seats{};
    for (int seat : connected)
        seats[std::size_t(seat - 1)].connected = true;
    seats[6].inround = true; // left over from an earlier round
    markRoundSeats(seats, gametype);
    QList<int> got;
    for (int seat = 1; seat <= table::playingSeats; ++seat)
        if (seats[std::size_t(seat - 1)].inround)
            got << seat;
    QCOMPARE(got, inround);
}

void tst_Rules::turnOrder()
{
    TableSeats seats{};
    seats[0] = {true, true};
    seats[1] = {false, true};
    QCOMPARE(nextTurn(seats, 0), 1);
    QCOMPARE(nextTurn(seats, 1), 2);
    QCOMPARE(nextTurn(seats, 2), 1);

    // A person who joined mid-round is taken in when the order reaches the seat.
    seats[4].connected = true;
    QCOMPARE(nextTurn(seats, 2), 5);
    QVERIFY(seats[4].inround);
    QCOMPARE(nextTurn(seats, 5), 1);
    QCOMPARE(nextTurn(seats, 7), 1);

    // A seat that is the only one in the round gets the turn again.
    TableSeats alone{};
    alone[2].inround = true;
    QCOMPARE(nextTurn(alone, 3), 3);

    TableSeats nobody{};
    QCOMPARE(nextTurn(nobody, 4), 0);
}

void tst_Rules::winner_data()
{
    QTest::addColumn<QList<int>>("scores");
    QTest::addColumn<int>("playtoscore");
    QTest::addColumn<int>("seat");
    QTest::newRow("first round") << QList<int>{0, 0, 0, 0, 0, 0, 0} << 5 << 0;
    QTest::newRow("nobody there yet") << QList<int>{40, -6, 12, 0, 0, 0, 0} << 100 << 0;
    QTest::newRow("tie at the top plays on") << QList<int>{120, 20, 30, 40, 120, 0, 0} << 100 << 0;
    QTest::newRow("seat 3 ahead") << QList<int>{120, 20, 130, 40, 0, 0, 0} << 100 << 3;
    QTest::newRow("exactly the target") << QList<int>{5, 2, 0, 0, 0, 0, 0} << 5 << 1;
    QTest::newRow("tie below the leader") << QList<int>{90, 90, 0, 0, 0, 0, 101} << 100 << 7;
    QTest::newRow("all negative") << QList<int>{-10, -20, 0, 0, 0, 0, -5} << 1 << 0;
}

void tst_Rules::winner()
{
    QFETCH(QList<int>, scores);
    QFETCH(int, playtoscore);
    QFETCH(int, seat);
    SeatScores table{};
    std::copy(scores.begin(), scores.end(), table.begin());
    QCOMPARE(winningSeat(table, playtoscore), seat);
}

void tst_Rules::loginNames_data()
{
    QTest::addColumn<QByteArray>("received");
    QTest::addColumn<QByteArray>("stored");
    QTest::newRow("plain") << QByteArray("Mira") << QByteArray("Mira");
    QTest::newRow("empty") << QByteArray() << QByteArray();
    QTest::newRow("field separator") << QByteArray("a+b+") << QByteArray("a b ");
    QTest::newRow("colour bar") << QByteArray("x|clRed") << QByteArray("x clRed");
    QTest::newRow("line break") << QByteArray("one\r\ntwo") << QByteArray("one  two");
    QTest::newRow("terminator") << QByteArray("bad\xffname") << QByteArray("bad name");
    QTest::newRow("other bytes kept")
        << QByteArray("J\xe9r\xf4me 7") << QByteArray("J\xe9r\xf4me 7");
}

void tst_Rules::loginNames()
{
    QFETCH(QByteArray, received);
    QFETCH(QByteArray, stored);
    QCOMPARE(sanitisedLoginName(received), stored);
}

namespace {
// Position 1 revealed, 2 hidden, 3 emptied; card 1's cell (1, 1) holds the revealed number.
Board pickBoard()
{
    Board board;
    board.slot(1) = {7, true};
    board.slot(2) = {8, false};
    board.slot(3) = {0, false};
    return board;
}
} // namespace

void tst_Rules::picks_data()
{
    QTest::addColumn<int>("turn");
    QTest::addColumn<int>("seat");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("result");
    QTest::newRow("hidden ball") << 2 << 2 << 2 << int(Pick::Reveal);
    QTest::newRow("not the seat's turn") << 1 << 2 << 2 << int(Pick::OutOfTurn);
    QTest::newRow("in the pause after a pick") << 0 << 0 << 2 << int(Pick::OutOfTurn);
    QTest::newRow("revealed") << 2 << 2 << 1 << int(Pick::AlreadyRevealed);
    QTest::newRow("no ball there") << 2 << 2 << 3 << int(Pick::NoBall);
    QTest::newRow("past the board") << 2 << 2 << 73 << int(Pick::NoBall);
    QTest::newRow("zero") << 2 << 2 << 0 << int(Pick::NoBall);
    QTest::newRow("negative") << 2 << 2 << -1 << int(Pick::NoBall);
}

void tst_Rules::picks()
{
    QFETCH(int, turn);
    QFETCH(int, seat);
    QFETCH(int, position);
    QFETCH(int, result);
    QCOMPARE(int(checkPick(pickBoard(), turn, seat, position)), result);
}

void tst_Rules::covers_data()
{
    QTest::addColumn<int>("seat");
    QTest::addColumn<int>("card");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<bool>("allowed");
    QTest::newRow("drawn number") << 3 << 1 << 1 << 1 << true;
    QTest::newRow("not drawn") << 3 << 1 << 1 << 2 << false;
    QTest::newRow("covered cell") << 3 << 2 << 1 << 1 << false;
    QTest::newRow("spy seat") << 8 << 1 << 1 << 1 << false;
    QTest::newRow("card 3") << 3 << 3 << 1 << 1 << false;
    QTest::newRow("card 0") << 3 << 0 << 1 << 1 << false;
    QTest::newRow("column 6") << 3 << 1 << 6 << 1 << false;
    QTest::newRow("row 0") << 3 << 1 << 1 << 0 << false;
    QTest::newRow("row -1") << 3 << 1 << 1 << -1 << false;
}

void tst_Rules::covers()
{
    QFETCH(int, seat);
    QFETCH(int, card);
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(bool, allowed);
    CardPair cards{};
    cards[0].at(1, 1) = 7;
    cards[0].at(1, 2) = 8;
    QCOMPARE(checkCover(pickBoard(), seat, cards, {card, x, y}), allowed);
}

void tst_Rules::seatForConnection_data()
{
    QTest::addColumn<QList<int>>("taken");
    QTest::addColumn<int>("seatsused");
    QTest::addColumn<int>("seat");
    QTest::newRow("first") << QList<int>{} << 0 << 1;
    QTest::newRow("next") << QList<int>{1, 2} << 2 << 3;
    QTest::newRow("lowest freed first") << QList<int>{1, 4} << 5 << 2;
    QTest::newRow("all up to seatsused taken") << QList<int>{1, 2, 3} << 3 << 4;
    QTest::newRow("host gone") << QList<int>{2} << 2 << 1;
    QTest::newRow("ninth") << QList<int>{1, 2, 3, 4, 5, 6, 7, 8} << 8 << 9;
    QTest::newRow("full") << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9} << 9 << 0;
}

void tst_Rules::seatForConnection()
{
    QFETCH(QList<int>, taken);
    QFETCH(int, seatsused);
    QFETCH(int, seat);
    SeatsTaken seats{};
    for (int s : taken)
        seats[std::size_t(s - 1)] = true;
    QCOMPARE(seatFor(seats, seatsused), seat);
}

// Fields that are not numbers take the defaults; the ball count is clamped.
void tst_Rules::startValuesDefault()
{
    QCOMPARE(startValues({"Ann", {}, {}, {}, {}}), (StartValues{5, 10, 5, 10}));
    QCOMPARE(startValues({"Ann", -7, -2, 9, 2}), (StartValues{-7, -2, 5, 2}));
    QCOMPARE(startValues({"Ann", 50, 3, 1, 3}), (StartValues{50, 3, 3, 3}));
}

QTEST_GUILESS_MAIN(tst_Rules)
#include "tst_rules.moc"
