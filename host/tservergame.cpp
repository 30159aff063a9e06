// TServer: games and rounds, turns, picks and covers, scoring and the computer players.
#include "host/tserver.h"

#include "host/tablerules.h"
#include "host/turnorder.h"
#include "host/winner.h"
#include "net/logging.h"

#include <algorithm>
#include <limits>

namespace {

// Scores may go negative and the game settings are taken as sent, so sums saturate
// instead of overflowing.
int saturated(qint64 value)
{
    return int(std::clamp<qint64>(value, std::numeric_limits<int>::min(),
                                  std::numeric_limits<int>::max()));
}

} // namespace

bool TServer::computerPlays(int seat) const
{
    if (seat < 1 || seat > table::playingSeats)
        return false;
    const tplayer& p = seatAt(seat);
    return p.inround && (!p.connected || p.watching);
}

int TServer::botSpeedMs() const
{
    return std::max(0, m_settings.botSpeedMs ? m_settings.botSpeedMs() : table::defaultBotSpeedMs);
}

int TServer::secondsBetweenRounds() const
{
    return std::max(0, m_settings.secondsBetweenRounds ? m_settings.secondsBetweenRounds()
                                                       : table::defaultSecondsBetweenRounds);
}

// ---- Games and rounds ----

void TServer::startgame(const msg::StartGame& m)
{
    // Only the hosting copy's window offers it, and it wipes every score.
    if (m_sender != 1) {
        qCDebug(lcHost) << "dropped game start from seat" << m_sender;
        return;
    }
    timer1.stop();
    computertimer.stop();
    gamerunning = true;

    const rules::StartValues values = rules::startValues(m);
    playtoscore = values.playtoscore;
    bobpenalty = values.penalty;
    bobcount = values.bobcount;
    gametype = values.gametype;

    sendAll(msg::startgameRelay(m.name, playtoscore));
    for (int seat = 1; seat <= table::playingSeats; ++seat) {
        seatAt(seat).score = 0;
        seatAt(seat).watching = false;
    }
    lastchooser = 0;
    roundnumber = 0;
    startround();
}

void TServer::startround()
{
    if (checkforwin())
        return;
    rules::TableSeats table{};
    for (int seat = 1; seat <= table::playingSeats; ++seat) {
        tplayer& p = seatAt(seat);
        p.patterns = {};
        table[std::size_t(seat - 1)].connected = p.connected;
    }
    rules::markRoundSeats(table, gametype);
    for (int seat = 1; seat <= table::playingSeats; ++seat)
        seatAt(seat).inround = table[std::size_t(seat - 1)].inround;

    bobsrevealed = 0;
    lastvalue = 0;
    ++roundnumber;
    std::array<bool, 5> listed{};
    for (int seat = 3; seat <= table::playingSeats; ++seat)
        listed[std::size_t(seat - 3)] = seatAt(seat).inround;
    sendAll(msg::roundstart(roundnumber, listed));

    shuffleboard();
    createcards();
    findplayer();
}

void TServer::shuffleboard()
{
    m_board = rules::shuffledBoard(m_random, bobcount);
}

void TServer::createcards()
{
    for (int seat = 1; seat <= table::playingSeats; ++seat) {
        tplayer& p = seatAt(seat);
        p.card = rules::dealtCards(m_random);
        if (p.connected)
            sendTo(seat, msg::myboard(seat, {p.card[0].cells, p.card[1].cells}));
    }
}

// ---- Turns ----

void TServer::findplayer()
{
    rules::TableSeats table{};
    for (int seat = 1; seat <= table::playingSeats; ++seat)
        table[std::size_t(seat - 1)] = {seatAt(seat).connected, seatAt(seat).inround};
    turn = rules::nextTurn(table, lastchooser);
    for (int seat = 1; seat <= table::playingSeats; ++seat)
        seatAt(seat).inround = table[std::size_t(seat - 1)].inround;
    computertimer.stop();
    if (turn == 0)
        return;
    sendAll(msg::nextplayer(turn));
    if (computerPlays(turn)) {
        m_computerSeat = turn;
        computercount = pickDelayTicks;
        computertimer.start(botSpeedMs());
    }
}

