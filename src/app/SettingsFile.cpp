#include "SettingsFile.h"

#include "FileAccess.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <algorithm>

namespace tq {

namespace {
// A line as the program reads it: at most kLineLimit characters, without
// its line break. Longer lines are cut, and their rest is skipped.
QByteArray readLimitedLine(QIODevice& f) {
    QByteArray line = f.readLine(4096);
    while (!line.endsWith('\n') && !f.atEnd()) {
        // Skip the rest of an overlong line without keeping it.
        const QByteArray rest = f.readLine(4096);
        if (rest.isEmpty()) break;
        if (rest.endsWith('\n')) break;
    }
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    return line.left(SettingsFile::kLineLimit);
}
} // namespace

int SettingsFile::readPortIndex(const QString& path) {
    QFile f(path);
    QString unused;
    if (!openForReading(f, unused)) return 0;
    return readPortIndex(f);
}

int SettingsFile::readPortIndex(QIODevice& f) {
    if (f.atEnd()) return 0;
    readLimitedLine(f); // the section line
    if (f.atEnd()) return 0;
    bool ok = false;
    const int index = QString::fromLatin1(readLimitedLine(f)).trimmed().toInt(&ok);
    return ok && index >= 0 ? index : 0;
}

QStringList SettingsFile::readOtherPorts(const QString& path) {
    QFile f(path);
    QString unused;
    if (!openForReading(f, unused)) return {};
    QStringList ports;
    bool inSection = false;
    // A bounded number of bounded lines: a huge or hostile file costs nothing.
    for (int lines = 0; !f.atEnd() && lines < 64 && ports.size() < kMaxOtherPorts; ++lines) {
        const QString line = QString::fromUtf8(readLimitedLine(f)).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inSection = line == QLatin1String("[OTHER PORTS]");
            continue;
        }
        const bool printable = std::all_of(line.begin(), line.end(), [](QChar c) { return c.isPrint(); });
        if (inSection && !line.isEmpty() && printable && !ports.contains(line)) ports << line;
    }
    return ports;
}

bool SettingsFile::write(const QString& folder, int portIndex, QString* error,
                         const QStringList& otherPorts) {
    QDir dir(folder);
    if (!dir.exists() && !QDir().mkdir(folder)) {
        if (error) *error = QStringLiteral("Cannot create ") + folder + QStringLiteral(" directory.");
        return false;
    }
    QSaveFile f(dir.filePath(QStringLiteral("TQ880.ini")));
    if (f.open(QIODevice::WriteOnly)) {
        f.write("[COM PORT]\n");
        f.write(QByteArray::number(portIndex) + '\n');
        if (!otherPorts.isEmpty()) {
            f.write("[OTHER PORTS]\n");
            for (const QString& port : otherPorts.mid(0, kMaxOtherPorts))
                f.write(port.left(kLineLimit).toUtf8() + '\n');
        }
        if (f.commit()) return true;
    }
    if (error) *error = f.errorString();
    return false;
}

} // namespace tq
