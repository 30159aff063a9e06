// Nothing the clients send may crash the host or make it reach outside its tables.
#include "net/messages.h"
#include "net/table.h"
#include "support/hostdriver.h"

#include <QSignalSpy>
#include <QTest>

#include <random>

namespace {

const char* const names[] = {cmd::logininfo,  cmd::kickhim,     cmd::chat,      cmd::action,
                             cmd::playasound, cmd::startgame,   cmd::justwatch, cmd::chooseball,
                             cmd::cover,      "CMD_Chat",       "CMD_",         "",
                             "CMD_scores",    "CMD_nextplayer", "cmd_cover",    "CMD_chooseballs"};

int draw(std::mt19937& rng, int low, int high)
{
    return low + int(rng() % std::uint32_t(high - low + 1));
}

QByteArray randomBytes(std::mt19937& rng, int length)
{
    static const char bytes[] = "abcXYZ0123456789+|-\r\n \x00\x80\xc3\xbf\xfe";
    static const QByteArray alphabet(bytes, sizeof bytes - 1);
    QByteArray text;
    for (int i = 0; i < length; ++i)
        text += alphabet[draw(rng, 0, int(alphabet.size()) - 1)];
    return text;
}

QByteArray randomField(std::mt19937& rng, int ownSeat)
{
    static const QList<QByteArray> edges{
        "0",          "-1",          "10",         "72",          "73", "75", "76",  "77", "99",
        "2147483647", "-2147483648", "2147483648", "99999999999", "+5", "-",  "1e3", " 3", "07"};
    switch (draw(rng, 0, 11)) {
    case 0:
        return QByteArray::number(ownSeat);
    case 1:
        return QByteArray::number(draw(rng, 1, 9));
    case 2:
        return edges[draw(rng, 0, int(edges.size()) - 1)];
    case 3:
        return QByteArray::number(qint32(rng()));
    case 4: {
        QByteArray digits;
        for (int i = draw(rng, 1, 15); i > 0; --i)
            digits += char('0' + draw(rng, 0, 9));
        return digits;
    }
    case 5:
        return {};
    case 6:
        return randomBytes(rng, draw(rng, 0, 20));
    case 7:
        return QByteArray::number(draw(rng, 0, 9)) + QByteArray::number(draw(rng, 0, 9));
    case 8:
        return "wave" + QByteArray::number(draw(rng, -2, 30));
    case 9:
        return QByteArray(draw(rng, 100, 5000), 'x') + "+|" + randomBytes(rng, 5);
    case 10:
        return table::version().toUtf8();
    default:
        return QByteArray::number(draw(rng, 1, 72));
    }
}

QByteArray randomMessage(std::mt19937& rng, int ownSeat)
{
    if (draw(rng, 0, 49) == 0) {
        QByteArray blob = randomBytes(rng, draw(rng, 0, 200));
        blob.insert(draw(rng, 0, int(blob.size())), char(0xFF));
        return blob;
    }
    const int which = draw(rng, 0, int(std::size(names)) - 1);
    QByteArray text = names[which];
    int fields = draw(rng, 0, 7);
    if (which < 9 && which != 5 && draw(rng, 0, 9) < 6) {
        text += '+' + QByteArray::number(ownSeat);
        --fields;
    }
    for (int i = 0; i < fields; ++i)
        text += '+' + randomField(rng, ownSeat);
    if (draw(rng, 0, 1))
        text += '+';
    switch (draw(rng, 0, 19)) {
    case 0:
        return text; // the next message carries on from here
    case 1:
        return text + char(0xFF) + char(0xFF);
    default:
        return text + char(0xFF);
    }
}

} // namespace

class TestHostFuzz : public QObject {
    Q_OBJECT
private slots:
    void randomAndMalformedInput();
};

