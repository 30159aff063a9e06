#include "client/tableconnection.h"

#include "client/connectlines.h"
#include "net/errorreporter.h"

#include <QHostAddress>

TableConnection::TableConnection(const LaunchOptions& options, ErrorReporter* errors,
                                 std::function<void(const QByteArray&)> receive, QObject* parent)
    : QObject(parent), m_options(options), m_errors(errors),
      m_received(1, [receive = std::move(receive)](const QueuedMessage& m) { receive(m.text); }),
      m_link(&m_socket, 0, &m_received)
{
    connect(&m_socket, &QTcpSocket::connected, this, [this] {
        m_everConnected = true;
        m_connectTimer.stop();
        if (m_joining)
            emit notice(connectlines::joined());
    });
    m_connectTimer.setSingleShot(true);
    connect(&m_connectTimer, &QTimer::timeout, this, &TableConnection::timedOut);
    connect(&m_socket, &QTcpSocket::errorOccurred, this, &TableConnection::failed);
    connect(&m_socket, &QTcpSocket::disconnected, this, &TableConnection::closed,
            Qt::QueuedConnection);
}

TableConnection::~TableConnection()
{
    m_socket.disconnect(this);
}

void TableConnection::connectToOwnHost(quint16 port)
{
    m_socket.connectToHost(QHostAddress(QHostAddress::LocalHost), port);
}

void TableConnection::join()
{
    m_joining = true;
    // A text that starts with a digit is a dotted address and is never looked up; one that
    // is no IPv4 address fails as a connect does. Anything else is a name to look up.
    const QChar first = m_address.isEmpty() ? QChar() : m_address.front();
    if (first >= u'0' && first <= u'9') {
        const QHostAddress address(m_address);
        if (address.protocol() == QAbstractSocket::IPv4Protocol)
            m_socket.connectToHost(address, m_options.gamePort);
        else
            QMetaObject::invokeMethod(
                this, [this] { failed(QAbstractSocket::NetworkError); }, Qt::QueuedConnection);
    } else {
        m_socket.connectToHost(m_address, m_options.gamePort);
    }
    m_connectTimer.start(m_options.connectTimeoutMs);
}

void TableConnection::connectToLobby()
{
    m_lobby.connectToHost(QHostAddress(QHostAddress::LocalHost), m_options.lobbyPort);
}

void TableConnection::send(const QByteArray& wire)
{
    if (m_socket.state() != QAbstractSocket::ConnectedState) {
        if (m_errors)
            m_errors->report(socketerror::notConnected);
        return;
    }
    m_link.send(wire);
}

void TableConnection::failed(QAbstractSocket::SocketError error)
{
    m_connectTimer.stop();
    if (m_everConnected) {
        m_broken = error != QAbstractSocket::RemoteHostClosedError;
        // A reset or aborted connection ends like an orderly close.
        if (m_socket.state() != QAbstractSocket::UnconnectedState)
            m_socket.abort();
        else
            QMetaObject::invokeMethod(this, &TableConnection::closed, Qt::QueuedConnection);
        return;
    }
    if (error == QAbstractSocket::HostNotFoundError && m_errors)
        m_errors->report(socketerror::hostLookup);
    emit notice(connectlines::failed(m_address, m_options.gamePort, error));
}

void TableConnection::timedOut()
{
    if (m_socket.state() == QAbstractSocket::ConnectedState)
        return;
    m_socket.abort();
    emit notice(connectlines::noAnswer(m_address, m_options.gamePort));
}

void TableConnection::closed()
{
    // A connection that was never made leaves only its notice.
    if (m_everConnected)
        emit ended(connectlines::hostGone(m_broken));
}
