#pragma once

#include "Outcome.h"

#include <QFile>
#include <QString>

namespace tq {

// The name of a file as the user sees it in a message.
QString shownName(const QString& fileName);

// Opens a regular file for reading. A folder, a named pipe or a device is
// refused before it is opened (a pipe would block the program until some
// other program writes to it). A failure (CannotRead) says so in a sentence
// naming the file.
[[nodiscard]] Outcome openForReading(QFile& file);
// The same as a bool, the sentence in error.
bool openForReading(QFile& file, QString& error);

} // namespace tq