void TestHostFuzz::randomAndMalformedInput()
{
    HostDriver host(4242);
    TServer& server = host.server();
    std::mt19937 rng(20240601);
    // Sensible play, so that rounds run to their end under the noise: the timers run out
    // after every message, and a person who holds the turn picks the first hidden ball
    // (0xFF first ends whatever the noise left open).
    const auto play = [&] {
        for (int moves = 0; moves < 1000; ++moves) {
            host.runTimers();
            const int turn = server.currentTurn();
            if (turn == 0 || !host.isOpen(turn) || server.computerPlays(turn))
                return;
            int p = 1;
            while (p < rules::visiblePositions && server.board().slot(p).revealed)
                ++p;
            host.send(turn, '\xff' + msg::chooseball(turn, p));
        }
    };
    std::vector<int> seats{host.join("Host"), host.join("Ann"), host.connect(), host.join("Bo"),
                           host.connect()};
    QCOMPARE(seats, (std::vector<int>{1, 2, 3, 4, 5}));
    QSignalSpy scored(&server, &TServer::roundScored);
    qsizetype scoredBeforeStart = 0;
    // A second passes at every look at the clock: the relay limit seldom drops a line.
    server.setClock([now = qint64(0)]() mutable { return now += 1000; });
    host.send(1, msg::startgame("Host", "500", "5", "4", 3));
    QVERIFY(server.gameRunning());

    for (int sent = 0; sent < 3000; ++sent) {
        // Kicked (seat 1 sends kicks too) or closed: a new connection takes its place.
        for (int& seat : seats)
            if (!host.isOpen(seat))
                QVERIFY((seat = host.connect()) != 0);
        const int seat = seats[std::size_t(draw(rng, 0, int(seats.size()) - 1))];
        const int kind = draw(rng, 0, 299), position = draw(rng, 1, 75);
        const int card = draw(rng, 1, 2), x = draw(rng, 1, 5), y = draw(rng, 1, 5);
        QByteArray bytes = randomMessage(rng, seat);
        if (kind < 30)
            bytes = msg::cover(seat, card, x, y);
        else if (kind < 60)
            bytes = msg::chooseball(seat, position);
        // Seat 1 restarts the game rarely, and only once the game has scored a round.
        if (seat == 1 && bytes.startsWith(cmd::startgame)) {
            if (kind % 20 != 0 || scored.size() == scoredBeforeStart)
                continue;
            scoredBeforeStart = scored.size();
        }
        host.send(seat, bytes);
        play();
        QVERIFY(host.seatsUsed() <= table::maxSeats);
        QVERIFY(server.currentTurn() >= 0 && server.currentTurn() <= table::playingSeats);
        for (int p = rules::visiblePositions + 1; p <= rules::boardPositions; ++p)
            QVERIFY(!server.board().slot(p).revealed);
        for (int s = 1; s <= table::maxSeats; ++s)
            QCOMPARE(server.player(s).connected, host.isOpen(s));
    }
    QVERIFY(!host.errors.errors.isEmpty()); // the malformed ones were reached and refused
    QVERIFY(!scored.isEmpty());
    qInfo() << host.errors.errors.size() << "refused with an error," << scored.size()
            << "rounds scored";

    // Everyone leaves; the host still serves a whole game to a new host.
    for (int seat = 1; seat <= table::maxSeats; ++seat)
        host.drop(seat);
    for (int seat = 1; seat <= table::maxSeats; ++seat)
        QVERIFY(!server.player(seat).connected);
    QCOMPARE(host.join("Again"), 1);
    QCOMPARE(host.join("Ann"), 2);
    const int errors = int(host.errors.errors.size());
    const int from = int(host.received(1).size());
    host.send(1, msg::startgame("Again", "30", "10", "5", 3));
    host.send(1, msg::justwatch(1, 1));
    host.send(2, msg::justwatch(2, 1));
    host.runTimers();
    const QByteArrayList after = host.received(1).mid(from);
    QCOMPARE(after.mid(0, 2),
             (QByteArrayList{"CMD_startgame+Again+30+", "CMD_roundstart+1+3+1+4+1+5+1+6+1+7+1"}));
    QCOMPARE(host.named(1, cmd::winner, from).size(), 1);
    QCOMPARE(host.named(2, cmd::winner).size(), 1);
    QCOMPARE(int(host.errors.errors.size()), errors);
    QVERIFY(!server.gameRunning());
}

QTEST_GUILESS_MAIN(TestHostFuzz)
#include "tst_hostfuzz.moc"
