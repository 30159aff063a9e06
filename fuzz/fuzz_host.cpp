// libFuzzer target: bytes from several connections into one host, over loopback. An
// input is a script read byte by byte:
//   0x10 to 0x19  connection 0 to 9 becomes the current one (it connects on first use,
//                 so the tenth at a full table is refused)
//   0x1A          the host handles every message it has received
//   0x1B          the current connection closes; 0x1C it is reset
//   0x1D          the host's timers run a few rounds (computer players move)
//   anything else is sent on the current connection.
// Sends are made when the script turns to another command; the host reads each send
// whole before the script goes on, so a script always gives the same run.
#include "host/tserver.h"
#include "net/errorreporter.h"
#include "net/peerlink.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTcpSocket>

#include <sys/ioctl.h>
#include <sys/socket.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {
class Quiet : public ErrorReporter {
public:
    void report(const QString&) override {}
};

constexpr int connections = 10;

// The host's end of a connection, found by the peer's port.
QTcpSocket* hostEnd(const TServer& server, const QTcpSocket& peer)
{
    for (int seat = 1; seat <= TServer::maxSeats; ++seat) {
        const PeerLink* link = server.player(seat).sock;
        QTcpSocket* socket = link ? link->socket() : nullptr;
        if (socket && socket->peerPort() == peer.localPort())
            return socket;
    }
    return nullptr;
}

qsizetype unread(QTcpSocket* socket)
{
    int waiting = 0;
    if (::ioctl(int(socket->socketDescriptor()), FIONREAD, &waiting) != 0)
        waiting = 0;
    return socket->bytesAvailable() + waiting;
}

class Table {
public:
    Table()
    {
        HostSettings fast;
        fast.botSpeedMs = [] { return 0; };
        fast.secondsBetweenRounds = [] { return 0; };
        server = std::make_unique<TServer>(fast, &errors);
        server->seedRandom(1);
        if (!server->startListening(0))
            std::abort();
    }

    ~Table()
    {
        // Resets leave no connection waiting out its close on either side.
        for (auto& peer : peers)
            if (peer)
                reset(*peer);
        server.reset();
    }

    void run(const QByteArray& script)
    {
        int current = 0;
        QByteArray pending;
        for (const char byte : script) {
            const auto c = std::uint8_t(byte);
            if (c < 0x10 || c > 0x1D) {
                pending += byte;
                continue;
            }
            send(current, pending);
            pending.clear();
            if (c <= 0x19) {
                current = c - 0x10;
            } else if (c == 0x1A) {
                server->dispatchQueued();
            } else if (c == 0x1B || c == 0x1C) {
                if (QTcpSocket* peer = peers[std::size_t(current)].get()) {
                    if (c == 0x1B)
                        peer->disconnectFromHost();
                    else
                        reset(*peer);
                    settle([peer] { return peer->state() == QAbstractSocket::UnconnectedState; });
                    peers[std::size_t(current)].reset();
                }
            } else {
                for (int round = 0; round < 20; ++round)
                    QCoreApplication::processEvents();
            }
        }
        send(current, pending);
        server->dispatchQueued();
        check();
    }

private:
    static void reset(QTcpSocket& peer)
    {
        const linger now{1, 0};
        ::setsockopt(int(peer.socketDescriptor()), SOL_SOCKET, SO_LINGER, &now, sizeof now);
        peer.abort();
    }

    // Runs the event loop until done() holds, reading and dropping what the host sends.
    template <typename Done> void settle(Done done)
    {
        const QDeadlineTimer deadline(10000);
        while (!done()) {
            if (deadline.hasExpired())
                std::abort();
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            for (auto& peer : peers)
                if (peer)
                    peer->readAll();
        }
    }

    QTcpSocket* peer(int index)
    {
        auto& slot = peers[std::size_t(index)];
        if (slot && slot->state() != QAbstractSocket::ConnectedState)
            slot.reset();
        if (!slot) {
            slot = std::make_unique<QTcpSocket>();
            QTcpSocket* socket = slot.get();
            socket->connectToHost(QHostAddress(QHostAddress::LocalHost), server->serverPort());
            if (!socket->waitForConnected(10000))
                std::abort();
            // Given a seat, or refused and closed.
            settle([this, socket] {
                return hostEnd(*server, *socket) ||
                       socket->state() != QAbstractSocket::ConnectedState;
            });
        }
        return slot->state() == QAbstractSocket::ConnectedState ? slot.get() : nullptr;
    }

    void send(int index, const QByteArray& bytes)
    {
        if (bytes.isEmpty())
            return;
        QTcpSocket* socket = peer(index);
        if (!socket)
            return;
        socket->write(bytes);
        // Until the host has read all of it, or the connection is gone. A host that stops
        // reading a connection with a full queue reads on once the queue is handled.
        int idle = 0;
        settle([&] {
            QTcpSocket* end = hostEnd(*server, *socket);
            if (!end || socket->state() != QAbstractSocket::ConnectedState)
                return true;
            if (socket->bytesToWrite() == 0 && unread(end) == 0)
                return true;
            if (++idle % 100 == 0)
                server->dispatchQueued();
            return false;
        });
    }

    void check() const
    {
        if (server->seatsUsed() < 0 || server->seatsUsed() > TServer::maxSeats ||
            server->queuedMessages() != 0 || server->currentTurn() < 0 ||
            server->currentTurn() > TServer::playingseats)
            std::abort();
    }

    Quiet errors;
    std::unique_ptr<TServer> server;
    std::array<std::unique_ptr<QTcpSocket>, connections> peers;
};
} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_LOGGING_RULES", "*.debug=false;*.warning=false");
    new QCoreApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Table table;
    table.run(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    return 0;
}
