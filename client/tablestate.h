#pragma once

#include "net/table.h"

#include <QList>
#include <QString>

#include <array>

// The client's picture of the table, without widgets: who sits where, whose turn it is,
// who plays this round, the scores, and the spies. The handlers change it; the surfaces
// show it; nothing is decided by reading a label back.
class TableState {
public:
    // Covered, line, corners, cross, X, square, blackout.
    using Patterns = std::array<int, 7>;
    struct Spy {
        int seat = 0;
        QString name;
    };

    static bool isRow(int seat) { return seat >= 1 && seat <= table::playingSeats; }

    int ownSeat() const { return m_ownSeat; }
    bool loggedIn() const { return m_loggedIn; }
    bool hostMode() const { return m_hostMode; }
    int turnseat() const { return m_turnseat; }
    void logIn(int seat);
    void setHostMode() { m_hostMode = true; }

    // The name a seat's row shows: a player's, a computer player's or "<Waiting>".
    QString name(int seat) const;
    bool isWaiting(int seat) const { return isRow(seat) && name(seat) == table::waitingName; }
    bool watching(int seat) const { return isRow(seat) && seat_(seat).watching; }
    bool seatinplay(int seat) const { return isRow(seat) && seat_(seat).inPlay; }
    int score(int seat) const { return isRow(seat) ? seat_(seat).score : 0; }
    // "", "+<round points>" after a scored round, "-<penalty>" after a Zorer Aru.
    QString bonus(int seat) const { return isRow(seat) ? seat_(seat).bonus : QString(); }
    Patterns patterns(int seat) const { return isRow(seat) ? seat_(seat).patterns : Patterns{}; }
    // The name the score sheet shows for a seat: its name when the round was scored.
    QString sheetName(int seat) const { return onSheet(seat) ? seat_(seat).sheetName : QString(); }
    bool onSheet(int seat) const { return isRow(seat) && seat_(seat).onSheet; }
    const QList<Spy>& spies() const { return m_spies; }

    // A seated player (not a spy) whose own row shows name.
    bool isOwnName(const QString& name) const;
    bool hasWon(const QString& winner) const { return isOwnName(winner); }
    // The players at the table other than this one, for the tally.
    QStringList otherPlayers() const;

    // A player took a row; a watching flag sets the eyes (a clear one leaves them).
    void seatPlayer(int seat, const QString& name, bool watching);
    void setWatching(int seat, bool watching);
    // A row's player left: it goes to its computer player while it plays this game,
    // else it waits. Returns the name to announce, empty when it showed nobody.
    QString leave(int seat);
    void addSpy(int seat, const QString& name);
    // Removes the spy; returns its index in spies() before, or -1 for none.
    int removeSpy(int seat, const QString& name);

    // Scores back to 0 and no bonus (a new game, a new window).
    void clearScores();
    void clearBonuses();
    // A game starts: seat 2 always plays, if need be by the computer.
    void startGame();
    // A seat named at a round start: it plays this round only if asked to while it waits.
    void startRound(int seat, bool inRound);
    // A seat gets the turn; an empty one goes to its computer player.
    void nextTurn(int seat);
    void setTurnseat(int seat);
    void setScore(int seat, int score);
    void setPenalty(int seat, int penalty, int score);
    // A round's result for a seat, as the score sheet lists it.
    void scored(int seat, int total, int round, const Patterns& patterns);
    void clearSheet();

private:
    struct Seat {
        QString name = table::waitingName;
        bool watching = false;
        bool inPlay = false;
        int score = 0;
        QString bonus;
        Patterns patterns{};
        QString sheetName;
        bool onSheet = false;
    };
    Seat& seat_(int seat) { return m_seats[std::size_t(seat - 1)]; }
    const Seat& seat_(int seat) const { return m_seats[std::size_t(seat - 1)]; }
    void toComputerIfWaiting(int seat);

    int m_ownSeat = 0;
    bool m_loggedIn = false;
    bool m_hostMode = false;
    int m_turnseat = 0;
    std::array<Seat, table::playingSeats> m_seats{};
    QList<Spy> m_spies;
};
