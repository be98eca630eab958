#include "CommandParser.h"

namespace tq::sim {

namespace {
constexpr char kStart = char(0xEF);
constexpr char kEnd = char(0xFE);
constexpr char kStx = 0x02;
constexpr char kEtx = 0x03;
constexpr char kWake = 0x00;
// The PC writes a command in one go, so its bytes arrive within a few
// milliseconds. An unfinished command left after a longer pause (the program
// closed the port halfway) must not swallow the next real command.
constexpr qint64 kStaleMs = 200;
} // namespace

int CommandParser::paramCount(char letter) {
    switch (letter) {
    case 't':
        return 6;
    case 'S':
    case 'e':
        return 1;
    case 'i':
        return 2;
    default:
        return 0;
    }
}

QVector<Command> CommandParser::feed(const QByteArray& bytes, qint64 nowMs) {
    if (!m_buffer.isEmpty() && nowMs - m_lastMs > kStaleMs) m_buffer.clear();
    m_lastMs = nowMs;
    m_buffer.append(bytes);

    QVector<Command> out;
    qsizetype pos = 0;
    const qsizetype size = m_buffer.size();
    while (pos < size) {
        const char b = m_buffer.at(pos);
        if (b == kWake) {
            out.append({Command::Kind::Wake, 0, {}, QByteArray(1, kWake)});
            ++pos;
            continue;
        }
        if (b != kStart && b != kStx) {
            ++pos;
            continue;
        }
        if (size - pos < 2) break;
        const char letter = m_buffer.at(pos + 1);
        const int k = paramCount(letter);
        const qsizetype length = (b == kStart) ? 3 + k : 4 + k;
        if (size - pos < length) break;
        const QByteArray params = m_buffer.mid(pos + 2, k);
        bool valid = false;
        if (b == kStart) {
            valid = m_buffer.at(pos + length - 1) == kEnd;
        } else {
            quint8 sum = quint8(letter);
            for (char p : params)
                sum = quint8(sum + quint8(p));
            valid = quint8(m_buffer.at(pos + length - 2)) == quint8(sum | 0x80) &&
                    m_buffer.at(pos + length - 1) == kEtx;
        }
        if (!valid) {
            ++pos; // a stray start mark: rescan from the next byte
            continue;
        }
        out.append({b == kStart ? Command::Kind::Plain : Command::Kind::Checksummed, letter, params,
                    m_buffer.mid(pos, length)});
        pos += length;
    }
    m_buffer.remove(0, pos);
    return out;
}

} // namespace tq::sim
