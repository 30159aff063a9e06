#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

// The shell's "open": a web address in the default browser, a program started on its
// own with parameters. The windows are handed one so that tests can record instead of
// launching.
class ShellOpener {
public:
    virtual ~ShellOpener() = default;

    virtual bool openUrl(const QUrl& url);
    // Starts the program detached, in its own folder; false when it could not be started.
    virtual bool startProgram(const QString& path, const QStringList& arguments);

    // The one that really opens and starts things.
    static ShellOpener& system();
};
