// Games on the host: starts and rounds, picks, covers, scoring, the winner, the timers.
#include "host/patterns.h"
#include "net/messages.h"
#include "support/hosttable.h"
#include "support/wire.h"

#include <QSignalSpy>
#include <QTest>

namespace {

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

// Waits for the seat's turn and picks; true once the host has revealed the position.
bool pick(HostTable& table, RawClient* client, int seat, int position)
{
    if (!QTest::qWaitFor([&] { return table.server().currentTurn() == seat; }, 10000))
        return false;
    const int from = int(client->received.size());
    client->sendRaw(msg::chooseball(seat, position));
    return client->waitFor("CMD_chooseball+" + num(seat) + '+' + num(position) + '+', from) >= 0;
}

// Plays Zorer Aru balls for whichever of the two seats holds the turn until the round ends.
bool endRoundWithBobs(HostTable& table, RawClient* one, RawClient* two)
{
    const int from = int(one->received.size());
    while (one->waitFor(cmd::scores, from, 0) < 0) {
        if (!QTest::qWaitFor(
                [&] {
                    return table.server().currentTurn() != 0 ||
                           one->waitFor(cmd::scores, from, 0) >= 0;
                },
                10000))
            return false;
        const int seat = table.server().currentTurn();
        if (seat == 0)
            break;
        if (!pick(table, seat == 1 ? one : two, seat, hiddenPosition(table.server().board(), true)))
            return false;
        if (table.server().bobsRevealed() >= rules::bobsEndingRound)
            break;
    }
    return one->waitFor(cmd::scores, from) >= 0;
}

// The other of two persons makes harmless picks until `seat` holds the turn.
bool waitForTurnOf(HostTable& table, RawClient* one, RawClient* two, int seat)
{
    for (;;) {
        if (!QTest::qWaitFor([&] { return table.server().currentTurn() != 0; }, 10000))
            return false;
        const int holder = table.server().currentTurn();
        if (holder == seat)
            return true;
        if (!pick(table, holder == 1 ? one : two, holder,
                  hiddenPosition(table.server().board(), false)))
            return false;
    }
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
    void gameStartSettings_data();
    void gameStartSettings();
    void roundstartFlags_data();
    void roundstartFlags();
    void picks();
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

void TestHostGame::gameStartSettings_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("relayed");
    QTest::addColumn<int>("playtoscore");
    QTest::addColumn<int>("penalty");
    QTest::addColumn<int>("bobs");
    QTest::addColumn<QByteArray>("roundstart");
    QTest::newRow("as sent") << QByteArray("Host+50+3+4+2+") << QByteArray("CMD_startgame+Host+50+")
                             << 50 << 3 << 4 << QByteArray("CMD_roundstart+1+3+1+4+1+5+0+6+0+7+0");
    QTest::newRow("not numbers") << QByteArray("Host+abc+x+?+y+")
                                 << QByteArray("CMD_startgame+Host+5+") << 5 << 10 << 5
                                 << QByteArray("CMD_roundstart+1+3+0+4+0+5+0+6+0+7+0");
    QTest::newRow("too many balls")
        << QByteArray("Host+100+10+9+3+") << QByteArray("CMD_startgame+Host+100+") << 100 << 10 << 5
        << QByteArray("CMD_roundstart+1+3+1+4+1+5+1+6+1+7+1");
    QTest::newRow("too few balls")
        << QByteArray("Host+100+10+1+1+") << QByteArray("CMD_startgame+Host+100+") << 100 << 10 << 3
        << QByteArray("CMD_roundstart+1+3+0+4+0+5+0+6+0+7+0");
    QTest::newRow("fields missing")
        << QByteArray("Host") << QByteArray("CMD_startgame+Host+5+") << 5 << 10 << 5
        << QByteArray("CMD_roundstart+1+3+0+4+0+5+0+6+0+7+0");
    QTest::newRow("taken as received")
        << QByteArray("Ho st+-7+-2+4+7+") << QByteArray("CMD_startgame+Ho st+-7+") << -7 << -2 << 4
        << QByteArray("CMD_roundstart+1+3+0+4+0+5+0+6+0+7+0");
}

void TestHostGame::gameStartSettings()
{
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, relayed);
    QFETCH(int, playtoscore);
    QFETCH(int, penalty);
    QFETCH(int, bobs);
    QFETCH(QByteArray, roundstart);
    HostTable table(1000); // no computer pick while the test looks
    RawClient* host = table.join("Host");
    QVERIFY(host);
    host->sendRaw("CMD_startgame+" + body + FF);
    QVERIFY(host->waitFor(cmd::nextplayer) > 0);
    const int start = host->waitFor(cmd::startgame);
    QCOMPARE(
        host->received.mid(start, 4),
        (QByteArrayList{relayed, roundstart, host->received.at(start + 2), "CMD_nextplayer+1+"}));
    QVERIFY(host->received.at(start + 2).startsWith("CMD_myboard+1+"));
    QCOMPARE(table.server().playToScore(), playtoscore);
    QCOMPARE(table.server().bobPenalty(), penalty);
    QCOMPARE(table.server().bobCount(), bobs);
    int placed = 0;
    for (int p = 1; p <= rules::boardPositions; ++p)
        placed += table.server().board().slot(p).value == rules::bobValue ? 1 : 0;
    QCOMPARE(placed, bobs);
    QVERIFY(table.server().gameRunning());
    QVERIFY(table.errors.errors.isEmpty());
}

