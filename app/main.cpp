#include "app/launcher.h"
#include "client/firstpaint.h"
#include "client/gamecounted.h"
#include "client/startupprobe.h"
#include "net/table.h"
#include "platform/logging.h"
#include "platform/namedmutex.h"
#include "platform/singleinstance.h"
#include "platform/unixsignals.h"

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

const char usage[] = R"(Usage:
  quorvel                        play a solo game against the computer
  quorvel NAME ADDRESS true      host a table (TCP port 7772) and sit at it as NAME
  quorvel NAME ADDRESS join      join the table hosted at ADDRESS as NAME
                                 (any third argument but exactly "true" joins)
  quorvel --help | --version

Environment:
  QUORVEL_GAME_PORT     game port instead of 7772
  QUORVEL_LOBBY_PORT    lobby port instead of 9001
  QUORVEL_SETTINGS_DIR  folder of the settings and the tally
  QUORVEL_BOT_SPEED_MS  quick computer players (milliseconds a step)
  QT_LOGGING_RULES      "quorvel.*=true" logs why network input was refused
)";

// Answered before the toolkit starts, so they need no display. Only a lone argument asks:
// with three, "--help" is a player's name.
bool answeredInfoRequest(int argc, char* argv[])
{
    if (argc != 2)
        return false;
    if (std::strcmp(argv[1], "--help") == 0)
        std::fputs(usage, stdout);
    else if (std::strcmp(argv[1], "--version") == 0)
        std::printf("Quorvel %s\n", table::versionText);
    else
        return false;
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    if (answeredInfoRequest(argc, argv))
        return 0;

    // The launch arguments are read as given, before the toolkit takes its own options out
    // of the command line: a player called "-reverse" or "-style" is still a player. The
    // toolkit sees only what follows them, which the game ignores.
    constexpr int launchArgumentCount = 3;
    const int firstToolkitArgument = std::min(argc, 1 + launchArgumentCount);
    QStringList launchArguments;
    for (int i = 1; i < firstToolkitArgument; ++i)
        launchArguments << QString::fromLocal8Bit(argv[i]);
    std::vector<char*> toolkitArgv{argv[0]};
    toolkitArgv.insert(toolkitArgv.end(), argv + firstToolkitArgument, argv + argc);
    int toolkitArgc = int(toolkitArgv.size());
    toolkitArgv.push_back(nullptr);
    QApplication app(toolkitArgc, toolkitArgv.data());

    SingleInstance instance(QStringLiteral("leksro"));
    if (!instance.claim()) {
        instance.activateRunning();
        return 0;
    }
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    QApplication::setApplicationVersion(table::version());
    // Lets the desktop match the window to its entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("net.quorvel.Quorvel"));
    NamedMutex mutex(QStringLiteral("quorvel"));

    LaunchOptions options;
    options.arguments = launchArguments;
    // Lets tests run whole copies side by side without taking the real ports.
    if (const int port = qEnvironmentVariableIntValue("QUORVEL_GAME_PORT"); port > 0)
        options.gamePort = quint16(port);
    if (const int port = qEnvironmentVariableIntValue("QUORVEL_LOBBY_PORT"); port > 0)
        options.lobbyPort = quint16(port);
    if (const QString folder = qEnvironmentVariable("QUORVEL_SETTINGS_DIR"); !folder.isEmpty())
        options.settingsFolder = folder;
    // Quick host timers, so a whole game can be played by a script in a minute.
    std::optional<HostSettings> hostSettings;
    if (const int ms = qEnvironmentVariableIntValue("QUORVEL_BOT_SPEED_MS"); ms > 0) {
        HostSettings quick;
        quick.botSpeedMs = [ms] { return ms; };
        quick.secondsBetweenRounds = [] { return 1; };
        hostSettings = quick;
    }
    Launcher launcher(options, nullptr, nullptr, hostSettings);
    Tchat& chat = launcher.program().chat();
    // Decoding the icon need not hold up the table: the window takes it once painted.
    afterFirstPaint(&chat, [] {
        QIcon icon;
        for (const int size : {48, 256})
            icon.addFile(QStringLiteral(":/icons/quorvel-%1.png").arg(size));
        QApplication::setWindowIcon(icon);
    });

    QObject::connect(&instance, &SingleInstance::activationRequested, &launcher, [&launcher] {
        qCInfo(lcClient) << "brought forward at another copy's request";
        Tchat& chat = launcher.program().chat();
        if (chat.isMinimized())
            chat.showNormal();
        chat.raise();
        chat.activateWindow();
    });
    // The session's end closes the window without questions.
    UnixSignals signalsToClose;
    QObject::connect(&signalsToClose, &UnixSignals::terminationRequested, &launcher,
                     &Launcher::closeWithoutAsking);
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &launcher,
                     &Launcher::closeWithoutAsking);

    // Error boxes may still be open: the program ends with its main window all the same.
    QObject::connect(&launcher, &Launcher::finished, &app, &QCoreApplication::quit);
    StartupProbe::watchIfAsked(&chat);
    launcher.show();
    qCInfo(lcClient) << "started";
    // For the kill-safety test: the settings file and the tally are written over and over,
    // as by clicks on "Play Sounds" and games won, until the process is killed.
    QTimer saveLoop;
    if (qEnvironmentVariableIsSet("QUORVEL_SAVE_LOOP")) {
        auto* playSounds = chat.findChild<QAction*>(QStringLiteral("PlaySounds1"));
        QObject::connect(&saveLoop, &QTimer::timeout, &chat, [playSounds, &launcher] {
            playSounds->trigger();
            launcher.program().tally().addgame(userWonGame);
            launcher.program().tally().save();
        });
        saveLoop.start(0);
        qCInfo(lcClient) << "saving the settings and the tally until killed";
    }
    return app.exec();
}
