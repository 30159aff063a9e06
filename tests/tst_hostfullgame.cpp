// Whole games on the host between computer seats and seat 1, every message seat 1
// receives checked against the rules (the rule functions themselves are tested in tst_rules).
#include "host/patterns.h"
#include "host/winner.h"
#include "net/messages.h"
#include "support/hostdriver.h"

#include <QSet>
#include <QTest>

#include <deque>
#include <numeric>
#include <random>

namespace {

// Seat 1's view of the game: it plays (or watches) and checks every message.
class Referee {
public:
    Referee(int playtoscore, int penalty, bool watching)
        : m_playtoscore(playtoscore), m_penalty(penalty), m_watching(watching)
    {
    }

    // The host's own view at the moment it scored the round: every computer seat has
    // covered every drawn number, and each seat's points are its cards' patterns.
    void onRoundScored(const TServer& server)
    {
        m_hostSheet.clear();
        for (int seat = 1; seat <= 7; ++seat) {
            const tplayer& p = server.player(seat);
            if (!p.inround)
                continue;
            if (p.patterns != rules::scoreCards(p.card))
                fail(QString("seat %1 scored other than its cards").arg(seat), "host state");
            m_hostSheet.append(p.patterns);
            if (!server.computerPlays(seat))
                continue;
            for (const rules::Card& card : p.card)
                for (int x = 1; x <= 5; ++x)
                    for (int y = 1; y <= 5; ++y)
                        if (rules::isDrawn(server.board(), card.at(x, y)))
                            fail(QString("computer in seat %1 missed a number").arg(seat),
                                 "host state");
        }
    }

    // What seat 1 sends next, oldest first.
    QByteArrayList outbox;
    QStringList problems;
    QByteArray winnerName;
    int rounds = 0;
    int picksByMe = 0;
    int coversByMe = 0;
    int coveritsReceived = 0;
    bool gameOver = false;

    void onMessage(const QByteArray& m)
    {
        const QByteArray name = nameOf(m);
        const QList<int> n = numbersOf(m);
        if (gameOver) {
            fail("message after the winner", m);
            return;
        }
        if (m_expectBoard && name != cmd::myboard)
            fail("round start not followed by the cards", m);
        if (m_expectTurn && name != cmd::nextplayer && name != cmd::myboard)
            fail("cards not followed by the first turn", m);

        if (name == cmd::sendlogininfo || name == cmd::newplayerinfo)
            return;
        if (name == cmd::startgame) {
            if (m != "CMD_startgame+Tester+" + QByteArray::number(m_playtoscore) + '+')
                fail("unexpected game start", m);
            m_scores.fill(0);
            m_lastchooser = 0;
            m_round = 0;
            return;
        }
        if (name == cmd::justwatching) {
            if (m != "CMD_justwatching+1+1")
                fail("unexpected just-watch change", m);
            m_regive = true;
            return;
        }
        if (name == cmd::roundstart) {
            if (m_afterScores && rules::winningSeat(m_scores, m_playtoscore) != 0)
                fail("a round started although the game has a winner", m);
            m_afterScores = false;
            if (m != "CMD_roundstart+" + QByteArray::number(m_round + 1) + "+3+1+4+1+5+1+6+1+7+1")
                fail("wrong round start", m);
            ++m_round;
            ++rounds;
            m_revealed.clear();
            m_drawn.clear();
            m_bobs = 0;
            m_turn = 0;
            m_expectBoard = true;
            return;
        }
        if (name == cmd::myboard) {
            if (!m_expectBoard || n.value(0) != 1 || n.size() != 201)
                fail("unexpected cards", m);
            m_expectBoard = false;
            m_expectTurn = true;
            m_cards = cardsOf(m);
            return;
        }
        if (name == cmd::nextplayer) {
            const int seat = n.value(0);
            const int expected = m_regive && seat == m_heldTurn ? seat : m_lastchooser % 7 + 1;
            if (seat != expected || (m_turn != 0 && !m_regive))
                fail(QString("turn to %1, expected %2").arg(seat).arg(expected), m);
            m_regive = false;
            m_expectTurn = false;
            m_turn = seat;
            m_heldTurn = seat;
            if (seat == 1 && !m_watching)
                pickSomething();
            return;
        }
        if (name == cmd::chooseball) {
            onPick(m, n);
            return;
        }
        if (name == cmd::coverit || name == cmd::errored) {
            onCoverAnswer(m, n, name == cmd::coverit);
            return;
        }
        if (name == cmd::scores) {
            onScores(m, n);
            return;
        }
        if (name == cmd::winner) {
            const int seat = rules::winningSeat(m_scores, m_playtoscore);
            const QByteArray expected = seat == 1 ? QByteArray("Tester") : botnames[seat];
            if (!m_afterScores || seat == 0 || m != "CMD_winner+" + expected + '+')
                fail("wrong winner", m);
            winnerName = fieldsOf(m).value(0);
            gameOver = true;
            return;
        }
        fail("unexpected message", m);
    }

private:
    void fail(const QString& what, const QByteArray& message)
    {
        if (problems.size() < 20)
            problems << what + QStringLiteral(" in ") + QString::fromUtf8(message.left(200));
    }
    void pickSomething()
    {
        std::vector<int> hidden;
        for (int p = 1; p <= rules::visiblePositions; ++p)
            if (!m_revealed.contains(p))
                hidden.push_back(p);
        const int p = hidden[std::size_t(m_random() % hidden.size())];
        outbox.append(msg::chooseball(1, p));
        ++picksByMe;
    }

