#include "client/soundloader.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSoundEffect>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <memory>

namespace {
constexpr int rate = 22050;
const char* const sinkName = "quorvel_test";

// The loudest stretch of recorded 16-bit mono samples, as RMS over 1024-sample windows.
double loudestWindow(const QByteArray& raw, qsizetype fromByte = 0)
{
    const auto* samples = reinterpret_cast<const qint16*>(raw.constData());
    const qsizetype count = raw.size() / 2;
    double loudest = 0;
    for (qsizetype start = fromByte / 2; start + 1024 <= count; start += 512) {
        double sum = 0;
        for (qsizetype i = start; i < start + 1024; ++i)
            sum += double(samples[i]) * samples[i];
        loudest = std::max(loudest, std::sqrt(sum / 1024));
    }
    return loudest;
}

QSoundEffect* effectFor(SoundLoader& player, const QString& name)
{
    for (QSoundEffect* e : player.findChildren<QSoundEffect*>())
        if (e->source().toString().endsWith(QStringLiteral("/%1.wav").arg(name)))
            return e;
    return nullptr;
}
} // namespace

// The program's sounds, played by the sound module, reach a real sound server: a private PulseAudio
// with a null sink whose monitor is recorded. Skipped where PulseAudio is not installed.
class TestSound : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void namesAndResources();
    void silentWithoutAudioDevice();
    void silentWithoutModule();
    void gameSoundReachesTheSink();
    void newSoundStopsThePlayingOne();

private:
    bool startServer();
    std::unique_ptr<QTemporaryDir> m_dir;
    QProcess m_server;
    QProcess m_recorder;
    QByteArray m_recorded;
    bool m_serverUp = false;
    std::unique_ptr<SoundLoader> m_player;
};

void TestSound::initTestCase()
{
    if (qEnvironmentVariableIsSet("QUORVEL_SOUND_CHILD"))
        return;
    m_serverUp = startServer();
}

bool TestSound::startServer()
{
    const QString pulseaudio = QStandardPaths::findExecutable("pulseaudio");
    const QString parec = QStandardPaths::findExecutable("parec");
    if (pulseaudio.isEmpty() || parec.isEmpty())
        return false;
    m_dir = std::make_unique<QTemporaryDir>();
    const QString dir = m_dir->path();
    const QString socket = dir + "/native";
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", dir);
    env.insert("PULSE_RUNTIME_PATH", dir + "/pulse");
    env.insert("HOME", dir);
    m_server.setProcessEnvironment(env);
    m_server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // Ends by itself soon after the last client leaves, should this test die.
    m_server.start(pulseaudio,
                   {"-n", "--daemonize=no", "--exit-idle-time=10", "--use-pid-file=no",
                    "--log-target=stderr", "--log-level=error",
                    QStringLiteral("--load=module-null-sink sink_name=%1").arg(sinkName),
                    "--load=module-native-protocol-unix socket=" + socket + " auth-anonymous=1"});
    if (!m_server.waitForStarted(5000))
        return false;
    QElapsedTimer waited;
    waited.start();
    while (!QFile::exists(socket) && waited.elapsed() < 10000 &&
           m_server.state() == QProcess::Running)
        QTest::qWait(20);
    if (!QFile::exists(socket))
        return false;
    // Read by the program's sound layer when it first connects.
    qputenv("PULSE_SERVER", ("unix:" + socket).toUtf8());
    env.insert("PULSE_SERVER", "unix:" + socket);

    m_recorder.setProcessEnvironment(env);
    connect(&m_recorder, &QProcess::readyReadStandardOutput, this,
            [this] { m_recorded += m_recorder.readAllStandardOutput(); });
    m_recorder.start(parec,
                     {"-d", QStringLiteral("%1.monitor").arg(sinkName), "--format=s16le",
                      QStringLiteral("--rate=%1").arg(rate), "--channels=1", "--latency-msec=20"});
    if (!m_recorder.waitForStarted(5000))
        return false;
    m_player = std::make_unique<SoundLoader>(QUORVEL_SOUND_MODULE);
    return true;
}

