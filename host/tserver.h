#pragma once

#include "host/ballboard.h"
#include "host/bingocard.h"
#include "host/floodlimit.h"
#include "host/hostsettings.h"
#include "host/patterns.h"
#include "net/dispatcher.h"
#include "net/messages.h"
#include "net/table.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <random>

class ErrorReporter;
class SeatConnections;
class SeatLink;

// One seat of the host's table.
struct tplayer {
    QString playername;
    bool connected = false;
    // Tells the seat's connection from its earlier ones.
    int generation = 0;
    bool loggedin = false;
    int score = 0;
    bool watching = false;
    bool inround = false;
    // When the engine's clock lets the connection go if it has not logged in by then.
    std::optional<qint64> loginBy;
    int roundscore = 0;
    rules::CardPair card{};
    rules::PatternScores patterns{};
    // Chat, actions and chatter sounds this connection may still have relayed.
    FloodLimit relaylimit;
};

// The authoritative game of the hosting copy. Its seat connections hand it each message
// with the seat and connection it came in on, and every handler checks the seat a message
// claims against that; it answers through sendTo and disconnectsock. Without the sockets
// (tests, fuzzing) anything that takes the same calls can drive it.
class TServer : public QObject {
    Q_OBJECT
public:
    // Timer actions.
    enum Timer1Tag { NextTurn = 1, NextRound = 2, EndRound = 3 };
    static constexpr int pickDelayTicks = 3;
    static constexpr int roundPauseTickMs = 1000;
    // A connection that has not logged in this long after getting its seat is let go,
    // so silent connections cannot hold the table full.
    static constexpr int loginDeadlineMs = 30000;

    // The program's host, on its own seat connections (switched on by startListening).
    TServer(HostSettings settings, ErrorReporter* errors, QObject* parent = nullptr);
    // A host that answers through link instead.
    TServer(HostSettings settings, ErrorReporter* errors, SeatLink* link,
            QObject* parent = nullptr);
    ~TServer() override;

    // Switches on Sock1. On failure reports the listen error and returns false.
    bool startListening(quint16 port = table::defaultPort);
    quint16 serverPort() const;
    bool isListening() const;
    // Null for a host on another link.
    SeatConnections* connections() const { return m_connections.get(); }

    // What the seat connections hand in: a connection took the seat; one message came in
    // on it; it closed and the seat is free.
    void seatOpened(int seat, int generation);
    void socktimerTimer(int seat, int generation, const QByteArray& message);
    void tempsockInfo(int seat);

    // The game timers' ticks; the timers call them, and tests may in their place.
    void timer1Timer();
    void computertimerTimer();
    void logintimerTimer();

    // The generator is seeded from the clock; tests seed it for a known deal.
    void seedRandom(std::uint32_t seed) { m_random.seed(seed); }
    // Tests drive the clock (milliseconds) that the flood limit and the login deadline read.
    void setClock(std::function<qint64()> nowMs) { m_clock = std::move(nowMs); }

    const tplayer& player(int seat) const { return m_players.at(std::size_t(seat)); }
    bool gameRunning() const { return gamerunning; }
    int currentTurn() const { return turn; }
    int roundNumber() const { return roundnumber; }
    int bobsRevealed() const { return bobsrevealed; }
    int bobCount() const { return bobcount; }
    int playToScore() const { return playtoscore; }
    int bobPenalty() const { return bobpenalty; }
    int gameType() const { return gametype; }
    const rules::Board& board() const { return m_board; }
    bool timer1Active() const { return timer1.isActive(); }
    int timer1Tag() const { return m_timer1Tag; }
    bool computertimerActive() const { return computertimer.isActive(); }
    bool logintimerActive() const { return logintimer.isActive(); }
    // A seat in the round whose picks and covers the host makes.
    bool computerPlays(int seat) const;

    // Closes the seat's connection if the seat is connected (removal of a player).
    void disconnectsock(int seat);

signals:
    // After a seat's connection has closed and the seat was freed.
    void seatFreed(int seat);
    // After a round's scores were sent, before the pause to the next round.
    void roundScored(int round);
    // After a winner was announced and the game stopped.
    void gameWon(int seat);

private:
    // Seats, logins and relays.
    void receivedlogininfo(const msg::LoginInfo& m);
    void kickhim(const msg::KickHim& m);
    void justwatch(const msg::JustWatch& m);
    void chat(const msg::Relayed& m);
    void action(const msg::Relayed& m);
    void playasound(const msg::Relayed& m);

    // Games and rounds.
    void startgame(const msg::StartGame& m);
    void startround();
    void shuffleboard();
    void createcards();

    // Turns.
    void findplayer();
    void chooseball(const msg::ChooseBall& m);
    void cover(const msg::Cover& m);
    void endround();

    bool checkforwin();

    // Computer players.
    void computerchoose(int seat);
    void computerplay(int seat);

    bool claimsOwnSeat(int seat, const char* what) const;
    bool withinFloodLimit(const char* what);
    void armLoginTimer();
    void armTimer1(int tag, int intervalMs, int ticks);
    int botSpeedMs() const;
    int secondsBetweenRounds() const;

    void sendTo(int seat, const QByteArray& wire);
    void sendAll(const QByteArray& wire);
    void sendAllBut(int seat, const QByteArray& wire);
    void buildDispatchTable();

    tplayer& seatAt(int seat) { return m_players[std::size_t(seat)]; }
    const tplayer& seatAt(int seat) const { return m_players[std::size_t(seat)]; }

    std::unique_ptr<SeatConnections> m_connections;
    SeatLink* m_link;
    std::array<tplayer, table::maxSeats + 1> m_players{}; // index 0 unused
    // Seat of the connection the message being handled came in on.
    int m_sender = 0;
    std::function<qint64()> m_clock;

    bool gamerunning = false;
    int turn = 0;
    int lastchooser = 0;
    int playtoscore = 0;
    int bobpenalty = 0;
    int bobcount = 0;
    int gametype = 0;
    int roundnumber = 0;
    int bobsrevealed = 0;
    int lastvalue = 0;
    rules::Board m_board;

    QTimer timer1;
    int timer1count = 0;
    int m_timer1Tag = 0;
    QTimer computertimer;
    int computercount = 0;
    // The seat computertimer was armed for; it picks only while that seat holds the turn.
    int m_computerSeat = 0;
    // Due at the earliest login deadline of the connections not logged in.
    QTimer logintimer;

    std::mt19937 m_random;
    HostSettings m_settings;
    ErrorReporter* m_errors;
    Dispatcher m_dispatch;
};
