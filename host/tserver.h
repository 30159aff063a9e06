#pragma once

#include "host/hostsettings.h"
#include "net/dispatcher.h"
#include "net/dispatchpump.h"
#include "net/framereader.h"

#include <QObject>
#include <QString>
#include <QTcpServer>

#include <array>
#include <memory>

class ErrorReporter;
class QTcpSocket;

// One seat of the host's table.
struct tplayer {
    QString playername;
    bool connected = false;
    QTcpSocket* sock = nullptr;
    bool watching = false;
    FrameReader reader;
};

// The authoritative game server of the hosting copy: it listens for connections, gives
// each a seat, frames what they send into one queue and dispatches it, one message per
// tick. The seat a message came in on travels with it through the queue.
class TServer : public QObject {
    Q_OBJECT
public:
    static constexpr int playingseats = 7;
    static constexpr int maxSeats = 9;
    static constexpr int refusalSlot = 10;
    static constexpr quint16 defaultPort = 7772;

    TServer(HostSettings settings, ErrorReporter* errors, QObject* parent = nullptr);
    ~TServer() override;

    // Switches on Sock1. On failure reports the listen error and returns false.
    bool startListening(quint16 port = defaultPort);
    quint16 serverPort() const { return Sock1.serverPort(); }
    bool isListening() const { return Sock1.isListening(); }

    const tplayer& player(int seat) const { return m_players.at(std::size_t(seat)); }
    int seatsUsed() const { return seatsused; }
    qsizetype queuedMessages() const { return receivedlist.size(); }

    // Closes the seat's connection if the seat is connected (removal of a player).
    void disconnectsock(int seat);

signals:
    // After a seat's connection has closed and the seat was freed.
    void seatFreed(int seat);

private:
    void Sock1Accept();
    void Sock1Read(int seat);
    void tempsockDisconnect(int seat);
    void tempsockInfo(int seat, QTcpSocket* socket);
    void socktimerTimer(const QueuedMessage& message);

    void sendTo(int seat, const QByteArray& wire);
    void sendAll(const QByteArray& wire);
    void sendAllBut(int seat, const QByteArray& wire);
    void refuse(QTcpSocket* socket);
    void buildDispatchTable();

    QTcpServer Sock1;
    std::array<tplayer, refusalSlot + 1> m_players{};
    int seatsused = 0;
    // Seat of the connection the message being handled came in on.
    int m_sender = 0;

    HostSettings m_settings;
    ErrorReporter* m_errors;
    Dispatcher m_dispatch;
    DispatchPump receivedlist;
};
