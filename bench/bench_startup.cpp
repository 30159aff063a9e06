// Start-up: from starting the process to the main window shown and to its first paint, and
// the peak memory at that paint, for the game's solo start and for an empty main window with
// a menu, in turns. Under Xvfb when it is installed, else offscreen.
// Usage: bench_startup [program]
// Goal: shown within 1.2 times the empty window's time, peak memory at most 10 MiB above.
#include "client/startupprobe.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <vector>

namespace {

struct Sample {
    double shownMs = 0;
    double paintedMs = 0;
    double peakMiB = 0;
};

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();
}

// Starts the program and reads the probe's line; nullopt when it did not print one.
std::optional<Sample> run(const QString& program, const QProcessEnvironment& display)
{
    QTemporaryDir folder;
    QProcessEnvironment env = display;
    env.insert(QString::fromLatin1(StartupProbe::variable), QStringLiteral("1"));
    // A folder of its own: settings, tally and the single-instance lock start fresh.
    env.insert(QStringLiteral("QUORVEL_SETTINGS_DIR"), folder.path());
    env.insert(QStringLiteral("TMPDIR"), folder.path());
    env.insert(QStringLiteral("QUORVEL_GAME_PORT"), QString::number(freePort()));
    env.insert(QStringLiteral("QUORVEL_LOBBY_PORT"), QString::number(freePort()));
    QProcess process;
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const long long started = StartupProbe::now();
    process.start(program, {});
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return std::nullopt;
    }
    static const QRegularExpression line(
        QStringLiteral("startup-probe shown=(\\d+) painted=(\\d+) peak_kib=(\\d+)"));
    const QRegularExpressionMatch m =
        line.match(QString::fromLatin1(process.readAllStandardOutput()));
    if (!m.hasMatch())
        return std::nullopt;
    return Sample{double(m.captured(1).toLongLong() - started) / 1e6,
                  double(m.captured(2).toLongLong() - started) / 1e6,
                  m.captured(3).toDouble() / 1024};
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int rounds = qEnvironmentVariableIntValue("QUORVEL_BENCH_ROUNDS") > 0
                           ? qEnvironmentVariableIntValue("QUORVEL_BENCH_ROUNDS")
                           : 15;

    QProcessEnvironment display = QProcessEnvironment::systemEnvironment();
    QProcess xvfb;
    QString platform = QStringLiteral("offscreen");
    if (!QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty()) {
        // Xvfb names the display it chose on its standard output once it takes connections.
        xvfb.start(QStringLiteral("Xvfb"),
                   {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                    QStringLiteral("0"), QStringLiteral("1280x1024x24"),
                    QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        QByteArray number;
        while (!number.endsWith('\n') && xvfb.waitForReadyRead(10000))
            number += xvfb.readAllStandardOutput();
        if (number.trimmed().isEmpty()) {
            std::fprintf(stderr, "Xvfb did not start; measuring offscreen\n");
        } else {
            display.insert(QStringLiteral("DISPLAY"),
                           QLatin1Char(':') + QString::fromLatin1(number.trimmed()));
            platform = QStringLiteral("xcb");
        }
    }
    display.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);

    struct Subject {
        const char* name;
        QString program;
        std::vector<double> shown, painted, peak;
    };
    // Another build of the program may be named, to compare before and after a change.
    const QString game =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(QUORVEL_EXECUTABLE);
    std::array<Subject, 2> subjects{
        {{"empty main window", QStringLiteral(QUORVEL_STARTUP_EMPTY), {}, {}, {}},
         {"solo start", game, {}, {}, {}}}};
    // One start of each first, not counted: it fills the file caches.
    for (int round = 0; round <= rounds; ++round)
        for (Subject& s : subjects) {
            const std::optional<Sample> sample = run(s.program, display);
            if (!sample) {
                std::fprintf(stderr, "%s printed no figures\n", s.name);
                return 1;
            }
            if (round == 0)
                continue;
            s.shown.push_back(sample->shownMs);
            s.painted.push_back(sample->paintedMs);
            s.peak.push_back(sample->peakMiB);
        }

    std::printf("start-up on %s, median of %d starts\n", qPrintable(platform), rounds);
    std::printf("%-20s %10s %12s %14s\n", "", "shown ms", "painted ms", "peak MiB");
    for (const Subject& s : subjects)
        std::printf("%-20s %10.1f %12.1f %14.1f\n", s.name, median(s.shown), median(s.painted),
                    median(s.peak));
    const double ratio = median(subjects[1].shown) / median(subjects[0].shown);
    const double above = median(subjects[1].peak) - median(subjects[0].peak);
    std::printf("solo shown after %.2f times the empty window's time (goal <= 1.2), "
                "peak memory %.1f MiB above it (goal <= 10)\n",
                ratio, above);
    xvfb.terminate();
    xvfb.waitForFinished();
    return 0;
}
