#pragma once

#include "ByteReader.h"

#include <QtGlobal>
#include <vector>

namespace tq {

// The logger memory as it arrives from a download or a collection file:
// byte 0 is logger memory address 0. Transient: filled, decoded, emptied.
class MemoryImage {
  public:
    void clear() { m_bytes.clear(); }
    void append(quint8 byte) { m_bytes.push_back(byte); }
    // Removing more bytes than there are empties the image.
    void removeLast(qsizetype n);
    qsizetype size() const { return qsizetype(m_bytes.size()); }
    // 0 outside the image, so a decoder reading one byte too far sees a
    // neutral value instead of foreign memory.
    quint8 byteAt(qsizetype offset) const;
    const quint8* data() const { return m_bytes.data(); }
    ByteReader reader() const { return ByteReader(m_bytes.data(), size()); }

  private:
    std::vector<quint8> m_bytes;
};

} // namespace tq
