#pragma once

#include <QLoggingCategory>

// The client's categories (QT_LOGGING_RULES="quorvel.*=true"); the download logs every
// refused or broken transfer with its reason.
Q_DECLARE_LOGGING_CATEGORY(lcDownload)
Q_DECLARE_LOGGING_CATEGORY(lcWindows)
// The main window and the program's start-up (settings folder, single instance).
Q_DECLARE_LOGGING_CATEGORY(lcClient)
