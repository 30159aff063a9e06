// The built executable, started as a user would, in its own temporary folder.
#include "support/files.h"
#include "support/processcopy.h"
#include "tally/lzrw1kh.h"
#include "tally/tallytable.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {
// The tally file as the program stores it after `games` games, all won.
QByteArray storedTally(qint64 games)
{
    TallyTable table;
    table.setCell(0, TallyTable::ownGames, QString::number(games));
    table.setCell(0, TallyTable::ownWins, QString::number(games));
    const QByteArray text = table.toText();
    const std::vector<std::uint8_t> stored = lzrw1kh::compress(
        {reinterpret_cast<const std::uint8_t*>(text.constData()), std::size_t(text.size())});
    return QByteArray(reinterpret_cast<const char*>(stored.data()), qsizetype(stored.size()));
}

// The games counted in a stored tally, or -1 when it does not read as one.
qint64 gamesIn(const QByteArray& stored)
{
    try {
        const std::vector<std::uint8_t> text =
            lzrw1kh::decompress({reinterpret_cast<const std::uint8_t*>(stored.constData()),
                                 std::size_t(stored.size())});
        const auto table = TallyTable::fromText(
            QByteArray(reinterpret_cast<const char*>(text.data()), qsizetype(text.size())));
        return table ? table->cell(0, TallyTable::ownGames).toLongLong() : -1;
    } catch (const lzrw1kh::Error&) {
        return -1;
    }
}
} // namespace

class TestProgram : public QObject {
    Q_OBJECT
private slots:
    void secondCopyBringsFirstForward();
    void crashedCopyDoesNotBlockTheNext();
    void unusableTempFolderStillStarts();
    void namesLikeToolkitOptions_data();
    void namesLikeToolkitOptions();
    void terminationClosesTheWindow();
    void helpAndVersionNeedNoDisplay_data();
    void helpAndVersionNeedNoDisplay();
    void clientOutlivesItsHost();
    void savesSurviveKills();
};

void TestProgram::secondCopyBringsFirstForward()
{
    QTemporaryDir tmp;
    ProcessCopy first(tmp.path(), {"Ann", "127.0.0.1"});
    QTRY_VERIFY_WITH_TIMEOUT(first.logged("started"), 30000);
    ProcessCopy second(tmp.path(), {"Bob", "127.0.0.1"});
    QTRY_VERIFY_WITH_TIMEOUT(second.finished(), 30000);
    QCOMPARE(second.process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.process.exitCode(), 0);
    QVERIFY(!second.logged("started"));
    QTRY_VERIFY_WITH_TIMEOUT(first.logged("brought forward"), 30000);
    QVERIFY(!first.finished());

    // Another temporary folder is another session: both run.
    QTemporaryDir other;
    ProcessCopy third(other.path(), {"Cy", "127.0.0.1"});
    QTRY_VERIFY_WITH_TIMEOUT(third.logged("started"), 30000);
}

void TestProgram::crashedCopyDoesNotBlockTheNext()
{
    QTemporaryDir tmp;
    {
        ProcessCopy crashed(tmp.path(), {"Ann", "127.0.0.1"});
        QTRY_VERIFY_WITH_TIMEOUT(crashed.logged("started"), 30000);
        crashed.process.kill(); // SIGKILL: nothing is cleaned up
        QVERIFY(crashed.process.waitForFinished(10000));
    }
    ProcessCopy next(tmp.path(), {"Ann", "127.0.0.1"});
    QTRY_VERIFY_WITH_TIMEOUT(next.logged("started"), 30000);
}

void TestProgram::unusableTempFolderStillStarts()
{
    QTemporaryDir tmp;
    QFile file(tmp.filePath("a file"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    for (const QString& tempFolder : {file.fileName(), tmp.filePath("missing")}) {
        ProcessCopy copy(tmp.path(), {"Ann", "127.0.0.1"}, 0, {"TMPDIR=" + tempFolder});
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged("started"), 30000);
        QVERIFY(copy.logged("running without the single-instance lock"));
    }
}

void TestProgram::namesLikeToolkitOptions_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("-reverse") << QStringList{"-reverse", "127.0.0.1", "true"};
    QTest::newRow("-style X") << QStringList{"-style", "Fusion", "true"};
    QTest::newRow("-style true") << QStringList{"-reverse", "-style", "true"};
}

void TestProgram::namesLikeToolkitOptions()
{
    QFETCH(QStringList, args);
    QTemporaryDir tmp;
    QTcpServer lobby;
    QVERIFY(lobby.listen(QHostAddress::LocalHost, 0));
    // Only a copy that read all three arguments calls the lobby.
    ProcessCopy copy(tmp.path(), args, freePort(),
                     {"QUORVEL_LOBBY_PORT=" + QString::number(lobby.serverPort())});
    QTRY_VERIFY_WITH_TIMEOUT(lobby.hasPendingConnections(), 30000);
}

