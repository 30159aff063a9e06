#include "host/tserver.h"
#include "net/messages.h"
#include "support/rawclient.h"
#include "support/recordingreporter.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

#include <memory>
#include <sys/socket.h>

namespace {
const QByteArray FF(1, char(0xFF));
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

private:
    RawClient* connectClient(int expectedSeat);

    RecordingReporter m_errors;
    std::unique_ptr<TServer> m_server;
    std::vector<std::unique_ptr<RawClient>> m_clients;
};

void TestTransport::init()
{
    m_errors.errors.clear();
    m_server = std::make_unique<TServer>(HostSettings{}, &m_errors);
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

void TestTransport::nineSeatsThenFull()
{
    for (int seat = 1; seat <= 9; ++seat)
        QVERIFY(connectClient(seat));
    QCOMPARE(m_server->seatsUsed(), 9);

    RawClient tenth;
    QVERIFY(tenth.connectTo(m_server->serverPort()));
    QVERIFY(tenth.waitForClose());
    QCOMPARE(tenth.received, QByteArrayList{"CMD_full+"});

    // Nothing else changed: every seat still connected, nobody told of a departure.
    QCOMPARE(m_server->seatsUsed(), 9);
    QCOMPARE(m_server->player(TServer::refusalSlot).connected, false);
    for (int seat = 1; seat <= 9; ++seat)
        QVERIFY(m_server->player(seat).connected);
    // A later departure is the first notice anyone gets: the refusal sent none.
    m_clients.back()->socket.disconnectFromHost();
    for (int i = 0; i < 8; ++i) {
        RawClient& client = *m_clients[std::size_t(i)];
        QVERIFY(client.waitFor("CMD_playerdisconnected+") > 0);
        QCOMPARE(client.received,
                 (QByteArrayList{"CMD_sendlogininfo+" + QByteArray::number(i + 1),
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
    QCOMPARE(m_server->seatsUsed(), 6);
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
    QCOMPARE(m_server->queuedMessages(), 0);
}

void TestTransport::listenErrors()
{
    QTcpServer occupied;
    QVERIFY(occupied.listen(QHostAddress::Any, 0));
    TServer second(HostSettings{}, &m_errors);
    QVERIFY(!second.startListening(occupied.serverPort()));
    QCOMPARE(m_errors.errors, QStringList{"Listen - Error Binding Socket"});
}

QTEST_GUILESS_MAIN(TestTransport)
#include "tst_transport.moc"
