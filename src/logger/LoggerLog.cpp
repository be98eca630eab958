#include "LoggerLog.h"

Q_LOGGING_CATEGORY(lcLogger, "tq880.logger", QtWarningMsg)
