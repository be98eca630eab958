#include "FileAccess.h"

#include <QDir>
#include <QFileInfo>

namespace tq {

QString shownName(const QString& fileName) {
    return QDir::toNativeSeparators(fileName);
}

Outcome openForReading(QFile& file) {
    const QFileInfo info(file.fileName());
    const QString name = shownName(file.fileName());
    const auto refused = [](const QString& text) { return Outcome::fail(Outcome::Code::CannotRead, text); };
    if (!info.exists()) return refused(QStringLiteral("Cannot open %1: the file does not exist.").arg(name));
    if (!info.isFile()) return refused(QStringLiteral("Cannot open %1: it is not a file.").arg(name));
    if (!file.open(QIODevice::ReadOnly))
        return refused(QStringLiteral("Cannot open %1: %2").arg(name, file.errorString()));
    return Outcome::success();
}

bool openForReading(QFile& file, QString& error) {
    const Outcome opened = openForReading(file);
    error = opened.text;
    return opened.ok();
}

} // namespace tq
