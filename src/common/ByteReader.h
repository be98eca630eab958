#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <cstring>
#include <stdexcept>
#include <type_traits>

namespace tq {

// A sequential read found fewer bytes left than it needed; what() names the field.
struct ByteReadError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The one reader of little-endian byte layouts (live frames, memory images,
// chart state). It never reads outside the bytes it was given: random access
// reads a byte outside as 0, sequential reads throw ByteReadError.
class ByteReader {
  public:
    ByteReader(const void* data, qsizetype size)
        : m_data(static_cast<const quint8*>(data)), m_size(size < 0 ? 0 : size) {}
    explicit ByteReader(const QByteArray& bytes) : ByteReader(bytes.constData(), bytes.size()) {}

    qsizetype size() const { return m_size; }
    qsizetype pos() const { return m_pos; }
    qsizetype left() const { return m_size - m_pos; }
    // True when offset ... offset + n - 1 all lie inside.
    bool has(qsizetype offset, qsizetype n) const { return offset >= 0 && n >= 0 && n <= m_size - offset; }

    // Random access; a byte outside reads as 0.
    quint8 u8At(qsizetype offset) const { return has(offset, 1) ? m_data[offset] : 0; }
    quint16 u16At(qsizetype offset) const { return quint16(u8At(offset) | (u8At(offset + 1) << 8)); }
    qint16 i16At(qsizetype offset) const { return qint16(u16At(offset)); }
    quint32 u32At(qsizetype offset) const {
        return quint32(u16At(offset)) | (quint32(u16At(offset + 2)) << 16);
    }

    // Sequential reads from pos().
    quint8 u8(const char* what) { return take<quint8>(what); }
    quint16 u16(const char* what) { return take<quint16>(what); }
    qint16 i16(const char* what) { return take<qint16>(what); }
    quint32 u32(const char* what) { return take<quint32>(what); }
    qint32 i32(const char* what) { return take<qint32>(what); }
    quint64 u64(const char* what) { return take<quint64>(what); }
    float f32(const char* what) { return take<float>(what); }
    double f64(const char* what) { return take<double>(what); }
    // The next n bytes, which stay owned by the caller's buffer.
    const char* bytes(qsizetype n, const char* what) {
        need(n, what);
        const char* p = reinterpret_cast<const char*>(m_data + m_pos);
        m_pos += n;
        return p;
    }
    void skip(qsizetype n, const char* what) { bytes(n, what); }
    // n values of T into dst, checked as a whole before any is read.
    template <typename T> void array(T* dst, qsizetype n, const char* what) {
        if (n < 0 || n > left() / qsizetype(sizeof(T))) fail(what);
        for (qsizetype i = 0; i < n; ++i)
            dst[i] = take<T>(what);
    }

    [[noreturn]] static void fail(const char* what) {
        throw ByteReadError(std::string("truncated at ") + what);
    }

  private:
    void need(qsizetype n, const char* what) const {
        if (n < 0 || n > left()) fail(what);
    }
    template <typename T> T take(const char* what) {
        static_assert(std::is_arithmetic_v<T>);
        need(qsizetype(sizeof(T)), what);
        // Assembled byte by byte, least significant first, whatever the host order.
        using U =
            std::conditional_t<sizeof(T) == 1, quint8,
                               std::conditional_t<sizeof(T) == 2, quint16,
                                                  std::conditional_t<sizeof(T) == 4, quint32, quint64>>>;
        U bits = 0;
        for (size_t i = 0; i < sizeof(T); ++i)
            bits |= U(U(m_data[m_pos + qsizetype(i)]) << (8 * i));
        m_pos += qsizetype(sizeof(T));
        T v;
        std::memcpy(&v, &bits, sizeof(T));
        return v;
    }

    const quint8* m_data;
    qsizetype m_size;
    qsizetype m_pos = 0;
};

} // namespace tq
