#pragma once

#include "net/framereader.h"

#include <QObject>

class DispatchPump;
class QTcpSocket;

// One game connection, the same on host and client: it frames what the peer sends into
// the side's dispatch pump under its own sender number, stops reading while too much of
// it waits there (TCP then slows the peer down, and nothing is lost), bounds what may
// wait unsent, and keeps TCP keep-alive on so that a vanished peer ends in a socket
// error like a reset. Its owner handles the socket's close as before.
class PeerLink : public QObject {
    Q_OBJECT
public:
    // Reading stops above either bound and starts again at half of both. 64 is far more
    // than an honest peer ever has waiting (one tick drains one); 256 KiB is 64 of the
    // longest entries the queue keeps.
    static constexpr qsizetype maxQueuedMessages = 64;
    static constexpr qsizetype maxQueuedBytes = 256 * 1024;
    // What the socket object itself may hold unread while we do not read it.
    static constexpr qint64 readBufferSize = 64 * 1024;
    static constexpr qint64 readChunk = 32768;
    // Unsent output beyond this means the peer has stopped reading: the link closes.
    static constexpr qint64 maxUnsent = 1024 * 1024;
    // Keep-alive: first probe after 30 s of silence, then every 10 s, 3 probes; and
    // unacknowledged data gives up after 60 s. A vanished peer is noticed in about 90 s.
    static constexpr int keepAliveIdleS = 30;
    static constexpr int keepAliveIntervalS = 10;
    static constexpr int keepAliveProbes = 3;
    static constexpr unsigned userTimeoutMs = 60000;

    // The socket may still be connecting; its options are set once it is connected.
    PeerLink(QTcpSocket* socket, int sender, DispatchPump* pump, QObject* parent = nullptr);

    QTcpSocket* socket() const { return m_socket; }
    // Writes wire, unless the link is already closing; when the unsent output then
    // passes maxUnsent the connection is aborted from the event loop.
    void send(const QByteArray& wire);

signals:
    // The peer sent an unterminated message longer than the frame reader keeps.
    void oversized();

private:
    void readAvailable();
    void resumeIfDrained(int sender);
    void setSocketOptions();

    QTcpSocket* m_socket;
    int m_sender;
    DispatchPump* m_pump;
    FrameReader m_reader;
    bool m_paused = false;
    bool m_closing = false;
};
