// Games on the host: starts and rounds, picks, covers, scoring, the winner, the timers.
#include "support/hostdriver.h"
#include "support/hosttable.h"

#include <QSignalSpy>
#include <QTest>

namespace {

const QByteArray FF(1, char(0xFF));

QByteArray num(int n)
{
    return QByteArray::number(n);
}

// The first hidden visible position holding a Zorer Aru ball (bob) or a number.
int hiddenPosition(const rules::Board& board, bool bob)
{
    for (int p = 1; p <= rules::visiblePositions; ++p)
        if (!board.slot(p).revealed && (board.slot(p).value == rules::bobValue) == bob)
            return p;
    return 0;
}

int positionOfNumber(const rules::Board& board, int number)
{
    for (int p = 1; p <= rules::visiblePositions; ++p)
        if (board.slot(p).value == number)
            return p;
    return 0;
}

int revealedCount(const rules::Board& board)
{
    int count = 0;
    for (int p = 1; p <= rules::boardPositions; ++p)
        count += board.slot(p).revealed ? 1 : 0;
    return count;
}

void startGame(HostDriver& d, int playtoscore, int penalty, int bobcount, int gametype)
{
    d.send(1, msg::startgame("Host", num(playtoscore), num(penalty), num(bobcount), gametype));
}

// Runs the timers until a person holds the turn, the game is over or a round was scored.
void settle(HostDriver& d)
{
    TServer& server = d.server();
    d.runTimers([&] { return server.timer1Active() && server.timer1Tag() == TServer::NextRound; });
}

// The seat holding the turn picks, then the timers run; true once the position is revealed.
bool pick(HostDriver& d, int seat, int position)
{
    if (seat == 0 || position == 0 || d.server().currentTurn() != seat)
        return false;
    d.send(seat, msg::chooseball(seat, position));
    const bool revealed = d.server().board().slot(position).revealed;
    settle(d);
    return revealed;
}

// Whoever holds the turn reveals Zorer Aru balls until the round is scored.
bool endRoundWithBobs(HostDriver& d)
{
    while (d.server().bobsRevealed() < rules::bobsEndingRound)
        if (!pick(d, d.server().currentTurn(), hiddenPosition(d.server().board(), true)))
            return false;
    return !d.named(1, cmd::scores).isEmpty();
}

// Harmless picks until seat holds the turn.
bool waitForTurnOf(HostDriver& d, int seat)
{
    while (d.server().currentTurn() != seat)
        if (!pick(d, d.server().currentTurn(), hiddenPosition(d.server().board(), false)))
            return false;
    return true;
}

// The first cell in row 1 of the seat's first card whose number is hidden on the board;
// x is 0 when there is none.
std::pair<int, int> hiddenCellInRowOne(const TServer& server, int seat)
{
    for (int x = 1; x <= 5; ++x) {
        const int p = positionOfNumber(server.board(), server.player(seat).card[0].at(x, 1));
        if (p != 0 && !server.board().slot(p).revealed)
            return {x, p};
    }
    return {0, 0};
}

QList<int> groupOf(const QByteArray& scores, int seat)
{
    const QList<int> n = numbersOf(scores);
    for (qsizetype i = 0; i + 9 < n.size(); i += 10)
        if (n[i] == seat)
            return n.mid(i, 10);
    return {};
}

} // namespace

class TestHostGame : public QObject {
    Q_OBJECT
private slots:
    void gameStart_data();
    void gameStart();
    void refusedPicks_data();
    void refusedPicks();
    void pickGoesToEveryone();
    void bobPenaltyTakenAtOnce();
    void coversAndTheRoundEnd();
    void scoresForPatterns_data();
    void scoresForPatterns();
    void tiePlaysOnThenAWinner();
    void departedWinnerIsAnnouncedByBotname();
    void lateJoinerPlaysWhenTheTurnReachesThem();
    void disconnectDuringOwnTurn();
    void gameStartCancelsPendingTimers();
};

