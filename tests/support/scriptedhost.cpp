#include "support/scriptedhost.h"

#include "net/framereader.h"

#include <QDeadlineTimer>
#include <QTcpSocket>
#include <QTest>

struct ScriptedHost::Peer {
    QTcpSocket* socket = nullptr;
    FrameReader reader;
    QByteArrayList received;
};

ScriptedHost::ScriptedHost(QObject* parent) : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            auto peer = std::make_unique<Peer>();
            peer->socket = socket;
            Peer* p = peer.get();
            connect(socket, &QTcpSocket::readyRead, this, [p] {
                for (QByteArray& text : p->reader.feed(p->socket->readAll()))
                    p->received.append(std::move(text));
            });
            m_peers.push_back(std::move(peer));
        }
    });
}

ScriptedHost::~ScriptedHost()
{
    for (auto& p : m_peers)
        p->socket->disconnect(this);
}

bool ScriptedHost::listen(const QHostAddress& address)
{
    return m_server.listen(address, 0);
}

int ScriptedHost::waitForClient(int timeoutMs)
{
    const int index = clients();
    QDeadlineTimer deadline(timeoutMs);
    while (clients() <= index) {
        if (deadline.hasExpired())
            return -1;
        QTest::qWait(2);
    }
    return index;
}

void ScriptedHost::send(int client, const QByteArray& wire)
{
    QTcpSocket* socket = m_peers.at(std::size_t(client))->socket;
    socket->write(wire);
    socket->flush();
}

void ScriptedHost::sendAll(const QByteArray& wire)
{
    for (int i = 0; i < clients(); ++i)
        if (m_peers.at(std::size_t(i))->socket->state() == QAbstractSocket::ConnectedState)
            send(i, wire);
}

void ScriptedHost::close(int client)
{
    m_peers.at(std::size_t(client))->socket->disconnectFromHost();
}

QByteArrayList ScriptedHost::received(int client) const
{
    return m_peers.at(std::size_t(client))->received;
}

QByteArrayList ScriptedHost::withPrefix(int client, const QByteArray& prefix) const
{
    QByteArrayList result;
    for (const QByteArray& text : received(client))
        if (text.startsWith(prefix))
            result.append(text);
    return result;
}

int ScriptedHost::waitFor(int client, const QByteArray& prefix, int from, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        const QByteArrayList list = received(client);
        for (int i = from; i < list.size(); ++i)
            if (list.at(i).startsWith(prefix))
                return i;
        if (deadline.hasExpired())
            return -1;
        QTest::qWait(2);
    }
}
