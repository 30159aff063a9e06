// The yardstick of the start-up benchmark: an empty main window with a menu, the size of
// the game's, watched by the same probe.
#include "client/startupprobe.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.menuBar()->addMenu(QStringLiteral("File"))->addAction(QStringLiteral("Exit"));
    window.setGeometry(3, 3, 772, 535);
    StartupProbe::watchIfAsked(&window);
    window.show();
    return app.exec();
}