void TServer::chooseball(const msg::ChooseBall& m)
{
    const int seat = m.seat;
    const rules::Pick pick = rules::checkPick(m_board, turn, seat, m.position);
    if (pick == rules::Pick::OutOfTurn) {
        qCDebug(lcHost) << "dropped pick by seat" << seat << "while seat" << turn << "has the turn";
        return;
    }
    if (pick != rules::Pick::Reveal) {
        sendTo(seat, msg::invalid(seat, int(pick)));
        return;
    }
    rules::BoardSlot& slot = m_board.slot(m.position);
    slot.revealed = true;
    lastvalue = slot.value;
    tplayer& chooser = seatAt(seat);
    if (lastvalue == rules::bobValue) {
        chooser.score = saturated(qint64(chooser.score) - bobpenalty);
        ++bobsrevealed;
    }
    sendAll(msg::chooseballReveal(seat, m.position, lastvalue, bobsrevealed, chooser.score,
                                  bobpenalty));
    lastchooser = turn;
    turn = 0;
    if (bobsrevealed >= rules::bobsEndingRound) {
        // The interval stays what this round's picks set.
        armTimer1(EndRound, timer1.interval(), pickDelayTicks);
        return;
    }
    for (int s = 1; s <= table::playingSeats; ++s)
        if (computerPlays(s))
            computerplay(s);
    armTimer1(NextTurn, botSpeedMs(), pickDelayTicks);
}

void TServer::cover(const msg::Cover& m)
{
    const rules::CellRef cell{m.cell.card, m.cell.column, m.cell.row};
    if (!rules::checkCover(m_board, m.seat, seatAt(m.seat).card, cell)) {
        qCDebug(lcHost) << "refused cover of card" << cell.card << "cell" << cell.x << cell.y
                        << "for seat" << m.seat;
        sendTo(m.seat, msg::errored(m.seat));
        return;
    }
    seatAt(m.seat).card[std::size_t(cell.card - 1)].at(cell.x, cell.y) = 0;
    sendTo(m.seat, msg::coverit(m.seat, cell.card, cell.x, cell.y));
}

void TServer::endround()
{
    QList<msg::SeatScore> sheet;
    for (int seat = 1; seat <= table::playingSeats; ++seat) {
        tplayer& p = seatAt(seat);
        if (!p.inround)
            continue;
        p.patterns = rules::scoreCards(p.card);
        p.roundscore = rules::roundTotal(p.patterns);
        p.score = saturated(qint64(p.score) + p.roundscore);
        sheet.append({seat, p.score, p.roundscore, p.patterns});
    }
    sendAll(msg::scores(sheet));
    emit roundScored(roundnumber);
    armTimer1(NextRound, roundPauseTickMs, secondsBetweenRounds());
}

void TServer::armTimer1(int tag, int intervalMs, int ticks)
{
    m_timer1Tag = tag;
    timer1count = ticks;
    if (ticks <= 0) {
        // No pause at all: act as soon as the event loop comes round.
        timer1count = 1;
        intervalMs = 0;
    }
    timer1.start(intervalMs);
}

void TServer::timer1Timer()
{
    if (--timer1count > 0)
        return;
    timer1.stop();
    switch (m_timer1Tag) {
    case NextTurn:
        findplayer();
        break;
    case NextRound:
        startround();
        break;
    case EndRound:
        endround();
        break;
    default:
        break;
    }
}

void TServer::computertimerTimer()
{
    if (--computercount > 0)
        return;
    computertimer.stop();
    computerchoose(m_computerSeat);
}

// ---- Scoring ----

bool TServer::checkforwin()
{
    rules::SeatScores scores{};
    for (int seat = 1; seat <= table::playingSeats; ++seat)
        scores[std::size_t(seat - 1)] = seatAt(seat).score;
    const int winner = rules::winningSeat(scores, playtoscore);
    if (winner == 0)
        return false;
    const tplayer& p = seatAt(winner);
    sendAll(msg::winner(p.playername.isEmpty() ? table::botName(winner) : p.playername));
    gamerunning = false;
    emit gameWon(winner);
    return true;
}

// ---- Computer players ----

void TServer::computerchoose(int seat)
{
    if (seat == 0 || seat != turn)
        return;
    const int position = rules::randomHiddenPosition(m_board, m_random);
    if (position != 0)
        chooseball({seat, position});
}

void TServer::computerplay(int seat)
{
    for (const rules::CellRef& cell : rules::cellsHolding(seatAt(seat).card, lastvalue))
        cover({seat, {cell.card, cell.x, cell.y}});
}
