#pragma once

#include "net/separators.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>
#include <optional>

// The one place that knows how every message is spelled on the wire. Each builder
// returns the exact bytes to hand to the socket in one call, terminator included; each
// message's struct reads its body (the text after the name's "+") with parse(), which
// throws FieldError where a number field holds no number. parse() checks the form only:
// whether a seat, position or cell exists is the receiver's business.

namespace cmd {
// Client to host.
inline constexpr char logininfo[] = "CMD_logininfo";
inline constexpr char kickhim[] = "CMD_kickhim";
inline constexpr char chat[] = "CMD_chat";
inline constexpr char action[] = "CMD_action";
inline constexpr char playasound[] = "CMD_playasound";
inline constexpr char startgame[] = "CMD_startgame";
inline constexpr char justwatch[] = "CMD_justwatch";
inline constexpr char chooseball[] = "CMD_chooseball";
inline constexpr char cover[] = "CMD_cover";
// Host to one seat.
inline constexpr char full[] = "CMD_full";
inline constexpr char sendlogininfo[] = "CMD_sendlogininfo";
inline constexpr char existingplayers[] = "CMD_existingplayers";
inline constexpr char wrongversion[] = "CMD_wrongversion";
inline constexpr char havewrongversion[] = "CMD_havewrongversion";
inline constexpr char gamestats[] = "CMD_gamestats";
inline constexpr char myboard[] = "CMD_myboard";
inline constexpr char invalid[] = "CMD_invalid";
inline constexpr char errored[] = "CMD_errored";
inline constexpr char coverit[] = "CMD_coverit";
// Host to every connected seat.
inline constexpr char newplayerinfo[] = "CMD_newplayerinfo";
inline constexpr char playerdisconnected[] = "CMD_playerdisconnected";
inline constexpr char justwatching[] = "CMD_justwatching";
inline constexpr char roundstart[] = "CMD_roundstart";
inline constexpr char nextplayer[] = "CMD_nextplayer";
inline constexpr char scores[] = "CMD_scores";
inline constexpr char winner[] = "CMD_winner";
} // namespace cmd

