#include "host/tserver.h"

#include "host/seatconnections.h"
#include "net/errorreporter.h"
#include "net/logging.h"

#include <QDateTime>
#include <QElapsedTimer>

#include <algorithm>
#include <utility>

TServer::TServer(HostSettings settings, ErrorReporter* errors, QObject* parent)
    : TServer(std::move(settings), errors, nullptr, parent)
{
    m_connections = std::make_unique<SeatConnections>(this, errors);
    m_link = m_connections.get();
}

TServer::TServer(HostSettings settings, ErrorReporter* errors, SeatLink* link, QObject* parent)
    : QObject(parent), m_link(link), m_settings(std::move(settings)), m_errors(errors),
      m_dispatch(errors)
{
    m_random.seed(std::uint32_t(QDateTime::currentMSecsSinceEpoch()));
    QElapsedTimer clock;
    clock.start();
    m_clock = [clock] { return clock.elapsed(); };
    timer1.setTimerType(Qt::PreciseTimer);
    connect(&timer1, &QTimer::timeout, this, &TServer::timer1Timer);
    computertimer.setTimerType(Qt::PreciseTimer);
    connect(&computertimer, &QTimer::timeout, this, &TServer::computertimerTimer);
    logintimer.setSingleShot(true);
    connect(&logintimer, &QTimer::timeout, this, &TServer::logintimerTimer);
    buildDispatchTable();
}

// The connections go first: their closing must not reach a half-destroyed engine.
TServer::~TServer()
{
    m_connections.reset();
}

bool TServer::startListening(quint16 port)
{
    return m_connections && m_connections->startListening(port);
}

quint16 TServer::serverPort() const
{
    return m_connections ? m_connections->serverPort() : 0;
}

bool TServer::isListening() const
{
    return m_connections && m_connections->isListening();
}

void TServer::seatOpened(int seat, int generation)
{
    if (seat < 1 || seat > table::maxSeats)
        return;
    tplayer& p = seatAt(seat);
    p.connected = true;
    p.generation = generation;
    p.loggedin = false;
    p.relaylimit = FloodLimit();
    p.loginBy = m_clock() + loginDeadlineMs;
    armLoginTimer();
    sendTo(seat, msg::sendlogininfo(seat));
}

void TServer::logintimerTimer()
{
    const qint64 now = m_clock();
    for (int seat = 1; seat <= table::maxSeats; ++seat) {
        tplayer& p = seatAt(seat);
        if (!p.connected || p.loggedin || !p.loginBy || *p.loginBy > now)
            continue;
        p.loginBy.reset();
        qCDebug(lcHost) << "seat" << seat << "did not log in in time; closing";
        disconnectsock(seat);
    }
    armLoginTimer();
}

void TServer::armLoginTimer()
{
    std::optional<qint64> next;
    for (const tplayer& p : m_players)
        if (p.connected && !p.loggedin && p.loginBy)
            next = std::min(next.value_or(*p.loginBy), *p.loginBy);
    if (!next)
        logintimer.stop();
    else
        logintimer.start(int(std::clamp<qint64>(*next - m_clock(), 0, loginDeadlineMs)));
}

void TServer::disconnectsock(int seat)
{
    if (seat >= 1 && seat <= table::maxSeats && seatAt(seat).connected)
        m_link->close(seat);
}

void TServer::tempsockInfo(int seat)
{
    if (seat < 1 || seat > table::maxSeats)
        return;
    tplayer& p = seatAt(seat);
    if (!p.connected)
        return;
    sendAllBut(seat, msg::playerdisconnected(seat, p.playername));
    p.connected = false;
    p.loggedin = false;
    p.playername.clear();
    p.watching = false;
    // The computer takes over the seat; seat 1 is the host's own window, which only
    // goes away with the whole program.
    if (gamerunning && seat == turn && seat != 1)
        findplayer();
    emit seatFreed(seat);
}

void TServer::sendTo(int seat, const QByteArray& wire)
{
    if (seat >= 1 && seat <= table::maxSeats && seatAt(seat).connected)
        m_link->sendTo(seat, wire);
}

void TServer::sendAll(const QByteArray& wire)
{
    for (int seat = 1; seat <= table::maxSeats; ++seat)
        sendTo(seat, wire);
}

void TServer::sendAllBut(int except, const QByteArray& wire)
{
    for (int seat = 1; seat <= table::maxSeats; ++seat)
        if (seat != except)
            sendTo(seat, wire);
}

void TServer::socktimerTimer(int seat, int generation, const QByteArray& message)
{
    // Nothing an earlier connection of the seat sent acts for this one.
    if (seat < 1 || seat > table::maxSeats || !seatAt(seat).connected ||
        seatAt(seat).generation != generation)
        return;
    m_sender = seat;
    m_dispatch.dispatch(message);
    m_sender = 0;
}

void TServer::buildDispatchTable()
{
    // Each handler gets its message read; for those that name the sender's seat first,
    // only once that seat is the connection's own.
    const auto read = [this]<class Message>(void (TServer::*handler)(const Message&)) {
        return [this, handler](const QByteArray& body) { (this->*handler)(Message::parse(body)); };
    };
    const auto claimed = [this, read](const char* name, auto handler) {
        m_dispatch.add(name, [this, name, handle = read(handler)](const QByteArray& body) {
            if (claimsOwnSeat(msg::claimedSeat(body), name))
                handle(body);
        });
    };
    claimed(cmd::logininfo, &TServer::receivedlogininfo);
    m_dispatch.add(cmd::kickhim, read(&TServer::kickhim));
    claimed(cmd::chat, &TServer::chat);
    claimed(cmd::action, &TServer::action);
    claimed(cmd::playasound, &TServer::playasound);
    m_dispatch.add(cmd::startgame, read(&TServer::startgame));
    m_dispatch.add(cmd::justwatch, read(&TServer::justwatch));
    claimed(cmd::chooseball, &TServer::chooseball);
    claimed(cmd::cover, &TServer::cover);
}
