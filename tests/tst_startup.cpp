#include "app/launcher.h"
#include "app/program.h"
#include "host/seatconnections.h"
#include "net/messages.h"
#include "support/finders.h"
#include "support/rawclient.h"
#include "support/recordingreporter.h"
#include "support/scriptedhost.h"
#include "support/settingsfolder.h"
#include "support/wire.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QNetworkInterface>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

namespace {

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
    void hostGoingAwayLeavesABox_data();
    void hostGoingAwayLeavesABox();
    void floodingHostIsReadAtTheClientsPace();
    void failedConnectSaysSo_data();
    void failedConnectSaysSo();
    void playWithOthersMeetOnLoopback();
    void resizeKeepsMinimum();
    void errorBoxIsNonModalOnePerError();

private:
    LaunchOptions options(const QStringList& args, quint16 gamePort = 0);
    std::unique_ptr<Program> start(const QStringList& args, quint16 gamePort = 0,
                                   int connectTimeoutMs = 10000);
    RecordingReporter m_errors;
    QTcpServer m_lobby;
};

void TestStartup::init()
{
    m_errors.errors.clear();
    m_lobby.close();
    QVERIFY(m_lobby.listen(QHostAddress::LocalHost, 0));
}

LaunchOptions TestStartup::options(const QStringList& args, quint16 gamePort)
{
    LaunchOptions options;
    options.settingsFolder = freshSettingsFolder();
    options.arguments = args;
    options.gamePort = gamePort;
    options.lobbyPort = m_lobby.serverPort();
    return options;
}

std::unique_ptr<Program> TestStartup::start(const QStringList& args, quint16 gamePort,
                                            int connectTimeoutMs)
{
    LaunchOptions launch = options(args, gamePort);
    launch.connectTimeoutMs = connectTimeoutMs;
    auto program = std::make_unique<Program>(launch, &m_errors);
    program->chat().show();
    return program;
}

void TestStartup::soloGame()
{
    Program program(options({}), &m_errors);
    QSignalSpy solo(&program.chat(), &Tchat::soloStarted);
    program.chat().show();
    QCOMPARE(solo.size(), 1);
    QVERIFY(chatLines(program.chat()).join('\n').startsWith("Loading Solo Game..Please wait."));
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
    QVERIFY(chatLines(program->chat())
                .join('\n')
                .startsWith("Loading Multi-player Game.. Please Wait."));
    QTRY_VERIFY_WITH_TIMEOUT(m_lobby.hasPendingConnections(), 10000);
    // The given address is not used when hosting.
    QCOMPARE(program->chat().clientSocket().peerAddress(), QHostAddress(QHostAddress::LocalHost));
    // The hosting player is told the port and this machine's addresses to give the others.
    const QString text = chatLines(program->chat()).join('\n');
    QVERIFY(text.contains(QStringLiteral("port %1").arg(program->server().serverPort())));
    for (const QHostAddress& address : QNetworkInterface::allAddresses()) {
        if (address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback())
            QVERIFY2(text.contains(address.toString()), qPrintable(text));
    }
    QVERIFY(!text.contains(QStringLiteral("127.0.0.1")));
    // A vanished peer is noticed on both ends of a game connection.
    const QList<int> expected{1, 30, 10, 3, 60000};
    QCOMPARE(keepAlive(program->chat().clientSocket()), expected);
    QCOMPARE(keepAlive(*program->server().connections()->link(1)->socket()), expected);
}

void TestStartup::joinUnlessExactlyTrue()
{
    ScriptedHost host;
    QVERIFY(host.listen(QHostAddress::Any));
    // 127.0.0.2 stands for a remote host: still this machine, so nothing leaves it.
    auto program = start({"Ann", "127.0.0.2", "True", "ignored"}, host.port());
    QVERIFY(!program->chat().state().hostMode());
    QVERIFY(!program->server().isListening());
    QVERIFY(
        !program->chat().centralWidget()->findChild<QAbstractButton*>("button_start")->isVisible());
    QVERIFY(host.waitForClient() >= 0);
    QCOMPARE(program->chat().clientSocket().peerAddress(), QHostAddress("127.0.0.2"));
    QTRY_VERIFY_WITH_TIMEOUT(m_lobby.hasPendingConnections(), 10000);
}

