#pragma once

// What the network benchmarks share: a hosting copy of the program in this process.
#include "client/program.h"
#include "support/recordingreporter.h"

#include <QEventLoop>
#include <QTimer>

#include <memory>

inline void runFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

inline std::unique_ptr<Program> startHostingCopy(RecordingReporter* errors)
{
    LaunchOptions options;
    options.arguments = {"Host", "127.0.0.1", "true"};
    options.gamePort = 0;
    options.lobbyPort = 1; // nothing listens there; the failed connect is ignored
    auto program = std::make_unique<Program>(options, errors);
    program->chat().show();
    return program;
}
