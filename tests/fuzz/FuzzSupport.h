#pragma once

// What every fuzz harness shares: the libFuzzer entry points, a check that
// ends the run loudly (libFuzzer and the replay driver both count an abort
// as a finding), and a small reader of the option bytes and piece sizes a
// harness takes from the front of its input.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
// Optional: a harness that needs set-up (a QApplication) defines it.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) __attribute__((weak));

#define FUZZ_CHECK(cond)                                                                                     \
    do {                                                                                                     \
        if (!(cond)) {                                                                                       \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond);                    \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (0)

namespace tq::fuzz {

// The input split into option bytes at the front and the payload after them.
class Input {
  public:
    Input(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    // The next option byte; 0 once the input is used up.
    uint8_t option() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    // Four option bytes as one number, e.g. the seed of the piece sizes.
    uint32_t option32() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v = (v << 8) | option();
        return v;
    }
    const char* rest() const { return reinterpret_cast<const char*>(m_data + m_pos); }
    size_t restSize() const { return m_size - m_pos; }

  private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

// Piece sizes 1 ... maxPiece from a seed (xorshift): the same input is
// always cut the same way, and a mutated seed cuts it another way.
class Pieces {
  public:
    Pieces(uint32_t seed, int maxPiece) : m_state(seed | 1u), m_max(maxPiece < 1 ? 1 : maxPiece) {}
    int next() {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return 1 + int(m_state % uint32_t(m_max));
    }

  private:
    uint32_t m_state;
    int m_max;
};

// Qt's warnings would drown the fuzzer's own output; fatal messages still abort.
void silenceQtMessages();

} // namespace tq::fuzz