void TestHostGame::gameStart_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QList<int>>("people"); // seats with a person besides seat 1
    QTest::addColumn<QByteArray>("relayed");
    QTest::addColumn<QList<int>>("values"); // play to score, penalty, Zorer Aru balls
    QTest::addColumn<QByteArray>("roundstart");
    const QByteArray type1 = "CMD_roundstart+1+3+0+4+0+5+0+6+0+7+0";
    QTest::newRow("as sent") << QByteArray("Host+50+3+4+2+") << QList<int>{}
                             << QByteArray("CMD_startgame+Host+50+") << QList<int>{50, 3, 4}
                             << QByteArray("CMD_roundstart+1+3+1+4+1+5+0+6+0+7+0");
    QTest::newRow("not numbers") << QByteArray("Host+abc+x+?+y+") << QList<int>{}
                                 << QByteArray("CMD_startgame+Host+5+") << QList<int>{5, 10, 5}
                                 << type1;
    QTest::newRow("too many balls")
        << QByteArray("Host+100+10+9+3+") << QList<int>{} << QByteArray("CMD_startgame+Host+100+")
        << QList<int>{100, 10, 5} << QByteArray("CMD_roundstart+1+3+1+4+1+5+1+6+1+7+1");
    QTest::newRow("too few balls") << QByteArray("Host+100+10+1+1+") << QList<int>{}
                                   << QByteArray("CMD_startgame+Host+100+")
                                   << QList<int>{100, 10, 3} << type1;
    QTest::newRow("fields missing") << QByteArray("Host") << QList<int>{}
                                    << QByteArray("CMD_startgame+Host+5+") << QList<int>{5, 10, 5}
                                    << type1;
    QTest::newRow("taken as received")
        << QByteArray("Ho st+-7+-2+4+7+") << QList<int>{} << QByteArray("CMD_startgame+Ho st+-7+")
        << QList<int>{-7, -2, 4} << type1;
    QTest::newRow("type 1 alone") << QByteArray("Host+100+10+5+1+") << QList<int>{}
                                  << QByteArray("CMD_startgame+Host+100+")
                                  << QList<int>{100, 10, 5} << type1;
    QTest::newRow("type 1, person in 6")
        << QByteArray("Host+100+10+5+1+") << QList<int>{6}
        << QByteArray("CMD_startgame+Host+100+") << QList<int>{100, 10, 5}
        << QByteArray("CMD_roundstart+1+3+0+4+0+5+0+6+1+7+0");
    QTest::newRow("type 2, person in 6")
        << QByteArray("Host+100+10+5+2+") << QList<int>{6}
        << QByteArray("CMD_startgame+Host+100+") << QList<int>{100, 10, 5}
        << QByteArray("CMD_roundstart+1+3+1+4+1+5+0+6+1+7+0");
    QTest::newRow("type 1, spy in 8") << QByteArray("Host+100+10+5+1+") << QList<int>{8}
                                      << QByteArray("CMD_startgame+Host+100+")
                                      << QList<int>{100, 10, 5} << type1;
}

void TestHostGame::gameStart()
{
    QFETCH(QByteArray, body);
    QFETCH(QList<int>, people);
    QFETCH(QByteArray, relayed);
    QFETCH(QList<int>, values);
    QFETCH(QByteArray, roundstart);
    HostDriver d;
    d.join("Host");
    for (int seat = 2; seat <= (people.isEmpty() ? 1 : people.last()); ++seat)
        QCOMPARE(d.join(QString("P%1").arg(seat)), seat);
    for (int seat = 2; seat <= table::maxSeats; ++seat)
        if (!people.contains(seat))
            d.drop(seat);
    const int from = int(d.received(1).size());
    d.send(1, "CMD_startgame+" + body + FF);
    const QByteArrayList after = d.received(1).mid(from);
    QCOMPARE(after.size(), 4);
    QCOMPARE(after, (QByteArrayList{relayed, roundstart, after.at(2), "CMD_nextplayer+1+"}));
    QVERIFY(after.at(2).startsWith("CMD_myboard+1+"));
    for (int seat : people) {
        QCOMPARE(d.named(seat, cmd::roundstart), QByteArrayList{roundstart});
        QCOMPARE(d.named(seat, cmd::myboard).size(), seat <= table::playingSeats ? 1 : 0);
    }
    const TServer& server = d.server();
    QCOMPARE((QList<int>{server.playToScore(), server.bobPenalty(), server.bobCount()}), values);
    int placed = 0;
    for (int p = 1; p <= rules::boardPositions; ++p)
        placed += server.board().slot(p).value == rules::bobValue ? 1 : 0;
    QCOMPARE(placed, values[2]);
    QVERIFY(server.gameRunning());
    QVERIFY(d.errors.errors.isEmpty());
}

namespace {
// When a refused pick is sent: seat 1 holds the turn, seat 1 has just picked (the pause
// before the next turn), or seat 1 picked and seat 2 holds the turn.
enum Moment { SeatOnesTurn, Pause, SeatTwosTurn };
} // namespace

