// TServer: logins, kicks, the just-watch flag and the chat, action and sound relays.
#include "host/tserver.h"

#include "host/loginname.h"
#include "net/logging.h"

bool TServer::claimsOwnSeat(int seat, const char* what) const
{
    if (seat == m_sender)
        return true;
    qCDebug(lcHost) << "dropped" << what << "for seat" << seat << "from seat" << m_sender;
    return false;
}

bool TServer::withinFloodLimit(const char* what)
{
    switch (seatAt(m_sender).relaylimit.take(m_clock())) {
    case FloodLimit::Verdict::Relay:
        return true;
    case FloodLimit::Verdict::Drop:
        qCDebug(lcHost) << "dropped" << what << "over the flood limit from seat" << m_sender;
        return false;
    case FloodLimit::Verdict::Close:
        qCDebug(lcHost) << "seat" << m_sender << "keeps flooding; closing";
        disconnectsock(m_sender);
        return false;
    }
    return false;
}

void TServer::receivedlogininfo(const msg::LoginInfo& m)
{
    const int seat = m.seat;
    tplayer& p = seatAt(seat);
    p.playername = QString::fromUtf8(rules::sanitisedLoginName(m.name));
    p.connected = true;
    p.loggedin = true;

    sendAll(msg::newplayerinfo(seat, p.playername));

    QList<msg::SeatInfo> others;
    for (int s = 1; s <= table::maxSeats; ++s) {
        const tplayer& other = seatAt(s);
        if (s != seat && other.connected)
            others.append({s, other.playername, other.watching});
    }
    if (!others.isEmpty())
        sendTo(seat, msg::existingplayers(others));

    if (m.version != table::version()) {
        sendTo(1, msg::havewrongversion(p.playername));
        sendTo(seat, msg::wrongversion());
    }

    if (!gamerunning)
        return;
    QList<msg::Revealed> revealed;
    for (int position = 1; position <= rules::visiblePositions; ++position) {
        const rules::BoardSlot& slot = m_board.slot(position);
        if (slot.revealed)
            revealed.append({position, slot.value});
    }
    if (!revealed.isEmpty()) {
        std::array<int, table::playingSeats> scores{};
        for (int s = 1; s <= table::playingSeats; ++s)
            scores[std::size_t(s - 1)] = seatAt(s).score;
        sendTo(seat, msg::gamestats(turn, bobsrevealed, playtoscore, scores, revealed));
    }
    if (seat <= table::playingSeats)
        sendTo(seat, msg::myboard(seat, {p.card[0].cells, p.card[1].cells}));
}

void TServer::kickhim(const msg::KickHim& m)
{
    // Only the hosting copy's own window may remove players.
    if (m_sender != 1 || m.seat != 1) {
        qCDebug(lcHost) << "dropped kick of seat" << m.target << "from seat" << m_sender;
        return;
    }
    disconnectsock(m.target);
}

void TServer::justwatch(const msg::JustWatch& m)
{
    const int seat = m.seat;
    if (seat < 1 || seat > table::playingSeats) {
        qCDebug(lcHost) << "dropped just-watch for seat" << seat;
        return;
    }
    // The hosting copy's pop-up menu sets and clears other players.
    if (m_sender != 1 && !claimsOwnSeat(seat, cmd::justwatch))
        return;
    tplayer& p = seatAt(seat);
    if (m.mode == msg::JustWatch::play) {
        p.watching = false;
        sendAll(msg::justwatching(seat, msg::JustWatch::play));
    } else if (m.mode == msg::JustWatch::watch && gamerunning) {
        // Nobody to watch for: the flag would stay on the seat for the next person.
        if (!p.connected) {
            qCDebug(lcHost) << "dropped just-watch for empty seat" << seat;
            return;
        }
        p.watching = true;
        sendAll(msg::justwatching(seat, msg::JustWatch::watch));
        if (seat == turn)
            findplayer();
    }
}

void TServer::chat(const msg::Relayed& m)
{
    if (withinFloodLimit(cmd::chat))
        sendAll(msg::chatRelay(m.seat, seatAt(m.seat).playername, m.rest));
}

void TServer::action(const msg::Relayed& m)
{
    if (withinFloodLimit(cmd::action))
        sendAll(msg::actionRelay(m.seat, seatAt(m.seat).playername, m.rest));
}

void TServer::playasound(const msg::Relayed& m)
{
    if (withinFloodLimit(cmd::playasound))
        sendAll(msg::playasoundRelay(m.seat, m.rest));
}
