#include "host/seatconnections.h"
#include "host/tserver.h"
#include "net/messages.h"
#include "net/peerlink.h"
#include "support/rawclient.h"
#include "support/recordingreporter.h"
#include "support/wire.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

#include <memory>
#include <sys/socket.h>

namespace {
}

class TestTransport : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void nineSeatsThenFull();
    void freedSeatIsReusedLowestFirst();
    void resetConnectionFreesTheSeat();
    void oversizedInputClosesTheSeat();
    void listenErrors();
    void floodLimit_data();
    void floodLimit();
    void floodDoesNotHoldUpOthers();
    void seatThatStopsReadingIsLetGo();
    void seatWithoutLoginIsLetGo();

private:
    RawClient* connectClient(int expectedSeat);
    RawClient* joinClient(int expectedSeat);
    // Chat, action and chatter-sound relays of one seat's lines that a client received.
    static qsizetype relaysFrom(const RawClient& client, int seat);

    // The relay limit's clock: each reading moves it on by m_step milliseconds.
    qint64 m_now = 0;
    qint64 m_step = 0;

    RecordingReporter m_errors;
    std::unique_ptr<TServer> m_server;
    std::vector<std::unique_ptr<RawClient>> m_clients;
};

void TestTransport::init()
{
    m_errors.errors.clear();
    m_server = std::make_unique<TServer>(HostSettings{}, &m_errors);
    m_now = m_step = 0;
    m_server->setClock([this] { return m_now += m_step; });
    QVERIFY(m_server->startListening(0));
}

void TestTransport::cleanup()
{
    m_clients.clear();
    m_server.reset();
}

RawClient* TestTransport::connectClient(int expectedSeat)
{
    auto client = std::make_unique<RawClient>();
    if (!client->connectTo(m_server->serverPort()))
        return nullptr;
    if (client->waitFor(cmd::sendlogininfo) < 0)
        return nullptr;
    if (client->received.first() != "CMD_sendlogininfo+" + QByteArray::number(expectedSeat)) {
        qWarning() << "unexpected" << client->received.first();
        return nullptr;
    }
    m_clients.push_back(std::move(client));
    return m_clients.back().get();
}

RawClient* TestTransport::joinClient(int expectedSeat)
{
    auto client = std::make_unique<RawClient>();
    client->setAutoLogin(QStringLiteral("P%1").arg(expectedSeat));
    if (!client->connectTo(m_server->serverPort()) ||
        client->waitFor("CMD_newplayerinfo+" + QByteArray::number(expectedSeat) + '+') < 0)
        return nullptr;
    m_clients.push_back(std::move(client));
    return m_clients.back().get();
}

qsizetype TestTransport::relaysFrom(const RawClient& client, int seat)
{
    const QByteArray from = '+' + QByteArray::number(seat) + '+';
    return client.withPrefix(cmd::chat + from).size() +
           client.withPrefix(cmd::action + from).size() +
           client.withPrefix(cmd::playasound + from).size();
}

void TestTransport::nineSeatsThenFull()
{
    for (int seat = 1; seat <= 9; ++seat)
        QVERIFY(connectClient(seat));
    QCOMPARE(m_server->connections()->seatsUsed(), 9);

    RawClient tenth;
    QVERIFY(tenth.connectTo(m_server->serverPort()));
    QVERIFY(tenth.waitForClose());
    QCOMPARE(tenth.received, QByteArrayList{"CMD_full+"});

    // Nothing else changed: every seat still connected, nobody told of a departure.
    QCOMPARE(m_server->connections()->seatsUsed(), 9);
    for (int seat = 1; seat <= 9; ++seat)
        QVERIFY(m_server->player(seat).connected);
    // A later departure is the first notice anyone gets: the refusal sent none.
    m_clients.back()->socket.disconnectFromHost();
    for (int i = 0; i < 8; ++i) {
        RawClient& client = *m_clients[std::size_t(i)];
        QVERIFY(client.waitFor("CMD_playerdisconnected+") > 0);
        QCOMPARE(client.received, (QByteArrayList{"CMD_sendlogininfo+" + QByteArray::number(i + 1),
                                                  "CMD_playerdisconnected+9+"}));
    }
}