void TestHostGame::refusedPicks_data()
{
    QTest::addColumn<int>("moment");
    QTest::addColumn<int>("seat");
    QTest::addColumn<QByteArray>("position"); // "hidden", or what seat 1 picked: "picked"
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<int>("errors");
    const QByteArray noBall = "CMD_invalid+1+2+";
    QTest::newRow("out of turn") << int(SeatOnesTurn) << 2 << QByteArray("hidden") << QByteArray()
                                 << 0;
    QTest::newRow("in the pause") << int(Pause) << 1 << QByteArray("hidden") << QByteArray() << 0;
    QTest::newRow("revealed") << int(SeatTwosTurn) << 2 << QByteArray("picked")
                              << QByteArray("CMD_invalid+2+1+") << 0;
    for (const char* position : {"0", "-1", "73", "75", "100"})
        QTest::addRow("position %s", position)
            << int(SeatOnesTurn) << 1 << QByteArray(position) << noBall << 0;
    QTest::newRow("not a number") << int(SeatOnesTurn) << 1 << QByteArray("007x") << QByteArray()
                                  << 1;
}

// A refused pick reveals nothing, keeps the turn where it is and tells only the sender.
void TestHostGame::refusedPicks()
{
    QFETCH(int, moment);
    QFETCH(int, seat);
    QFETCH(QByteArray, position);
    QFETCH(QByteArray, answer);
    QFETCH(int, errors);
    HostDriver d;
    d.join("Host");
    d.join("Ann");
    startGame(d, 100, 10, 5, 1);
    const rules::Board& board = d.server().board();
    const int picked = hiddenPosition(board, false);
    if (moment != SeatOnesTurn)
        d.send(1, msg::chooseball(1, picked));
    if (moment == SeatTwosTurn)
        settle(d);
    const int turn = d.server().currentTurn();
    const int revealed = revealedCount(board);
    const int from1 = int(d.received(1).size()), from2 = int(d.received(2).size());
    if (position == "hidden")
        position = num(hiddenPosition(board, false));
    else if (position == "picked")
        position = num(picked);
    d.send(seat, "CMD_chooseball+" + num(seat) + '+' + position + '+' + FF);
    const QByteArrayList expected = answer.isEmpty() ? QByteArrayList{} : QByteArrayList{answer};
    QCOMPARE(d.received(seat).mid(seat == 1 ? from1 : from2), expected);
    QCOMPARE(int(d.received(3 - seat).size()), seat == 1 ? from2 : from1);
    QCOMPARE(d.server().currentTurn(), turn);
    QCOMPARE(revealedCount(board), revealed);
    QCOMPARE(int(d.errors.errors.size()), errors);
}

void TestHostGame::pickGoesToEveryone()
{
    HostDriver d;
    d.join("Host");
    d.join("Ann");
    startGame(d, 100, 10, 5, 1);
    const int first = hiddenPosition(d.server().board(), false);
    const int value = d.server().board().slot(first).value;
    const int from = int(d.received(2).size());
    d.send(1, msg::chooseball(1, first));
    QCOMPARE(d.received(2).mid(from),
             QByteArrayList{"CMD_chooseball+1+" + num(first) + '+' + num(value) + "+0+0+10+"});
    settle(d);
    QCOMPARE(d.received(2).last(), QByteArray("CMD_nextplayer+2+"));
    QVERIFY(pick(d, 2, hiddenPosition(d.server().board(), false)));
    // With seats 3 to 7 out of the round the turn goes back to seat 1.
    QCOMPARE(d.received(2).last(), QByteArray("CMD_nextplayer+1+"));
}

void TestHostGame::bobPenaltyTakenAtOnce()
{
    HostDriver d;
    d.join("Host");
    d.join("Ann");
    startGame(d, 1000, 10, 5, 1);
    const rules::Board& board = d.server().board();
    // Two rounds in which Ann reveals every Zorer Aru ball and seat 1 covers nothing.
    for (int round = 1; round <= 2; ++round) {
        QCOMPARE(d.server().roundNumber(), round);
        for (int i = 0; i < 3; ++i) {
            QVERIFY(pick(d, 1, hiddenPosition(board, false)));
            QVERIFY(pick(d, 2, hiddenPosition(board, true)));
        }
        QVERIFY(d.named(1, cmd::scores).last().startsWith("CMD_scores+1+" + num(2 * round) + "+2+"));
        d.runTimers();
    }
    QCOMPARE(d.server().roundNumber(), 3);
    QCOMPARE(d.server().player(1).score, 4);
    const int bob = hiddenPosition(board, true);
    QVERIFY(pick(d, 1, bob));
    QCOMPARE(d.named(2, cmd::chooseball).last(), "CMD_chooseball+1+" + num(bob) + "+77+1+-6+10+");
    QVERIFY(pick(d, 2, hiddenPosition(board, false)));
    const int ordinary = hiddenPosition(board, false);
    const int value = board.slot(ordinary).value;
    QVERIFY(pick(d, 1, ordinary));
    QCOMPARE(d.named(2, cmd::chooseball).last(),
             "CMD_chooseball+1+" + num(ordinary) + '+' + num(value) + "+1+-6+10+");
}

