#include "app/program.h"
#include "host/seatconnections.h"
#include "net/messages.h"
#include "support/rawclient.h"
#include "support/recordingreporter.h"
#include "support/settingsfolder.h"
#include "support/wire.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

namespace {

// A scripted host: accepts connections and records what they send.
struct ScriptedHost {
    QTcpServer server;
    QTcpSocket* peer = nullptr;
    QByteArray received;
    bool listen()
    {
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            peer = server.nextPendingConnection();
            QObject::connect(peer, &QTcpSocket::readyRead, [this] { received += peer->readAll(); });
        });
        return server.listen(QHostAddress::Any, 0);
    }
};

// The chat's lines without the blanks that follow each line's head and words.
QString chatText(Tchat& chat)
{
    QStringList lines = chat.findChild<QTextBrowser*>("mainchat")->toPlainText().split('\n');
    for (QString& line : lines)
        line = line.trimmed();
    return lines.join('\n');
}

// A socket's keep-alive switch, idle seconds, probe interval, probe count and user timeout.
QList<int> keepAlive(const QTcpSocket& socket)
{
    QList<int> values;
    for (const auto& [level, option] : {std::pair{SOL_SOCKET, SO_KEEPALIVE},
                                        {IPPROTO_TCP, TCP_KEEPIDLE},
                                        {IPPROTO_TCP, TCP_KEEPINTVL},
                                        {IPPROTO_TCP, TCP_KEEPCNT},
                                        {IPPROTO_TCP, TCP_USER_TIMEOUT}}) {
        int value = -1;
        socklen_t size = sizeof value;
        ::getsockopt(int(socket.socketDescriptor()), level, option, &value, &size);
        values << value;
    }
    return values;
}
} // namespace

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void init();
    void soloGame();
    void hostWithThreeArguments();
    void joinUnlessExactlyTrue();
    void oneOrTwoArgumentsConnectNowhere();
    void loginExchangeBytes();
    void hostGoingAwayClosesTheWindow();
    void floodingHostIsReadAtTheClientsPace();
    void failedConnectSaysSo_data();
    void failedConnectSaysSo();
    void gameFull();
    void resizeKeepsMinimum();
    void errorBoxIsNonModalOnePerError();

private:
    std::unique_ptr<Program> start(const QStringList& args, quint16 gamePort = 0);
    RecordingReporter m_errors;
    QTcpServer m_lobby;
};

void TestStartup::init()
{
    m_errors.errors.clear();
    m_lobby.close();
    QVERIFY(m_lobby.listen(QHostAddress::LocalHost, 0));
}

std::unique_ptr<Program> TestStartup::start(const QStringList& args, quint16 gamePort)
{
    LaunchOptions options;
    options.settingsFolder = freshSettingsFolder();
    options.arguments = args;
    options.gamePort = gamePort;
    options.lobbyPort = m_lobby.serverPort();
    auto program = std::make_unique<Program>(options, &m_errors);
    program->chat().show();
    return program;
}

void TestStartup::soloGame()
{
    LaunchOptions options;
    options.settingsFolder = freshSettingsFolder();
    options.gamePort = 0;
    options.lobbyPort = m_lobby.serverPort();
    Program program(options, &m_errors);
    QSignalSpy solo(&program.chat(), &Tchat::soloStarted);
    program.chat().show();
    QCOMPARE(solo.size(), 1);
    QVERIFY(chatText(program.chat()).startsWith("Loading Solo Game..Please wait."));
    QVERIFY(program.server().isListening());
    QTRY_COMPARE(program.chat().state().ownSeat(), 1);
    QVERIFY(program.chat().state().loggedIn());
    QCOMPARE(program.chat().playerName(), QStringLiteral("You"));
    QCOMPARE(program.chat().hostAddress(), QStringLiteral("127.0.0.1"));
    QVERIFY(
        program.chat().centralWidget()->findChild<QAbstractButton*>("button_start")->isVisible());
    QCOMPARE(program.chat().lobbySocket().state(), QAbstractSocket::UnconnectedState);
    QVERIFY(!m_lobby.hasPendingConnections());
    QVERIFY(m_errors.errors.isEmpty());
}

