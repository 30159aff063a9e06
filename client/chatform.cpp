#include "client/chatform.h"

#include "host/tserver.h"
#include "net/errorreporter.h"
#include "net/fields.h"
#include "net/logging.h"
#include "net/messages.h"

#include <QAction>
#include <QCloseEvent>
#include <QHostAddress>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTextBrowser>

namespace {
constexpr int boardPanelWidth = 764;
constexpr int boardPanelHeight = 526;
constexpr int phraseGateTicks = 100;
} // namespace

Tchat::Tchat(LaunchOptions options, ErrorReporter* errors, QWidget* parent)
    : QMainWindow(parent),
      m_options(std::move(options)),
      m_errors(errors),
      m_dispatch(errors),
      receivedlist(1, [this](const QueuedMessage& m) { Timer1Timer(m); })
{
    setObjectName(QStringLiteral("chat"));
    setWindowTitle(QStringLiteral("Quorvel by Orskel Software"));
    buildWindow();
    buildDispatchTable();
    receivedlist.setTickHook([this] { return advancePhraseGate(); });

    connect(&sock, &QTcpSocket::readyRead, this, &Tchat::sockRead);
    connect(&sock, &QTcpSocket::connected, this, [this] { m_everConnected = true; });
    connect(&sock, &QTcpSocket::errorOccurred, this, &Tchat::sockInfo);
    // Any close of the connection to the host ends the program.
    connect(&sock, &QTcpSocket::disconnected, this, &QWidget::close, Qt::QueuedConnection);

    setGeometry(defaultLeft, defaultTop, defaultWidth, defaultHeight);
}

Tchat::~Tchat()
{
    sock.disconnect(this);
}

void Tchat::buildWindow()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("File"));
    StartGame1 = file->addAction(QStringLiteral("Start Game"));
    StartGame1->setObjectName(QStringLiteral("StartGame1"));
    StartGame1->setEnabled(false);
    file->addSeparator();
    QAction* exit = file->addAction(QStringLiteral("Exit"));
    exit->setObjectName(QStringLiteral("Exit1"));
    connect(exit, &QAction::triggered, this, &Tchat::Exit1Click);

    panel_board = new QWidget(this);
    panel_board->setObjectName(QStringLiteral("panel_board"));
    panel_board->setFixedSize(boardPanelWidth, boardPanelHeight);
    setCentralWidget(panel_board);

    mainchat = new QTextBrowser(panel_board);
    mainchat->setObjectName(QStringLiteral("mainchat"));
    mainchat->setGeometry(329, 340, 432, 160);
    mychat = new QLineEdit(panel_board);
    mychat->setObjectName(QStringLiteral("mychat"));
    mychat->setGeometry(329, 502, 432, 20);
    button_start = new QPushButton(QStringLiteral("START GAME"), panel_board);
    button_start->setObjectName(QStringLiteral("button_start"));
    button_start->setGeometry(60, 300, 200, 40);
    button_start->hide();
}

void Tchat::buildDispatchTable()
{
    auto add = [this](const char* name, void (Tchat::*handler)(const QByteArray&)) {
        m_dispatch.add(name, [this, handler](const QByteArray& body) { (this->*handler)(body); });
    };
    add(cmd::sendlogininfo, &Tchat::sendloginfo);
    add(cmd::full, &Tchat::gamefull);
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
    m_loginName.clear();
    const QStringList& args = m_options.arguments;
    if (args.isEmpty()) {
        addlinetochat(0, QStringLiteral("Loading Solo Game..Please wait."), m_systemColour);
        emit soloStarted();
        m_hostAddress = QStringLiteral("127.0.0.1");
        m_playerName = QStringLiteral("You");
        hostpress();
        return;
    }
    addlinetochat(0, QStringLiteral("Loading Multi-player Game.. Please Wait."), m_systemColour);
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
    if (!m_server || !m_server->startListening(m_options.gamePort))
        return;
    m_loginName = m_playerName.toUtf8() + msg::terminator;
    m_hostMode = true;
    sock.connectToHost(QHostAddress(QHostAddress::LocalHost), m_server->serverPort());
    setStartAvailable(true);
}

void Tchat::joinpress()
{
    m_loginName = m_playerName.toUtf8() + msg::terminator;
    // A name that starts with a digit is a dotted address; anything else is looked up.
    sock.connectToHost(m_hostAddress, m_options.gamePort);
    setStartAvailable(false);
}

void Tchat::setStartAvailable(bool available)
{
    button_start->setVisible(available);
    StartGame1->setEnabled(available);
    emit startAvailabilityChanged(available);
}

void Tchat::sendloginfo(const QByteArray& body)
{
    Fields f(body);
    m_ownSeat = f.number();
    m_loggedIn = true;
    qCInfo(lcClient) << "logged in at seat" << m_ownSeat;
    send(msg::logininfo(m_ownSeat, msg::version, m_playerName));
}

void Tchat::gamefull(const QByteArray&)
{
    QMessageBox::information(this, QStringLiteral("Quorvel"), QStringLiteral("Game is full"));
    close();
}

void Tchat::send(const QByteArray& wire)
{
    if (sock.state() != QAbstractSocket::ConnectedState) {
        if (m_errors)
            m_errors->report(socketerror::notConnected);
        return;
    }
    sock.write(wire);
}

void Tchat::sockRead()
{
    while (sock.bytesAvailable() > 0) {
        for (QByteArray& text : m_reader.feed(sock.read(32768)))
            receivedlist.push({std::move(text), 0});
    }
}

void Tchat::sockInfo(QAbstractSocket::SocketError error)
{
    if (m_everConnected) {
        // A reset or aborted connection ends like an orderly close.
        if (sock.state() != QAbstractSocket::UnconnectedState)
            sock.abort();
        else
            QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
        return;
    }
    if (error == QAbstractSocket::HostNotFoundError) {
        if (m_errors)
            m_errors->report(socketerror::hostLookup);
        return;
    }
    addlinetochat(0, QStringLiteral("Cannot connect to the host."), m_systemColour);
}

void Tchat::Timer1Timer(const QueuedMessage& message)
{
    m_dispatch.dispatch(message.text);
}

bool Tchat::advancePhraseGate()
{
    if (m_phraseGateOpen)
        return false;
    if (++m_phraseGateTicks > phraseGateTicks) {
        m_phraseGateOpen = true;
        m_phraseGateTicks = 0;
        return false;
    }
    return true;
}

void Tchat::addlinetochat(int code, const QString& text, const QColor& colour)
{
    Q_UNUSED(code);
    mainchat->setTextColor(colour);
    mainchat->append(text);
}

void Tchat::FormResize()
{
    const int minWidth = boardPanelWidth + 4;
    const int minHeight = boardPanelHeight + 4;
    const QSize client = size();
    if (client.width() < minWidth || client.height() < minHeight)
        resize(qMax(client.width(), minWidth), qMax(client.height(), minHeight));
}

void Tchat::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    FormResize();
}

void Tchat::FormClose()
{
    qCInfo(lcClient) << "main window closing";
    // The window's bounds are compared with the saved ones and the settings written here.
}

void Tchat::closeEvent(QCloseEvent* event)
{
    FormClose();
    QMainWindow::closeEvent(event);
    emit closed();
}

void Tchat::Exit1Click()
{
    close();
}
