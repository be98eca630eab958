#include "FileAccess.h"

#include <QDir>
#include <QFileInfo>

namespace tq {

QString shownName(const QString& fileName) {
    return QDir::toNativeSeparators(fileName);
}

bool openForReading(QFile& file, QString& error) {
    const QFileInfo info(file.fileName());
    const QString name = shownName(file.fileName());
    if (!info.exists()) {
        error = QStringLiteral("Cannot open %1: the file does not exist.").arg(name);
        return false;
    }
    if (!info.isFile()) {
        error = QStringLiteral("Cannot open %1: it is not a file.").arg(name);
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("Cannot open %1: %2").arg(name, file.errorString());
        return false;
    }
    return true;
}

} // namespace tq
