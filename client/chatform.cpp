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
#include "platform/logging.h"
#include "platform/placement.h"
#include "platform/windowbounds.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QMessageBox>
#include <QStringListModel>

Tchat::Tchat(LaunchOptions options, ErrorReporter* errors, SoundPlayer* sounds, QWidget* parent)
    : QMainWindow(parent), m_options(std::move(options)), m_sounds(sounds), m_dispatch(errors),
      m_connection(m_options, errors, [this](const QByteArray& text) { receive(text); })
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
    connect(&m_connection, &TableConnection::notice, this, &Tchat::systemline);
    connect(&m_connection, &TableConnection::ended, this, [this](const QString& text) {
        // Once made, the connection's close ends the program when the player has read why;
        // a box already open ("Game is full") says it.
        if (!isVisible() || m_closingBox)
            return;
        qCInfo(lcClient) << "the connection to the host has ended";
        closeAfterMessage(text);
    });
    setGeometry(layout::window);
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
        m_connection.setAddress(QStringLiteral("127.0.0.1"));
        m_playerName = QStringLiteral("You");
        hostpress();
        return;
    }
    systemline(QStringLiteral("Loading Multi-player Game.. Please Wait."));
    if (args.size() < 3)
        return;
    m_playerName = args.at(0);
    m_connection.setAddress(args.at(1));
    if (args.at(2) == QLatin1String("true"))
        hostpress();
    else
        m_connection.join();
    m_connection.connectToLobby();
}

void Tchat::hostpress()
{
    const std::optional<quint16> port = m_hosting ? m_hosting(m_options.gamePort) : std::nullopt;
    if (!port)
        return;
    m_state.setHostMode();
    emit hostModeStarted();
    m_connection.connectToOwnHost(*port);
    setStartAvailable(true);
    if (!m_options.arguments.isEmpty())
        systemline(connectlines::hosting(*port, connectlines::joinableAddresses()));
}

void Tchat::setStartAvailable(bool available)
{
    m_surface->setStartVisible(available);
    m_menus->setStartAvailable(available);
}

void Tchat::receive(const QByteArray& text)
{
    ++m_dispatched;
    m_dispatch.dispatch(text);
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
    qCInfo(lcClient) << "main window closing";
    m_settings->saveAtClose();
    QMainWindow::closeEvent(event);
    emit closed();
}