void TestStartup::oneOrTwoArgumentsConnectNowhere()
{
    for (const QStringList& args : {QStringList{"Ann"}, QStringList{"Ann", "127.0.0.1"}}) {
        auto program = start(args);
        QCOMPARE(chatLines(program->chat()).join('\n'),
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
    auto program = start({"Ann", "127.0.0.1", "join"}, host.port());
    QVERIFY(host.waitForClient() >= 0);
    host.send(0, msg::sendlogininfo(2));
    QCOMPARE(host.waitFor(0, "CMD_logininfo"), 0);
    QCOMPARE(host.received(0).first(), QByteArray("CMD_logininfo+2+1.0.1+Ann"));
    QVERIFY(chatLines(program->chat()).join('\n').contains("The host starts the game."));
    QCOMPARE(program->chat().state().ownSeat(), 2);
    QVERIFY(program->chat().state().loggedIn());
}

void TestStartup::hostGoingAwayLeavesABox_data()
{
    QTest::addColumn<QByteArray>("lastWords");
    QTest::addColumn<QString>("text");
    QTest::newRow("host closes") << QByteArray() << "The host has closed the table.";
    QTest::newRow("game is full") << msg::full() << "Game is full";
}

// The host's hang-up leaves the box and the window up until the player has read it.
void TestStartup::hostGoingAwayLeavesABox()
{
    QFETCH(QByteArray, lastWords);
    QFETCH(QString, text);
    ScriptedHost host;
    QVERIFY(host.listen());
    auto program = start({"Ann", "127.0.0.1", "join"}, host.port());
    Tchat& chat = program->chat();
    QSignalSpy closed(&chat, &Tchat::closed);
    QVERIFY(host.waitForClient() >= 0);
    host.send(0, lastWords);
    host.close(0);
    QTRY_COMPARE(chat.clientSocket().state(), QAbstractSocket::UnconnectedState);
    QMessageBox* box = nullptr;
    QTRY_VERIFY((box = chat.findChild<QMessageBox*>("messagebox")) && box->text() == text);
    QCoreApplication::sendPostedEvents();
    QVERIFY(box->isVisible() && box->windowModality() == Qt::NonModal);
    QVERIFY(chat.isVisible());
    QCOMPARE(closed.size(), 0);
    box->button(QMessageBox::Ok)->click();
    QTRY_COMPARE(closed.size(), 1);
    QVERIFY(!chat.isVisible());
}

// A flooding host fills no more than the client's bounded queue and socket buffer: the
// rest waits in the network, and every message is still handled, in order.
void TestStartup::floodingHostIsReadAtTheClientsPace()
{
    ScriptedHost host;
    QVERIFY(host.listen());
    auto program = start({"Ann", "127.0.0.1", "join"}, host.port());
    Tchat& chat = program->chat();
    QVERIFY(host.waitForClient() >= 0);
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
        host.send(0, junk);
    host.send(0, msg::sendlogininfo(3));
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
    // A listener whose backlog is full: the system drops the connect unanswered.
    QTest::addColumn<bool>("silent");
    // The socket's report of a name it could not look up, handed in: no name is looked up.
    QTest::addColumn<bool>("lookupFails");
    QTest::addColumn<QString>("why");
    QTest::newRow("refused") << "127.0.0.1" << false << false << "nobody hosts a table there";
    // Starts with a digit, so it is an address, never a name to look up; no traffic goes out.
    QTest::newRow("not an address")
        << "999.1.1.1" << false << false << "the address cannot be reached";
    QTest::newRow("no answer") << "127.0.0.1" << true << false << "no answer";
    QTest::newRow("unknown name") << "127.0.0.1" << true << true << "no computer has that name";
}

void TestStartup::failedConnectSaysSo()
{
    QFETCH(QString, host);
    QFETCH(bool, silent);
    QFETCH(bool, lookupFails);
    QFETCH(QString, why);
    QTcpServer listener;
    listener.setListenBacklogSize(0);
    QVERIFY(listener.listen(QHostAddress::LocalHost, 0));
    const quint16 port = listener.serverPort();
    QTcpSocket backlog;
    if (silent) {
        listener.pauseAccepting();
        backlog.connectToHost(QHostAddress::LocalHost, port);
        QVERIFY(backlog.waitForConnected(10000));
    } else {
        listener.close();
    }
    auto program = start({"Ann", host, "join"}, port, lookupFails ? 60000 : 500);
    Tchat& chat = program->chat();
    QSignalSpy closed(&chat, &Tchat::closed);
    if (lookupFails)
        emit chat.clientSocket().errorOccurred(QAbstractSocket::HostNotFoundError);
    const QString line = QStringLiteral("Cannot connect to the host at %1 port %2 (%3).")
                             .arg(host)
                             .arg(port)
                             .arg(why);
    QTRY_VERIFY2_WITH_TIMEOUT(chatLines(chat).join('\n').contains(line),
                              qPrintable(chatLines(chat).join('\n')), 10000);
    QCOMPARE(chatLines(chat).join('\n').count(QStringLiteral("Cannot connect")), 1);
    QVERIFY(chat.isVisible());
    QCOMPARE(closed.size(), 0);
    QVERIFY(!chat.state().loggedIn());
    QCOMPARE(m_errors.errors, lookupFails ? QStringList{socketerror::hostLookup} : QStringList());
}

// The dialog starts a hosting copy and a joining copy in place of the ones open, and they
// meet. Closing the table asks first while the other player sits at it, and only then.
void TestStartup::playWithOthersMeetOnLoopback()
{
    int asked = 0;
    QTimer answerNo;
    connect(&answerNo, &QTimer::timeout, this, [&asked] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box && box->objectName() == QLatin1String("closequestion")) {
            ++asked;
            box->button(QMessageBox::No)->click();
        }
    });
    answerNo.start(10);
    const auto play = [](Launcher& copy, const QString& name, const QString& joinAddress) {
        copy.program().chat().findChild<QAction*>("PlayWithOthers1")->trigger();
        QDialog& dialog = copy.program().playWithOthers();
        QVERIFY(dialog.isVisible());
        dialog.findChild<QLineEdit*>("edit_name")->setText(name);
        dialog.findChild<QRadioButton*>(joinAddress.isEmpty() ? "radio_host" : "radio_join")
            ->setChecked(true);
        dialog.findChild<QLineEdit*>("edit_address")->setText(joinAddress);
        QSignalSpy restarted(&copy, &Launcher::restarted);
        dialog.findChild<QPushButton*>("button_play")->click();
        QVERIFY(restarted.wait(10000));
    };
    Launcher host(options({}), &m_errors); // a solo game first
    host.show();
    QTRY_VERIFY(host.program().chat().state().loggedIn());
    play(host, "Hosta", QString());
    QVERIFY(host.program().chat().state().hostMode());
    const quint16 port = host.program().server().serverPort();
    QTRY_VERIFY(host.program().chat().state().loggedIn());

    Launcher joiner(options({"Idle", "127.0.0.1"}, port), &m_errors);
    joiner.show();
    play(joiner, "Jo", "127.0.0.1");
    QTRY_COMPARE(joiner.program().chat().state().ownSeat(), 2);
    QTRY_COMPARE(host.program().chat().state().name(2), QStringLiteral("Jo"));
    QCOMPARE(asked, 0);
    // The new copy's dialog remembers the choice.
    joiner.program().playWithOthers().showDialog();
    QCOMPARE(joiner.program().playWithOthers().launchArguments(),
             (QStringList{"Jo", "127.0.0.1", "join"}));
    joiner.program().playWithOthers().hide();

    QVERIFY(!host.program().chat().close());
    QCOMPARE(asked, 1);
    QSignalSpy finished(&host, &Launcher::finished);
    host.closeWithoutAsking(); // as by a signal or the session's end
    QVERIFY(finished.wait(10000));
    QCOMPARE(asked, 1);
    QCOMPARE(m_errors.errors, QStringList());
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
