#pragma once

#include <QLoggingCategory>

// Wire traffic as hex at debug level: QT_LOGGING_RULES="tq880.link.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcLink)
