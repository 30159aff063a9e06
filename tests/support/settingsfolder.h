#pragma once

#include <QDir>
#include <QTemporaryDir>

// A new empty folder for one copy's settings file, removed when the test program ends,
// so that no test reads another's settings or writes beside the test binary.
inline QString freshSettingsFolder()
{
    static QTemporaryDir root;
    static int count = 0;
    const QString path = root.path() + QStringLiteral("/settings%1").arg(++count);
    QDir().mkpath(path);
    return path;
}
