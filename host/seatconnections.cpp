#include "host/seatconnections.h"

#include "host/tablerules.h"
#include "host/tserver.h"
#include "net/errorreporter.h"
#include "net/logging.h"
#include "net/messages.h"
#include "net/peerlink.h"

#include <QTcpSocket>

#include <algorithm>
#include <utility>

SeatConnections::SeatConnections(TServer* engine, ErrorReporter* errors, QObject* parent)
    : QObject(parent), m_engine(engine), m_errors(errors),
      receivedlist(10, [this](const QueuedMessage& m) {
          if (const Seat* s = seatAt(m.sender))
              m_engine->socktimerTimer(m.sender, s->generation, m.text);
      })
{
    Sock1.setMaxPendingConnections(30);
    connect(&Sock1, &QTcpServer::newConnection, this, [this] {
        while (Sock1.hasPendingConnections())
            Sock1Accept();
    });
}

SeatConnections::~SeatConnections()
{
    for (Seat& s : m_seats) {
        if (s.link) {
            s.link->socket()->disconnect(this);
            s.link->socket()->abort();
            delete std::exchange(s.link, nullptr);
        }
    }
}

bool SeatConnections::startListening(quint16 port)
{
    if (Sock1.listen(QHostAddress::Any, port))
        return true;
    const auto error = Sock1.serverError();
    const bool binding = error == QAbstractSocket::AddressInUseError ||
                         error == QAbstractSocket::SocketAccessError ||
                         error == QAbstractSocket::SocketAddressNotAvailableError;
    if (m_errors)
        m_errors->report(binding ? socketerror::binding : socketerror::listening);
    return false;
}

SeatConnections::Seat* SeatConnections::seatAt(int seat)
{
    return seat >= 1 && seat <= table::maxSeats ? &m_seats[std::size_t(seat)] : nullptr;
}

const PeerLink* SeatConnections::link(int seat) const
{
    return seat >= 1 && seat <= table::maxSeats ? m_seats[std::size_t(seat)].link : nullptr;
}

void SeatConnections::Sock1Accept()
{
    QTcpSocket* socket = Sock1.nextPendingConnection();
    if (!socket)
        return;
    rules::SeatsTaken taken{};
    for (int s = 1; s <= table::maxSeats; ++s)
        taken[std::size_t(s - 1)] = m_seats[std::size_t(s)].link != nullptr;
    const int seat = rules::seatFor(taken, seatsused);
    if (seat == 0) {
        refuse(socket);
        return;
    }
    seatsused = std::max(seatsused, seat);
    const int generation = ++m_generation;
    auto* link = new PeerLink(socket, seat, &receivedlist, this);
    socket->setParent(link);
    m_seats[std::size_t(seat)] = {link, generation};
    connect(link, &PeerLink::oversized, this, [this, seat] {
        qCDebug(lcHost) << "seat" << seat << "sent an oversized message; closing";
        close(seat);
    });
    connect(socket, &QTcpSocket::disconnected, this,
            [this, seat, generation] { tempsockInfo(seat, generation); });
    connect(socket, &QTcpSocket::errorOccurred, this,
            [this, seat, generation] { tempsockDisconnect(seat, generation); });
    m_engine->seatOpened(seat, generation);
}

void SeatConnections::refuse(QTcpSocket* socket)
{
    // The refused connection never enters the seat table, so its close is no seat event.
    socket->setParent(this);
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    socket->write(msg::full());
    socket->disconnectFromHost();
}

void SeatConnections::close(int seat)
{
    if (const Seat* s = seatAt(seat); s && s->link)
        s->link->socket()->abort();
}

void SeatConnections::tempsockDisconnect(int seat, int generation)
{
    // A reset or aborted connection, or a peer that vanished, ends like an orderly close.
    if (m_seats[std::size_t(seat)].generation != generation)
        return;
    close(seat);
    tempsockInfo(seat, generation);
}

void SeatConnections::tempsockInfo(int seat, int generation)
{
    Seat& s = m_seats[std::size_t(seat)];
    if (!s.link || s.generation != generation)
        return;
    // Whatever it sent that is still queued must not act for the seat once freed (a late
    // login would mark it connected with no connection behind it) nor for the next occupant.
    receivedlist.drop(seat);
    s.link->socket()->disconnect(this);
    std::exchange(s.link, nullptr)->deleteLater();
    m_engine->tempsockInfo(seat);
}

void SeatConnections::sendTo(int seat, const QByteArray& wire)
{
    if (const Seat* s = seatAt(seat); s && s->link)
        s->link->send(wire);
}
