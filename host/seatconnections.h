#pragma once

#include "host/seatlink.h"
#include "net/dispatchpump.h"
#include "net/table.h"

#include <QObject>
#include <QTcpServer>

#include <array>

class ErrorReporter;
class PeerLink;
class QTcpSocket;
class TServer;

// The host's sockets: Sock1 listens, each accepted connection gets a seat by rules::seatFor
// or is turned away with CMD_full, and what a seat sends waits in receivedlist until a
// dispatch tick hands the engine one message with its seat and the seat's connection
// generation. Every connection a seat has had has its own generation, so nothing meant for
// an earlier one (a queued message, a timer) can act for the next.
class SeatConnections : public QObject, public SeatLink {
    Q_OBJECT
public:
    SeatConnections(TServer* engine, ErrorReporter* errors, QObject* parent = nullptr);
    ~SeatConnections() override;

    // Switches on Sock1. On failure reports the listen error and returns false.
    bool startListening(quint16 port);
    quint16 serverPort() const { return Sock1.serverPort(); }
    bool isListening() const { return Sock1.isListening(); }
    int seatsUsed() const { return seatsused; }
    qsizetype queuedMessages() const { return receivedlist.size(); }
    // The seat's connection, or null.
    const PeerLink* link(int seat) const;

    void sendTo(int seat, const QByteArray& wire) override;
    void close(int seat) override;

private:
    struct Seat {
        PeerLink* link = nullptr;
        int generation = 0;
    };

    void Sock1Accept();
    void tempsockDisconnect(int seat, int generation);
    void tempsockInfo(int seat, int generation);
    void refuse(QTcpSocket* socket);
    Seat* seatAt(int seat);

    TServer* m_engine;
    ErrorReporter* m_errors;
    QTcpServer Sock1;
    std::array<Seat, table::maxSeats + 1> m_seats{}; // index 0 unused
    int seatsused = 0;
    int m_generation = 0;
    DispatchPump receivedlist;
};
