#include "LiveRecorder.h"

#include "FileAccess.h"
#include "IsoCsvFile.h"
#include "TextLineReader.h"

#include <QDir>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace tq {

namespace {
// The longest tail looked at for a line cut short; a live line is far shorter.
constexpr qint64 kTailBytes = 4096;

TemperatureUnit unitOf(bool fahrenheit) {
    return fahrenheit ? TemperatureUnit::Fahrenheit : TemperatureUnit::Celsius;
}

QString unitName(bool fahrenheit) {
    return fahrenheit ? QStringLiteral("°F") : QStringLiteral("°C");
}

bool syncData(int fd) {
#if defined(Q_OS_LINUX)
    return ::fdatasync(fd) == 0;
#else
    return ::fsync(fd) == 0;
#endif
}

// A new file's name is on the disk only once its folder is.
void syncFolder(const QString& fileName) {
    const int fd = ::open(QFile::encodeName(QFileInfo(fileName).absolutePath()).constData(), O_RDONLY);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}
} // namespace

bool LiveRecorder::refuse(const QString& why) {
    m_error = why;
    m_file.close();
    return false;
}

bool LiveRecorder::open(const QString& fileName, int model, bool fahrenheit) {
    close();
    m_fileName = fileName;
    m_error.clear();
    m_lines = 0;
    m_lastInstant.reset();
    m_columns = model == 862 ? 3 : 1;
    m_fahrenheit = fahrenheit;
    const QString name = shownName(fileName);
    const QByteArray header = isocsv::liveHeader(unitOf(fahrenheit), m_columns == 3);
    const QFileInfo info(fileName);
    if (info.exists() && !info.isFile())
        return refuse(QStringLiteral("%1 is not a file: the readings cannot be recorded in it.").arg(name));
    const bool created = !info.exists();
    m_file.setFileName(fileName);
    if (!m_file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return refuse(
            QStringLiteral("Cannot open %1 to record the readings: %2").arg(name, m_file.errorString()));
    // Two recordings in one file would mix their lines.
    if (::flock(m_file.handle(), LOCK_EX | LOCK_NB) != 0)
        return refuse(
            QStringLiteral("%1 is being recorded to already, by another window or program.").arg(name));
    const qint64 size = m_file.size();
    if (size == 0) {
        if (m_file.write(header) != header.size() || !syncData(int(m_file.handle())))
            return refuse(QStringLiteral("Cannot write %1: %2").arg(name, m_file.errorString()));
        if (created) syncFolder(fileName);
        return true;
    }
    TextLineReader reader(m_file, textfile::kMaxLineLength);
    QByteArray first;
    reader.next(first);
    const QString firstLine = QString::fromUtf8(first);
    const QString wanted = QString::fromLatin1(header.trimmed());
    if (isocsv::columnsOf(firstLine) != m_columns || isocsv::unitOf(firstLine) != unitOf(fahrenheit)) {
        if (isocsv::isHeader(firstLine))
            return refuse(
                QStringLiteral("%1 holds readings of another kind (its first line is \"%2\"); the "
                               "readings of this logger in %3 would start \"%4\". Choose another file.")
                    .arg(name, firstLine.trimmed(), unitName(fahrenheit), wanted));
        return refuse(QStringLiteral("%1 is not a recording of live readings: it does not start with \"%2\". "
                                     "Choose another file, or a new name.")
                          .arg(name, wanted));
    }
    return ensureLineStart(size);
}

bool LiveRecorder::ensureLineStart(qint64 size) {
    const QString name = shownName(m_fileName);
    const qint64 from = qMax<qint64>(0, size - kTailBytes);
    if (!m_file.seek(from))
        return refuse(QStringLiteral("Cannot read %1: %2").arg(name, m_file.errorString()));
    const QByteArray tail = m_file.read(size - from);
    if (tail.size() != size - from)
        return refuse(QStringLiteral("Cannot read %1: %2").arg(name, m_file.errorString()));
    QByteArray ending;
    if (!tail.endsWith('\n')) {
        const qsizetype lf = tail.lastIndexOf('\n');
        if (lf < 0 && from > 0)
            return refuse(
                QStringLiteral("%1 does not end as a recording of live readings does: its last line is "
                               "thousands of characters long. Choose another file.")
                    .arg(name));
        const QByteArray last = tail.mid(lf + 1);
        if (lf < 0 || last.endsWith('\r')) {
            // Only the end of the header, or the LF of a CR LF, is missing.
            ending = last.endsWith('\r') ? QByteArray("\n") : QByteArray("\r\n");
        } else if (isocsv::isWholeLine(QString::fromUtf8(last), m_columns)) {
            ending = "\r\n";
        } else {
            // A reading cut short in its write: kept, it would read as another
            // value ("-1" of "-12.5") once a line follows it.
            if (!m_file.resize(from + lf + 1))
                return refuse(QStringLiteral("Cannot write %1: %2").arg(name, m_file.errorString()));
        }
    }
    if (!m_file.seek(m_file.size()) || (!ending.isEmpty() && m_file.write(ending) != ending.size()) ||
        !syncData(int(m_file.handle())))
        return refuse(QStringLiteral("Cannot write %1: %2").arg(name, m_file.errorString()));
    return true;
}

int LiveRecorder::offsetFor(TDateTime t) {
    const int usual = isocsv::offsetAt(t);
    const qint64 wall = QDateTime(dateOf(t), timeOf(t), Qt::UTC).toSecsSinceEpoch();
    // In the hour the clocks go back the same wall-clock time comes twice:
    // the offset is the one whose instant follows the line before.
    std::optional<int> chosen;
    for (const int offset : {usual, isocsv::offsetAt(t - 3.0 / 24), isocsv::offsetAt(t + 3.0 / 24)}) {
        const qint64 instant = wall - offset;
        if (QDateTime::fromSecsSinceEpoch(instant).offsetFromUtc() != offset) continue;
        if (!m_lastInstant) return offset;
        if (instant >= *m_lastInstant - 60 && (!chosen || instant < wall - *chosen)) chosen = offset;
    }
    return chosen.value_or(usual);
}

bool LiveRecorder::writeLine(TDateTime t, const QByteArray& values) {
    if (!isOpen()) {
        m_error = QStringLiteral("No file is open to record the readings in.");
        return false;
    }
    const int offset = offsetFor(t);
    const QByteArray line = isocsv::timeText(t, offset).toLatin1() + ',' + values + "\r\n";
    // One write of the whole line, then to the disk: a kill leaves whole lines.
    if (m_file.write(line) != line.size() || !syncData(int(m_file.handle()))) {
        m_error = QStringLiteral("Cannot write %1: %2").arg(shownName(m_fileName), m_file.errorString());
        return false;
    }
    m_lastInstant = QDateTime(dateOf(t), timeOf(t), Qt::UTC).toSecsSinceEpoch() - offset;
    ++m_lines;
    return true;
}

bool LiveRecorder::append(const LiveSample& s) {
    if (isOpen() && s.fahrenheit != m_fahrenheit) {
        m_error =
            QStringLiteral("The logger now reads in %1, but %2 holds readings in %3: the reading is not "
                           "written under the wrong unit.")
                .arg(unitName(s.fahrenheit), shownName(m_fileName), unitName(m_fahrenheit));
        return false;
    }
    QByteArray values = isocsv::valueText(s.temperature).toLatin1();
    if (m_columns == 3)
        values +=
            ',' + isocsv::valueText(s.humidity).toLatin1() + ',' + isocsv::valueText(s.dewPoint).toLatin1();
    return writeLine(s.time, values);
}

bool LiveRecorder::appendGap(TDateTime t) {
    return writeLine(t, QByteArray(m_columns - 1, ','));
}

void LiveRecorder::close() {
    m_file.close();
}

} // namespace tq
