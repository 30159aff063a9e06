#include "client/chatform.h"

#include "client/chatpanel.h"
#include "client/chatview.h"
#include "client/connectlines.h"
#include "client/gamestartform.h"
#include "client/playingsurface.h"
#include "client/soundplayer.h"
#include "client/tableaccess.h"
#include "client/tablebackground.h"
#include "client/tablelayout.h"
#include "net/errorreporter.h"
#include "net/logging.h"
#include "net/messages.h"
#include "platform/placement.h"
#include "platform/windowbounds.h"

#include <QCloseEvent>
#include <QHostAddress>
#include <QMenuBar>
#include <QMessageBox>
#include <QStringListModel>

Tchat::Tchat(LaunchOptions options, ErrorReporter* errors, SoundPlayer* sounds, QWidget* parent)
    : QMainWindow(parent), m_options(std::move(options)), m_errors(errors), m_sounds(sounds),
      m_dispatch(errors), receivedlist(1, [this](const QueuedMessage& m) { receive(m.text); }),
      m_link(&sock, 0, &receivedlist)
{
    setObjectName(QStringLiteral("chat"));
    setWindowTitle(QStringLiteral("Quorvel by Orskel Software"));
    m_spylist = new QStringListModel(this);
    buildWindow();
    connectMenus();
    m_settings = new TableSettings(m_options.settingsFolder, *this, *m_chat, *m_menus, *m_surface);
    if (m_sounds)
        m_sounds->onNoDevice(
            [this] { systemline(QStringLiteral("No sound device: sounds are off.")); });
    tableaccess::setUp(this);
    buildDispatchTable();
    clearall();

    connect(&sock, &QTcpSocket::connected, this, [this] {
        m_everConnected = true;
        m_connectTimer.stop();
        if (!m_state.hostMode())
            systemline(connectlines::joined());
    });
    m_connectTimer.setSingleShot(true);
    connect(&m_connectTimer, &QTimer::timeout, this, &Tchat::connectTimedOut);
    connect(&sock, &QTcpSocket::errorOccurred, this, &Tchat::sockInfo);
    connect(&sock, &QTcpSocket::disconnected, this, &Tchat::connectionClosed, Qt::QueuedConnection);
    setGeometry(layout::window);
}

Tchat::~Tchat()
{
    sock.disconnect(this);
}

void Tchat::buildWindow()
{
    auto* client = new TableBackground(this);
    client->setObjectName(QStringLiteral("tablebackground"));
    client->setMinimumSize(layout::boardPanel.size() + QSize(4, 4));
    setCentralWidget(client);
    auto* panel = new QWidget(client);
    panel->setObjectName(QStringLiteral("panel_board"));
    panel->setGeometry(layout::boardPanel);

    m_chat = new ChatPanel(m_state, panel);
    connect(m_chat, &ChatPanel::sendRequested, this, &Tchat::send);
    connect(m_chat, &ChatPanel::linkFailed, this,
            [this] { showMessage(QStringLiteral("Cannot open Webpage")); });
    m_surface = new PlayingSurface(m_state, panel);
    connect(m_surface, &PlayingSurface::sendRequested, this, &Tchat::send);
    connect(m_surface, &PlayingSurface::soundRequested, this, &Tchat::playsounds);
    connect(m_surface, &PlayingSurface::startClicked, this, &Tchat::button_startClick);
    connect(m_surface, &PlayingSurface::logoClicked, this, &Tchat::logoClicked);
}

