// libFuzzer target: bytes from several connections into one host, through the seam its
// seat connections use, with no sockets. An input is a script read byte by byte:
//   0x10 to 0x19  connection 0 to 9 becomes the current one (it connects on first use,
//                 so the tenth at a full table is refused)
//   0x1A          the host's timers tick once
//   0x1B          the current connection closes; 0x1C it is reset (the same to the host)
//   0x1D          the host's timers run a few rounds (computer players move)
//   anything else is sent on the current connection, framed as the connection frames it,
//   each message handled at once.
#include "host/seatlink.h"
#include "host/tablerules.h"
#include "host/tserver.h"
#include "net/errorreporter.h"
#include "net/framereader.h"
#include "net/table.h"

#include <QCoreApplication>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <utility>

namespace {
class Quiet : public ErrorReporter {
public:
    void report(const QString&) override {}
};

constexpr int connections = 10;

class Table : public SeatLink {
public:
    Table()
    {
        // The timers never fire by themselves: the script ticks them.
        HostSettings slow;
        slow.botSpeedMs = [] { return 3600 * 1000; };
        slow.secondsBetweenRounds = [] { return 3600; };
        server = std::make_unique<TServer>(slow, &errors, this);
        server->seedRandom(1);
        server->setClock([now = qint64(0)]() mutable { return now += 100; });
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
            send(current, std::exchange(pending, {}));
            if (c <= 0x19)
                current = c - 0x10;
            else if (c == 0x1A)
                tick(1);
            else if (c == 0x1B || c == 0x1C)
                drop(seatOf(current, false));
            else
                tick(200);
        }
        send(current, pending);
        check();
    }

    void sendTo(int, const QByteArray&) override {}
    void close(int seat) override { drop(seat); }

private:
    struct Seat {
        int generation = 0; // 0: no connection
        FrameReader reader;
    };

    void tick(int ticks)
    {
        for (int i = 0; i < ticks; ++i) {
            if (server->computertimerActive())
                server->computertimerTimer();
            else if (server->timer1Active())
                server->timer1Timer();
            else
                return;
        }
    }

    // The connection's seat, connecting it on first use if `connect`; 0 when it has none.
    int seatOf(int index, bool connect = true)
    {
        auto& [seat, own] = m_connectionSeats[std::size_t(index)];
        if (seat != 0 && m_seats[std::size_t(seat)].generation == own)
            return seat;
        if (!connect)
            return 0;
        rules::SeatsTaken taken{};
        for (int s = 1; s <= table::maxSeats; ++s)
            taken[std::size_t(s - 1)] = m_seats[std::size_t(s)].generation != 0;
        seat = rules::seatFor(taken, seatsused);
        if (seat == 0)
            return 0;
        seatsused = std::max(seatsused, seat);
        own = ++generation;
        m_seats[std::size_t(seat)] = {own, {}};
        server->seatOpened(seat, own);
        return seat;
    }

    void send(int index, const QByteArray& bytes)
    {
        if (bytes.isEmpty())
            return;
        const int seat = seatOf(index);
        if (seat == 0)
            return;
        Seat& s = m_seats[std::size_t(seat)];
        for (const QByteArray& text : s.reader.feed(bytes))
            if (s.generation != 0)
                server->socktimerTimer(seat, s.generation, text);
        if (s.generation != 0 && s.reader.overflowed())
            drop(seat);
    }

    void drop(int seat)
    {
        if (seat < 1 || seat > table::maxSeats || m_seats[std::size_t(seat)].generation == 0)
            return;
        m_seats[std::size_t(seat)].generation = 0;
        server->tempsockInfo(seat);
    }

    void check() const
    {
        if (seatsused > table::maxSeats || server->currentTurn() < 0 ||
            server->currentTurn() > table::playingSeats)
            std::abort();
        for (int seat = 1; seat <= table::maxSeats; ++seat)
            if (server->player(seat).connected != (m_seats[std::size_t(seat)].generation != 0))
                std::abort();
    }

    Quiet errors;
    std::unique_ptr<TServer> server;
    std::array<Seat, table::maxSeats + 1> m_seats{};
    std::array<std::pair<int, int>, connections> m_connectionSeats{}; // seat, generation
    int seatsused = 0;
    int generation = 0;
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
