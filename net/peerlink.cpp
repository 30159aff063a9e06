#include "net/peerlink.h"

#include "net/dispatchpump.h"
#include "net/logging.h"

#include <QTcpSocket>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

PeerLink::PeerLink(QTcpSocket* socket, int sender, DispatchPump* pump, QObject* parent)
    : QObject(parent), m_socket(socket), m_sender(sender), m_pump(pump)
{
    // Without a bound the socket object would read everything the peer sends into memory
    // while we hold off.
    m_socket->setReadBufferSize(readBufferSize);
    connect(m_socket, &QTcpSocket::readyRead, this, &PeerLink::readAvailable);
    connect(m_pump, &DispatchPump::taken, this, &PeerLink::resumeIfDrained);
    if (m_socket->state() == QAbstractSocket::ConnectedState)
        setSocketOptions();
    else
        connect(m_socket, &QTcpSocket::connected, this, &PeerLink::setSocketOptions);
}

void PeerLink::setSocketOptions()
{
    const int fd = int(m_socket->socketDescriptor());
    const int on = 1;
    const int idle = keepAliveIdleS;
    const int interval = keepAliveIntervalS;
    const int probes = keepAliveProbes;
    const unsigned timeout = userTimeoutMs;
    // Each message goes out in one write as soon as it is sent: waiting to fill a segment
    // (while the peer delays its acknowledgement) would hold a relay up by 40 ms.
    if (::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on) != 0 ||
        ::setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on) != 0 ||
        ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &idle, sizeof idle) != 0 ||
        ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &interval, sizeof interval) != 0 ||
        ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &probes, sizeof probes) != 0 ||
        ::setsockopt(fd, IPPROTO_TCP, TCP_USER_TIMEOUT, &timeout, sizeof timeout) != 0)
        qCWarning(lcNet) << "could not set keep-alive on connection" << m_sender;
}

void PeerLink::readAvailable()
{
    while (!m_paused && m_socket->bytesAvailable() > 0) {
        for (QByteArray& text : m_reader.feed(m_socket->read(readChunk)))
            m_pump->push({std::move(text), m_sender});
        if (m_reader.overflowed()) {
            emit oversized();
            return;
        }
        if (m_pump->size(m_sender) > maxQueuedMessages ||
            m_pump->bytes(m_sender) > maxQueuedBytes) {
            qCDebug(lcNet) << "connection" << m_sender << "has" << m_pump->size(m_sender)
                           << "messages waiting; reading stops";
            m_paused = true;
        }
    }
}

void PeerLink::resumeIfDrained(int sender)
{
    if (sender != m_sender || !m_paused || m_pump->size(m_sender) > maxQueuedMessages / 2 ||
        m_pump->bytes(m_sender) > maxQueuedBytes / 2)
        return;
    m_paused = false;
    // What the socket object already holds raises no new readyRead.
    QMetaObject::invokeMethod(this, &PeerLink::readAvailable, Qt::QueuedConnection);
}

void PeerLink::send(const QByteArray& wire)
{
    if (m_closing)
        return;
    m_socket->write(wire);
    if (m_socket->bytesToWrite() > maxUnsent) {
        qCDebug(lcNet) << "connection" << m_sender << "does not read what it is sent; closing";
        m_closing = true;
        // Not inside the sender's loop over the seats: from the event loop.
        QMetaObject::invokeMethod(m_socket, &QTcpSocket::abort, Qt::QueuedConnection);
    }
}
