#pragma once

#include "app/program.h"
#include "support/recordingsoundplayer.h"
#include "support/settingsfolder.h"

#include <QTest>

#include <memory>

// A whole program in this process, started with a user's arguments, its sounds recorded.
struct Copy {
    RecordingSoundPlayer sounds;
    std::unique_ptr<Program> program;
    Tchat& chat() { return program->chat(); }
};

// Starts and shows a copy; its settings in folder, a fresh one when empty.
inline std::unique_ptr<Copy> startCopy(const QStringList& args, quint16 gamePort, quint16 lobbyPort,
                                       ErrorReporter* errors, const QString& folder = QString())
{
    auto copy = std::make_unique<Copy>();
    LaunchOptions options;
    options.arguments = args;
    options.gamePort = gamePort;
    options.lobbyPort = lobbyPort;
    options.settingsFolder = folder.isEmpty() ? freshSettingsFolder() : folder;
    copy->program = std::make_unique<Program>(options, errors, &copy->sounds);
    copy->chat().show();
    return copy;
}

// Ann's hosting copy, once the host has announced her seat: its settings are read then.
inline std::unique_ptr<Copy> startHosting(quint16 lobbyPort, ErrorReporter* errors,
                                          const QString& folder = QString())
{
    auto copy = startCopy({"Ann", "127.0.0.1", "true"}, 0, lobbyPort, errors, folder);
    if (!QTest::qWaitFor([&] { return copy->chat().state().name(1) == "Ann"; }, 10000))
        qWarning("the hosting copy was not seated");
    return copy;
}
