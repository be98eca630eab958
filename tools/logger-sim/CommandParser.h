#pragma once

#include <QByteArray>
#include <QVector>

namespace tq::sim {

// One command as the logger received it.
struct Command {
    enum class Kind { Plain, Checksummed, Wake };
    Kind kind = Kind::Plain;
    char letter = 0;
    QByteArray params;
    QByteArray raw; // the bytes exactly as they came
};

// Cuts commands out of the bytes the PC sends: plain (EF letter params FE),
// checksummed (02 letter params sum|0x80 03) and single wake bytes (00).
// Anything else is skipped byte by byte until a start mark.
class CommandParser {
  public:
    // Parameter bytes that follow the letter; unknown letters take none.
    static int paramCount(char letter);

    // Appends bytes received at nowMs (any monotonic milliseconds) and
    // returns every command completed by them, in order.
    QVector<Command> feed(const QByteArray& bytes, qint64 nowMs);

    int pendingBytes() const { return int(m_buffer.size()); }

  private:
    QByteArray m_buffer;
    qint64 m_lastMs = 0;
};

} // namespace tq::sim
