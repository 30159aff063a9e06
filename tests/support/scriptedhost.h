#pragma once

#include <QByteArrayList>
#include <QList>
#include <QObject>
#include <QTcpServer>

#include <memory>

class FrameReader;
class QTcpSocket;

// A host played by the test: it accepts clients on loopback, sends them what the test
// says and keeps every message each one sends, so a client's handling of each host
// message and the exact bytes of its requests can be checked.
class ScriptedHost : public QObject {
    Q_OBJECT
public:
    explicit ScriptedHost(QObject* parent = nullptr);
    ~ScriptedHost() override;

    // On loopback unless told otherwise.
    bool listen(const QHostAddress& address = QHostAddress::LocalHost);
    quint16 port() const { return m_server.serverPort(); }

    // Waits for the next client to connect; returns its index or -1.
    int waitForClient(int timeoutMs = 10000);
    int clients() const { return int(m_peers.size()); }

    void send(int client, const QByteArray& wire);
    void sendAll(const QByteArray& wire);
    void close(int client);

    // Messages received from a client so far, terminators removed.
    QByteArrayList received(int client) const;
    QByteArrayList withPrefix(int client, const QByteArray& prefix) const;
    // Waits until the client has sent a message starting with prefix (from index `from`
    // on); returns its index or -1.
    int waitFor(int client, const QByteArray& prefix, int from = 0, int timeoutMs = 10000);

private:
    struct Peer;
    QTcpServer m_server;
    std::vector<std::unique_ptr<Peer>> m_peers;
};
