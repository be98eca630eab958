#pragma once

#include <QLoggingCategory>

// Transfer and setup events at debug level: QT_LOGGING_RULES="tq880.logger.debug=true"
// (the bytes themselves are logged by the port, under tq880.link).
Q_DECLARE_LOGGING_CATEGORY(lcLogger)