void TestStartup::hostWithThreeArguments()
{
    auto program = start({"Ann", "10.0.0.5", "true"});
    QVERIFY(program->chat().state().hostMode());
    QVERIFY(program->server().isListening());
    QTRY_COMPARE(program->chat().state().ownSeat(), 1);
    QVERIFY(chatText(program->chat()).startsWith("Loading Multi-player Game.. Please Wait."));
    QTRY_VERIFY_WITH_TIMEOUT(m_lobby.hasPendingConnections(), 10000);
    // The given address is not used when hosting.
    QCOMPARE(program->chat().clientSocket().peerAddress(), QHostAddress(QHostAddress::LocalHost));
    // A vanished peer is noticed on both ends of a game connection.
    const QList<int> expected{1, 30, 10, 3, 60000};
    QCOMPARE(keepAlive(program->chat().clientSocket()), expected);
    QCOMPARE(keepAlive(*program->server().connections()->link(1)->socket()), expected);
}

void TestStartup::joinUnlessExactlyTrue()
{
    ScriptedHost host;
    QVERIFY(host.listen());
    // 127.0.0.2 stands for a remote host: still this machine, so nothing leaves it.
    auto program = start({"Ann", "127.0.0.2", "True", "ignored"}, host.server.serverPort());
    QVERIFY(!program->chat().state().hostMode());
    QVERIFY(!program->server().isListening());
    QVERIFY(
        !program->chat().centralWidget()->findChild<QAbstractButton*>("button_start")->isVisible());
    QTRY_VERIFY(host.peer);
    QCOMPARE(program->chat().clientSocket().peerAddress(), QHostAddress("127.0.0.2"));
    QTRY_VERIFY_WITH_TIMEOUT(m_lobby.hasPendingConnections(), 10000);
}

void TestStartup::oneOrTwoArgumentsConnectNowhere()
{
    for (const QStringList& args : {QStringList{"Ann"}, QStringList{"Ann", "127.0.0.1"}}) {
        auto program = start(args);
        QCOMPARE(chatText(program->chat()),
                 QStringLiteral("Loading Multi-player Game.. Please Wait."));
        QVERIFY(!program->server().isListening());
        QCOMPARE(program->chat().clientSocket().state(), QAbstractSocket::UnconnectedState);
        QCOMPARE(program->chat().lobbySocket().state(), QAbstractSocket::UnconnectedState);
    }
}

void TestStartup::loginExchangeBytes()
{
    ScriptedHost host;
    QVERIFY(host.listen());
    auto program = start({"Ann", "127.0.0.1", "join"}, host.server.serverPort());
    QTRY_VERIFY(host.peer);
    host.peer->write(msg::sendlogininfo(2));
    QTRY_COMPARE(host.received, "CMD_logininfo+2+1.0.1+Ann" + FF + FF);
    QCOMPARE(program->chat().state().ownSeat(), 2);
    QVERIFY(program->chat().state().loggedIn());
}

void TestStartup::hostGoingAwayClosesTheWindow()
{
    ScriptedHost host;
    QVERIFY(host.listen());
    auto program = start({"Ann", "127.0.0.1", "join"}, host.server.serverPort());
    QSignalSpy closed(&program->chat(), &Tchat::closed);
    QTRY_VERIFY(host.peer);
    host.peer->write(msg::sendlogininfo(2));
    QTRY_VERIFY(program->chat().state().loggedIn());
    host.peer->close();
    QVERIFY(closed.wait(10000));
    QVERIFY(!program->chat().isVisible());
}