void Tchat::connectMenus()
{
    m_menus = new TableMenus(m_state, menuBar(), m_chat->view()->popupMenu(), this);
    TableMenus* m = m_menus;
    connect(m, &TableMenus::sendRequested, this, &Tchat::send);
    connect(m, &TableMenus::scrollOffChanged, m_chat, &ChatPanel::setScrollOff);
    connect(m, &TableMenus::clearChatClicked, m_chat, &ChatPanel::ClearMainChat1Click);
    connect(m, &TableMenus::startGameClicked, this, &Tchat::button_startClick);
    connect(m, &TableMenus::exitClicked, this, &QWidget::close);
    connect(m, &TableMenus::resetPlaceClicked, this,
            [this] { placeWindow(*this, layout::window); });
    connect(m, &TableMenus::textColourClicked, m_chat, &ChatPanel::TextColor1Click);
    connect(m, &TableMenus::chosenBallsClicked, m_surface, &PlayingSurface::toggleChosenPanel);
    connect(m_surface, &PlayingSurface::chosenPanelOpened, m, &TableMenus::setChosenPanelMark);
    connect(m_surface, &PlayingSurface::seatPopupRequested, m,
            &TableMenus::label_playername1ContextPopup);
    connect(m, &TableMenus::viewTallyRequested, this, &Tchat::viewTallyRequested);
    connect(m, &TableMenus::spyListRequested, this, &Tchat::spyListRequested);
    connect(m, &TableMenus::phraseListRequested, this, &Tchat::phraseListRequested);
    connect(m, &TableMenus::helpRequested, this, &Tchat::helpRequested);
    connect(m, &TableMenus::aboutRequested, this, &Tchat::aboutRequested);
}

void Tchat::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        processparams();
    }
}

void Tchat::processparams()
{
    setStartAvailable(false);
    const QStringList& args = m_options.arguments;
    if (args.isEmpty()) {
        systemline(QStringLiteral("Loading Solo Game..Please wait."));
        emit soloStarted();
        m_hostAddress = QStringLiteral("127.0.0.1");
        m_playerName = QStringLiteral("You");
        hostpress();
        return;
    }
    systemline(QStringLiteral("Loading Multi-player Game.. Please Wait."));
    if (args.size() < 3)
        return;
    m_playerName = args.at(0);
    m_hostAddress = args.at(1);
    if (args.at(2) == QLatin1String("true"))
        hostpress();
    else
        joinpress();
    Sock11.connectToHost(QHostAddress(QHostAddress::LocalHost), m_options.lobbyPort);
}

void Tchat::hostpress()
{
    const std::optional<quint16> port = m_hosting ? m_hosting(m_options.gamePort) : std::nullopt;
    if (!port)
        return;
    m_state.setHostMode();
    emit hostModeStarted();
    sock.connectToHost(QHostAddress(QHostAddress::LocalHost), *port);
    setStartAvailable(true);
    if (!m_options.arguments.isEmpty())
        systemline(connectlines::hosting(*port, connectlines::joinableAddresses()));
}

void Tchat::joinpress()
{
    // A text that starts with a digit is a dotted address and is never looked up; one that
    // is no IPv4 address fails as a connect does. Anything else is a name to look up.
    const QChar first = m_hostAddress.isEmpty() ? QChar() : m_hostAddress.front();
    if (first >= u'0' && first <= u'9') {
        const QHostAddress address(m_hostAddress);
        if (address.protocol() == QAbstractSocket::IPv4Protocol)
            sock.connectToHost(address, m_options.gamePort);
        else
            QMetaObject::invokeMethod(
                this, [this] { sockInfo(QAbstractSocket::NetworkError); }, Qt::QueuedConnection);
    } else {
        sock.connectToHost(m_hostAddress, m_options.gamePort);
    }
    m_connectTimer.start(m_options.connectTimeoutMs);
    setStartAvailable(false);
}

void Tchat::setStartAvailable(bool available)
{
    m_surface->setStartVisible(available);
    m_menus->setStartAvailable(available);
}

void Tchat::send(const QByteArray& wire)
{
    if (sock.state() != QAbstractSocket::ConnectedState) {
        if (m_errors)
            m_errors->report(socketerror::notConnected);
        return;
    }
    m_link.send(wire);
}

void Tchat::receive(const QByteArray& text)
{
    ++m_dispatched;
    m_dispatch.dispatch(text);
}

void Tchat::sockInfo(QAbstractSocket::SocketError error)
{
    m_connectTimer.stop();
    if (m_everConnected) {
        m_connectionBroken = error != QAbstractSocket::RemoteHostClosedError;
        // A reset or aborted connection ends like an orderly close.
        if (sock.state() != QAbstractSocket::UnconnectedState)
            sock.abort();
        else
            QMetaObject::invokeMethod(this, &Tchat::connectionClosed, Qt::QueuedConnection);
        return;
    }
    if (error == QAbstractSocket::HostNotFoundError && m_errors)
        m_errors->report(socketerror::hostLookup);
    systemline(connectlines::failed(m_hostAddress, m_options.gamePort, error));
}

