#pragma once

#include "client/phrasebuttons.h"
#include "host/hostsettings.h"
#include "net/dispatcher.h"
#include "net/dispatchpump.h"
#include "net/peerlink.h"

#include <QColor>
#include <QMainWindow>
#include <QPointer>
#include <QRect>
#include <QStringList>
#include <QTcpSocket>
#include <QUrl>

#include <array>
#include <functional>
#include <optional>

class BallBoard;
class BigBall;
class CardGrid;
class ChosenPanel;
class DetailsPanel;
class IndexedPicture;
class PictureButton;
class ScoreSheet;
class WinnerBanner;
class ChatEntry;
class ChatView;
class ErrorReporter;
class QAction;
class QActionGroup;
class QColorDialog;
class QLabel;
class QMenu;
class QMessageBox;
class QPushButton;
class QStringListModel;
class SeatRows;
class SmiliesButton;
class SoundPlayer;
class TServer;
class Tgamestart;
struct Settings;

// How a copy of the program was started and where it connects; tests replace the ports.
struct LaunchOptions {
    QStringList arguments;   // the launch arguments, without the program name
    quint16 gamePort = 7772; // the host listens here; 0 picks a free port
    quint16 lobbyPort = 9001;
    // Where the settings file lives; empty for the program's own place. Tests give a
    // temporary folder so that nothing is written beside the test binary.
    QString settingsFolder;
    // The hosting copy's timers; unset, the host reads the window's settings.
    std::optional<HostSettings> hostSettings;
};

// The main window: the table, the chat and the client's side of the protocol. It owns
// the connection and the message handlers and tells its surfaces what to show.
class Tchat : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int playingseats = 7;
    static constexpr int maxSeat = 9;
    static constexpr int defaultLeft = 3;
    static constexpr int defaultTop = 3;
    static constexpr int defaultWidth = 772;
    static constexpr int defaultHeight = 535;
    // What an empty seat row shows.
    static const QString waiting;
    // The computer player's name of a seat 1 to 7 (none for seat 1).
    static QString botname(int seat);

    // sounds may be null: the window is then silent.
    Tchat(LaunchOptions options, ErrorReporter* errors, SoundPlayer* sounds = nullptr,
          QWidget* parent = nullptr);
    ~Tchat() override;

    // The hosting copy's server form; created after this window.
    void setServer(TServer* server) { m_server = server; }
    // How web links from the chat are opened (the desktop's handler by default).
    void setUrlOpener(std::function<bool(const QUrl&)> opener) { m_openUrl = std::move(opener); }
    // The game start dialog opened by the start button and "Start Game"; made after this
    // window.
    void setGameStart(Tgamestart* dialog);

    // Reads the launch arguments and hosts, joins or starts a solo game. Runs once, at
    // the first show.
    void processparams();
    void hostpress();
    void joinpress();

    // Appends a chat line: code 0 is a system line, 1 to 9 the seat whose words it
    // carries. Every notice of the program goes this way, in systemColour().
    void addlinetochat(int code, const QString& body, const QColor& colour);
    // The same for a line written "<code>+<body>"; false when it has no code.
    bool addlinetochat(const QString& line, const QColor& colour);
    // Plays a game sound by name if "Play Sounds" is checked.
    void playsounds(const QString& name);

    // Asks the host to remove the player of a seat (host mode, logged in).
    void kicking(int seat);
    // The seat pop-up, about to open over a name label that shows shownName (the seat
    // rows and the score sheet use it).
    void label_playername1ContextPopup(int seat, const QString& shownName, const QPoint& globalPos);
    // Reset of the table: at creation and at every game start.
    void clearall();

    // Sends one built message to the host; reports an error when not connected.
    void send(const QByteArray& wire);

    int ownSeat() const { return m_ownSeat; }
    bool loggedIn() const { return m_loggedIn; }
    bool hostMode() const { return m_hostMode; }
    const QString& playerName() const { return m_playerName; }
    const QString& hostAddress() const { return m_hostAddress; }
    QTcpSocket& clientSocket() { return sock; }
    QTcpSocket& lobbySocket() { return Sock11; }
    QColor systemColour() const { return m_systemColour; }
    PhraseGate& phraseGate() { return m_phraseGate; }
    qsizetype queuedMessages() const { return receivedlist.size(); }
    const Dispatcher& dispatcher() const { return m_dispatch; }
    // Messages taken from the queue and dispatched since start.
    quint64 dispatchedMessages() const { return m_dispatched; }
    int getTurnseat() const { return turnseat; }
    bool seatInPlay(int seat) const;

    // The user's chat colour, named in every chat, action and phrase message.
    QColor chatColour() const { return m_chatColour; }
    void setChatColour(const QColor& colour);
    void setStatus(const QString& text);
    QString status() const;

    // The spy list's items ("<seat>: <name>"), shown by the spy list window.
    QStringListModel* spylistItems() const { return m_spylist; }

    // The names on seat labels 1 to 7 other than the own seat, for the tally's list of
    // players in the current game.
    QStringList loadchecklist() const;
    SeatRows* seatRows() const { return m_rows; }
    CardGrid* cards() const { return m_cards; }
    ChatView* chatView() const { return mainchat; }
    ChatEntry* chatEntry() const { return mychat; }
    PhraseButtons* phraseButtons() const { return m_phrases; }
    QMenu* optionsMenu() const { return m_optionsMenu; }
    BallBoard* board() const { return paintbox_board; }
    BigBall* bigBall() const { return m_bigball; }
    ChosenPanel* chosenPanel() const { return panel_choosen; }
    ScoreSheet* scoreSheet() const { return panel_scoresheet; }
    DetailsPanel* detailsPanel() const { return panel_more; }
    WinnerBanner* winnerBanner() const { return panel_winner; }
    // The ball value each history picture shows, newest first (0 for none).
    QList<int> ballHistory() const;
    int bobCounter() const;
    // The pattern values of a seat's last scored round (all 0 outside 1 to 7).
    std::array<int, 7> seatPatterns(int seat) const;

    // Board and card input: a button released over the board, a click on a card cell.
    void paintbox_boardMouseUp(QPoint point);
    void label_roundnumClick(int card, int column, int row);
    void ChoosenBingoBalls1Click();
    void button_openClick();
    void button_closeClick();
    // The score sheet's arrows, the details panel's X and the sheet's OK.
    void image_more1Click(int seat);
    void FlatButton1Click();
    void button_okClick();

    // The settings file this window reads and writes.
    QString iniPath() const { return m_iniPath; }
    // The tally file, kept in the same folder.
    QString tallyPath() const { return m_tallyPath; }
    // Option state other windows read: the host's computer players' interval and the
    // pause between rounds (meaningful on the hosting copy), and the turn sound.
    int botSpeedMs() const;
    int secondsBetweenRounds() const;
    int turnSound() const;
    // The start button and "Start Game": the dialog when logged in, else a notice.
    void button_startClick();
    // Options "Reset Screen Location": back to the default place at once.
    void ResetScreenLocation1Click();
    // View "Choosen Bingo Balls", for the chosen-balls panel to follow and drive.
    QAction* chosenBallsItem() const { return ChoosenBingoBalls1; }

