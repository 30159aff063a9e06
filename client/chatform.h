#pragma once

#include "net/dispatcher.h"
#include "net/dispatchpump.h"
#include "net/framereader.h"

#include <QColor>
#include <QMainWindow>
#include <QPointer>
#include <QRect>
#include <QStringList>
#include <QTcpSocket>

class ErrorReporter;
class TServer;
class QAction;
class QLineEdit;
class QPushButton;
class QTextBrowser;

// How a copy of the program was started and where it connects; tests replace the ports.
struct LaunchOptions {
    QStringList arguments;   // the launch arguments, without the program name
    quint16 gamePort = 7772; // the host listens here; 0 picks a free port
    quint16 lobbyPort = 9001;
};

// The main window: the table, the chat and the client's side of the protocol.
class Tchat : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int playingseats = 7;
    static constexpr int defaultLeft = 3;
    static constexpr int defaultTop = 3;
    static constexpr int defaultWidth = 772;
    static constexpr int defaultHeight = 535;

    Tchat(LaunchOptions options, ErrorReporter* errors, QWidget* parent = nullptr);
    ~Tchat() override;

    // The hosting copy's server form; created after this window.
    void setServer(TServer* server) { m_server = server; }

    // Reads the launch arguments and hosts, joins or starts a solo game. Runs once, at
    // the first show.
    void processparams();
    void hostpress();
    void joinpress();

    // A system line is code 0; seats 1 to 9 carry their player's words.
    void addlinetochat(int code, const QString& text, const QColor& colour);

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
    bool phraseGateOpen() const { return m_phraseGateOpen; }
    qsizetype queuedMessages() const { return receivedlist.size(); }

signals:
    // Solo start: the lobby download window is shown.
    void soloStarted();
    void startAvailabilityChanged(bool available);
    // The window has closed: the program ends.
    void closed();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildWindow();
    void buildDispatchTable();
    void FormResize();
    void FormClose();
    void Exit1Click();
    void setStartAvailable(bool available);

    void sockRead();
    void sockInfo(QAbstractSocket::SocketError error);
    void Timer1Timer(const QueuedMessage& message);
    bool advancePhraseGate();

    // Message handlers.
    void sendloginfo(const QByteArray& body);
    void gamefull(const QByteArray& body);

    LaunchOptions m_options;
    ErrorReporter* m_errors;
    TServer* m_server = nullptr;

    QTcpSocket sock;
    QTcpSocket Sock11;
    FrameReader m_reader;
    Dispatcher m_dispatch;
    DispatchPump receivedlist;

    QString m_playerName;
    QString m_hostAddress;
    QByteArray m_loginName;
    bool m_hostMode = false;
    int m_ownSeat = 0;
    bool m_loggedIn = false;
    bool m_shown = false;
    bool m_everConnected = false;
    QColor m_systemColour{0, 0, 255};
    bool m_phraseGateOpen = true;
    int m_phraseGateTicks = 0;
    int turnseat = 0;
    QRect m_savedBounds;

    QWidget* panel_board = nullptr;
    QTextBrowser* mainchat = nullptr;
    QLineEdit* mychat = nullptr;
    QPushButton* button_start = nullptr;
    QAction* StartGame1 = nullptr;
};
