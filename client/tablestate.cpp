#include "client/tablestate.h"

#include <QStringList>

void TableState::logIn(int seat)
{
    m_ownSeat = seat;
    m_loggedIn = true;
}

QString TableState::name(int seat) const
{
    return isRow(seat) ? seat_(seat).name : QString();
}

bool TableState::isOwnName(const QString& name) const
{
    return isRow(m_ownSeat) && seat_(m_ownSeat).name == name;
}

QStringList TableState::otherPlayers() const
{
    QStringList names;
    for (int seat = 1; seat <= table::playingSeats; ++seat)
        if (seat != m_ownSeat && !isWaiting(seat))
            names << name(seat);
    return names;
}

void TableState::seatPlayer(int seat, const QString& name, bool watching)
{
    if (!isRow(seat))
        return;
    seat_(seat).name = name;
    if (watching)
        seat_(seat).watching = true;
}

void TableState::setWatching(int seat, bool watching)
{
    if (isRow(seat))
        seat_(seat).watching = watching;
}

QString TableState::leave(int seat)
{
    if (!isRow(seat))
        return {};
    Seat& s = seat_(seat);
    const QString shown = s.name;
    s.name = s.inPlay ? table::botName(seat) : table::waitingName;
    s.watching = false;
    return shown == table::waitingName || shown == table::botName(seat) ? QString() : shown;
}

void TableState::addSpy(int seat, const QString& name)
{
    m_spies.append({seat, name});
}

int TableState::removeSpy(int seat, const QString& name)
{
    for (int i = 0; i < m_spies.size(); ++i) {
        if (m_spies.at(i).seat == seat && m_spies.at(i).name == name) {
            m_spies.removeAt(i);
            return i;
        }
    }
    return -1;
}

void TableState::clearScores()
{
    for (Seat& s : m_seats)
        s.score = 0;
    clearBonuses();
}

void TableState::clearBonuses()
{
    for (Seat& s : m_seats)
        s.bonus.clear();
}

void TableState::toComputerIfWaiting(int seat)
{
    if (isWaiting(seat))
        seat_(seat).name = table::botName(seat);
}

void TableState::startGame()
{
    clearScores();
    toComputerIfWaiting(2);
    seat_(2).inPlay = true;
}

void TableState::startRound(int seat, bool inRound)
{
    if (!isRow(seat))
        return;
    seat_(seat).inPlay = inRound && isWaiting(seat);
    if (seat_(seat).inPlay)
        toComputerIfWaiting(seat);
}

void TableState::nextTurn(int seat)
{
    if (!isRow(seat))
        return;
    m_turnseat = seat;
    toComputerIfWaiting(seat);
    seat_(seat).inPlay = true;
}

void TableState::setTurnseat(int seat)
{
    if (isRow(seat))
        m_turnseat = seat;
}

void TableState::setScore(int seat, int score)
{
    if (isRow(seat))
        seat_(seat).score = score;
}

void TableState::setPenalty(int seat, int penalty, int score)
{
    if (!isRow(seat) || penalty == 0)
        return;
    seat_(seat).bonus = QStringLiteral("-%1").arg(penalty);
    seat_(seat).score = score;
}

void TableState::scored(int seat, int total, int round, const Patterns& patterns)
{
    if (!isRow(seat))
        return;
    Seat& s = seat_(seat);
    s.score = total;
    s.bonus = QStringLiteral("+%1").arg(round);
    s.patterns = patterns;
    s.sheetName = s.name;
    s.onSheet = true;
}

void TableState::clearSheet()
{
    for (Seat& s : m_seats)
        s.onSheet = false;
}