void TestHostGame::roundstartFlags_data()
{
    QTest::addColumn<int>("gametype");
    QTest::addColumn<QList<int>>("people"); // seats with a person besides seat 1
    QTest::addColumn<QByteArray>("roundstart");
    QTest::newRow("type 1 alone") << 1 << QList<int>{}
                                  << QByteArray("CMD_roundstart+1+3+0+4+0+5+0+6+0+7+0");
    QTest::newRow("type 2 alone") << 2 << QList<int>{}
                                  << QByteArray("CMD_roundstart+1+3+1+4+1+5+0+6+0+7+0");
    QTest::newRow("type 3 alone") << 3 << QList<int>{}
                                  << QByteArray("CMD_roundstart+1+3+1+4+1+5+1+6+1+7+1");
    QTest::newRow("type 1, person in 6")
        << 1 << QList<int>{6} << QByteArray("CMD_roundstart+1+3+0+4+0+5+0+6+1+7+0");
    QTest::newRow("type 2, person in 6")
        << 2 << QList<int>{6} << QByteArray("CMD_roundstart+1+3+1+4+1+5+0+6+1+7+0");
    QTest::newRow("type 1, spy in 8")
        << 1 << QList<int>{8} << QByteArray("CMD_roundstart+1+3+0+4+0+5+0+6+0+7+0");
}

void TestHostGame::roundstartFlags()
{
    QFETCH(int, gametype);
    QFETCH(QList<int>, people);
    QFETCH(QByteArray, roundstart);
    HostTable table(1000);
    QList<RawClient*> clients{table.join("Host")};
    const int highest = people.isEmpty() ? 1 : people.last();
    for (int seat = 2; seat <= highest; ++seat)
        clients << table.join(QString("P%1").arg(seat));
    QVERIFY(!clients.contains(nullptr));
    for (int seat = 2; seat <= highest; ++seat)
        if (!people.contains(seat))
            table.dropClient(clients[seat - 1]);
    QTRY_VERIFY(table.server().player(highest - 1).connected == (highest == 2));
    for (int seat = 2; seat < highest; ++seat)
        QTRY_VERIFY(!table.server().player(seat).connected);

    table.startGame(clients[0], 100, 10, 5, gametype);
    QCOMPARE(named(*clients[0], cmd::roundstart), QByteArrayList{roundstart});
    for (int seat : people) {
        RawClient* c = clients[seat - 1];
        QVERIFY(c->waitFor(cmd::roundstart) > 0);
        QCOMPARE(named(*c, cmd::roundstart), QByteArrayList{roundstart});
        QCOMPARE(named(*c, cmd::myboard).size(), seat <= 7 ? 1 : 0);
    }
}

