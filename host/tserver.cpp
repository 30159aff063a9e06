#include "host/tserver.h"

#include "net/errorreporter.h"
#include "net/logging.h"
#include "net/messages.h"

#include <QDateTime>
#include <QTcpSocket>

#include <algorithm>

TServer::TServer(HostSettings settings, ErrorReporter* errors, QObject* parent)
    : QObject(parent),
      m_settings(std::move(settings)),
      m_errors(errors),
      m_dispatch(errors),
      receivedlist(10, [this](const QueuedMessage& m) { socktimerTimer(m); })
{
    m_random.seed(std::uint32_t(QDateTime::currentMSecsSinceEpoch()));
    // Names under which the computer plays seats 2 to 7; seat 1 is always the host's own.
    const std::array<const char*, playingseats + 1> botnames = {
        "", "", "Klot", "Klick", "Kling", "Klick", "Krazy", "Kooky"};
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
            p.sock->disconnect(this);
            p.sock->abort();
        }
    }
}

bool TServer::startListening(quint16 port)
{
    if (Sock1.listen(QHostAddress::Any, port))
        return true;
    const auto error = Sock1.serverError();
    const bool binding = error == QAbstractSocket::AddressInUseError
        || error == QAbstractSocket::SocketAccessError
        || error == QAbstractSocket::SocketAddressNotAvailableError;
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
    p.sock = socket;
    p.reader = FrameReader();
    socket->setParent(this);
    connect(socket, &QTcpSocket::readyRead, this, [this, seat] { Sock1Read(seat); });
    connect(socket, &QTcpSocket::disconnected, this,
            [this, seat, socket] { tempsockInfo(seat, socket); });
    connect(socket, &QTcpSocket::errorOccurred, this, [this, seat, socket] {
        // A reset or aborted connection ends like an orderly close.
        if (m_players[std::size_t(seat)].sock == socket)
            tempsockDisconnect(seat);
    });
    sendTo(seat, msg::sendlogininfo(seat));
}

void TServer::refuse(QTcpSocket* socket)
{
    // The refused connection never enters the seat table, so its close is no seat event.
    socket->setParent(this);
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    socket->write(msg::full());
    socket->disconnectFromHost();
}

void TServer::Sock1Read(int seat)
{
    tplayer& p = m_players[std::size_t(seat)];
    if (!p.sock)
        return;
    while (p.sock && p.sock->bytesAvailable() > 0) {
        const QByteArray data = p.sock->read(32768);
        for (QByteArray& text : p.reader.feed(data)) {
            receivedlist.push({std::move(text), seat});
            ++m_queuedFrom[std::size_t(seat)];
        }
        if (p.reader.overflowed()) {
            qCDebug(lcHost) << "seat" << seat << "sent an oversized message; closing";
            disconnectsock(seat);
            return;
        }
    }
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
        p.sock->abort();
}

void TServer::tempsockInfo(int seat, QTcpSocket* socket)
{
    tplayer& p = m_players[std::size_t(seat)];
    if (p.sock != socket)
        return;
    if (p.connected)
        sendAllBut(seat, msg::playerdisconnected(seat, p.playername));
    // Whatever it sent that is still queued must not act for the next occupant.
    m_staleFrom[std::size_t(seat)] = m_queuedFrom[std::size_t(seat)];
    p.connected = false;
    p.playername.clear();
    p.watching = false;
    p.sock = nullptr;
    p.reader = FrameReader();
    socket->disconnect(this);
    socket->deleteLater();
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
        p.sock->write(wire);
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
    const std::size_t from = std::size_t(message.sender);
    --m_queuedFrom[from];
    // What a connection sent before it closed must not act for the seat once freed (a
    // late login would mark it connected with no connection behind it) nor for the
    // next occupant.
    if (m_staleFrom[from] > 0 || !seatAt(message.sender).connected) {
        m_staleFrom[from] = std::max(0, m_staleFrom[from] - 1);
        qCDebug(lcHost) << "dropped a message of the closed connection of seat" << message.sender;
        return;
    }
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