namespace msg {

// Appends the terminator to a whole message text.
QByteArray frame(const QByteArray& text);

// The seat every client message but CMD_startgame names first. The host checks it
// against the connection before it reads any other field.
int claimedSeat(const QByteArray& body);

// One cell of a seat's two cards, each counted from 1.
struct Cell {
    int card = 0;
    int column = 0;
    int row = 0;
    friend bool operator==(const Cell&, const Cell&) = default;
};

// ---- Client to host ----

// "CMD_logininfo+<seat>+<version>+<name>" with two terminators: the login name itself
// ends in 0xFF, and the second ends an empty message that the host drops.
QByteArray logininfo(int seat, const QString& version, const QString& name);
struct LoginInfo {
    int seat = 0;
    QString version;
    QByteArray name; // everything after the version, as sent
    static LoginInfo parse(const QByteArray& body);
    friend bool operator==(const LoginInfo&, const LoginInfo&) = default;
};

// "CMD_chat+<seat>+<text>|<colour>"
QByteArray chat(int seat, const QString& text, const QString& colour);
// "CMD_action+<seat>+<text>|<colour>"; a phrase button sends text "says: <phrase>".
QByteArray action(int seat, const QString& text, const QString& colour);
// "CMD_playasound+<seat>+wave<n>+"
QByteArray playasound(int seat, int wave);
// CMD_chat, CMD_action and CMD_playasound as the host reads them: it relays what follows
// the seat byte for byte.
struct Relayed {
    int seat = 0;
    QByteArray rest;
    static Relayed parse(const QByteArray& body);
    friend bool operator==(const Relayed&, const Relayed&) = default;
};

// "CMD_startgame+<name>+<playtoscore>+<penalty>+<bobcount>+<botsfor>+": the dialog's
// edit texts go as typed; the host replaces any that is not a number.
QByteArray startgame(const QString& name, const QString& playtoscore, const QString& penalty,
                     const QString& bobcount, int botsfor);
struct StartGame {
    QString name;
    // Empty where the field is missing or not a number.
    std::optional<int> playtoscore;
    std::optional<int> penalty;
    std::optional<int> bobcount;
    std::optional<int> botsfor;
    static StartGame parse(const QByteArray& body);
    friend bool operator==(const StartGame&, const StartGame&) = default;
};

// "CMD_justwatch+<seat>+<mode>": mode 1 sets just watch, 2 clears it.
QByteArray justwatch(int seat, int mode);
// CMD_justwatch, and CMD_justwatching that the host sends on.
struct JustWatch {
    static constexpr int watch = 1;
    static constexpr int play = 2;
    int seat = 0;
    int mode = 0; // watch, play, or 0 for any other field
    static JustWatch parse(const QByteArray& body);
    friend bool operator==(const JustWatch&, const JustWatch&) = default;
};

// "CMD_kickhim+<seat>+<target>+"
QByteArray kickhim(int seat, int target);
struct KickHim {
    int seat = 0;
    int target = 0;
    static KickHim parse(const QByteArray& body);
    friend bool operator==(const KickHim&, const KickHim&) = default;
};

// "CMD_chooseball+<seat>+<position>+"
QByteArray chooseball(int seat, int position);
struct ChooseBall {
    int seat = 0;
    int position = 0;
    static ChooseBall parse(const QByteArray& body);
    friend bool operator==(const ChooseBall&, const ChooseBall&) = default;
};

// "CMD_cover+<seat>+<card>+<column><row>+": column and row travel as one field, the
// first character and the rest.
QByteArray cover(int seat, int card, int column, int row);
struct Cover {
    int seat = 0;
    Cell cell;
    static Cover parse(const QByteArray& body);
    friend bool operator==(const Cover&, const Cover&) = default;
};

// ---- Host to one seat ----

// "CMD_full+" and "CMD_wrongversion+" carry no fields.
QByteArray full();
QByteArray wrongversion();

// "CMD_sendlogininfo+<seat>"
QByteArray sendlogininfo(int seat);
struct SendLoginInfo {
    int seat = 0;
    static SendLoginInfo parse(const QByteArray& body);
    friend bool operator==(const SendLoginInfo&, const SendLoginInfo&) = default;
};

struct SeatInfo {
    int seat = 0;
    QString name;
    bool watching = false;
    friend bool operator==(const SeatInfo&, const SeatInfo&) = default;
};
// "CMD_existingplayers" then "+<seat>+<name>+<watching>" per seat.
QByteArray existingplayers(const QList<SeatInfo>& seats);
// "CMD_newplayerinfo+<seat>+<name>+0"
QByteArray newplayerinfo(int seat, const QString& name);
// CMD_existingplayers and CMD_newplayerinfo: groups until the body is used up.
struct PlayerList {
    QList<SeatInfo> seats;
    static PlayerList parse(const QByteArray& body);
    friend bool operator==(const PlayerList&, const PlayerList&) = default;
};

// "CMD_havewrongversion+<name>"
QByteArray havewrongversion(const QString& name);
struct HaveWrongVersion {
    QString name; // the whole body
    static HaveWrongVersion parse(const QByteArray& body);
    friend bool operator==(const HaveWrongVersion&, const HaveWrongVersion&) = default;
};

struct Revealed {
    int position = 0;
    int value = 0;
    friend bool operator==(const Revealed&, const Revealed&) = default;
};
// "CMD_gamestats+<turn>+<bobs>+<playtoscore>+<score1>…+<score7>" then "+<position>+<value>"
// per revealed position.
QByteArray gamestats(int turn, int bobs, int playtoscore, const std::array<int, 7>& scores,
                     const QList<Revealed>& revealed);
struct GameStats {
    int turn = 0;
    int bobs = 0;
    int playtoscore = 0;
    std::array<int, 7> scores{};
    QList<Revealed> revealed;
    static GameStats parse(const QByteArray& body);
    friend bool operator==(const GameStats&, const GameStats&) = default;
};

// cells[card][column][row], 0-based; "CMD_myboard+<seat>" then "+<card>+<column>+<row>+<value>"
// 50 times: card 1 then 2, column 1 to 5, row 1 to 5.
using CardCells = std::array<std::array<std::array<int, 5>, 5>, 2>;
QByteArray myboard(int seat, const CardCells& cells);
struct MyBoard {
    struct Entry {
        Cell cell;
        int value = 0;
        friend bool operator==(const Entry&, const Entry&) = default;
    };
    int seat = 0;
    QList<Entry> cells; // as many groups as the body holds
    static MyBoard parse(const QByteArray& body);
    friend bool operator==(const MyBoard&, const MyBoard&) = default;
};

// "CMD_invalid+<seat>+<code>+"
QByteArray invalid(int seat, int code);
// "CMD_errored+<seat>+3+"
QByteArray errored(int seat);
// CMD_invalid (code 1: already revealed, 2: no ball there) and CMD_errored (code 3).
struct Refusal {
    int seat = 0;
    int code = 0;
    static Refusal parse(const QByteArray& body);
    friend bool operator==(const Refusal&, const Refusal&) = default;
};

// "CMD_coverit+<seat>+<card>+<column>+<row>+"
QByteArray coverit(int seat, int card, int column, int row);
struct CoverIt {
    int seat = 0;
    Cell cell;
    static CoverIt parse(const QByteArray& body);
    friend bool operator==(const CoverIt&, const CoverIt&) = default;
};

// ---- Host to every connected seat ----

// "CMD_playerdisconnected+<seat>+<name>"
QByteArray playerdisconnected(int seat, const QString& name);
struct PlayerDisconnected {
    int seat = 0;
    QString name; // the rest of the body
    static PlayerDisconnected parse(const QByteArray& body);
    friend bool operator==(const PlayerDisconnected&, const PlayerDisconnected&) = default;
};

// Relays keep what the sender wrote after its seat field byte for byte.
// "CMD_chat+<seat>+<name> chats: <rest>"
QByteArray chatRelay(int seat, const QString& name, const QByteArray& rest);
// "CMD_action+<seat>+<name> <rest>"
QByteArray actionRelay(int seat, const QString& name, const QByteArray& rest);
// A relayed CMD_chat or CMD_action: "<seat>+<line>|<colour>", split at the first "|"
// and then at the line's first "+". A line without a seat is a field error.
struct ChatLine {
    int seat = 0;
    QString text;
    std::optional<QString> colour; // empty without a "|"
    static ChatLine parse(const QByteArray& body);
    friend bool operator==(const ChatLine&, const ChatLine&) = default;
};

// "CMD_playasound+<seat>+<rest>"
QByteArray playasoundRelay(int seat, const QByteArray& rest);
struct Sound {
    int seat = 0;
    QString name; // "wave<n>"
    static Sound parse(const QByteArray& body);
    friend bool operator==(const Sound&, const Sound&) = default;
};

// "CMD_justwatching+<seat>+<mode>", read as JustWatch.
QByteArray justwatching(int seat, int mode);

// "CMD_startgame+<name>+<playtoscore>+"
QByteArray startgameRelay(const QString& name, int playtoscore);
struct GameStarted {
    QString name;
    QString playtoscore; // shown as sent
    static GameStarted parse(const QByteArray& body);
    friend bool operator==(const GameStarted&, const GameStarted&) = default;
};

// "CMD_roundstart+<round>+3+<a3>+4+<a4>+5+<a5>+6+<a6>+7+<a7>"; inRound[i] is seat i + 3.
QByteArray roundstart(int round, const std::array<bool, 5>& inRound);
struct RoundStart {
    struct Seat {
        int seat = 0;
        bool inRound = false; // the flag is 1
        friend bool operator==(const Seat&, const Seat&) = default;
    };
    int round = 0;
    QList<Seat> seats;
    static RoundStart parse(const QByteArray& body);
    friend bool operator==(const RoundStart&, const RoundStart&) = default;
};

// "CMD_nextplayer+<seat>+"
QByteArray nextplayer(int seat);
struct NextPlayer {
    int seat = 0;
    static NextPlayer parse(const QByteArray& body);
    friend bool operator==(const NextPlayer&, const NextPlayer&) = default;
};

// "CMD_chooseball+<seat>+<position>+<value>+<bobs>+<score>+<penalty>+"
QByteArray chooseballReveal(int seat, int position, int value, int bobs, int score, int penalty);
struct Reveal {
    int seat = 0;
    int position = 0;
    int value = 0;
    int bobs = 0;
    int score = 0;
    int penalty = 0;
    static Reveal parse(const QByteArray& body);
    friend bool operator==(const Reveal&, const Reveal&) = default;
};

struct SeatScore {
    int seat = 0;
    int total = 0;
    int round = 0;
    // covered, line, corners, cross, x, square, blackout
    std::array<int, 7> patterns{};
    friend bool operator==(const SeatScore&, const SeatScore&) = default;
};
// "CMD_scores" then "+<seat>+<total>+<round>+<covered>+…+<blackout>" per seat.
QByteArray scores(const QList<SeatScore>& seats);
struct Scores {
    QList<SeatScore> seats;
    static Scores parse(const QByteArray& body);
    friend bool operator==(const Scores&, const Scores&) = default;
};

// "CMD_winner+<name>+"
QByteArray winner(const QString& name);
struct Winner {
    QString name;
    static Winner parse(const QByteArray& body);
    friend bool operator==(const Winner&, const Winner&) = default;
};

} // namespace msg