// A flooding host fills no more than the client's bounded queue and socket buffer: the
// rest waits in the network, and every message is still handled, in order.
void TestStartup::floodingHostIsReadAtTheClientsPace()
{
    ScriptedHost host;
    QVERIFY(host.listen());
    auto program = start({"Ann", "127.0.0.1", "join"}, host.server.serverPort());
    Tchat& chat = program->chat();
    QTRY_VERIFY(host.peer);
    qsizetype mostQueued = 0;
    qint64 mostBuffered = 0;
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&] {
        mostQueued = std::max(mostQueued, chat.queuedMessages());
        mostBuffered = std::max(mostBuffered, chat.clientSocket().bytesAvailable());
    });
    watch.start(0);
    const quint64 before = chat.dispatchedMessages();
    const QByteArray junk = "CMD_nothing+" + QByteArray(1000, 'x') + FF;
    const int count = 1000;
    for (int i = 0; i < count; ++i)
        host.peer->write(junk);
    host.peer->write(msg::sendlogininfo(3));
    QTRY_COMPARE_WITH_TIMEOUT(chat.state().ownSeat(), 3, 60000);
    QCOMPARE(chat.dispatchedMessages() - before, quint64(count + 1));
    // One read of the socket may go past the queue's bound before reading stops.
    QVERIFY2(mostQueued <= PeerLink::maxQueuedMessages + PeerLink::readChunk / junk.size() + 1,
             qPrintable(QString::number(mostQueued)));
    QVERIFY(mostBuffered <= PeerLink::readBufferSize);
}

void TestStartup::failedConnectSaysSo_data()
{
    QTest::addColumn<QString>("host");
    QTest::newRow("refused") << "127.0.0.1";
    // Starts with a digit, so it is an address, never a name to look up; no traffic goes out.
    QTest::newRow("not an address") << "999.1.1.1";
}

void TestStartup::failedConnectSaysSo()
{
    QFETCH(QString, host);
    QTcpServer unused;
    QVERIFY(unused.listen(QHostAddress::LocalHost, 0));
    const quint16 port = unused.serverPort();
    unused.close();
    auto program = start({"Ann", host, "join"}, port);
    QTRY_VERIFY(chatText(program->chat()).contains("Cannot connect to the host."));
    QVERIFY(program->chat().isVisible());
    QVERIFY(!program->chat().state().loggedIn());
    QCOMPARE(m_errors.errors, QStringList());
}

void TestStartup::gameFull()
{
    ScriptedHost host;
    QVERIFY(host.listen());
    auto program = start({"Ann", "127.0.0.1", "join"}, host.server.serverPort());
    Tchat& chat = program->chat();
    QSignalSpy closed(&chat, &Tchat::closed);
    QTRY_VERIFY(host.peer);
    host.peer->write(msg::full());
    host.peer->disconnectFromHost();
    // The host's hang-up leaves the box and the window up until the player has read it.
    QTRY_VERIFY(chat.findChild<QMessageBox*>("messagebox"));
    QTRY_COMPARE(chat.clientSocket().state(), QAbstractSocket::UnconnectedState);
    QCoreApplication::sendPostedEvents();
    auto* box = chat.findChild<QMessageBox*>("messagebox");
    QVERIFY(box && box->isVisible());
    QCOMPARE(box->text(), QStringLiteral("Game is full"));
    QVERIFY(chat.isVisible());
    QCOMPARE(closed.size(), 0);
    box->button(QMessageBox::Ok)->click();
    QTRY_COMPARE(closed.size(), 1);
    QVERIFY(!chat.isVisible());
}

void TestStartup::resizeKeepsMinimum()
{
    auto program = start({"Ann"});
    program->chat().resize(500, 300);
    QTRY_VERIFY(program->chat().width() >= 768);
    QVERIFY(program->chat().height() >= 530);
}

void TestStartup::errorBoxIsNonModalOnePerError()
{
    QWidget window;
    window.show();
    ErrorBox box;
    box.setParentWindow(&window);
    box.report("Send - Socket Not Connected");
    box.report("'x' is not a valid integer value");
    const auto boxes = window.findChildren<QMessageBox*>("errorbox");
    QCOMPARE(boxes.size(), 2);
    for (QMessageBox* b : boxes) {
        QVERIFY(b->isVisible());
        QCOMPARE(b->windowModality(), Qt::NonModal);
    }
    QCOMPARE(boxes.at(0)->text(), QStringLiteral("Send - Socket Not Connected"));
    QVERIFY(!QApplication::activeModalWidget());
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