void TestHostGame::picks()
{
    HostTable table;
    RawClient* host = table.join("Host");
    RawClient* ann = table.join("Ann");
    QVERIFY(host && ann);
    table.startGame(host, 100, 10, 5, 1);
    QCOMPARE(table.server().currentTurn(), 1);

    // Not Ann's turn: dropped without a word. Out-of-range positions: reason 2, and the
    // positions past the board are never revealed.
    int from = int(host->received.size());
    ann->sendRaw(msg::chooseball(2, 10));
    for (int position : {0, -1, 73, 75, 100})
        host->sendRaw(msg::chooseball(1, position));
    host->sendRaw("CMD_chooseball+1+007x+" + FF);
    QVERIFY(host->waitFor("CMD_invalid+1+2+", from) > 0);
    QTRY_COMPARE(named(*host, cmd::invalid, from).size(), 5);
    QCOMPARE(named(*host, cmd::invalid, from), QByteArrayList(5, "CMD_invalid+1+2+"));
    QTRY_COMPARE(table.errors.errors.size(), 1);
    QVERIFY(named(*ann, cmd::invalid).isEmpty());
    QCOMPARE(named(*ann, cmd::chooseball), QByteArrayList{});
    for (int p = 1; p <= rules::boardPositions; ++p)
        QVERIFY(!table.server().board().slot(p).revealed);

    const int first = hiddenPosition(table.server().board(), false);
    const int value = table.server().board().slot(first).value;
    from = int(ann->received.size());
    host->sendRaw(msg::chooseball(1, first));
    host->sendRaw(msg::chooseball(1, first + 1)); // in the pause: dropped
    QVERIFY(ann->waitFor("CMD_chooseball+1+", from) > 0);
    QCOMPARE(named(*ann, cmd::chooseball, from),
             QByteArrayList{"CMD_chooseball+1+" + num(first) + '+' + num(value) + "+0+0+10+"});
    QVERIFY(ann->waitFor("CMD_nextplayer+2+", from) > 0);
    QVERIFY(!table.server().board().slot(first + 1).revealed);

    // A revealed position: reason 1 and the seat keeps the turn.
    from = int(ann->received.size());
    ann->sendRaw(msg::chooseball(2, first));
    QVERIFY(ann->waitFor("CMD_invalid+2+1+", from) > 0);
    QCOMPARE(table.server().currentTurn(), 2);
    QVERIFY(pick(table, ann, 2, hiddenPosition(table.server().board(), false)));
    // With seats 3 to 7 out of the round the turn goes back to seat 1.
    QVERIFY(ann->waitFor("CMD_nextplayer+1+", from) > 0);
}

void TestHostGame::bobPenaltyTakenAtOnce()
{
    HostTable table;
    RawClient* host = table.join("Host");
    RawClient* ann = table.join("Ann");
    QVERIFY(host && ann);
    table.startGame(host, 1000, 10, 5, 1);
    // Two rounds in which Ann reveals every Zorer Aru ball and seat 1 covers nothing.
    for (int round = 1; round <= 2; ++round) {
        QTRY_COMPARE(table.server().roundNumber(), round);
        for (int i = 0; i < 3; ++i) {
            QVERIFY(pick(table, host, 1, hiddenPosition(table.server().board(), false)));
            QVERIFY(pick(table, ann, 2, hiddenPosition(table.server().board(), true)));
        }
        QVERIFY(host->waitFor("CMD_scores+1+" + num(2 * round) + "+2+") > 0);
    }
    QTRY_COMPARE(table.server().roundNumber(), 3);
    QCOMPARE(table.server().player(1).score, 4);
    const int bob = hiddenPosition(table.server().board(), true);
    QVERIFY(pick(table, host, 1, bob));
    QTRY_COMPARE(named(*ann, cmd::chooseball).last(),
                 "CMD_chooseball+1+" + num(bob) + "+77+1+-6+10+");
    QVERIFY(pick(table, ann, 2, hiddenPosition(table.server().board(), false)));
    const int ordinary = hiddenPosition(table.server().board(), false);
    const int value = table.server().board().slot(ordinary).value;
    QVERIFY(pick(table, host, 1, ordinary));
    QTRY_COMPARE(named(*ann, cmd::chooseball).last(),
                 "CMD_chooseball+1+" + num(ordinary) + '+' + num(value) + "+1+-6+10+");
}

