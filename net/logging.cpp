#include "net/logging.h"

Q_LOGGING_CATEGORY(lcNet, "quorvel.net", QtWarningMsg)
Q_LOGGING_CATEGORY(lcHost, "quorvel.host", QtWarningMsg)
