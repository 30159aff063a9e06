#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>

// The one place that knows how every message is spelled on the wire. Each builder
// returns the exact bytes to hand to the socket in one call, terminator included.
// Texts travel as UTF-8, which never contains the 0xFF terminator.

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

inline constexpr char terminator = char(0xFF);
// Sender seat in the colour-tagged chat forms: text and colour are split at the first "|".
inline constexpr char colourSeparator = '|';

// Appends the terminator to a whole message text.
QByteArray frame(const QByteArray& text);
// The body of one built message: the text after its name's "+", up to the terminator.
QByteArray bodyOf(const QByteArray& wire);

// ---- Client to host ----
// "CMD_logininfo+<seat>+<version>+<name>" with two terminators: the login name itself
// ends in 0xFF, and the second ends an empty message that the host drops.
QByteArray logininfo(int seat, const QString& version, const QString& name);
// "CMD_chat+<seat>+<text>|<colour>"
QByteArray chat(int seat, const QString& text, const QString& colour);
// "CMD_action+<seat>+<text>|<colour>"; a phrase button sends text "says: <phrase>".
QByteArray action(int seat, const QString& text, const QString& colour);
// "CMD_playasound+<seat>+wave<n>+"
QByteArray playasound(int seat, int wave);
// "CMD_startgame+<name>+<playtoscore>+<penalty>+<bobcount>+<botsfor>+": the dialog's
// edit texts go as typed; the host replaces any that is not a number.
QByteArray startgame(const QString& name, const QString& playtoscore, const QString& penalty,
                     const QString& bobcount, int botsfor);
// "CMD_justwatch+<seat>+<mode>": mode 1 sets just watch, 2 clears it.
QByteArray justwatch(int seat, int mode);
// "CMD_kickhim+<seat>+<target>+"
QByteArray kickhim(int seat, int target);
// "CMD_chooseball+<seat>+<position>+"
QByteArray chooseball(int seat, int position);
// "CMD_cover+<seat>+<card>+<column><row>+"
QByteArray cover(int seat, int card, int column, int row);
// The body a computer seat hands straight to the host's handlers, as the network would.
QByteArray chooseballBody(int seat, int position);
QByteArray coverBody(int seat, int card, int column, int row);

// ---- Host to one seat ----
// "CMD_full+"
QByteArray full();
// "CMD_sendlogininfo+<seat>"
QByteArray sendlogininfo(int seat);
struct SeatInfo {
    int seat = 0;
    QString name;
    bool watching = false;
};
// "CMD_existingplayers" then "+<seat>+<name>+<watching>" per seat.
QByteArray existingplayers(const QList<SeatInfo>& seats);
// "CMD_wrongversion+"
QByteArray wrongversion();
// "CMD_havewrongversion+<name>"
QByteArray havewrongversion(const QString& name);
struct Revealed {
    int position = 0;
    int value = 0;
};
// "CMD_gamestats+<turn>+<bobs>+<playtoscore>+<score1>…+<score7>" then "+<position>+<value>"
// per revealed position.
QByteArray gamestats(int turn, int bobs, int playtoscore, const std::array<int, 7>& scores,
                     const QList<Revealed>& revealed);
// cells[card][column][row], 0-based; "CMD_myboard+<seat>" then "+<card>+<column>+<row>+<value>"
// 50 times: card 1 then 2, column 1 to 5, row 1 to 5.
using CardCells = std::array<std::array<std::array<int, 5>, 5>, 2>;
QByteArray myboard(int seat, const CardCells& cells);
// "CMD_invalid+<seat>+<code>+"
QByteArray invalid(int seat, int code);
// "CMD_errored+<seat>+3+"
QByteArray errored(int seat);
// "CMD_coverit+<seat>+<card>+<column>+<row>+"
QByteArray coverit(int seat, int card, int column, int row);

// ---- Host to every connected seat ----
// "CMD_newplayerinfo+<seat>+<name>+0"
QByteArray newplayerinfo(int seat, const QString& name);
// "CMD_playerdisconnected+<seat>+<name>"
QByteArray playerdisconnected(int seat, const QString& name);
// Relays keep what the sender wrote after its seat field byte for byte.
// "CMD_chat+<seat>+<name> chats: <rest>"
QByteArray chatRelay(int seat, const QString& name, const QByteArray& rest);
// "CMD_action+<seat>+<name> <rest>"
QByteArray actionRelay(int seat, const QString& name, const QByteArray& rest);
// "CMD_playasound+<seat>+<rest>"
QByteArray playasoundRelay(int seat, const QByteArray& rest);
// "CMD_justwatching+<seat>+<mode>"
QByteArray justwatching(int seat, int mode);
// "CMD_startgame+<name>+<playtoscore>+"
QByteArray startgameRelay(const QString& name, int playtoscore);
// "CMD_roundstart+<round>+3+<a3>+4+<a4>+5+<a5>+6+<a6>+7+<a7>"; inRound[i] is seat i + 3.
QByteArray roundstart(int round, const std::array<bool, 5>& inRound);
// "CMD_nextplayer+<seat>+"
QByteArray nextplayer(int seat);
// "CMD_chooseball+<seat>+<position>+<value>+<bobs>+<score>+<penalty>+"
QByteArray chooseballReveal(int seat, int position, int value, int bobs, int score, int penalty);
struct SeatScore {
    int seat = 0;
    int total = 0;
    int round = 0;
    // covered, line, corners, cross, x, square, blackout
    std::array<int, 7> patterns{};
};
// "CMD_scores" then "+<seat>+<total>+<round>+<covered>+…+<blackout>" per seat.
QByteArray scores(const QList<SeatScore>& seats);
// "CMD_winner+<name>+"
QByteArray winner(const QString& name);

} // namespace msg
