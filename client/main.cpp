#include "client/namedmutex.h"
#include "client/program.h"
#include "client/singleinstance.h"
#include "client/unixsignals.h"

#include <QApplication>

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
    Program program(options);
    Tchat& chat = program.chat();

    QObject::connect(&instance, &SingleInstance::activationRequested, &chat, [&chat] {
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
    return app.exec();
}
