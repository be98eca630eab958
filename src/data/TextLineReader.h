#pragma once

#include <QByteArray>
#include <QIODevice>

namespace tq {

// Reads a text file line by line in bounded memory. A line ends at LF, CR
// LF or a lone CR; a line longer than maxLength bytes is cut after
// maxLength and the rest of it skipped, however long it is.
class TextLineReader {
  public:
    explicit TextLineReader(QIODevice& in, int maxLength = 179);
    // The next line without its end; false at the end of the input.
    bool next(QByteArray& line);
    // A read of the device failed (as opposed to its end).
    bool failed() const { return m_failed; }
    // The line last returned by next() was longer than maxLength and cut.
    bool lineCut() const { return m_cut; }
    // The line last returned ended with a line end (not only the input).
    bool lineEnded() const { return m_ended; }

  private:
    bool fill();

    QIODevice& m_in;
    int m_max;
    QByteArray m_buf;
    qsizetype m_pos = 0;
    bool m_end = false;
    bool m_failed = false;
    bool m_cut = false;
    bool m_ended = false;
};

} // namespace tq
