#pragma once

#include "client/launchoptions.h"
#include "client/tableconnection.h"
#include "client/tablemenus.h"
#include "client/tablesettings.h"
#include "client/tablestate.h"
#include "net/dispatcher.h"

#include <QColor>
#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <optional>

class ChatPanel;
class ErrorReporter;
class PlayingSurface;
class QMessageBox;
class QStringListModel;
class SoundPlayer;
class Tgamestart;

// The main window: it owns the table's state, its surfaces, the menus, the chat panel
// and the connection to the host, and handles the host's messages.
class Tchat : public QMainWindow {
    Q_OBJECT
public:
    // Starts the host on a port (0 for any free one); its port, or none when it could not.
    using Hosting = std::function<std::optional<quint16>(quint16 port)>;

    // sounds may be null: the window is then silent.
    Tchat(LaunchOptions options, ErrorReporter* errors, SoundPlayer* sounds = nullptr,
          QWidget* parent = nullptr);

    void setHosting(Hosting hosting) { m_hosting = std::move(hosting); }
    // Whether other players' copies are connected to the table this copy hosts.
    void setOthersAtTable(std::function<bool()> others) { m_othersAtTable = std::move(others); }
    // The game start dialog is made when first needed.
    void setGameStart(std::function<Tgamestart*()> dialog);

    // Every notice of the program goes to the chat this way, in systemColour().
    void addlinetochat(int code, const QString& body, const QColor& colour);
    void kicking(int seat) { m_menus->kicking(seat); }
    // Reports an error when not connected.
    void send(const QByteArray& wire) { m_connection.send(wire); }
    // One message from the host, as the connection's queue hands it on.
    void receive(const QByteArray& text);
    // The start button and "Start Game": the dialog when logged in, else a notice.
    void button_startClick();

    const TableState& state() const { return m_state; }
    PlayingSurface& surface() const { return *m_surface; }
    ChatPanel& chatPanel() const { return *m_chat; }
    TableMenus& menus() const { return *m_menus; }
    const Options& options() const { return m_menus->options(); }
    const QString& playerName() const { return m_playerName; }
    const QString& hostAddress() const { return m_connection.address(); }
    QTcpSocket& clientSocket() { return m_connection.socket(); }
    QTcpSocket& lobbySocket() { return m_connection.lobbySocket(); }
    QColor systemColour() const { return m_systemColour; }
    qsizetype queuedMessages() const { return m_connection.queuedMessages(); }
    const Dispatcher& dispatcher() const { return m_dispatch; }
    quint64 dispatchedMessages() const { return m_dispatched; }
    // "<seat>: <name>" for the spy list window.
    QStringListModel* spylistItems() const { return m_spylist; }
    const QString& iniPath() const { return m_settings->path(); }
    const QString& tallyPath() const { return m_settings->tallyPath(); }
    // The session ends (a signal, the desktop's logout): closes without asking anything.
    void closeWithoutAsking();

signals:
    void soloStarted();
    // This copy hosts: its spy list may remove spies.
    void hostModeStarted();
    // A game this seated player took part in has ended: "addtomine" when the player won,
    // otherwise the winner's name. Spies never emit it.
    void gameCounted(const QString& winnerOrAddtomine);
    void closed();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildWindow();
    void connectMenus();
    void buildDispatchTable();
    // Reads the launch arguments and hosts, joins or starts a solo game, at the first show.
    void processparams();
    void hostpress();
    void setStartAvailable(bool available);
    void systemline(const QString& text);
    // Plays a game sound by name if "Play Sounds" is checked.
    void playsounds(const QString& name);
    // Reset of the table: at creation and at every game start.
    void clearall();
    QMessageBox* showMessage(const QString& text);
    // A box that closes the window when the player dismisses it; a later one replaces its text.
    void closeAfterMessage(const QString& text);
    bool playerAgreesToEndTable();

    // Message handlers, in the order of the dispatch table (chatform_handlers.cpp).
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

    LaunchOptions m_options;
    SoundPlayer* m_sounds;
    Hosting m_hosting;

    Dispatcher m_dispatch;
    TableConnection m_connection;
    quint64 m_dispatched = 0;
    bool m_askBeforeClose = true;
    QPointer<QMessageBox> m_closeQuestion;
    std::function<bool()> m_othersAtTable;

    TableState m_state;
    QString m_playerName;
    bool m_shown = false;
    // While open, the host's hang-up leaves the window to the player.
    QPointer<QMessageBox> m_closingBox;
    QColor m_systemColour{0, 0, 255};
    std::function<Tgamestart*()> m_gamestart;

    PlayingSurface* m_surface = nullptr;
    ChatPanel* m_chat = nullptr;
    TableMenus* m_menus = nullptr;
    TableSettings* m_settings = nullptr;
    QStringListModel* m_spylist = nullptr;
};
