#pragma once

#include "LiveValues.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <optional>

namespace tq {

// "Record to file": each live reading appended to a self-describing CSV as
// a line of its own, written through to the disk before append() returns,
// so after a crash or a kill the file holds every reading up to the last
// one and opens wherever such a file opens. The 860's file is the ISO CSV
// of a temperature; the 862's adds humidity and dew point columns. Each
// line carries the UTC offset in force at its reading.
class LiveRecorder {
  public:
    LiveRecorder() = default;
    ~LiveRecorder() { close(); }
    LiveRecorder(const LiveRecorder&) = delete;
    LiveRecorder& operator=(const LiveRecorder&) = delete;

    // Creates the file with the header, or appends to one that starts with
    // the same header. Anything else (another header, no live recording, a
    // file that cannot be opened) is refused: false, and error() says why
    // in a sentence naming the file. A last line cut short by a crash is
    // cut off, unless it is whole and only its line end is missing.
    bool open(const QString& fileName, int model, bool fahrenheit);
    // One line, on the disk when it returns; false and error() when it
    // cannot be written, or when the sample's unit is not the file's.
    bool append(const LiveSample& s);
    // A line with the time and empty values: reads back as a gap.
    bool appendGap(TDateTime t);
    void close();

    bool isOpen() const { return m_file.isOpen(); }
    QString fileName() const { return m_fileName; }
    QString error() const { return m_error; }
    // Lines appended since open().
    qint64 lines() const { return m_lines; }

  private:
    bool refuse(const QString& why);
    bool ensureLineStart(qint64 size);
    bool writeLine(TDateTime t, const QByteArray& values);
    int offsetFor(TDateTime t);

    QFile m_file;
    QString m_fileName;
    QString m_error;
    int m_columns = 1;
    bool m_fahrenheit = false;
    qint64 m_lines = 0;
    std::optional<qint64> m_lastInstant; // seconds since the epoch of the last line
};

} // namespace tq
