#include "support/hostdriver.h"

#include "host/tablerules.h"
#include "net/messages.h"

#include <algorithm>

namespace {
HostSettings slowTimers()
{
    HostSettings settings;
    settings.botSpeedMs = [] { return 3600 * 1000; };
    settings.secondsBetweenRounds = [] { return 3600; };
    return settings;
}
} // namespace

HostDriver::HostDriver(std::uint32_t seed) : m_server(slowTimers(), &errors, this)
{
    m_server.seedRandom(seed);
}

int HostDriver::connect()
{
    rules::SeatsTaken taken{};
    for (int s = 1; s <= table::maxSeats; ++s)
        taken[std::size_t(s - 1)] = isOpen(s);
    const int seat = rules::seatFor(taken, m_seatsused);
    if (seat == 0)
        return 0;
    m_seatsused = std::max(m_seatsused, seat);
    m_received[std::size_t(seat)].clear();
    m_readers[std::size_t(seat)] = FrameReader();
    m_generation[std::size_t(seat)] = ++m_lastGeneration;
    m_server.seatOpened(seat, m_lastGeneration);
    return seat;
}

int HostDriver::join(const QString& name, const QString& version)
{
    const int seat = connect();
    if (seat != 0)
        send(seat, msg::logininfo(seat, version, name));
    return seat;
}

void HostDriver::send(int seat, const QByteArray& wire)
{
    if (!isOpen(seat))
        return;
    FrameReader& reader = m_readers[std::size_t(seat)];
    for (const QByteArray& text : reader.feed(wire))
        if (isOpen(seat))
            m_server.socktimerTimer(seat, m_generation[std::size_t(seat)], text);
    if (reader.overflowed())
        drop(seat);
}

void HostDriver::drop(int seat)
{
    if (isOpen(seat)) {
        m_generation[std::size_t(seat)] = 0;
        m_server.tempsockInfo(seat);
    }
}

void HostDriver::runTimers(const std::function<bool()>& stop)
{
    // Bounded: a table of computers alone plays to the end, which takes far fewer ticks.
    for (int tick = 0; tick < 1000000; ++tick) {
        if (stop && stop())
            return;
        if (m_server.computertimerActive())
            m_server.computertimerTimer();
        else if (m_server.timer1Active())
            m_server.timer1Timer();
        else
            return;
    }
}

QByteArrayList HostDriver::named(int seat, const char* name, int from) const
{
    QByteArrayList result;
    const QByteArrayList& all = received(seat);
    for (int i = from; i < all.size(); ++i)
        if (all.at(i).startsWith(QByteArray(name) + '+'))
            result.append(all.at(i));
    return result;
}

void HostDriver::sendTo(int seat, const QByteArray& wire)
{
    if (isOpen(seat))
        m_received[std::size_t(seat)] += FrameReader().feed(wire);
}

void HostDriver::close(int seat)
{
    drop(seat);
}

int HostDriver::hiddenPosition(bool bob) const
{
    const rules::Board& board = m_server.board();
    for (int p = 1; p <= rules::visiblePositions; ++p)
        if (!board.slot(p).revealed && (board.slot(p).value == rules::bobValue) == bob)
            return p;
    return 0;
}

QList<HostDriver::HiddenCell> HostDriver::hiddenCells(int seat) const
{
    QList<HiddenCell> cells;
    const rules::Board& board = m_server.board();
    const rules::Card& card = m_server.player(seat).card[0];
    for (int x = 1; x <= rules::cardSide; ++x)
        for (int y = 1; y <= rules::cardSide; ++y)
            for (int p = 1; p <= rules::visiblePositions; ++p)
                if (card.at(x, y) != 0 && board.slot(p).value == card.at(x, y) &&
                    !board.slot(p).revealed)
                    cells.append({x, y, p});
    return cells;
}

QByteArray nameOf(const QByteArray& message)
{
    const qsizetype plus = message.indexOf('+');
    return plus < 0 ? message : message.left(plus);
}

QByteArrayList fieldsOf(const QByteArray& message)
{
    const qsizetype plus = message.indexOf('+');
    if (plus < 0)
        return {};
    QByteArrayList fields = message.mid(plus + 1).split('+');
    // A trailing "+" closes the last field rather than opening an empty one.
    if (message.endsWith('+'))
        fields.removeLast();
    return fields;
}

QList<int> numbersOf(const QByteArray& message)
{
    QList<int> numbers;
    for (const QByteArray& f : fieldsOf(message))
        numbers.append(f.toInt());
    return numbers;
}

rules::CardPair cardsOf(const QByteArray& myboard)
{
    rules::CardPair cards{};
    const QList<int> n = numbersOf(myboard);
    for (qsizetype i = 1; i + 3 < n.size(); i += 4) {
        const int card = n[i], x = n[i + 1], y = n[i + 2];
        if (rules::isCardNumber(card) && rules::Card::isCell(x, y))
            cards[std::size_t(card - 1)].at(x, y) = n[i + 3];
    }
    return cards;
}
