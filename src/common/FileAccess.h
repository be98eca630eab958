#pragma once

#include <QFile>
#include <QString>

namespace tq {

// The name of a file as the user sees it in a message.
QString shownName(const QString& fileName);

// Opens a regular file for reading. A folder, a named pipe or a device is
// refused before it is opened (a pipe would block the program until some
// other program writes to it). On failure error holds a sentence naming
// the file.
bool openForReading(QFile& file, QString& error);

} // namespace tq
