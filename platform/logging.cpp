#include "platform/logging.h"

Q_LOGGING_CATEGORY(lcDownload, "quorvel.download", QtWarningMsg)
Q_LOGGING_CATEGORY(lcWindows, "quorvel.windows", QtWarningMsg)
Q_LOGGING_CATEGORY(lcClient, "quorvel.client", QtWarningMsg)