void TestHostGame::coversAndTheRoundEnd()
{
    HostDriver d;
    d.join("Host");
    d.join("Ann");
    startGame(d, 1000, 10, 5, 1);
    const rules::Board& board = d.server().board();
    const rules::CardPair cards = cardsOf(d.named(1, cmd::myboard).last());
    QVERIFY(cards == d.server().player(1).card);

    // Three numbers of seat 1's first card that are on the board.
    QList<rules::CellRef> cells;
    QList<int> positions;
    for (int x = 1; x <= 5 && cells.size() < 3; ++x)
        for (int y = 1; y <= 5 && cells.size() < 3; ++y) {
            const int p = positionOfNumber(board, cards[0].at(x, y));
            if (cards[0].at(x, y) != 0 && p != 0) {
                cells.append({1, x, y});
                positions.append(p);
            }
        }
    QCOMPARE(cells.size(), 3);
    QVERIFY(pick(d, 1, positions[0]));
    QVERIFY(pick(d, 2, positions[1]));
    QVERIFY(pick(d, 1, positions[2]));

    int undrawn = 0;
    for (int x = 1; x <= 5 && !undrawn; ++x)
        if (!rules::isDrawn(board, cards[1].at(x, 1)))
            undrawn = x;
    const auto coverit = [](const rules::CellRef& c) {
        return "CMD_coverit+1+1+" + num(c.x) + '+' + num(c.y) + '+';
    };
    const auto raw = [](const QByteArray& fields) { return "CMD_cover+1+" + fields + '+' + FF; };
    const QByteArray refused = "CMD_errored+1+3+";
    // Each cover in turn and seat 1's answer; an empty answer is none (a field error).
    const QList<std::pair<QByteArray, QByteArray>> covers{
        {msg::cover(1, 1, cells[0].x, cells[0].y), coverit(cells[0])}, // revealed 3 picks ago
        {msg::cover(1, 1, cells[0].x, cells[0].y), refused},            // covered already
        {msg::cover(1, 1, 3, 3), refused},                              // the free centre
        {msg::cover(1, 2, undrawn, 1), refused},                        // not drawn
        {raw("3+" + num(cells[1].x) + num(cells[1].y)), refused},       // no such card
        {raw("0+11"), refused},
        {raw("1+06"), refused},
        {raw("1+61"), refused},
        {raw("1+123"), refused},
        {raw("1+1"), {}}, // no row
        {raw("1+-11"), {}},
        {raw("1+x5"), {}},
        {msg::cover(1, 1, cells[1].x, cells[1].y), coverit(cells[1])},
    };
    for (const auto& [sent, answer] : covers) {
        const int from = int(d.received(1).size());
        d.send(1, sent);
        QCOMPARE(d.received(1).mid(from),
                 answer.isEmpty() ? QByteArrayList{} : QByteArrayList{answer});
    }
    QCOMPARE(d.errors.errors.size(), 3);
    QVERIFY(d.named(2, cmd::coverit).isEmpty() && d.named(2, cmd::errored).isEmpty());
    QCOMPARE(d.server().player(1).card[0].at(cells[0].x, cells[0].y), 0);
    QCOMPARE(d.server().player(1).card[0].at(cells[2].x, cells[2].y),
             cards[0].at(cells[2].x, cells[2].y));

    // The third Zorer Aru ball ends the round: the scores follow with no turn between,
    // and with five placed the last two stay hidden.
    QVERIFY(endRoundWithBobs(d));
    const QByteArrayList& all = d.received(1);
    const qsizetype lastPick = all.lastIndexOf(d.named(1, cmd::chooseball).last());
    QVERIFY(all.at(lastPick).contains("+77+3+"));
    QVERIFY(all.at(lastPick + 1).startsWith("CMD_scores+"));
    int hiddenBobs = 0;
    for (int p = 1; p <= rules::visiblePositions; ++p)
        hiddenBobs += board.slot(p).value == rules::bobValue && !board.slot(p).revealed ? 1 : 0;
    QCOMPARE(hiddenBobs, 2);
    const QList<int> seatOne = groupOf(d.named(1, cmd::scores).last(), 1);
    QCOMPARE(seatOne.mid(2), (QList<int>{4, 4, 0, 0, 0, 0, 0, 0}));
}