void TestProgram::helpAndVersionNeedNoDisplay_data()
{
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("expected");
    QTest::newRow("help") << "--help"
                          << "quorvel NAME ADDRESS true";
    QTest::newRow("version") << "--version"
                             << "Quorvel 1.0.1\n";
}

void TestProgram::helpAndVersionNeedNoDisplay()
{
    QFETCH(QString, argument);
    QFETCH(QString, expected);
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(QUORVEL_EXECUTABLE), {argument});
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    QVERIFY2(QString::fromUtf8(process.readAllStandardOutput()).contains(expected),
             qPrintable(argument));
}

void TestProgram::terminationClosesTheWindow()
{
    QTemporaryDir tmp;
    ProcessCopy copy(tmp.path(), {"Ann", "127.0.0.1"});
    QTRY_VERIFY_WITH_TIMEOUT(copy.logged("started"), 30000);
    copy.process.terminate(); // SIGTERM
    QVERIFY(copy.process.waitForFinished(30000));
    QCOMPARE(copy.process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(copy.process.exitCode(), 0);
    QVERIFY(copy.logged("main window closing"));
}

// The host ends without asking, though another player sits at its table; the client says
// so and stays until the player closes it.
void TestProgram::clientOutlivesItsHost()
{
    QTemporaryDir hostTmp, clientTmp;
    const quint16 port = freePort();
    ProcessCopy host(hostTmp.path(), {"Host", "127.0.0.1", "true"}, port);
    QTRY_VERIFY_WITH_TIMEOUT(host.logged("logged in at seat 1"), 30000);
    ProcessCopy client(clientTmp.path(), {"Bob", "127.0.0.1", "join"}, port);
    QTRY_VERIFY_WITH_TIMEOUT(client.logged("logged in at seat 2"), 30000);
    host.process.terminate();
    QVERIFY(host.process.waitForFinished(30000));
    QTRY_VERIFY_WITH_TIMEOUT(client.logged("connection to the host has ended"), 30000);
    QVERIFY(!client.finished());
    client.process.terminate();
    QVERIFY(client.process.waitForFinished(30000));
    QCOMPARE(client.process.exitStatus(), QProcess::NormalExit);
    QVERIFY(client.logged("main window closing"));
}

// Killed at random moments while it writes its settings and its tally over and over, the
// program leaves each file whole: the one it had written last or the one it was writing.
void TestProgram::savesSurviveKills()
{
    QTemporaryDir tmp;
    const QString settingsPath = tmp.filePath("orsklobby.ini");
    const QString tallyPath = tmp.filePath("Quorveltally.tld");
    // The loop toggles "Play Sounds": the settings file is one text or the other.
    QByteArray settings;
    QByteArray toggled;
    qint64 games = 0;
    int cut = 0;
    const int kills = 200;
    for (int kill = 0; kill < kills; ++kill) {
        {
            ProcessCopy copy(tmp.path(), {"Ann", "127.0.0.1"}, freePort(), {"QUORVEL_SAVE_LOOP=1"});
            QTRY_VERIFY_WITH_TIMEOUT(copy.logged("until killed"), 30000);
            QTest::qWait(int(QRandomGenerator::global()->bounded(20)));
            copy.process.kill();
            QVERIFY(copy.process.waitForFinished(30000));
        }
        const QByteArray now = readFile(settingsPath);
        if (settings.isEmpty() && !now.isEmpty()) {
            // The first one seen must be whole: its last key ends it.
            static const QRegularExpression whole(
                "^\\[Quorvel\\]\n(.*\n)*Playsounds=(true|false)\n$");
            QVERIFY2(whole.match(QString::fromUtf8(now)).hasMatch(), now.constData());
            settings = now;
            toggled = now.contains("Playsounds=true\n")
                          ? QByteArray(now).replace("Playsounds=true\n", "Playsounds=false\n")
                          : QByteArray(now).replace("Playsounds=false\n", "Playsounds=true\n");
        }
        QVERIFY2(now == settings || now == toggled, now.constData());

        const QByteArray tally = readFile(tallyPath);
        const qint64 counted = tally.isEmpty() ? 0 : gamesIn(tally);
        QVERIFY2(counted >= games, qPrintable(QString::number(counted)));
        if (counted > 0)
            QCOMPARE(tally, storedTally(counted));
        games = counted;

        // A write the kill cut short leaves its unfinished file beside the real one.
        const QStringList left =
            QDir(tmp.path()).entryList({"orsklobby.ini.*", "Quorveltally.tld.*"});
        cut += left.isEmpty() ? 0 : 1;
        for (const QString& name : left) {
            QVERIFY2(!name.contains("damaged"), qPrintable(name));
            QFile::remove(tmp.filePath(name));
        }
    }
    QVERIFY(games > 0);
    qInfo("%d kills, %d of them in the middle of a write; %lld games in the tally", kills, cut,
          games);
}

QTEST_GUILESS_MAIN(TestProgram)
#include "tst_program.moc"