void TestHostGame::coversAndTheRoundEnd()
{
    HostTable table(1, 60); // the next round waits while the test looks at this one
    RawClient* host = table.join("Host");
    RawClient* ann = table.join("Ann");
    QVERIFY(host && ann);
    table.startGame(host, 1000, 10, 5, 1);
    const rules::CardPair cards = cardsOf(named(*host, cmd::myboard).last());
    QVERIFY(cards == table.server().player(1).card);

    // Three numbers of seat 1's first card that are on the board.
    QList<rules::CellRef> cells;
    QList<int> positions;
    for (int x = 1; x <= 5 && cells.size() < 3; ++x)
        for (int y = 1; y <= 5 && cells.size() < 3; ++y) {
            const int p = positionOfNumber(table.server().board(), cards[0].at(x, y));
            if (cards[0].at(x, y) != 0 && p != 0) {
                cells.append({1, x, y});
                positions.append(p);
            }
        }
    QCOMPARE(cells.size(), 3);
    QVERIFY(pick(table, host, 1, positions[0]));
    QVERIFY(pick(table, ann, 2, positions[1]));
    QVERIFY(pick(table, host, 1, positions[2]));

    const auto coverit = [](const rules::CellRef& c) {
        return "CMD_coverit+1+1+" + num(c.x) + '+' + num(c.y) + '+';
    };
    int from = int(host->received.size());
    // The number revealed three picks ago, then the same cell again, the free centre,
    // a number not drawn, and cells off the card.
    int undrawn = 0;
    for (int x = 1; x <= 5 && !undrawn; ++x)
        if (!rules::isDrawn(table.server().board(), cards[1].at(x, 1)))
            undrawn = x;
    host->sendRaw(msg::cover(1, 1, cells[0].x, cells[0].y));
    host->sendRaw(msg::cover(1, 1, cells[0].x, cells[0].y));
    host->sendRaw(msg::cover(1, 1, 3, 3));
    host->sendRaw(msg::cover(1, 2, undrawn, 1));
    host->sendRaw("CMD_cover+1+3+" + num(cells[1].x) + num(cells[1].y) + '+' + FF);
    host->sendRaw("CMD_cover+1+0+11+" + FF);
    for (const char* cell : {"06", "61", "1", "123", "-11"})
        host->sendRaw("CMD_cover+1+1+" + QByteArray(cell) + '+' + FF);
    host->sendRaw("CMD_cover+1+1+x5+" + FF); // not a number: an error, no answer
    host->sendRaw(msg::cover(1, 1, cells[1].x, cells[1].y));
    QVERIFY(host->waitFor(coverit(cells[1]), from) > 0);
    QByteArrayList expected{coverit(cells[0])};
    expected << QByteArrayList(8, "CMD_errored+1+3+");
    expected << coverit(cells[1]);
    QByteArrayList answers;
    for (const QByteArray& m : host->received.mid(from))
        if (m.startsWith(cmd::coverit) || m.startsWith(cmd::errored))
            answers << m;
    QCOMPARE(answers, expected);
    QCOMPARE(table.errors.errors.size(), 3); // "1" has no row, "-11" and "x5" no column
    QVERIFY(named(*ann, cmd::coverit).isEmpty() && named(*ann, cmd::errored).isEmpty());
    QCOMPARE(table.server().player(1).card[0].at(cells[0].x, cells[0].y), 0);
    QCOMPARE(table.server().player(1).card[0].at(cells[2].x, cells[2].y),
             cards[0].at(cells[2].x, cells[2].y));

    // The third Zorer Aru ball ends the round: the scores follow with no turn between,
    // and with five placed the last two stay hidden.
    from = int(host->received.size());
    QVERIFY(endRoundWithBobs(table, host, ann));
    const QByteArrayList after = host->received.mid(from);
    int lastPick = -1;
    for (int i = 0; i < after.size(); ++i)
        if (after[i].startsWith(cmd::chooseball))
            lastPick = i;
    QVERIFY(after.at(lastPick).contains("+77+3+"));
    QVERIFY(after.at(lastPick + 1).startsWith("CMD_scores+"));
    int hiddenBobs = 0;
    for (int p = 1; p <= rules::visiblePositions; ++p)
        hiddenBobs += table.server().board().slot(p).value == rules::bobValue &&
                              !table.server().board().slot(p).revealed
                          ? 1
                          : 0;
    QCOMPARE(hiddenBobs, 2);
    const QList<int> seatOne = groupOf(named(*host, cmd::scores).last(), 1);
    QCOMPARE(seatOne.mid(2), (QList<int>{4, 4, 0, 0, 0, 0, 0, 0}));
}

