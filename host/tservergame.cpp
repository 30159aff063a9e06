// TServer: games and rounds, turns, picks and covers, scoring and the computer players.
#include "host/tserver.h"

#include "host/turnorder.h"
#include "host/winner.h"
#include "net/fields.h"
#include "net/logging.h"
#include "net/messages.h"

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

int numberOr(const QByteArray& field, int fallback)
{
    int value = 0;
    return Fields::parseNumber(field, &value) ? value : fallback;
}

} // namespace

bool TServer::computerPlays(int seat) const
{
    if (seat < 1 || seat > playingseats)
        return false;
    const tplayer& p = seatAt(seat);
    return p.inround && (!p.connected || p.watching);
}

int TServer::botSpeedMs() const
{
    return std::max(0, m_settings.botSpeedMs ? m_settings.botSpeedMs() : 750);
}

int TServer::secondsBetweenRounds() const
{
    return std::max(0, m_settings.secondsBetweenRounds ? m_settings.secondsBetweenRounds() : 15);
}

// ---- Games and rounds ----

void TServer::startgame(const QByteArray& body)
{
    // Only the hosting copy's window offers it, and it wipes every score.
    if (m_sender != 1) {
        qCDebug(lcHost) << "dropped game start from seat" << m_sender;
        return;
    }
    timer1.stop();
    computertimer.stop();
    gamerunning = true;

    Fields f(body);
    const QByteArray starter = f.field();
    playtoscore = numberOr(f.field(), 5);
    bobpenalty = numberOr(f.field(), 10);
    bobcount = rules::clampedBobCount(numberOr(f.field(), 5));
    // Any type but 2 and 3 adds no seats beyond 1 and 2.
    gametype = numberOr(f.field(), 10);

    sendAll(msg::startgameRelay(QString::fromUtf8(starter), playtoscore));
    for (int seat = 1; seat <= playingseats; ++seat) {
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
    for (int seat = 1; seat <= playingseats; ++seat) {
        tplayer& p = seatAt(seat);
        p.patterns = {};
        table[std::size_t(seat - 1)].connected = p.connected;
    }
    rules::markRoundSeats(table, gametype);
    for (int seat = 1; seat <= playingseats; ++seat)
        seatAt(seat).inround = table[std::size_t(seat - 1)].inround;

    bobsrevealed = 0;
    lastvalue = 0;
    ++roundnumber;
    std::array<bool, 5> listed{};
    for (int seat = 3; seat <= playingseats; ++seat)
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
    for (int seat = 1; seat <= playingseats; ++seat) {
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
    for (int seat = 1; seat <= playingseats; ++seat)
        table[std::size_t(seat - 1)] = {seatAt(seat).connected, seatAt(seat).inround};
    turn = rules::nextTurn(table, lastchooser);
    for (int seat = 1; seat <= playingseats; ++seat)
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

void TServer::chooseball(const QByteArray& body)
{
    Fields f(body);
    const int seat = f.number();
    if (!claimsOwnSeat(seat, cmd::chooseball))
        return;
    chooseball(seat, f.number());
}

void TServer::chooseball(int seat, int position)
{
    // Also drops every pick in the pause after a pick, while turn is 0.
    if (turn == 0 || seat != turn) {
        qCDebug(lcHost) << "dropped pick by seat" << seat << "while seat" << turn << "has the turn";
        return;
    }
    // Positions 73 to 75 hold balls too, but they are not on the board.
    if (!rules::Board::isVisible(position)) {
        sendTo(seat, msg::invalid(seat, 2));
        return;
    }
    rules::BoardSlot& slot = m_board.slot(position);
    if (slot.revealed) {
        sendTo(seat, msg::invalid(seat, 1));
        return;
    }
    if (slot.value == 0) {
        sendTo(seat, msg::invalid(seat, 2));
        return;
    }
    slot.revealed = true;
    lastvalue = slot.value;
    tplayer& chooser = seatAt(seat);
    if (lastvalue == rules::bobValue) {
        chooser.score = saturated(qint64(chooser.score) - bobpenalty);
        ++bobsrevealed;
    }
    sendAll(
        msg::chooseballReveal(seat, position, lastvalue, bobsrevealed, chooser.score, bobpenalty));
    lastchooser = turn;
    turn = 0;
    if (bobsrevealed >= rules::bobsEndingRound) {
        // The interval stays what this round's picks set.
        armTimer1(EndRound, timer1.interval(), pickDelayTicks);
        return;
    }
    for (int s = 1; s <= playingseats; ++s)
        if (computerPlays(s))
            computerplay(s);
    armTimer1(NextTurn, botSpeedMs(), pickDelayTicks);
}

void TServer::cover(const QByteArray& body)
{
    Fields f(body);
    const int seat = f.number();
    if (!claimsOwnSeat(seat, cmd::cover))
        return;
    const int card = f.number();
    // Column and row travel as one field: the first character, then the rest.
    const QByteArray cell = f.field();
    int column = 0;
    int row = 0;
    if (!Fields::parseNumber(cell.left(1), &column) || !Fields::parseNumber(cell.mid(1), &row))
        throw FieldError(
            QStringLiteral("'%1' is not a valid card cell").arg(QString::fromUtf8(cell.left(64))));
    cover(seat, card, column, row);
}

void TServer::cover(int seat, int card, int column, int row)
{
    if (seat < 1 || seat > maxSeats)
        return;
    if (seat > playingseats || !rules::isCardNumber(card) || !rules::Card::isCell(column, row)) {
        qCDebug(lcHost) << "refused cover of card" << card << "cell" << column << row << "for seat"
                        << seat;
        sendTo(seat, msg::errored(seat));
        return;
    }
    int& value = seatAt(seat).card[std::size_t(card - 1)].at(column, row);
    if (!rules::isDrawn(m_board, value)) {
        sendTo(seat, msg::errored(seat));
        return;
    }
    value = 0;
    sendTo(seat, msg::coverit(seat, card, column, row));
}

void TServer::endround()
{
    QList<msg::SeatScore> sheet;
    for (int seat = 1; seat <= playingseats; ++seat) {
        tplayer& p = seatAt(seat);
        if (!p.inround)
            continue;
        p.patterns = {checkforcovered(seat), checkline(seat), checkcorners(seat),
                      checkcross(seat),      checkx(seat),    checksquare(seat),
                      checkforblackout(seat)};
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
    for (int seat = 1; seat <= playingseats; ++seat)
        scores[std::size_t(seat - 1)] = seatAt(seat).score;
    const int winner = rules::winningSeat(scores, playtoscore);
    if (winner == 0)
        return false;
    const tplayer& p = seatAt(winner);
    sendAll(msg::winner(p.playername.isEmpty() ? p.botname : p.playername));
    gamerunning = false;
    emit gameWon(winner);
    return true;
}

namespace {
int seatPoints(rules::Pattern pattern, const rules::CardPair& cards)
{
    return rules::patternPoints(pattern, cards[0]) + rules::patternPoints(pattern, cards[1]);
}
} // namespace

int TServer::checkforcovered(int seat) const
{
    return seatPoints(rules::Pattern::Covered, seatAt(seat).card);
}

int TServer::checkline(int seat) const
{
    return seatPoints(rules::Pattern::Line, seatAt(seat).card);
}

int TServer::checkcorners(int seat) const
{
    return seatPoints(rules::Pattern::Corners, seatAt(seat).card);
}

int TServer::checkcross(int seat) const
{
    return seatPoints(rules::Pattern::Cross, seatAt(seat).card);
}

int TServer::checkx(int seat) const
{
    return seatPoints(rules::Pattern::X, seatAt(seat).card);
}

int TServer::checksquare(int seat) const
{
    return seatPoints(rules::Pattern::Square, seatAt(seat).card);
}

int TServer::checkforblackout(int seat) const
{
    return seatPoints(rules::Pattern::Blackout, seatAt(seat).card);
}

// ---- Computer players ----

void TServer::computerchoose(int seat)
{
    if (seat == 0 || seat != turn)
        return;
    const int position = rules::randomHiddenPosition(m_board, m_random);
    if (position != 0)
        chooseball(seat, position);
}

void TServer::computerplay(int seat)
{
    for (const rules::CellRef& cell : rules::cellsHolding(seatAt(seat).card, lastvalue))
        cover(seat, cell.card, cell.x, cell.y);
}
