#include "MemoryImage.h"

namespace tq {

void MemoryImage::removeLast(qsizetype n) {
    if (n <= 0) return;
    if (n >= size())
        m_bytes.clear();
    else
        m_bytes.resize(m_bytes.size() - size_t(n));
}

quint8 MemoryImage::byteAt(qsizetype offset) const {
    if (offset < 0 || offset >= size()) return 0;
    return m_bytes[size_t(offset)];
}

} // namespace tq
