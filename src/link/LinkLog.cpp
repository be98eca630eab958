#include "LinkLog.h"

Q_LOGGING_CATEGORY(lcLink, "tq880.link", QtWarningMsg)