void TestTransport::freedSeatIsReusedLowestFirst()
{
    for (int seat = 1; seat <= 5; ++seat)
        QVERIFY(connectClient(seat));
    QSignalSpy freed(m_server.get(), &TServer::seatFreed);
    m_clients[3]->socket.disconnectFromHost();
    QVERIFY(freed.wait(10000));
    QCOMPARE(freed.first().first().toInt(), 4);
    QVERIFY(!m_server->player(4).connected);
    for (int i : {0, 1, 2, 4})
        QVERIFY(m_clients[std::size_t(i)]->waitFor("CMD_playerdisconnected+4+") > 0);
    QVERIFY(connectClient(4));
    QVERIFY(connectClient(6));
    QCOMPARE(m_server->connections()->seatsUsed(), 6);
}

// A connection reset by the network frees the seat like an orderly close.
void TestTransport::resetConnectionFreesTheSeat()
{
    QVERIFY(connectClient(1));
    RawClient* second = connectClient(2);
    QVERIFY(second);
    QSignalSpy freed(m_server.get(), &TServer::seatFreed);
    const linger hard{1, 0};
    QCOMPARE(::setsockopt(int(second->socket.socketDescriptor()), SOL_SOCKET, SO_LINGER, &hard,
                          sizeof hard),
             0);
    second->socket.abort(); // SO_LINGER 0: the close sends a reset
    QVERIFY(freed.wait(10000));
    QVERIFY(!m_server->player(2).connected);
    QVERIFY(m_clients[0]->waitFor("CMD_playerdisconnected+2+") > 0);
    QVERIFY(connectClient(2));
}

void TestTransport::oversizedInputClosesTheSeat()
{
    QVERIFY(connectClient(1));
    RawClient* flooder = connectClient(2);
    QVERIFY(flooder);
    flooder->sendRaw(QByteArray(70 * 1024, 'a'));
    QVERIFY(flooder->waitForClose());
    QTRY_VERIFY(!m_server->player(2).connected);
    QVERIFY(m_server->player(1).connected);
    QCOMPARE(m_server->connections()->queuedMessages(), 0);
}

void TestTransport::listenErrors()
{
    QTcpServer occupied;
    QVERIFY(occupied.listen(QHostAddress::Any, 0));
    TServer second(HostSettings{}, &m_errors);
    QVERIFY(!second.startListening(occupied.serverPort()));
    QCOMPARE(m_errors.errors, QStringList{"Listen - Error Binding Socket"});
}

// Chat, actions and chatter sounds share one bucket per connection: a burst, then one a
// second; a connection that keeps flooding is let go.
void TestTransport::floodLimit_data()
{
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("msBetween");
    QTest::addColumn<int>("relayed");
    QTest::addColumn<bool>("closed");
    QTest::newRow("a burst of ten") << 10 << 0 << 10 << false;
    QTest::newRow("beyond the burst") << 15 << 0 << 10 << false;
    QTest::newRow("one a second") << 40 << 1000 << 40 << false;
    QTest::newRow("fifty dropped") << 70 << 0 << 10 << true;
}

void TestTransport::floodLimit()
{
    QFETCH(int, lines);
    QFETCH(int, msBetween);
    QFETCH(int, relayed);
    QFETCH(bool, closed);
    RawClient* watcher = joinClient(1);
    RawClient* sender = joinClient(2);
    QVERIFY(watcher && sender);
    m_step = msBetween;
    QByteArray burst;
    for (int i = 0; i < lines; ++i)
        burst += i % 3 == 0   ? msg::chat(2, "hi", "clBlack")
                 : i % 3 == 1 ? msg::action(2, "waves", "clBlack")
                              : msg::playasound(2, 1);
    burst += msg::justwatch(2, 2); // answered by everyone's CMD_justwatching, never limited
    sender->sendRaw(burst);
    QVERIFY(watcher->waitFor(closed ? "CMD_playerdisconnected+2+P2" : "CMD_justwatching+2+2") > 0);
    QCOMPARE(relaysFrom(*watcher, 2), relayed);
    QCOMPARE(m_server->player(2).connected, !closed);
}