    void onPick(const QByteArray& m, const QList<int>& n)
    {
        if (n.size() != 6) {
            fail("bad pick", m);
            return;
        }
        const int seat = n[0], position = n[1], value = n[2], bobs = n[3], score = n[4];
        if (seat != m_turn || seat == 0)
            fail("pick by a seat without the turn", m);
        if (position < 1 || position > 72 || m_revealed.contains(position))
            fail("pick of a revealed or impossible position", m);
        m_revealed.insert(position);
        const bool bob = value == rules::bobValue;
        if (!bob && (value < 1 || value > 75 || m_drawn.contains(value)))
            fail("impossible value", m);
        if (bob) {
            ++m_bobs;
            m_scores[std::size_t(seat - 1)] -= m_penalty;
        } else {
            m_drawn.insert(value);
        }
        if (bobs != m_bobs || score != m_scores[std::size_t(seat - 1)] || n[5] != m_penalty)
            fail("wrong Zorer Aru count, score or penalty", m);
        m_lastchooser = seat;
        m_turn = 0;
        if (bob)
            return;
        const std::vector<rules::CellRef> cells = rules::cellsHolding(m_cards, value);
        if (m_watching) {
            // The computer covers for a watcher at once, and says so.
            for (const rules::CellRef& c : cells)
                m_computerCovers.push_back(c);
            return;
        }
        for (const rules::CellRef& c : cells) {
            outbox.append(msg::cover(1, c.card, c.x, c.y));
            m_myCovers.push_back(c);
            ++coversByMe;
        }
    }

    void onCoverAnswer(const QByteArray& m, const QList<int>& n, bool accepted)
    {
        std::deque<rules::CellRef>& pending = m_watching ? m_computerCovers : m_myCovers;
        if (pending.empty() || n.value(0) != 1) {
            fail("answer to no cover", m);
            return;
        }
        const rules::CellRef c = pending.front();
        pending.pop_front();
        // The answer follows every message the host sent before it, so the model holds
        // the cards and balls the host judged by.
        int& cell = m_cards[std::size_t(c.card - 1)].at(c.x, c.y);
        const bool drawn = cell != 0 && m_drawn.contains(cell);
        if (accepted != drawn)
            fail("cover judged against the rules", m);
        if (accepted) {
            ++coveritsReceived;
            if (n != QList<int>{1, c.card, c.x, c.y})
                fail("cover answer for another cell", m);
            cell = 0;
        }
    }

