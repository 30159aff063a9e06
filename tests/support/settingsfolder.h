#pragma once

#include "client/chatform.h"
#include "client/settings.h"
#include "platform/inifile.h"

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

// A key of the settings file, or "<none>".
inline QString iniValue(const QString& path, const QString& key)
{
    IniFile ini(path);
    ini.load();
    return ini.value(Settings::section, key, QStringLiteral("<none>"));
}

// Launch options of a window that connects nowhere, with a settings folder of its own.
inline LaunchOptions isolatedOptions()
{
    LaunchOptions options;
    options.settingsFolder = freshSettingsFolder();
    return options;
}
