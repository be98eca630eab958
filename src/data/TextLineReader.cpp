#include "TextLineReader.h"

namespace tq {

namespace {
constexpr qint64 kChunk = 64 * 1024;
}

TextLineReader::TextLineReader(QIODevice& in, int maxLength) : m_in(in), m_max(maxLength) {}

bool TextLineReader::fill() {
    if (m_end) return false;
    m_buf.remove(0, m_pos);
    m_pos = 0;
    const qsizetype had = m_buf.size();
    m_buf.resize(had + kChunk);
    const qint64 n = m_in.read(m_buf.data() + had, kChunk);
    if (n <= 0) {
        m_buf.resize(had);
        m_end = true;
        m_failed = n < 0;
        return false;
    }
    m_buf.resize(had + qsizetype(n));
    return true;
}

bool TextLineReader::next(QByteArray& line) {
    line.clear();
    m_cut = false;
    m_ended = false;
    bool any = false;
    for (;;) {
        if (m_pos >= m_buf.size() && !fill()) return any;
        any = true;
        const char* p = m_buf.constData() + m_pos;
        const qsizetype avail = m_buf.size() - m_pos;
        qsizetype i = 0;
        while (i < avail && p[i] != '\n' && p[i] != '\r')
            ++i;
        const qsizetype room = m_max - line.size();
        if (room > 0) line.append(p, qMin(i, room));
        if (i > room) m_cut = true;
        m_pos += i;
        if (i == avail) continue; // the line goes on in the next chunk
        // A line end: CR LF counts as one.
        if (m_buf[m_pos] == '\r') {
            ++m_pos;
            if (m_pos >= m_buf.size()) fill();
            if (m_pos < m_buf.size() && m_buf[m_pos] == '\n') ++m_pos;
        } else {
            ++m_pos;
        }
        m_ended = true;
        return true;
    }
}

} // namespace tq
