#pragma once

#include "host/bingocard.h"
#include "host/seatlink.h"
#include "host/tserver.h"
#include "net/framereader.h"
#include "net/messages.h"
#include "net/table.h"
#include "support/recordingreporter.h"

#include <QByteArrayList>

#include <array>
#include <functional>

// The host's engine with no sockets: a test opens seats, hands it messages as if they came
// in on a seat's connection (each handled at once), and reads what it sent each seat. The
// game timers are set so slow that they never fire by themselves; runTimers() ticks them.
class HostDriver : public SeatLink {
public:
    explicit HostDriver(std::uint32_t seed = 1);
    // Seats and logs in each name in turn.
    explicit HostDriver(std::initializer_list<const char*> names) : HostDriver()
    {
        for (const char* name : names)
            join(QString::fromUtf8(name));
    }

    RecordingReporter errors;
    TServer& server() { return m_server; }

    // A new connection: the seat it gets, or 0 when it is turned away.
    int connect();
    // Connects and logs in; returns the seat.
    int join(const QString& name, const QString& version = table::version());
    // Frames wire as the seat's connection would (a message may be completed by a later
    // send) and hands each message to the host.
    void send(int seat, const QByteArray& wire);
    // The seat's peer goes away.
    void drop(int seat);
    // Ticks the armed game timer until none is (a person holds the turn or the game is
    // over), or until stop() holds.
    void runTimers(const std::function<bool()>& stop = {});

    bool isOpen(int seat) const { return m_generation[std::size_t(seat)] != 0; }
    // What the host sent the seat's current connection, terminators removed.
    const QByteArrayList& received(int seat) const { return m_received[std::size_t(seat)]; }
    // Those of them from index `from` on whose name is `name`.
    QByteArrayList named(int seat, const char* name, int from = 0) const;
    int seatsUsed() const { return m_seatsused; }
    // The first hidden position on the board holding a Zorer Aru ball (bob) or a number; 0
    // when there is none.
    int hiddenPosition(bool bob = false) const;
    // The cells of the seat's first card whose numbers lie hidden on the board, column by
    // column, with their positions.
    struct HiddenCell {
        int x, y, position;
    };
    QList<HiddenCell> hiddenCells(int seat) const;

    void sendTo(int seat, const QByteArray& wire) override;
    void close(int seat) override;

private:
    TServer m_server;
    std::array<QByteArrayList, table::maxSeats + 1> m_received;
    std::array<int, table::maxSeats + 1> m_generation{};
    std::array<FrameReader, table::maxSeats + 1> m_readers;
    int m_seatsused = 0;
    int m_lastGeneration = 0;
};

// The "+"-separated fields after a message's name.
QByteArrayList fieldsOf(const QByteArray& message);
QList<int> numbersOf(const QByteArray& message);
// The cards in a CMD_myboard.
rules::CardPair cardsOf(const QByteArray& myboard);
QByteArray nameOf(const QByteArray& message);