void TestHostGame::scoresForPatterns_data()
{
    QTest::addColumn<QStringList>("first");
    QTest::addColumn<QStringList>("second");
    QTest::addColumn<QList<int>>("group"); // round, then the seven patterns
    const QStringList nothing{".....", ".....", "..#..", ".....", "....."};
    const QStringList cross{"..#..", "..#..", "#####", "..#..", "..#.."};
    const QStringList diagonals{"#...#", ".#.#.", "..#..", ".#.#.", "#...#"};
    const QStringList border{"#####", "#...#", "#.#.#", "#...#", "#####"};
    const QStringList full{"#####", "#####", "#####", "#####", "#####"};
    QTest::newRow("nothing covered") << nothing << nothing << QList<int>{2, 2, 0, 0, 0, 0, 0, 0};
    QTest::newRow("cross") << cross << nothing << QList<int>{55, 10, 20, 0, 25, 0, 0, 0};
    // The corners lie on the diagonals: 64 by the tables.
    QTest::newRow("both diagonals")
        << nothing << diagonals << QList<int>{65, 10, 20, 15, 0, 20, 0, 0};
    QTest::newRow("border") << border << nothing << QList<int>{98, 18, 40, 15, 0, 0, 25, 0};
    QTest::newRow("full card") << full << nothing << QList<int>{331, 26, 120, 15, 25, 20, 25, 100};
    QTest::newRow("border and cross")
        << border << cross << QList<int>{151, 26, 60, 15, 25, 0, 25, 0};
}

// The round's points travel in CMD_scores as the patterns' tables give them.
void TestHostGame::scoresForPatterns()
{
    QFETCH(QStringList, first);
    QFETCH(QStringList, second);
    QFETCH(QList<int>, group);
    HostTable table;
    RawClient* host = table.join("Host");
    RawClient* ann = table.join("Ann");
    QVERIFY(host && ann);

    // Deal until every number the pattern needs is on the board.
    QList<rules::CellRef> cells;
    QList<int> positions;
    for (int attempt = 0; attempt < 300; ++attempt) {
        table.startGame(host, 100000, 0, 3, 1);
        const rules::CardPair cards = cardsOf(named(*host, cmd::myboard).last());
        cells.clear();
        positions.clear();
        bool feasible = true;
        for (int card = 1; card <= 2; ++card) {
            const QStringList& rows = card == 1 ? first : second;
            for (int x = 1; x <= 5; ++x)
                for (int y = 1; y <= 5; ++y) {
                    const int n = cards[std::size_t(card - 1)].at(x, y);
                    if (rows[y - 1][x - 1] != u'#' || n == 0)
                        continue;
                    const int p = positionOfNumber(table.server().board(), n);
                    feasible = feasible && p != 0;
                    cells.append({card, x, y});
                    if (!positions.contains(p))
                        positions.append(p);
                }
        }
        if (feasible)
            break;
        positions.clear();
        cells.clear();
        positions.append(-1);
    }
    QVERIFY(!positions.contains(-1));

    for (int i = 0; i < positions.size(); ++i) {
        const int seat = i % 2 + 1;
        QVERIFY(pick(table, seat == 1 ? host : ann, seat, positions[i]));
    }
    const int from = int(host->received.size());
    for (const rules::CellRef& c : cells)
        host->sendRaw(msg::cover(1, c.card, c.x, c.y));
    if (!cells.isEmpty()) {
        const rules::CellRef& last = cells.last();
        QVERIFY(host->waitFor("CMD_coverit+1+" + num(last.card) + '+' + num(last.x) + '+' +
                                  num(last.y) + '+',
                              from) > 0);
    }
    QCOMPARE(named(*host, cmd::coverit, from).size(), cells.size());
    QVERIFY(endRoundWithBobs(table, host, ann));
    const QByteArray scores = named(*host, cmd::scores).last();
    QCOMPARE(groupOf(scores, 1), (QList<int>{1, group[0]} + group));
    QCOMPARE(groupOf(scores, 2), (QList<int>{2, 2, 2, 2, 0, 0, 0, 0, 0, 0}));
    QCOMPARE(numbersOf(scores).size(), 20);
}