void TestSound::cleanupTestCase()
{
    m_player.reset();
    for (QProcess* p : {&m_recorder, &m_server}) {
        if (p->state() == QProcess::NotRunning)
            continue;
        p->terminate();
        if (!p->waitForFinished(3000)) {
            p->kill();
            p->waitForFinished(3000);
        }
    }
}

void TestSound::namesAndResources()
{
    for (const char* name : {"entered", "turn", "turnnew", "selectball", "roundover", "selectnum",
                             "invalid", "winner"})
        QVERIFY2(SoundLoader::hasSound(name), name);
    for (int n = 1; n <= 20; ++n)
        QVERIFY(SoundLoader::hasSound(QStringLiteral("wave%1").arg(n)));
    QVERIFY(SoundLoader::hasSound("WAVE7"));
    // "replace" is asked for but has no sound; paths never reach other resources.
    for (const char* name : {"replace", "", "wave21", "../sounds/turn", "sounds/turn", "turn.wav"})
        QVERIFY2(!SoundLoader::hasSound(name), name);
}

// With no sound server at all the program stays silent, goes on at once and says so once. Run in a
// child process: the sound layer picks its server once per process.
void TestSound::silentWithoutAudioDevice()
{
    if (qEnvironmentVariableIsSet("QUORVEL_SOUND_CHILD")) {
        SoundLoader player(QUORVEL_SOUND_MODULE);
        int told = 0;
        player.onNoDevice([&told] { ++told; });
        QElapsedTimer timer;
        timer.start();
        for (const char* name : {"entered", "turn", "winner", "replace", "wave3", "turn"})
            player.play(name);
        QVERIFY2(timer.elapsed() < 2000, "playing blocked");
        QTest::qWait(300);
        player.play("selectball");
        QTRY_COMPARE(told, 1);
        return;
    }
    QTemporaryDir dir;
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QUORVEL_SOUND_CHILD", "1");
    env.insert("PULSE_SERVER", "unix:" + dir.path() + "/no-such-server");
    env.insert("XDG_RUNTIME_DIR", dir.path());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(), {"silentWithoutAudioDevice"});
    QVERIFY(child.waitForFinished(60000));
    const QByteArray output = child.readAll();
    QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0,
             output.constData());
}

// A module that is not there leaves the game silent; the log says why, once.
void TestSound::silentWithoutModule()
{
    SoundLoader player(QStringLiteral("/nonexistent/quorvel_sound.so"));
    QTest::ignoreMessage(QtWarningMsg,
                         "sounds are off: no sound module at /nonexistent/quorvel_sound.so");
    player.play("turn");
    player.play("winner");
    QVERIFY(player.findChildren<QSoundEffect*>().isEmpty());
}

void TestSound::gameSoundReachesTheSink()
{
    if (!m_serverUp)
        QSKIP("PulseAudio is not available here");
    // Silence first, so the energy found below is the game's.
    QTRY_VERIFY_WITH_TIMEOUT(m_recorded.size() > rate, 10000);
    QVERIFY2(loudestWindow(m_recorded) < 100, "the sink is not silent before the sound");
    const qsizetype before = m_recorded.size();
    m_player->play("winner");
    QTRY_VERIFY_WITH_TIMEOUT(loudestWindow(m_recorded, before) > 2000, 10000);
}

void TestSound::newSoundStopsThePlayingOne()
{
    if (!m_serverUp)
        QSKIP("PulseAudio is not available here");
    m_player->play("wave6");
    QSoundEffect* snoring = effectFor(*m_player, "wave6");
    QVERIFY(snoring);
    QTRY_VERIFY_WITH_TIMEOUT(snoring->isPlaying(), 10000);
    m_player->play("selectnum");
    QVERIFY(!snoring->isPlaying());
    QSoundEffect* blip = effectFor(*m_player, "selectnum");
    QVERIFY(blip);
    QTRY_VERIFY_WITH_TIMEOUT(blip->isPlaying() || blip->status() == QSoundEffect::Ready, 10000);
    // The same sound again restarts it.
    m_player->play("selectnum");
    QCOMPARE(effectFor(*m_player, "selectnum"), blip);
}

QTEST_MAIN(TestSound)
#include "tst_sound.moc"
