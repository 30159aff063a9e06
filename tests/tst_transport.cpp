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

class TestTransport : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void nineSeatsThenFull();
    void resetConnectionFreesTheSeat();
    void oversizedInputClosesTheSeat();
    void listenErrors();
    void floodDoesNotHoldUpOthers();
    void seatThatStopsReadingIsLetGo();
    void engineClosesTheConnection();
    void closedConnectionsMessagesDoNotActForTheNextOne();

private:
    RawClient* connectClient(int expectedSeat);
    RawClient* joinClient(int expectedSeat);

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
    if (!client->join(m_server->serverPort(), QStringLiteral("P%1").arg(expectedSeat)) ||
        client->seat() != expectedSeat)
        return nullptr;
    m_clients.push_back(std::move(client));
    return m_clients.back().get();
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

// A connection reset by the network frees the seat like an orderly close (which
// closedConnectionsMessagesDoNotActForTheNextOne shows); which seat is taken next is
// tst_rules' seatForConnection.
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

// What the engine lets go (a kick, a flood, a missed login) is closed on the wire.
void TestTransport::engineClosesTheConnection()
{
    RawClient* host = joinClient(1);
    RawClient* silent = connectClient(2);
    QVERIFY(host && silent);
    m_server->disconnectsock(2);
    QVERIFY(silent->waitForClose());
    QVERIFY(host->waitFor("CMD_playerdisconnected+2+") > 0);
    QVERIFY(m_server->player(1).connected);
    QVERIFY(connectClient(2));
}

// A seat's queued messages belong to the connection that sent them, not to the seat.
void TestTransport::closedConnectionsMessagesDoNotActForTheNextOne()
{
    m_step = FloodLimit::refillMs;
    RawClient* host = joinClient(1);
    RawClient* ann = joinClient(2);
    QVERIFY(host && ann);
    QByteArray burst;
    for (int i = 0; i < 40; ++i)
        burst += msg::chat(2, QString("old %1").arg(i), "clRed");
    ann->sendRaw(burst + msg::logininfo(2, table::version(), "Ghost"));
    ann->socket.disconnectFromHost();
    QVERIFY(ann->waitForClose());
    QTRY_VERIFY(!m_server->player(2).connected);
    RawClient* next = joinClient(2);
    QVERIFY(next);
    next->sendRaw(msg::chat(2, "new", "clRed"));
    QVERIFY(host->waitFor("CMD_chat+2+P2 chats: new") > 0);
    const int left = host->waitFor("CMD_playerdisconnected+2+P2");
    QVERIFY(left > 0);
    QCOMPARE(host->received.mid(left + 1),
             (QByteArrayList{"CMD_newplayerinfo+2+P2+0", "CMD_chat+2+P2 chats: new|clRed"}));
}

QTEST_GUILESS_MAIN(TestTransport)
#include "tst_transport.moc"