signals:
    // Solo start: the lobby download window is shown.
    void soloStarted();
    void startAvailabilityChanged(bool available);
    // This copy hosts: its spy list may remove spies.
    void hostModeStarted();
    // The start button was clicked: the game start dialog should open.
    // A game this seated player took part in has ended: "addtomine" when the player won,
    // otherwise the winner's name. Spies never emit it.
    void gameCounted(const QString& winnerOrAddtomine);
    // The window has closed: the program ends.
    void closed();
    // View and Help menu items and the logo: windows this one does not own.
    void viewTallyRequested();
    void spyListRequested();
    void phraseListRequested();
    void helpRequested();
    void aboutRequested();
    void logoClicked();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildWindow();
    void buildMenus();
    void buildDispatchTable();
    void FormResize();
    void FormClose();
    void Exit1Click();
    void setStartAvailable(bool available);
    void systemline(const QString& text);
    QMessageBox* showMessage(const QString& text);

    void sockInfo(QAbstractSocket::SocketError error);
    void connectionClosed();
    void Timer1Timer(const QueuedMessage& message);

    // Message handlers, in the order of the dispatch table.
    void sendloginfo(const QByteArray& body);
    void chatrecieved(const QByteArray& body);
    void playasound(const QByteArray& body);
    void newplayerinfo(const QByteArray& body);
    void havewrongversion(const QByteArray& body);
    void wrongversion(const QByteArray& body);
    void playerdisconnected(const QByteArray& body);
    void gamefull(const QByteArray& body);
    void justwatching(const QByteArray& body);
    void startthegame(const QByteArray& body);
    void getnextplayer(const QByteArray& body);
    void winner(const QByteArray& body);
    void roundstart(const QByteArray& body);
    void myboard(const QByteArray& body);
    void invalid(const QByteArray& body);
    void chooseball(const QByteArray& body);
    void coverit(const QByteArray& body);
    void scores(const QByteArray& body);
    void gamestats(const QByteArray& body);

    // Resets and panels of the board, the ball history and the score sheet.
    void resetBoard();
    void resetBallHistory();
    void resetChosenPanel();
    void setBobCounter(int zorers);
    void hideScoreSheet();
    void hideWinnerBanner();
    void setChosenPanelOpen(bool open);
    void buildPlayingSurface(QWidget* parent);

    // Settings file.
    void loadinifile();
    void saveinifile();
    void saveSettings(const QRect& bounds);
    Settings currentSettings() const;
    void BotSpeedClick(QAction* item);
    void TimeDelayClick(QAction* item);

    // Chat input.
    void sendit();
    void b_phrase1Click(int index);
    void wave4Click(int tag);
    void N271Click(int code);
    void mainchatJump(int slot);
    void ClearMainChat1Click();
    void ScrollChatOff1Click();

    // Options and seat commands.
    void PlaySounds1Click();
    void PlayerPhraseSounds1Click();
    void TurnSoundClick(QAction* item);
    void TextColor1Click();
    void TextSizeClick(QAction* item);
    void JustWatch1Click();
    void RemoveFromGame1Click();
    void SettoJustWatch1Click();
    void UnsetJustWatch1Click();

    LaunchOptions m_options;
    ErrorReporter* m_errors;
    SoundPlayer* m_sounds;
    TServer* m_server = nullptr;
    std::function<bool(const QUrl&)> m_openUrl;

    QTcpSocket sock;
    QTcpSocket Sock11;
    Dispatcher m_dispatch;
    DispatchPump receivedlist;
    // Reads sock into receivedlist, bounded, and sends on it.
    PeerLink m_link;

    QString m_playerName;
    QString m_hostAddress;
    QByteArray m_loginName;
    bool m_hostMode = false;
    int m_ownSeat = 0;
    bool m_loggedIn = false;
    bool m_shown = false;
    bool m_everConnected = false;
    // While open, the host's hang-up leaves the window to the player.
    QPointer<QMessageBox> m_gameFullBox;
    QColor m_systemColour{0, 0, 255};
    QColor m_chatColour{0, 0, 0};
    PhraseGate m_phraseGate;
    quint64 m_dispatched = 0;
    int turnseat = 0;
    // Indexed by seat; entry 0 unused.
    std::array<bool, playingseats + 1> seatinplay{};
    int m_popupSeat = 0;
    QRect m_savedBounds;
    QString m_iniPath;
    QString m_tallyPath;
    Tgamestart* m_gamestart = nullptr;

    QWidget* panel_board = nullptr;
    SeatRows* m_rows = nullptr;
    CardGrid* m_cards = nullptr;
    QLabel* label_status = nullptr;
    QLabel* label_playtoscore = nullptr;
    ChatView* mainchat = nullptr;
    ChatEntry* mychat = nullptr;
    PhraseButtons* m_phrases = nullptr;
    SmiliesButton* button_smilies = nullptr;
    PictureButton* button_start = nullptr;
    BallBoard* paintbox_board = nullptr;
    BigBall* m_bigball = nullptr;
    IndexedPicture* image_bob = nullptr;
    std::array<IndexedPicture*, 6> image_other{};
    ChosenPanel* panel_choosen = nullptr;
    PictureButton* button_open = nullptr;
    PictureButton* button_close = nullptr;
    ScoreSheet* panel_scoresheet = nullptr;
    DetailsPanel* panel_more = nullptr;
    WinnerBanner* panel_winner = nullptr;
    // Indexed by seat; entry 0 unused. Covered, line, corners, cross, X, square, blackout.
    std::array<std::array<int, 7>, playingseats + 1> patterns{};
    QLabel* image_logo = nullptr;
    QWidget* panel_help = nullptr;
    QStringListModel* m_spylist = nullptr;
    QColorDialog* ColorDialog = nullptr;

    QMenu* m_optionsMenu = nullptr;
    QMenu* popup_kick = nullptr;
    QAction* StartGame1 = nullptr;
    QAction* PlaySounds1 = nullptr;
    QAction* PlayerPhraseSounds1 = nullptr;
    QAction* TurnSound1 = nullptr;
    QAction* BotSpeed1 = nullptr;
    QAction* TimeBetweenRoundDelay1 = nullptr;
    QAction* ChoosenBingoBalls1 = nullptr;
    QAction* TextSize1 = nullptr;
    QAction* ScrollChatOff1 = nullptr;
    QAction* ClearMainChat1 = nullptr;
    QAction* JustWatch1 = nullptr;
    QAction* RemoveFromGame1 = nullptr;
    QAction* SettoJustWatch1 = nullptr;
    QAction* UnsetJustWatch1 = nullptr;
};
