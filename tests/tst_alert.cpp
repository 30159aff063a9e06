#include "client/playingsurface.h"
#include "net/messages.h"
#include "support/clienttable.h"

#include <QApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// The own turn while the player is in another window: the table asks for attention, as
// a real X server and window manager show it. Skipped (77) without Xvfb, openbox or xprop.
class TestAlert : public QObject {
    Q_OBJECT
private slots:
    void ownTurnElsewhereAsksForAttention();
};

namespace {
bool asksForAttention(WId window)
{
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"),
                {QStringLiteral("-id"), QString::number(window), QStringLiteral("_NET_WM_STATE"),
                 QStringLiteral("WM_HINTS")});
    xprop.waitForFinished(10000);
    const QByteArray shown = xprop.readAllStandardOutput();
    return shown.contains("_NET_WM_STATE_DEMANDS_ATTENTION") || shown.contains("rgency");
}
} // namespace

void TestAlert::ownTurnElsewhereAsksForAttention()
{
    ClientTable table;
    ClientTable::Player* ann = table.join(QStringLiteral("Ann"), 1);
    QVERIFY(ann);
    Tchat& chat = ann->chat();
    chat.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chat));
    QWidget elsewhere;
    elsewhere.setWindowTitle(QStringLiteral("elsewhere"));
    elsewhere.resize(200, 100);
    elsewhere.show();
    QVERIFY(QTest::qWaitForWindowExposed(&elsewhere));
    elsewhere.activateWindow();
    QTRY_VERIFY_WITH_TIMEOUT(elsewhere.isActiveWindow(), 20000);
    QVERIFY(!asksForAttention(chat.winId()));

    table.send(ann, msg::nextplayer(1));
    QCOMPARE(chat.surface().status(), QStringLiteral("Your Turn."));
    QTRY_VERIFY_WITH_TIMEOUT(asksForAttention(chat.winId()), 20000);
}

namespace {
std::vector<pid_t> children;

pid_t spawn(const std::vector<const char*>& argv, int keepFd = -1)
{
    const pid_t pid = fork();
    if (pid == 0) {
        if (keepFd >= 0)
            dup2(keepFd, 3);
        std::vector<char*> args;
        for (const char* a : argv)
            args.push_back(const_cast<char*>(a));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    children.push_back(pid);
    return pid;
}

// A private X server with a window manager; false when one cannot be had.
bool startDesktop()
{
    for (const char* tool : {"Xvfb", "openbox", "xprop"})
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            return false;
    int named[2];
    if (pipe(named) != 0)
        return false;
    // Xvfb picks a free display and names it once it takes connections.
    spawn({"Xvfb", "-displayfd", "3", "-screen", "0", "1024x768x24", "-nolisten", "tcp"}, named[1]);
    close(named[1]);
    std::string display;
    char c = 0;
    while (read(named[0], &c, 1) == 1 && c != '\n')
        display += c;
    close(named[0]);
    if (display.empty())
        return false;
    qputenv("DISPLAY", QByteArray(":") + display.c_str());
    qputenv("QT_QPA_PLATFORM", "xcb");
    spawn({"openbox", "--sm-disable"});
    // The window manager is up once it names itself on the root window.
    for (int tries = 0; tries < 300; ++tries) {
        if (std::system("xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'") ==
            0)
            return true;
        usleep(100 * 1000);
    }
    return false;
}
} // namespace

int main(int argc, char* argv[])
{
    int result = 77;
    if (startDesktop()) {
        QApplication app(argc, argv);
        TestAlert test;
        result = QTest::qExec(&test, argc, argv);
    } else {
        std::puts("SKIP: no Xvfb, openbox or xprop (scripts/install-deps installs them)");
    }
    // The window manager first, then its server.
    for (auto pid = children.rbegin(); pid != children.rend(); ++pid) {
        kill(*pid, SIGTERM);
        waitpid(*pid, nullptr, 0);
    }
    return result;
}

#include "tst_alert.moc"
