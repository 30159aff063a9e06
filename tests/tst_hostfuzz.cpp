// Nothing the clients send may crash the host or make it reach outside its tables.
#include "net/messages.h"
#include "net/table.h"
#include "support/hosttable.h"

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
    HostTable table(1, 0, 4242);
    std::mt19937 rng(20240601);
    // Sensible play, so that rounds run to their end under the noise: a seat picks the
    // first hidden ball as soon as it sees its turn (0xFF first ends whatever the noise
    // left open). A seat 1 that left in its own turn keeps it for whoever sits there next.
    const auto player = [&table](RawClient* peer) {
        const auto pick = [&table, peer] {
            int p = 1;
            while (p < rules::visiblePositions && table.server().board().slot(p).revealed)
                ++p;
            peer->sendRaw('\xff' + msg::chooseball(peer->seat(), p));
        };
        if (peer) {
            const QByteArray myTurn = msg::nextplayer(peer->seat()).chopped(1);
            QObject::connect(peer, &RawClient::messageReceived, peer, [=](const QByteArray& m) {
                if (m == myTurn)
                    pick();
            });
            if (table.server().currentTurn() == peer->seat())
                pick();
        }
        return peer;
    };
    std::vector<RawClient*> peers{player(table.join("Host")), player(table.join("Ann")),
                                  player(table.connect()), player(table.join("Bo")),
                                  player(table.connect())};
    QVERIFY(std::find(peers.begin(), peers.end(), nullptr) == peers.end());
    // Kicked (seat 1 sends kicks too) or closed: a new connection takes its place.
    const auto replaceClosed = [&] {
        for (RawClient*& peer : peers)
            if (peer->socket.state() != QAbstractSocket::ConnectedState &&
                !(peer = player(table.connect())))
                return false;
        return true;
    };
    // Games run while the noise goes on.
    QSignalSpy scored(&table.server(), &TServer::roundScored);
    qsizetype scoredBeforeStart = 0;
    const auto waitForARound = [&] {
        return QTest::qWaitFor(
            [&] {
                return replaceClosed() &&
                       (scored.size() > scoredBeforeStart || !table.server().gameRunning());
            },
            120000);
    };
    // Everything a peer sent before has been handled once its own chat comes back to it.
    const auto handled = [](RawClient* peer, int n) {
        const QString mark = QString("sync %1|").arg(n);
        const qsizetype from = peer->received.size();
        peer->sendRaw('\xff' + msg::chat(peer->seat(), mark.chopped(1), "clBlack"));
        return QTest::qWaitFor(
            [&] {
                return peer->socket.state() != QAbstractSocket::ConnectedState ||
                       peer->received.mid(from).join().contains(mark.toLatin1());
            },
            60000);
    };
    // A second passes at every look at the clock: the relay limit never drops the sync chats.
    table.server().setClock([now = qint64(0)]() mutable { return now += 1000; });
    peers[0]->sendRaw(msg::startgame("Host", "500", "5", "4", 3));
    QTRY_VERIFY(table.server().gameRunning());

    const int total = 3000;
    for (int sent = 0; sent < total; ++sent) {
        const std::size_t i = std::size_t(draw(rng, 0, int(peers.size()) - 1));
        QVERIFY(replaceClosed());
        RawClient* peer = peers[i];
        const int seat = peer->seat();
        // As many draws each time whatever the table does, so the noise is always the same.
        const int kind = draw(rng, 0, 299), position = draw(rng, 1, 75);
        const int card = draw(rng, 1, 2), x = draw(rng, 1, 5), y = draw(rng, 1, 5);
        QByteArray bytes = randomMessage(rng, seat);
        if (kind < 30)
            bytes = msg::cover(seat, card, x, y);
        else if (kind < 60)
            bytes = msg::chooseball(seat, position);
        // Some messages arrive in pieces.
        const bool restart = seat == 1 && bytes.startsWith(cmd::startgame);
        QByteArrayList pieces;
        while (bytes.size() > 1 && draw(rng, 0, 3) == 0) {
            const int cut = draw(rng, 1, int(bytes.size()) - 1);
            pieces << bytes.left(cut);
            bytes.remove(0, cut);
        }
        pieces << bytes;
        // Seat 1 restarts the game rarely, and only once the game has scored a round.
        if (restart && kind % 20 != 0)
            continue;
        if (restart)
            QVERIFY2(waitForARound(), "no round scored before a restart");
        for (const QByteArray& piece : pieces)
            peer->sendRaw(piece);
        // The noise is let out in short runs, so that the picks are not stuck behind it.
        if (restart || sent % 10 == 0) {
            QVERIFY(handled(peer, sent));
            if (restart)
                scoredBeforeStart = scored.size();
            QVERIFY(table.server().seatsUsed() <= TServer::maxSeats);
            for (int p = rules::visiblePositions + 1; p <= rules::boardPositions; ++p)
                QVERIFY(!table.server().board().slot(p).revealed);
            for (int seat = 1; seat <= TServer::maxSeats; ++seat)
                QVERIFY(table.server().player(seat).connected ==
                        (table.server().player(seat).sock != nullptr));
        }
    }
    QVERIFY(!table.errors.errors.isEmpty()); // the malformed ones were reached and refused
    QVERIFY2(waitForARound() && !scored.isEmpty(), "no round scored");
    qInfo() << table.errors.errors.size() << "refused with an error," << scored.size()
            << "rounds scored";

    // Everyone leaves; the host still serves a whole game to a new table.
    for (RawClient* peer : peers)
        if (peer->socket.state() == QAbstractSocket::ConnectedState)
            table.dropClient(peer);
    QTRY_VERIFY([&] {
        for (int seat = 1; seat <= TServer::maxSeats; ++seat)
            if (table.server().player(seat).connected)
                return false;
        return true;
    }());
    RawClient* host = table.join("Again");
    QVERIFY(host);
    QCOMPARE(host->seat(), 1);
    RawClient* ann = table.join("Ann");
    QVERIFY(ann);
    QCOMPARE(ann->seat(), 2);
    const int errors = int(table.errors.errors.size());
    const int from = int(host->received.size());
    host->sendRaw(msg::startgame("Again", "30", "10", "5", 3));
    host->sendRaw(msg::justwatch(1, 1));
    ann->sendRaw(msg::justwatch(2, 1));
    QVERIFY(host->waitFor(cmd::winner, from, 120000) > 0);
    const int start = host->waitFor(cmd::startgame, from);
    QCOMPARE(host->received.at(start), QByteArray("CMD_startgame+Again+30+"));
    QCOMPARE(host->received.at(start + 1), QByteArray("CMD_roundstart+1+3+1+4+1+5+1+6+1+7+1"));
    QVERIFY(ann->waitFor(cmd::winner, from) > 0);
    QCOMPARE(int(table.errors.errors.size()), errors);
    QVERIFY(!table.server().gameRunning());
}

QTEST_GUILESS_MAIN(TestHostFuzz)
#include "tst_hostfuzz.moc"
