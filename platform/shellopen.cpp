#include "platform/shellopen.h"

#include "platform/logging.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>

bool ShellOpener::openUrl(const QUrl& url)
{
    const bool opened = QDesktopServices::openUrl(url);
    if (!opened)
        qCWarning(lcWindows) << "could not open" << url;
    return opened;
}

bool ShellOpener::startProgram(const QString& path, const QStringList& arguments)
{
    const QFileInfo program(path);
    const bool started =
        QProcess::startDetached(program.absoluteFilePath(), arguments, program.absolutePath());
    if (!started)
        qCWarning(lcWindows) << "could not start" << path;
    return started;
}

ShellOpener& ShellOpener::system()
{
    static ShellOpener opener;
    return opener;
}
