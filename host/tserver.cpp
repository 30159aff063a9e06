#include "host/tserver.h"

#include "net/errorreporter.h"
#include "net/logging.h"
#include "net/messages.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QTcpSocket>

#include <utility>

TServer::TServer(HostSettings settings, ErrorReporter* errors, QObject* parent)
    : QObject(parent), m_settings(std::move(settings)), m_errors(errors), m_dispatch(errors),
      receivedlist(10, [this](const QueuedMessage& m) { socktimerTimer(m); })
{
    m_random.seed(std::uint32_t(QDateTime::currentMSecsSinceEpoch()));
    QElapsedTimer clock;
    clock.start();
    m_clock = [clock] { return clock.elapsed(); };
    // Names under which the computer plays seats 2 to 7; seat 1 is always the host's own.
    const std::array<const char*, playingseats + 1> botnames = {"",      "",      "Klot",  "Klick",
                                                                "Kling", "Klick", "Krazy", "Kooky"};
    for (int seat = 2; seat <= playingseats; ++seat)
        seatAt(seat).botname = QString::fromLatin1(botnames[std::size_t(seat)]);

    timer1.setTimerType(Qt::PreciseTimer);
    connect(&timer1, &QTimer::timeout, this, &TServer::timer1Timer);
    computertimer.setTimerType(Qt::PreciseTimer);
    connect(&computertimer, &QTimer::timeout, this, &TServer::computertimerTimer);
    Sock1.setMaxPendingConnections(30);
    connect(&Sock1, &QTcpServer::newConnection, this, [this] {
        while (Sock1.hasPendingConnections())
            Sock1Accept();
    });
    buildDispatchTable();
}

TServer::~TServer()
{
    for (tplayer& p : m_players) {
        if (p.sock) {
            p.sock->socket()->disconnect(this);
            p.sock->socket()->abort();
            delete std::exchange(p.sock, nullptr);
        }
    }
}

bool TServer::startListening(quint16 port)
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

void TServer::Sock1Accept()
{
    QTcpSocket* socket = Sock1.nextPendingConnection();
    if (!socket)
        return;
    int seat = 0;
    if (seatsused == 0) {
        seatsused = seat = 1;
    } else {
        int s = 1;
        while (s < seatsused && m_players[std::size_t(s)].connected)
            ++s;
        if (!m_players[std::size_t(s)].connected && s < refusalSlot) {
            seat = s;
        } else if (s >= maxSeats) {
            refuse(socket);
            return;
        } else {
            seat = ++seatsused;
        }
    }
    tplayer& p = m_players[std::size_t(seat)];
    p.connected = true;
    p.loggedin = false;
    p.relaylimit = FloodLimit();
    auto* link = new PeerLink(socket, seat, &receivedlist, this);
    socket->setParent(link);
    p.sock = link;
    connect(link, &PeerLink::oversized, this, [this, seat] {
        qCDebug(lcHost) << "seat" << seat << "sent an oversized message; closing";
        disconnectsock(seat);
    });
    connect(socket, &QTcpSocket::disconnected, this,
            [this, seat, socket] { tempsockInfo(seat, socket); });
    connect(socket, &QTcpSocket::errorOccurred, this, [this, seat, link] {
        // A reset or aborted connection, or a peer that vanished, ends like an orderly close.
        if (m_players[std::size_t(seat)].sock == link)
            tempsockDisconnect(seat);
    });
    QTimer::singleShot(m_loginDeadline, link,
                       [this, seat, link] { loginDeadlinePassed(seat, link); });
    sendTo(seat, msg::sendlogininfo(seat));
}

void TServer::loginDeadlinePassed(int seat, PeerLink* link)
{
    const tplayer& p = seatAt(seat);
    if (p.sock != link || p.loggedin)
        return;
    qCDebug(lcHost) << "seat" << seat << "did not log in in time; closing";
    disconnectsock(seat);
}

void TServer::refuse(QTcpSocket* socket)
{
    // The refused connection never enters the seat table, so its close is no seat event.
    socket->setParent(this);
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    socket->write(msg::full());
    socket->disconnectFromHost();
}

void TServer::tempsockDisconnect(int seat)
{
    disconnectsock(seat);
}

void TServer::disconnectsock(int seat)
{
    if (seat < 1 || seat > maxSeats)
        return;
    tplayer& p = m_players[std::size_t(seat)];
    if (p.connected && p.sock)
        p.sock->socket()->abort();
}

void TServer::tempsockInfo(int seat, QTcpSocket* socket)
{
    tplayer& p = m_players[std::size_t(seat)];
    if (!p.sock || p.sock->socket() != socket)
        return;
    if (p.connected)
        sendAllBut(seat, msg::playerdisconnected(seat, p.playername));
    // Whatever it sent that is still queued must not act for the seat once freed (a late
    // login would mark it connected with no connection behind it) nor for the next occupant.
    receivedlist.drop(seat);
    p.connected = false;
    p.loggedin = false;
    p.playername.clear();
    p.watching = false;
    socket->disconnect(this);
    std::exchange(p.sock, nullptr)->deleteLater();
    // The computer takes over the seat; seat 1 is the host's own window, which only
    // goes away with the whole program.
    if (gamerunning && seat == turn && seat != 1)
        findplayer();
    emit seatFreed(seat);
}

void TServer::sendTo(int seat, const QByteArray& wire)
{
    if (seat < 1 || seat > maxSeats)
        return;
    const tplayer& p = m_players[std::size_t(seat)];
    if (p.connected && p.sock)
        p.sock->send(wire);
}

void TServer::sendAll(const QByteArray& wire)
{
    for (int seat = 1; seat <= seatsused; ++seat)
        sendTo(seat, wire);
}

void TServer::sendAllBut(int except, const QByteArray& wire)
{
    for (int seat = 1; seat <= seatsused; ++seat)
        if (seat != except)
            sendTo(seat, wire);
}

void TServer::socktimerTimer(const QueuedMessage& message)
{
    if (message.sender < 1 || message.sender > maxSeats)
        return;
    m_sender = message.sender;
    m_dispatch.dispatch(message.text);
    m_sender = 0;
}

void TServer::dispatchQueued()
{
    while (receivedlist.size() > 0)
        receivedlist.tick();
}

void TServer::buildDispatchTable()
{
    const auto bind = [this](void (TServer::*handler)(const QByteArray&)) {
        return [this, handler](const QByteArray& body) { (this->*handler)(body); };
    };
    m_dispatch.add(cmd::logininfo, bind(&TServer::receivedlogininfo));
    m_dispatch.add(cmd::kickhim, bind(&TServer::kickhim));
    m_dispatch.add(cmd::chat, bind(&TServer::chat));
    m_dispatch.add(cmd::action, bind(&TServer::action));
    m_dispatch.add(cmd::playasound, bind(&TServer::playasound));
    m_dispatch.add(cmd::startgame, bind(&TServer::startgame));
    m_dispatch.add(cmd::justwatch, bind(&TServer::justwatch));
    m_dispatch.add(cmd::chooseball, bind(&TServer::chooseball));
    m_dispatch.add(cmd::cover, bind(&TServer::cover));
}