void TestHostGame::tiePlaysOnThenAWinner()
{
    HostTable table;
    RawClient* host = table.join("Host");
    RawClient* ann = table.join("Ann");
    QVERIFY(host && ann);
    QSignalSpy won(&table.server(), &TServer::gameWon);
    table.startGame(host, 2, 0, 5, 1);
    // Both reach the target with 2 each: a tie, so round 2 is played.
    QVERIFY(endRoundWithBobs(table, host, ann));
    QVERIFY(host->waitFor("CMD_roundstart+2+") > 0);
    QVERIFY(named(*host, cmd::winner).isEmpty());
    QVERIFY(table.server().gameRunning());

    // Seat 1 covers one number this round and is ahead 5 to 4.
    QVERIFY(waitForTurnOf(table, host, ann, 1));
    const rules::CardPair cards = table.server().player(1).card;
    int x = 1, p = 0;
    for (; x <= 5 && p == 0; ++x) {
        p = positionOfNumber(table.server().board(), cards[0].at(x, 1));
        p = p != 0 && table.server().board().slot(p).revealed ? 0 : p;
    }
    --x;
    QVERIFY(p != 0);
    QVERIFY(pick(table, host, 1, p));
    const int from = int(host->received.size());
    host->sendRaw(msg::cover(1, 1, x, 1));
    QVERIFY(host->waitFor("CMD_coverit+1+1+", from) > 0);
    QVERIFY(endRoundWithBobs(table, host, ann));
    QVERIFY(ann->waitFor("CMD_winner+") > 0);
    QCOMPARE(named(*ann, cmd::winner), QByteArrayList{"CMD_winner+Host+"});
    QCOMPARE(nameOf(ann->received.last()), QByteArray(cmd::winner));
    QVERIFY(!table.server().gameRunning());
    QCOMPARE(won.size(), 1);
    QCOMPARE(won.first().first().toInt(), 1);
    QCOMPARE(table.server().currentTurn(), 0);
    QVERIFY(!table.server().timer1Active() && !table.server().computertimerActive());
}

void TestHostGame::departedWinnerIsAnnouncedByBotname()
{
    HostTable table;
    RawClient* host = table.join("Host");
    RawClient* ann = table.join("Ann");
    QVERIFY(host && ann);
    table.startGame(host, 3, 0, 5, 1);
    const rules::CardPair cards = table.server().player(2).card;
    int x = 1, p = 0;
    for (; x <= 5 && p == 0; ++x)
        p = positionOfNumber(table.server().board(), cards[0].at(x, 1));
    --x;
    QVERIFY(p != 0);
    QVERIFY(pick(table, host, 1, p));
    ann->sendRaw(msg::cover(2, 1, x, 1));
    QVERIFY(ann->waitFor("CMD_coverit+2+1+") > 0);
    // Ann leaves ahead; the computer plays her seat under its own name.
    table.dropClient(ann);
    QVERIFY(host->waitFor("CMD_playerdisconnected+2+Ann") > 0);
    while (host->waitFor(cmd::scores, 0, 0) < 0) {
        QVERIFY(QTest::qWaitFor(
            [&] {
                return table.server().currentTurn() == 1 || host->waitFor(cmd::scores, 0, 0) >= 0;
            },
            10000));
        if (table.server().currentTurn() == 1)
            QVERIFY(pick(table, host, 1, hiddenPosition(table.server().board(), true)));
    }
    QVERIFY(host->waitFor("CMD_winner+") > 0);
    QCOMPARE(named(*host, cmd::winner), QByteArrayList{"CMD_winner+Klot+"});
}