void TestHostGame::scoresForPatterns_data()
{
    QTest::addColumn<QStringList>("first");
    QTest::addColumn<QStringList>("second");
    QTest::addColumn<QList<int>>("group"); // round, then the seven patterns
    // The patterns themselves are tables in tst_rules; this row shows the host adds both
    // cards' points per pattern and sends them in order.
    const QStringList cross{"..#..", "..#..", "#####", "..#..", "..#.."};
    const QStringList border{"#####", "#...#", "#.#.#", "#...#", "#####"};
    QTest::newRow("border and cross")
        << border << cross << QList<int>{151, 26, 60, 15, 25, 0, 25, 0};
}

// The round's points travel in CMD_scores as the patterns' tables give them.
void TestHostGame::scoresForPatterns()
{
    QFETCH(QStringList, first);
    QFETCH(QStringList, second);
    QFETCH(QList<int>, group);
    HostDriver d;
    d.join("Host");
    d.join("Ann");

    // Deal until every number the pattern needs is on the board.
    QList<rules::CellRef> cells;
    QList<int> positions;
    bool feasible = false;
    for (int attempt = 0; attempt < 300 && !feasible; ++attempt) {
        startGame(d, 100000, 0, 3, 1);
        const rules::CardPair cards = cardsOf(d.named(1, cmd::myboard).last());
        cells.clear();
        positions.clear();
        feasible = true;
        for (int card = 1; card <= 2; ++card)
            for (int x = 1; x <= 5; ++x)
                for (int y = 1; y <= 5; ++y) {
                    const int n = cards[std::size_t(card - 1)].at(x, y);
                    if ((card == 1 ? first : second)[y - 1][x - 1] != u'#' || n == 0)
                        continue;
                    const int p = positionOfNumber(d.server().board(), n);
                    feasible = feasible && p != 0;
                    cells.append({card, x, y});
                    if (!positions.contains(p))
                        positions.append(p);
                }
    }
    QVERIFY(feasible);

    for (int i = 0; i < positions.size(); ++i)
        QVERIFY(pick(d, i % 2 + 1, positions[i]));
    const int from = int(d.received(1).size());
    for (const rules::CellRef& c : cells)
        d.send(1, msg::cover(1, c.card, c.x, c.y));
    QCOMPARE(d.named(1, cmd::coverit, from).size(), cells.size());
    QVERIFY(endRoundWithBobs(d));
    const QByteArray scores = d.named(1, cmd::scores).last();
    QCOMPARE(groupOf(scores, 1), (QList<int>{1, group[0]} + group));
    QCOMPARE(groupOf(scores, 2), (QList<int>{2, 2, 2, 2, 0, 0, 0, 0, 0, 0}));
    QCOMPARE(numbersOf(scores).size(), 20);
}

void TestHostGame::tiePlaysOnThenAWinner()
{
    HostDriver d;
    d.join("Host");
    d.join("Ann");
    QSignalSpy won(&d.server(), &TServer::gameWon);
    startGame(d, 2, 0, 5, 1);
    // Both reach the target with 2 each: a tie, so round 2 is played.
    QVERIFY(endRoundWithBobs(d));
    d.runTimers();
    QVERIFY(d.named(1, cmd::roundstart).last().startsWith("CMD_roundstart+2+"));
    QVERIFY(d.named(1, cmd::winner).isEmpty());
    QVERIFY(d.server().gameRunning());

    // Seat 1 covers one number this round and is ahead 5 to 4.
    QVERIFY(waitForTurnOf(d, 1));
    const auto [x, p] = hiddenCellInRowOne(d.server(), 1);
    QVERIFY(pick(d, 1, p));
    d.send(1, msg::cover(1, 1, x, 1));
    QCOMPARE(d.received(1).last(), "CMD_coverit+1+1+" + num(x) + "+1+");
    QVERIFY(endRoundWithBobs(d));
    d.runTimers();
    QCOMPARE(d.named(2, cmd::winner), QByteArrayList{"CMD_winner+Host+"});
    QCOMPARE(d.received(2).last(), QByteArray("CMD_winner+Host+"));
    QVERIFY(!d.server().gameRunning());
    QCOMPARE(won.size(), 1);
    QCOMPARE(won.first().first().toInt(), 1);
    QCOMPARE(d.server().currentTurn(), 0);
    QVERIFY(!d.server().timer1Active() && !d.server().computertimerActive());
}

