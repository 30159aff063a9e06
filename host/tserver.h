#pragma once

#include "host/ballboard.h"
#include "host/bingocard.h"
#include "host/floodlimit.h"
#include "host/hostsettings.h"
#include "host/patterns.h"
#include "net/dispatcher.h"
#include "net/dispatchpump.h"
#include "net/peerlink.h"

#include <QObject>
#include <QString>
#include <QTcpServer>
#include <QTimer>

#include <array>
#include <functional>
#include <memory>
#include <random>

class ErrorReporter;
class QTcpSocket;

// One seat of the host's table.
struct tplayer {
    QString playername;
    bool connected = false;
    // The seat's connection; it owns its socket.
    PeerLink* sock = nullptr;
    bool loggedin = false;
    int score = 0;
    bool watching = false;
    bool inround = false;
    QString botname;
    int roundscore = 0;
    rules::CardPair card{};
    rules::PatternScores patterns{};
    // Chat, actions and chatter sounds this connection may still have relayed.
    FloodLimit relaylimit;
};

// The authoritative game server of the hosting copy: it listens for connections, gives
// each a seat, keeps what each sends in its own queue and dispatches one message per
// tick, taking the seats in turn. The seat a message came in on travels with it, and
// every handler checks the seat a message claims against it.
class TServer : public QObject {
    Q_OBJECT
public:
    static constexpr int playingseats = 7;
    static constexpr int maxSeats = 9;
    static constexpr int refusalSlot = 10;
    static constexpr quint16 defaultPort = 7772;

    // Timer actions.
    enum Timer1Tag { NextTurn = 1, NextRound = 2, EndRound = 3 };
    static constexpr int pickDelayTicks = 3;
    static constexpr int roundPauseTickMs = 1000;
    // A connection that has not logged in this long after getting its seat is let go,
    // so silent connections cannot hold the table full.
    static constexpr int loginDeadlineMs = 30000;

    TServer(HostSettings settings, ErrorReporter* errors, QObject* parent = nullptr);
    ~TServer() override;

    // Switches on Sock1. On failure reports the listen error and returns false.
    bool startListening(quint16 port = defaultPort);
    quint16 serverPort() const { return Sock1.serverPort(); }
    bool isListening() const { return Sock1.isListening(); }

    // The generator is seeded from the clock; tests seed it for a known deal.
    void seedRandom(std::uint32_t seed) { m_random.seed(seed); }
    // Tests shorten the login deadline and drive the flood limit's clock (milliseconds).
    void setLoginDeadline(int ms) { m_loginDeadline = ms; }
    void setClock(std::function<qint64()> nowMs) { m_clock = std::move(nowMs); }

    const tplayer& player(int seat) const { return m_players.at(std::size_t(seat)); }
    int seatsUsed() const { return seatsused; }
    qsizetype queuedMessages() const { return receivedlist.size(); }
    // Handles every queued message now, in the order the dispatch ticks would, instead
    // of one per tick (the fuzz target drives the host this way).
    void dispatchQueued();
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
    // Transport.
    void Sock1Accept();
    void tempsockDisconnect(int seat);
    void tempsockInfo(int seat, QTcpSocket* socket);
    void socktimerTimer(const QueuedMessage& message);

    // Seats, logins and relays.
    void receivedlogininfo(const QByteArray& body);
    void kickhim(const QByteArray& body);
    void justwatch(const QByteArray& body);
    void chat(const QByteArray& body);
    void action(const QByteArray& body);
    void playasound(const QByteArray& body);

    // Games and rounds.
    void startgame(const QByteArray& body);
    void startround();
    void shuffleboard();
    void createcards();

    // Turns.
    void findplayer();
    void chooseball(const QByteArray& body);
    void chooseball(int seat, int position);
    void cover(const QByteArray& body);
    void cover(int seat, int card, int column, int row);
    void endround();
    void timer1Timer();
    void computertimerTimer();

    // Scoring, points of one seat's two cards per pattern.
    bool checkforwin();
    int checkforcovered(int seat) const;
    int checkline(int seat) const;
    int checkcorners(int seat) const;
    int checkcross(int seat) const;
    int checkx(int seat) const;
    int checksquare(int seat) const;
    int checkforblackout(int seat) const;

    // Computer players.
    void computerchoose(int seat);
    void computerplay(int seat);

    bool claimsOwnSeat(int seat, const char* what) const;
    bool withinFloodLimit(const char* what);
    void loginDeadlinePassed(int seat, PeerLink* link);
    void armTimer1(int tag, int intervalMs, int ticks);
    int botSpeedMs() const;
    int secondsBetweenRounds() const;

    void sendTo(int seat, const QByteArray& wire);
    void sendAll(const QByteArray& wire);
    void sendAllBut(int seat, const QByteArray& wire);
    void refuse(QTcpSocket* socket);
    void buildDispatchTable();

    tplayer& seatAt(int seat) { return m_players[std::size_t(seat)]; }
    const tplayer& seatAt(int seat) const { return m_players[std::size_t(seat)]; }

    QTcpServer Sock1;
    std::array<tplayer, refusalSlot + 1> m_players{};
    int seatsused = 0;
    // Seat of the connection the message being handled came in on.
    int m_sender = 0;
    int m_loginDeadline = loginDeadlineMs;
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

    std::mt19937 m_random;
    HostSettings m_settings;
    ErrorReporter* m_errors;
    Dispatcher m_dispatch;
    DispatchPump receivedlist;
};
