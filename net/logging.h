#pragma once

#include <QLoggingCategory>

// Refused peer input is logged here at debug level (QT_LOGGING_RULES="quorvel.*=true").
Q_DECLARE_LOGGING_CATEGORY(lcNet)
Q_DECLARE_LOGGING_CATEGORY(lcHost)
