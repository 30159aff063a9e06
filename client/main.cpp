#include "client/namedmutex.h"
#include "client/program.h"
#include "client/singleinstance.h"
#include "client/unixsignals.h"
#include "net/logging.h"

#include <QAction>
#include <QApplication>
#include <QTimer>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);

    SingleInstance instance(QStringLiteral("leksro"));
    if (!instance.claim()) {
        instance.activateRunning();
        return 0;
    }
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    NamedMutex mutex(QStringLiteral("quorvel"));

    LaunchOptions options;
    options.arguments = QApplication::arguments().mid(1);
    // Lets tests run whole copies side by side without taking the real ports.
    if (const int port = qEnvironmentVariableIntValue("QUORVEL_GAME_PORT"); port > 0)
        options.gamePort = quint16(port);
    if (const int port = qEnvironmentVariableIntValue("QUORVEL_LOBBY_PORT"); port > 0)
        options.lobbyPort = quint16(port);
    if (const QString folder = qEnvironmentVariable("QUORVEL_SETTINGS_DIR"); !folder.isEmpty())
        options.settingsFolder = folder;
    // Quick host timers, so a whole game can be played by a script in a minute.
    if (const int ms = qEnvironmentVariableIntValue("QUORVEL_BOT_SPEED_MS"); ms > 0) {
        HostSettings quick;
        quick.botSpeedMs = [ms] { return ms; };
        quick.secondsBetweenRounds = [] { return 1; };
        options.hostSettings = quick;
    }
    Program program(options);
    Tchat& chat = program.chat();

    QObject::connect(&instance, &SingleInstance::activationRequested, &chat, [&chat] {
        qCInfo(lcClient) << "brought forward at another copy's request";
        if (chat.isMinimized())
            chat.showNormal();
        chat.raise();
        chat.activateWindow();
    });
    UnixSignals signalsToClose;
    QObject::connect(&signalsToClose, &UnixSignals::terminationRequested, &chat, &QWidget::close);

    // Error boxes may still be open: the program ends with its main window all the same.
    QObject::connect(&chat, &Tchat::closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    chat.show();
    qCInfo(lcClient) << "started";
    // For the kill-safety test: the settings file and the tally are written over and over,
    // as by clicks on "Play Sounds" and games won, until the process is killed.
    QTimer saveLoop;
    if (qEnvironmentVariableIsSet("QUORVEL_SAVE_LOOP")) {
        auto* playSounds = chat.findChild<QAction*>(QStringLiteral("PlaySounds1"));
        QObject::connect(&saveLoop, &QTimer::timeout, &chat, [playSounds, &program] {
            playSounds->trigger();
            program.tally().addgame(Ttallylist::userWon);
            program.tally().save();
        });
        saveLoop.start(0);
        qCInfo(lcClient) << "saving the settings and the tally until killed";
    }
    return app.exec();
}