void Tchat::connectTimedOut()
{
    if (sock.state() == QAbstractSocket::ConnectedState)
        return;
    sock.abort();
    systemline(connectlines::noAnswer(m_hostAddress, m_options.gamePort));
}

void Tchat::connectionClosed()
{
    // A connection that was never made leaves only its notice. Once it was, its close ends
    // the program when the player has read why; a box already open ("Game is full") says it.
    if (!m_everConnected || !isVisible() || m_closingBox)
        return;
    qCInfo(lcClient) << "the connection to the host has ended";
    closeAfterMessage(connectlines::hostGone(m_connectionBroken));
}

void Tchat::closeAfterMessage(const QString& text)
{
    if (m_closingBox) {
        m_closingBox->setText(text);
        return;
    }
    m_closingBox = showMessage(text);
    connect(m_closingBox, &QDialog::finished, this, &QWidget::close);
}

void Tchat::systemline(const QString& text)
{
    addlinetochat(0, text, m_systemColour);
}

void Tchat::addlinetochat(int code, const QString& body, const QColor& colour)
{
    m_chat->addlinetochat(code, body, colour);
}

void Tchat::playsounds(const QString& name)
{
    if (m_sounds && options().playSounds)
        m_sounds->play(name);
}

void Tchat::clearall()
{
    m_state.clearScores();
    m_surface->showSeats();
    m_surface->clearRound();
}

QMessageBox* Tchat::showMessage(const QString& text)
{
    // Not modal: the game goes on while the box is open.
    auto* box = new QMessageBox(QMessageBox::Information, QStringLiteral("Quorvel"), text,
                                QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("messagebox"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
    return box;
}

void Tchat::setGameStart(std::function<Tgamestart*()> dialog)
{
    m_gamestart = dialog;
    m_settings->setGameStart(std::move(dialog));
}

void Tchat::button_startClick()
{
    if (!m_state.loggedIn()) {
        showMessage(QStringLiteral("You are not connected"));
        return;
    }
    Tgamestart* dialog = m_gamestart ? m_gamestart() : nullptr;
    if (!dialog)
        return;
    dialog->setPlayerName(m_playerName);
    showInFront(dialog);
}

void Tchat::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    // The client area (below the menu bar) keeps room for the table panel.
    const QSize client = centralWidget()->size();
    const int growWidth = qMax(0, layout::boardPanel.width() + 4 - client.width());
    const int growHeight = qMax(0, layout::boardPanel.height() + 4 - client.height());
    if (growWidth > 0 || growHeight > 0)
        resize(width() + growWidth, height() + growHeight);
}

void Tchat::FormClose()
{
    qCInfo(lcClient) << "main window closing";
    m_settings->saveAtClose();
}

void Tchat::closeWithoutAsking()
{
    m_askBeforeClose = false;
    // A question still open is answered for the player.
    if (m_closeQuestion)
        m_closeQuestion->done(QMessageBox::Yes);
    else
        close();
}

bool Tchat::playerAgreesToEndTable()
{
    if (!m_askBeforeClose || !m_state.hostMode() || !m_othersAtTable || !m_othersAtTable())
        return true;
    QMessageBox question(QMessageBox::Question, QStringLiteral("Quorvel"),
                         QStringLiteral("Other players are at your table. Closing ends the game "
                                        "for them. Close anyway?"),
                         QMessageBox::Yes | QMessageBox::No, this);
    question.setObjectName(QStringLiteral("closequestion"));
    question.setDefaultButton(QMessageBox::No);
    m_closeQuestion = &question;
    return question.exec() == QMessageBox::Yes;
}

void Tchat::closeEvent(QCloseEvent* event)
{
    if (!playerAgreesToEndTable()) {
        event->ignore();
        return;
    }
    FormClose();
    QMainWindow::closeEvent(event);
    emit closed();
}
