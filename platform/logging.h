#pragma once

#include <QLoggingCategory>

// The side windows log here (QT_LOGGING_RULES="quorvel.*=true"); the download logs every
// refused or broken transfer with its reason.
Q_DECLARE_LOGGING_CATEGORY(lcDownload)
Q_DECLARE_LOGGING_CATEGORY(lcWindows)
// The program's start-up (settings folder, single instance) logs under the client's name.
Q_DECLARE_LOGGING_CATEGORY(lcProgram)
