// Nothing the clients send may crash the host or make it reach outside its tables.
#include "net/messages.h"
#include "support/hosttable.h"

#include <QSignalSpy>
#include <QTest>

#include <random>

namespace {

const char* const names[] = {
    cmd::logininfo, cmd::kickhim,   cmd::chat,    cmd::action,       cmd::playasound,
    cmd::startgame, cmd::justwatch, cmd::chooseball, cmd::cover,     "CMD_Chat",
    "CMD_",         "",             "CMD_scores", "CMD_nextplayer",  "cmd_cover",
    "CMD_chooseballs"};

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
    static const QList<QByteArray> edges{"0",  "-1", "10", "72", "73", "75", "76", "77", "99",
                                         "2147483647", "-2147483648", "2147483648",
                                         "99999999999", "+5", "-", "1e3", " 3", "07"};
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
        return msg::version.toUtf8();
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
    std::vector<RawClient*> peers{table.join("Host"), table.join("Ann"), table.connect(),
                                  table.join("Bo"), table.connect()};
    QVERIFY(std::find(peers.begin(), peers.end(), nullptr) == peers.end());
    // Games run while the noise goes on.
    QSignalSpy scored(&table.server(), &TServer::roundScored);
    peers[0]->sendRaw(msg::startgame("Host", "60", "5", "4", 3));
    QTRY_VERIFY(table.server().gameRunning());

    const int total = 3000;
    for (int sent = 0; sent < total; ++sent) {
        const std::size_t i = std::size_t(draw(rng, 0, int(peers.size()) - 1));
        if (peers[i]->socket.state() != QAbstractSocket::ConnectedState) {
            // Kicked (seat 1 sends kicks too) or closed: a new connection takes its place.
            RawClient* replacement = table.connect();
            QVERIFY(replacement);
            peers[i] = replacement;
        }
        RawClient* peer = peers[i];
        // Sensible play now and then, so that rounds run to their end under the noise.
        const int turn = table.server().currentTurn();
        for (RawClient* p : peers)
            if (turn != 0 && p->seat() == turn && draw(rng, 0, 3) == 0)
                peer = p;
        const int seat = peer->seat();
        QByteArray bytes;
        bool sensible = false;
        if (draw(rng, 0, 299) == 0 && seat == 1) {
            bytes = msg::startgame("Host", "40", "3", QString::number(draw(rng, 0, 9)),
                                   draw(rng, 0, 4));
        } else if (turn == seat && draw(rng, 0, 1) == 0) {
            bytes = msg::chooseball(seat, draw(rng, 1, 72));
            sensible = true;
        } else if (draw(rng, 0, 9) == 0) {
            bytes = msg::cover(seat, draw(rng, 1, 2), draw(rng, 1, 5), draw(rng, 1, 5));
        } else {
            bytes = randomMessage(rng, seat);
            // Seat 1 may restart the game; rarely, or no round would ever end.
            while (seat == 1 && bytes.startsWith(cmd::startgame) && draw(rng, 0, 19) != 0)
                bytes = randomMessage(rng, seat);
        }
        // Some messages arrive in pieces.
        while (bytes.size() > 1 && draw(rng, 0, 3) == 0) {
            const int cut = draw(rng, 1, int(bytes.size()) - 1);
            peer->sendRaw(bytes.left(cut));
            bytes.remove(0, cut);
        }
        peer->sendRaw(bytes);
        if (sensible) {
            // The next choices should see the turn this pick leads to.
            QTest::qWait(5);
            QTRY_VERIFY_WITH_TIMEOUT(table.server().queuedMessages() == 0, 60000);
        }
        if (sent % 25 == 0) {
            // Kept short so that the sensible picks meet the turn they were meant for.
            QTest::qWait(5);
            QTRY_VERIFY_WITH_TIMEOUT(table.server().queuedMessages() < 3, 60000);
            QVERIFY(table.server().seatsUsed() <= TServer::maxSeats);
            for (int p = rules::visiblePositions + 1; p <= rules::boardPositions; ++p)
                QVERIFY(!table.server().board().slot(p).revealed);
            for (int seat = 1; seat <= TServer::maxSeats; ++seat)
                QVERIFY(table.server().player(seat).connected == (table.server().player(seat).sock != nullptr));
        }
    }
    QTRY_VERIFY_WITH_TIMEOUT(table.server().queuedMessages() == 0, 300000);
    QVERIFY(!table.errors.errors.isEmpty()); // the malformed ones were reached and refused
    QVERIFY(!scored.isEmpty());
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