void TestHostGame::lateJoinerPlaysWhenTheTurnReachesThem()
{
    HostTable table;
    RawClient* host = table.join("Host");
    QVERIFY(host);
    table.startGame(host, 100, 10, 5, 1);
    RawClient* ann = table.join("Ann"); // seat 2, the computer's until now
    RawClient* bo = table.join("Bo");   // seat 3, not in the round yet
    QVERIFY(ann && bo);
    QVERIFY(!table.server().player(3).inround);
    QVERIFY(pick(table, host, 1, hiddenPosition(table.server().board(), false)));
    QVERIFY(bo->waitFor("CMD_nextplayer+2+") > 0);
    QVERIFY(!table.server().computertimerActive());
    QVERIFY(pick(table, ann, 2, hiddenPosition(table.server().board(), false)));
    QVERIFY(bo->waitFor("CMD_nextplayer+3+") > 0);
    QVERIFY(table.server().player(3).inround);
}

void TestHostGame::disconnectDuringOwnTurn()
{
    HostTable table;
    RawClient* host = table.join("Host");
    RawClient* ann = table.join("Ann");
    QVERIFY(host && ann);
    table.startGame(host, 100, 10, 5, 1);
    QVERIFY(pick(table, host, 1, hiddenPosition(table.server().board(), false)));
    QVERIFY(host->waitFor("CMD_nextplayer+2+") > 0);
    const int from = int(host->received.size());
    table.dropClient(ann);
    QVERIFY(host->waitFor("CMD_chooseball+2+", from) > 0);
    const QByteArrayList after = host->received.mid(from);
    QCOMPARE(after.mid(0, 2),
             (QByteArrayList{"CMD_playerdisconnected+2+Ann", "CMD_nextplayer+2+"}));
    QVERIFY(after.at(2).startsWith("CMD_chooseball+2+"));
}

void TestHostGame::gameStartCancelsPendingTimers()
{
    HostTable table(300);
    RawClient* host = table.join("Host");
    QVERIFY(host);
    table.startGame(host, 100, 10, 5, 1);
    // A pending next turn.
    QVERIFY(pick(table, host, 1, hiddenPosition(table.server().board(), false)));
    QVERIFY(table.server().timer1Active());
    int from = int(host->received.size());
    table.startGame(host, 100, 10, 5, 1);
    QCOMPARE(host->received.mid(from, 2),
             (QByteArrayList{"CMD_startgame+Host+100+", "CMD_roundstart+1+3+0+4+0+5+0+6+0+7+0"}));
    QVERIFY(!table.server().timer1Active());
    QVERIFY(!table.server().computertimerActive());
    QCOMPARE(table.server().currentTurn(), 1);
    QCOMPARE(table.server().roundNumber(), 1);

    // A pending computer pick, after the scores were made.
    QVERIFY(pick(table, host, 1, hiddenPosition(table.server().board(), true)));
    QVERIFY(host->waitFor("CMD_nextplayer+2+", from) > 0);
    QVERIFY(table.server().computertimerActive());
    QCOMPARE(table.server().player(1).score, -10);
    from = int(host->received.size());
    table.startGame(host, 100, 10, 5, 1);
    QVERIFY(!table.server().computertimerActive());
    QVERIFY(!table.server().timer1Active());
    QCOMPARE(table.server().currentTurn(), 1);
    QCOMPARE(table.server().player(1).score, 0);
    QVERIFY(named(*host, cmd::chooseball, from).isEmpty());
}

QTEST_GUILESS_MAIN(TestHostGame)
#include "tst_hostgame.moc"
