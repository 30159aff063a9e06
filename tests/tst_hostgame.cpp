// Games on the host: starts and rounds, picks, covers, scoring, the winner, the timers.
#include "support/hostdriver.h"
#include "support/wire.h"

#include <QSignalSpy>
#include <QTest>

namespace {

QByteArray num(int n)
{
    return QByteArray::number(n);
}

// Host, and Ann unless alone, at the table.
class Game : public HostDriver {
public:
    explicit Game(bool alone = false)
    {
        join("Host");
        if (!alone)
            join("Ann");
    }
    // Seat 1 starts a game in which seats 3 to 7 play only with a person in them.
    void start(int playtoscore, int penalty, int bobcount)
    {
        send(1, msg::startgame("Host", num(playtoscore), num(penalty), num(bobcount), 1));
    }
    // Runs the timers until a person holds the turn, the game is over or a round was scored.
    void settle()
    {
        runTimers([this] {
            return server().timer1Active() && server().timer1Tag() == TServer::NextRound;
        });
    }
    // The seat holding the turn picks, then the timers run; true once the position is revealed.
    bool pick(int seat, int position)
    {
        if (seat == 0 || position == 0 || server().currentTurn() != seat)
            return false;
        send(seat, msg::chooseball(seat, position));
        const bool revealed = server().board().slot(position).revealed;
        settle();
        return revealed;
    }
    // Whoever holds the turn reveals Zorer Aru balls until the round is scored.
    bool endRoundWithBobs()
    {
        while (server().bobsRevealed() < rules::bobsEndingRound)
            if (!pick(server().currentTurn(), hiddenPosition(true)))
                return false;
        return !named(1, cmd::scores).isEmpty();
    }
};

int positionOfNumber(const rules::Board& board, int number)
{
    for (int p = 1; p <= rules::visiblePositions; ++p)
        if (board.slot(p).value == number)
            return p;
    return 0;
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
    void winnerEndsTheGame();
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
    const auto row = [](const char* name, const char* body, QList<int> people, const char* relayed,
                        QList<int> values, const char* roundstart) {
        QTest::newRow(name) << QByteArray(body) << people << QByteArray(relayed) << values
                            << QByteArray(roundstart);
    };
    const char* type1 = "CMD_roundstart+1+3+0+4+0+5+0+6+0+7+0";
    row("as sent", "Host+50+3+4+2+", {}, "CMD_startgame+Host+50+", {50, 3, 4},
        "CMD_roundstart+1+3+1+4+1+5+0+6+0+7+0");
    row("not numbers", "Host+abc+x+?+y+", {}, "CMD_startgame+Host+5+", {5, 10, 5}, type1);
    row("too many balls", "Host+100+10+9+3+", {}, "CMD_startgame+Host+100+", {100, 10, 5},
        "CMD_roundstart+1+3+1+4+1+5+1+6+1+7+1");
    row("fields missing", "Host", {}, "CMD_startgame+Host+5+", {5, 10, 5}, type1);
    row("taken as received", "Ho st+-7+-2+4+7+", {}, "CMD_startgame+Ho st+-7+", {-7, -2, 4}, type1);
    row("type 1 alone", "Host+100+10+5+1+", {}, "CMD_startgame+Host+100+", {100, 10, 5}, type1);
    row("type 1, person in 6", "Host+100+10+5+1+", {6}, "CMD_startgame+Host+100+", {100, 10, 5},
        "CMD_roundstart+1+3+0+4+0+5+0+6+1+7+0");
    row("type 2, person in 6", "Host+100+10+5+2+", {6}, "CMD_startgame+Host+100+", {100, 10, 5},
        "CMD_roundstart+1+3+1+4+1+5+0+6+1+7+0");
    row("type 1, spy in 8", "Host+100+10+5+1+", {8}, "CMD_startgame+Host+100+", {100, 10, 5},
        type1);
}

void TestHostGame::gameStart()
{
    QFETCH(QByteArray, body);
    QFETCH(QList<int>, people);
    QFETCH(QByteArray, relayed);
    QFETCH(QList<int>, values);
    QFETCH(QByteArray, roundstart);
    Game d(true);
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
    const auto row = [](const char* name, Moment moment, int seat, const char* position,
                        const char* answer, int errors = 0) {
        QTest::newRow(name) << int(moment) << seat << QByteArray(position) << QByteArray(answer)
                            << errors;
    };
    row("out of turn", SeatOnesTurn, 2, "hidden", "");
    row("in the pause", Pause, 1, "hidden", "");
    row("revealed", SeatTwosTurn, 2, "picked", "CMD_invalid+2+1+");
    for (const char* position : {"0", "-1", "73", "75", "100"})
        row(position, SeatOnesTurn, 1, position, "CMD_invalid+1+2+");
    row("not a number", SeatOnesTurn, 1, "007x", "", 1);
}

// A refused pick reveals nothing, keeps the turn where it is and tells only the sender.
void TestHostGame::refusedPicks()
{
    QFETCH(int, moment);
    QFETCH(int, seat);
    QFETCH(QByteArray, position);
    QFETCH(QByteArray, answer);
    QFETCH(int, errors);
    Game d;
    d.start(100, 10, 5);
    const int picked = d.hiddenPosition();
    if (moment != SeatOnesTurn)
        d.send(1, msg::chooseball(1, picked));
    if (moment == SeatTwosTurn)
        d.settle();
    const int turn = d.server().currentTurn();
    const int revealed = rules::revealedVisibleCount(d.server().board());
    const qsizetype from = d.received(seat).size(), other = d.received(3 - seat).size();
    position = position == "hidden"   ? num(d.hiddenPosition())
               : position == "picked" ? num(picked)
                                      : position;
    d.send(seat, "CMD_chooseball+" + num(seat) + '+' + position + '+' + FF);
    QCOMPARE(d.received(seat).mid(from),
             answer.isEmpty() ? QByteArrayList{} : QByteArrayList{answer});
    QCOMPARE(d.received(3 - seat).size(), other);
    QCOMPARE(d.server().currentTurn(), turn);
    QCOMPARE(rules::revealedVisibleCount(d.server().board()), revealed);
    QCOMPARE(int(d.errors.errors.size()), errors);
}

void TestHostGame::pickGoesToEveryone()
{
    Game d;
    d.start(100, 10, 5);
    const int first = d.hiddenPosition();
    const int value = d.server().board().slot(first).value;
    d.send(1, msg::chooseball(1, first));
    QCOMPARE(d.received(2).last(),
             "CMD_chooseball+1+" + num(first) + '+' + num(value) + "+0+0+10+");
    d.settle();
    QCOMPARE(d.received(2).last(), QByteArray("CMD_nextplayer+2+"));
    QVERIFY(d.pick(2, d.hiddenPosition()));
    // With seats 3 to 7 out of the round the turn goes back to seat 1.
    QCOMPARE(d.received(2).last(), QByteArray("CMD_nextplayer+1+"));
}

void TestHostGame::bobPenaltyTakenAtOnce()
{
    Game d;
    d.start(1000, 10, 5);
    // Two rounds in which Ann reveals every Zorer Aru ball and seat 1 covers nothing.
    for (int round = 1; round <= 2; ++round) {
        QCOMPARE(d.server().roundNumber(), round);
        for (int i = 0; i < 3; ++i)
            QVERIFY(d.pick(1, d.hiddenPosition()) && d.pick(2, d.hiddenPosition(true)));
        QVERIFY(d.named(1, cmd::scores)
                    .value(round - 1)
                    .startsWith("CMD_scores+1+" + num(2 * round) + "+2+"));
        d.runTimers();
    }
    QCOMPARE(d.server().roundNumber(), 3);
    QCOMPARE(d.server().player(1).score, 4);
    const int bob = d.hiddenPosition(true);
    QVERIFY(d.pick(1, bob));
    QCOMPARE(d.named(2, cmd::chooseball).last(), "CMD_chooseball+1+" + num(bob) + "+77+1+-6+10+");
    QVERIFY(d.pick(2, d.hiddenPosition()));
    const int ordinary = d.hiddenPosition();
    const int value = d.server().board().slot(ordinary).value;
    QVERIFY(d.pick(1, ordinary));
    QCOMPARE(d.named(2, cmd::chooseball).last(),
             "CMD_chooseball+1+" + num(ordinary) + '+' + num(value) + "+1+-6+10+");
}

void TestHostGame::coversAndTheRoundEnd()
{
    Game d;
    d.start(1000, 10, 5);
    const rules::Board& board = d.server().board();
    const rules::CardPair cards = cardsOf(d.named(1, cmd::myboard).last());
    QVERIFY(cards == d.server().player(1).card);
    // Three numbers of seat 1's first card are picked.
    const QList<HostDriver::HiddenCell> cells = d.hiddenCells(1).mid(0, 3);
    QCOMPARE(cells.size(), 3);
    QVERIFY(d.pick(1, cells[0].position) && d.pick(2, cells[1].position) &&
            d.pick(1, cells[2].position));

    int undrawn = 1;
    while (rules::isDrawn(board, cards[1].at(undrawn, 1)))
        ++undrawn;
    const auto cover = [](const HostDriver::HiddenCell& c) { return msg::cover(1, 1, c.x, c.y); };
    const auto coverit = [](const HostDriver::HiddenCell& c) {
        return "CMD_coverit+1+1+" + num(c.x) + '+' + num(c.y) + '+';
    };
    const auto raw = [](const QByteArray& fields) { return "CMD_cover+1+" + fields + '+' + FF; };
    const QByteArray refused = "CMD_errored+1+3+";
    // Each cover in turn and seat 1's answer; an empty answer is none (a field error).
    const QList<std::pair<QByteArray, QByteArray>> covers{
        {cover(cells[0]), coverit(cells[0])}, // revealed three picks ago
        {cover(cells[0]), refused},           // covered already
        {msg::cover(1, 1, 3, 3), refused},    // the free centre
        {msg::cover(1, 2, undrawn, 1), refused},
        {raw("3+" + num(cells[1].x) + num(cells[1].y)), refused},
        {raw("0+11"), refused},
        {raw("1+06"), refused},
        {raw("1+61"), refused},
        {raw("1+123"), refused},
        {raw("1+1"), {}}, // no row
        {raw("1+-11"), {}},
        {raw("1+x5"), {}},
        {cover(cells[1]), coverit(cells[1])},
    };
    for (const auto& [sent, answer] : covers) {
        const qsizetype from = d.received(1).size();
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
    QVERIFY(d.endRoundWithBobs());
    const QByteArrayList& all = d.received(1);
    const qsizetype lastPick = all.lastIndexOf(d.named(1, cmd::chooseball).last());
    QVERIFY(all.at(lastPick).contains("+77+3+"));
    QVERIFY(all.at(lastPick + 1).startsWith("CMD_scores+"));
    int hiddenBobs = 0;
    for (int p = 1; p <= rules::visiblePositions; ++p)
        hiddenBobs += board.slot(p).value == rules::bobValue && !board.slot(p).revealed ? 1 : 0;
    QCOMPARE(hiddenBobs, 2);
    QCOMPARE(groupOf(d.named(1, cmd::scores).last(), 1).mid(2),
             (QList<int>{4, 4, 0, 0, 0, 0, 0, 0}));
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
    Game d;
    // Deal until every number the pattern needs is on the board.
    QList<rules::CellRef> cells;
    QList<int> positions;
    for (int attempt = 0; attempt < 300 && (attempt == 0 || positions.contains(0)); ++attempt) {
        d.start(100000, 0, 3);
        cells.clear();
        positions.clear();
        for (int card = 1; card <= 2; ++card)
            for (int x = 1; x <= 5; ++x)
                for (int y = 1; y <= 5; ++y) {
                    const int n = d.server().player(1).card[std::size_t(card - 1)].at(x, y);
                    if ((card == 1 ? first : second)[y - 1][x - 1] != u'#' || n == 0)
                        continue;
                    cells.append({card, x, y});
                    if (const int p = positionOfNumber(d.server().board(), n);
                        !positions.contains(p))
                        positions.append(p);
                }
    }
    QVERIFY(!positions.contains(0));
    for (int i = 0; i < positions.size(); ++i)
        QVERIFY(d.pick(i % 2 + 1, positions[i]));
    const qsizetype from = d.received(1).size();
    for (const rules::CellRef& c : cells)
        d.send(1, msg::cover(1, c.card, c.x, c.y));
    QCOMPARE(d.named(1, cmd::coverit, int(from)).size(), cells.size());
    QVERIFY(d.endRoundWithBobs());
    const QByteArray scores = d.named(1, cmd::scores).last();
    QCOMPARE(groupOf(scores, 1), (QList<int>{1, group[0]} + group));
    QCOMPARE(groupOf(scores, 2), (QList<int>{2, 2, 2, 2, 0, 0, 0, 0, 0, 0}));
    QCOMPARE(numbersOf(scores).size(), 20);
}

// A tie at the top plays on: tst_hostfullgame's tie row.
void TestHostGame::winnerEndsTheGame()
{
    Game d;
    QSignalSpy won(&d.server(), &TServer::gameWon);
    d.start(3, 0, 5);
    // Seat 1 covers one number and is ahead 3 to 2.
    const HostDriver::HiddenCell cell = d.hiddenCells(1).first();
    QVERIFY(d.pick(1, cell.position));
    d.send(1, msg::cover(1, 1, cell.x, cell.y));
    QCOMPARE(d.received(1).last(), "CMD_coverit+1+1+" + num(cell.x) + '+' + num(cell.y) + '+');
    QVERIFY(d.endRoundWithBobs());
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
    Game d;
    d.start(3, 0, 5);
    const HostDriver::HiddenCell cell = d.hiddenCells(2).first();
    QVERIFY(d.pick(1, cell.position));
    d.send(2, msg::cover(2, 1, cell.x, cell.y));
    QCOMPARE(d.received(2).last(), "CMD_coverit+2+1+" + num(cell.x) + '+' + num(cell.y) + '+');
    // Ann leaves ahead; the computer plays her seat under its own name.
    d.drop(2);
    QCOMPARE(d.named(1, cmd::playerdisconnected), QByteArrayList{"CMD_playerdisconnected+2+Ann"});
    d.settle();
    QVERIFY(d.endRoundWithBobs());
    d.runTimers();
    QCOMPARE(d.named(1, cmd::winner), QByteArrayList{"CMD_winner+Klot+"});
}

void TestHostGame::lateJoinerPlaysWhenTheTurnReachesThem()
{
    Game d(true);
    d.start(100, 10, 5);
    QCOMPARE(d.join("Ann"), 2); // the computer's until now
    QCOMPARE(d.join("Bo"), 3);  // not in the round yet
    QVERIFY(!d.server().player(3).inround);
    QVERIFY(d.pick(1, d.hiddenPosition()));
    QCOMPARE(d.received(3).last(), QByteArray("CMD_nextplayer+2+"));
    QVERIFY(!d.server().computertimerActive());
    QVERIFY(d.pick(2, d.hiddenPosition()));
    QCOMPARE(d.received(3).last(), QByteArray("CMD_nextplayer+3+"));
    QVERIFY(d.server().player(3).inround);
}

void TestHostGame::disconnectDuringOwnTurn()
{
    Game d;
    d.start(100, 10, 5);
    QVERIFY(d.pick(1, d.hiddenPosition()));
    const qsizetype from = d.received(1).size();
    d.drop(2);
    QCOMPARE(d.received(1).mid(from),
             (QByteArrayList{"CMD_playerdisconnected+2+Ann", "CMD_nextplayer+2+"}));
    d.settle();
    QVERIFY(d.received(1).at(from + 2).startsWith("CMD_chooseball+2+"));
}

void TestHostGame::gameStartCancelsPendingTimers()
{
    Game d(true);
    d.start(100, 10, 5);
    // A pending next turn.
    d.send(1, msg::chooseball(1, d.hiddenPosition()));
    QVERIFY(d.server().timer1Active());
    const qsizetype from = d.received(1).size();
    d.start(100, 10, 5);
    QCOMPARE(d.received(1).mid(from, 2),
             (QByteArrayList{"CMD_startgame+Host+100+", "CMD_roundstart+1+3+0+4+0+5+0+6+0+7+0"}));
    QVERIFY(!d.server().timer1Active() && !d.server().computertimerActive());
    QCOMPARE(d.server().currentTurn(), 1);
    QCOMPARE(d.server().roundNumber(), 1);

    // A pending computer pick, after the scores were made.
    d.send(1, msg::chooseball(1, d.hiddenPosition(true)));
    d.runTimers([&] { return d.server().computertimerActive(); });
    QCOMPARE(d.received(1).last(), QByteArray("CMD_nextplayer+2+"));
    QCOMPARE(d.server().player(1).score, -10);
    d.start(100, 10, 5);
    QVERIFY(!d.server().timer1Active() && !d.server().computertimerActive());
    QCOMPARE(d.server().currentTurn(), 1);
    QCOMPARE(d.server().player(1).score, 0);
}

QTEST_GUILESS_MAIN(TestHostGame)
#include "tst_hostgame.moc"