    void onScores(const QByteArray& m, const QList<int>& n)
    {
        if (m_bobs != 3 || n.size() != 70)
            fail("scores before the third Zorer Aru ball or for the wrong seats", m);
        if (!m_myCovers.empty() || !m_computerCovers.empty())
            fail("covers unanswered at the round end", m);
        for (int i = 0; i + 9 < n.size(); i += 10) {
            const int seat = n[i];
            rules::PatternScores patterns{};
            std::copy(n.begin() + i + 3, n.begin() + i + 10, patterns.begin());
            const int round = std::accumulate(patterns.begin(), patterns.end(), 0);
            int& total = m_scores[std::size_t(seat - 1)];
            if (seat != i / 10 + 1 || n[i + 2] != round || n[i + 1] != total + round)
                fail(QString("sums of seat %1").arg(seat), m);
            if (seat == 1 && patterns != rules::scoreCards(m_cards))
                fail("seat 1 scored other than its cards", m);
            if (patterns != m_hostSheet.value(i / 10))
                fail(QString("seat %1 sent other points than scored").arg(seat), m);
            total = n[i + 1];
        }
        m_afterScores = true;
    }

    const std::array<QByteArray, 8> botnames{"",      "",      "Klot",  "Klick",
                                             "Kling", "Klick", "Krazy", "Kooky"};
    int m_playtoscore;
    int m_penalty;
    bool m_watching;
    std::mt19937 m_random{99};

    rules::SeatScores m_scores{};
    rules::CardPair m_cards{};
    QSet<int> m_revealed;
    QSet<int> m_drawn;
    std::deque<rules::CellRef> m_myCovers;
    std::deque<rules::CellRef> m_computerCovers;
    QList<rules::PatternScores> m_hostSheet;
    int m_round = 0;
    int m_turn = 0;
    int m_heldTurn = 0;
    int m_lastchooser = 0;
    int m_bobs = 0;
    bool m_expectBoard = false;
    bool m_expectTurn = false;
    bool m_afterScores = false;
    bool m_regive = false;
};

} // namespace

class TestHostFullGame : public QObject {
    Q_OBJECT
private slots:
    void wholeGame_data();
    void wholeGame();
};

void TestHostFullGame::wholeGame_data()
{
    QTest::addColumn<bool>("watching");
    QTest::addColumn<uint>("seed");
    QTest::addColumn<int>("playtoscore");
    QTest::newRow("a person and six computer seats") << false << 7u << 400;
    QTest::newRow("another deal") << false << 31u << 400;
    QTest::newRow("seven computer seats, one watching") << true << 11u << 400;
    // This deal ends round 1 with two seats sharing the highest total.
    QTest::newRow("a tie at the top plays on") << true << 3u << 1;
}

void TestHostFullGame::wholeGame()
{
    QFETCH(bool, watching);
    QFETCH(uint, seed);
    QFETCH(int, playtoscore);
    HostDriver d(seed);
    TServer& server = d.server();
    QCOMPARE(d.join("Tester"), 1);
    const int penalty = 10;
    Referee referee(playtoscore, penalty, watching);
    connect(&server, &TServer::roundScored, this, [&] { referee.onRoundScored(server); });
    referee.outbox << msg::startgame("Tester", QString::number(playtoscore),
                                     QString::number(penalty), "3", 3);
    if (watching)
        referee.outbox << msg::justwatch(1, 1);
    // Seat 1 reads all it was sent and answers before the next timer tick, until nothing is
    // left to do (a game that never ends runs into the bound).
    for (qsizetype seen = 0, step = 0; step < 10000000; ++step) {
        for (; seen < d.received(1).size(); ++seen)
            referee.onMessage(QByteArray(d.received(1).at(seen)));
        if (!referee.outbox.isEmpty())
            d.send(1, referee.outbox.takeFirst());
        else if (server.computertimerActive())
            server.computertimerTimer();
        else if (server.timer1Active())
            server.timer1Timer();
        else
            break;
    }
    QVERIFY(referee.gameOver);
    QVERIFY2(referee.problems.isEmpty(), qPrintable(referee.problems.join('\n')));
    QVERIFY(referee.rounds >= 2);
    QVERIFY(!server.gameRunning());
    QVERIFY(d.errors.errors.isEmpty());
    QVERIFY(referee.coveritsReceived > 10);
    QCOMPARE(referee.picksByMe == 0 && referee.coversByMe == 0, watching);
    qInfo() << "rounds" << referee.rounds << "winner" << referee.winnerName << "covers"
            << referee.coveritsReceived;
}

QTEST_GUILESS_MAIN(TestHostFullGame)
#include "tst_hostfullgame.moc"
