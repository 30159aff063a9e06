#pragma once

#include "client/chatform.h"

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

// Launch options of a window that connects nowhere, with a settings folder of its own.
inline LaunchOptions isolatedOptions()
{
    LaunchOptions options;
    options.settingsFolder = freshSettingsFolder();
    return options;
}
