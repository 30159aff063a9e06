#pragma once

#include "client/launchoptions.h"
#include "net/dispatchpump.h"
#include "net/peerlink.h"

#include <QTcpSocket>
#include <QTimer>

#include <functional>

class ErrorReporter;

// The connection to the table's host, and the one to the lobby: it connects, hands the
// host's messages on one per dispatch tick, sends, and says in the chat's words what
// became of the connection.
class TableConnection : public QObject {
    Q_OBJECT
public:
    TableConnection(const LaunchOptions& options, ErrorReporter* errors,
                    std::function<void(const QByteArray&)> receive, QObject* parent = nullptr);
    ~TableConnection() override;

    // The table's address as the player gave it; the notices name it.
    void setAddress(const QString& address) { m_address = address; }
    const QString& address() const { return m_address; }
    // To the host this copy runs, listening on port.
    void connectToOwnHost(quint16 port);
    // To the table at address(), given up when it does not answer in time.
    void join();
    void connectToLobby();
    // Reports an error when not connected.
    void send(const QByteArray& wire);

    QTcpSocket& socket() { return m_socket; }
    QTcpSocket& lobbySocket() { return m_lobby; }
    qsizetype queuedMessages() const { return m_received.size(); }

signals:
    // A line for the chat: joined, or why no connection was made.
    void notice(const QString& line);
    // The host's end of a connection once made has gone away; text says how.
    void ended(const QString& text);

private:
    void failed(QAbstractSocket::SocketError error);
    void timedOut();
    void closed();

    const LaunchOptions& m_options;
    ErrorReporter* m_errors;
    QString m_address;
    QTcpSocket m_socket;
    QTcpSocket m_lobby;
    DispatchPump m_received;
    // Reads m_socket into m_received, bounded, and sends on it.
    PeerLink m_link;
    QTimer m_connectTimer;
    bool m_joining = false;
    bool m_everConnected = false;
    bool m_broken = false;
};
