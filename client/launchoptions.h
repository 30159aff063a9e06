#pragma once

#include "net/table.h"

#include <QString>
#include <QStringList>

// How a copy of the program was started and where it connects; tests replace the ports.
struct LaunchOptions {
    QStringList arguments;                 // the launch arguments, without the program name
    quint16 gamePort = table::defaultPort; // the host listens here; 0 picks a free port
    quint16 lobbyPort = 9001;
    // A connect to the host that gets no answer in this time has failed.
    int connectTimeoutMs = 10000;
    // Where the settings file lives; empty for the program's own place. Tests give a
    // temporary folder so that nothing is written beside the test binary.
    QString settingsFolder;
};