void TestHostGame::departedWinnerIsAnnouncedByBotname()
{
    HostDriver d;
    d.join("Host");
    d.join("Ann");
    startGame(d, 3, 0, 5, 1);
    const auto [x, p] = hiddenCellInRowOne(d.server(), 2);
    QVERIFY(pick(d, 1, p));
    d.send(2, msg::cover(2, 1, x, 1));
    QCOMPARE(d.received(2).last(), "CMD_coverit+2+1+" + num(x) + "+1+");
    // Ann leaves ahead; the computer plays her seat under its own name.
    d.drop(2);
    QCOMPARE(d.named(1, cmd::playerdisconnected), QByteArrayList{"CMD_playerdisconnected+2+Ann"});
    settle(d);
    QVERIFY(endRoundWithBobs(d));
    d.runTimers();
    QCOMPARE(d.named(1, cmd::winner), QByteArrayList{"CMD_winner+Klot+"});
}

void TestHostGame::lateJoinerPlaysWhenTheTurnReachesThem()
{
    HostDriver d;
    d.join("Host");
    startGame(d, 100, 10, 5, 1);
    QCOMPARE(d.join("Ann"), 2); // the computer's until now
    QCOMPARE(d.join("Bo"), 3);  // not in the round yet
    QVERIFY(!d.server().player(3).inround);
    QVERIFY(pick(d, 1, hiddenPosition(d.server().board(), false)));
    QCOMPARE(d.received(3).last(), QByteArray("CMD_nextplayer+2+"));
    QVERIFY(!d.server().computertimerActive());
    QVERIFY(pick(d, 2, hiddenPosition(d.server().board(), false)));
    QCOMPARE(d.received(3).last(), QByteArray("CMD_nextplayer+3+"));
    QVERIFY(d.server().player(3).inround);
}

void TestHostGame::disconnectDuringOwnTurn()
{
    HostDriver d;
    d.join("Host");
    d.join("Ann");
    startGame(d, 100, 10, 5, 1);
    QVERIFY(pick(d, 1, hiddenPosition(d.server().board(), false)));
    QCOMPARE(d.received(1).last(), QByteArray("CMD_nextplayer+2+"));
    const int from = int(d.received(1).size());
    d.drop(2);
    QCOMPARE(d.received(1).mid(from),
             (QByteArrayList{"CMD_playerdisconnected+2+Ann", "CMD_nextplayer+2+"}));
    settle(d);
    QVERIFY(d.received(1).at(from + 2).startsWith("CMD_chooseball+2+"));
}

void TestHostGame::gameStartCancelsPendingTimers()
{
    HostDriver d;
    d.join("Host");
    startGame(d, 100, 10, 5, 1);
    // A pending next turn.
    d.send(1, msg::chooseball(1, hiddenPosition(d.server().board(), false)));
    QVERIFY(d.server().timer1Active());
    const int from = int(d.received(1).size());
    startGame(d, 100, 10, 5, 1);
    QCOMPARE(d.received(1).mid(from, 2),
             (QByteArrayList{"CMD_startgame+Host+100+", "CMD_roundstart+1+3+0+4+0+5+0+6+0+7+0"}));
    QVERIFY(!d.server().timer1Active() && !d.server().computertimerActive());
    QCOMPARE(d.server().currentTurn(), 1);
    QCOMPARE(d.server().roundNumber(), 1);

    // A pending computer pick, after the scores were made.
    d.send(1, msg::chooseball(1, hiddenPosition(d.server().board(), true)));
    d.runTimers([&] { return d.server().computertimerActive(); });
    QCOMPARE(d.received(1).last(), QByteArray("CMD_nextplayer+2+"));
    QCOMPARE(d.server().player(1).score, -10);
    startGame(d, 100, 10, 5, 1);
    QVERIFY(!d.server().timer1Active() && !d.server().computertimerActive());
    QCOMPARE(d.server().currentTurn(), 1);
    QCOMPARE(d.server().player(1).score, 0);
}

QTEST_GUILESS_MAIN(TestHostGame)
#include "tst_hostgame.moc"