// Each tick takes the next connection with messages waiting: a flooding seat holds up
// another's line by a tick or two, and loses nothing of its own (reading it pauses).
void TestTransport::floodDoesNotHoldUpOthers()
{
    m_step = FloodLimit::refillMs; // every line earns its token: no line is dropped here
    RawClient* watcher = joinClient(1);
    RawClient* flooder = joinClient(2);
    RawClient* other = joinClient(3);
    QVERIFY(watcher && flooder && other);
    // Long enough lines that the host stops reading with some of them still in the socket.
    const auto line = [](int i) { return QByteArray::number(i).leftJustified(1000, '.'); };
    const int count = 200;
    QByteArray flood;
    for (int i = 0; i < count; ++i)
        flood += msg::chat(2, line(i), "clBlack");
    flooder->sendRaw(flood);
    other->sendRaw(msg::chat(3, "me too", "clBlack"));
    QVERIFY(watcher->waitFor("CMD_chat+2+P2 chats: " + line(count - 1), 0, 60000) > 0);
    QByteArrayList relays = watcher->withPrefix(cmd::chat);
    const qsizetype otherAt = relays.indexOf("CMD_chat+3+P3 chats: me too|clBlack");
    QVERIFY2(otherAt >= 0 && otherAt <= 3, qPrintable(QString::number(otherAt)));
    relays.removeAt(otherAt);
    QCOMPARE(relays.size(), count);
    for (int i = 0; i < count; ++i)
        QCOMPARE(relays.at(i), "CMD_chat+2+P2 chats: " + line(i) + "|clBlack");
}

// Output that waits unsent beyond its bound means the peer stopped reading: it is let go
// like any departure.
void TestTransport::seatThatStopsReadingIsLetGo()
{
    m_step = FloodLimit::refillMs;
    RawClient* talker = joinClient(1);
    RawClient* deaf = joinClient(2);
    QVERIFY(talker && deaf);
    // It stops reading. Small kernel buffers on both ends keep the test short: loopback
    // would otherwise absorb megabytes before anything waits in the host.
    deaf->socket.disconnect(deaf);
    deaf->socket.setReadBufferSize(1);
    const int small = 16384;
    for (const qintptr fd : {deaf->socket.socketDescriptor(),
                             m_server->connections()->link(2)->socket()->socketDescriptor()})
        for (const int option : {SO_RCVBUF, SO_SNDBUF})
            QCOMPARE(::setsockopt(int(fd), SOL_SOCKET, option, &small, sizeof small), 0);
    QSignalSpy freed(m_server.get(), &TServer::seatFreed);
    const QString line(4000, 'x');
    const qint64 lines = 2 * PeerLink::maxUnsent / line.size();
    QByteArray talk;
    for (qint64 i = 0; i < lines; ++i)
        talk += msg::chat(1, line, "clBlack");
    talker->sendRaw(talk);
    QVERIFY(freed.wait(60000));
    QCOMPARE(freed.first().first().toInt(), 2);
    QVERIFY(talker->waitFor("CMD_playerdisconnected+2+P2") > 0);
    QVERIFY(m_server->player(1).connected);
}

void TestTransport::seatWithoutLoginIsLetGo()
{
    m_server->setLoginDeadline(1000);
    RawClient* prompt = joinClient(1);
    RawClient* silent = connectClient(2);
    QVERIFY(prompt && silent);
    QSignalSpy freed(m_server.get(), &TServer::seatFreed);
    QVERIFY(silent->waitForClose(20000));
    QTRY_COMPARE(freed.size(), 1);
    QCOMPARE(freed.first().first().toInt(), 2);
    QVERIFY(prompt->waitFor("CMD_playerdisconnected+2+") > 0);
    QVERIFY(m_server->player(1).connected);
    QVERIFY(connectClient(2));
}

QTEST_GUILESS_MAIN(TestTransport)
#include "tst_transport.moc"
