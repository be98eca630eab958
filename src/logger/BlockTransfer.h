#pragma once

#include "MemoryImage.h"

#include <QByteArray>
#include <QtGlobal>

namespace tq {

// The logger's block protocol as a step machine, with no I/O of its own.
// After the request (EF 44 FE for the memory, EF 64 FE for the directory)
// the logger sends 67-byte blocks: a lead byte, 64 bytes of memory, their
// sum modulo 256, a trail byte. Each is accepted (EF 79 FE) or refused
// (EF 6E FE, the logger sends it again). The caller feeds what arrived and
// the time; the machine says what to send and when the transfer is over.
class BlockTransfer {
  public:
    enum class Mode {
        Memory,   // the whole memory; the directory is parsed at 256 bytes
        Directory // the setup dialog's read: over once 256 bytes are accepted
    };

    static constexpr int kBlockLength = 67;
    static constexpr int kPayload = 64;
    static constexpr int kMaxRetries = 20;     // one more ends the transfer
    static constexpr qint64 kPartialMs = 1500; // an incomplete block is given up after this
    static constexpr qint64 kSilenceMs = 3000; // no complete block for this long ends it

    struct Answer {
        QByteArray send;           // accept, refuse or nothing
        bool blockHandled = false; // a block was accepted or refused, or a partial one dropped
        bool totalLearned = false; // the directory was parsed in this step
    };

    // image receives the memory from address 0; it is emptied here.
    BlockTransfer(Mode mode, quint8 fillByte, MemoryImage& image);

    // The request went out at nowMs.
    void start(qint64 nowMs);
    // arrived: the bytes read since the last step (may be empty).
    Answer step(const QByteArray& arrived, qint64 nowMs);

    bool done() const { return m_done; }
    // When step must run again even if nothing arrives.
    qint64 nextDeadlineMs() const;

    qint64 received() const { return m_received; }
    qint64 total() const { return m_total; }
    int dataSetCount() const { return m_dataSetCount; }
    int retries() const { return m_retries; }
    // Memory mode: everything the directory announced arrived. A transfer
    // that broke off inside the directory is not complete either, though
    // no total was learned yet.
    bool complete() const;

  private:
    Answer takeBlock();
    Answer dropPartial(qint64 nowMs);
    void parseDirectory();

    Mode m_mode;
    quint8 m_fill;
    MemoryImage& m_image;
    QByteArray m_pending; // bytes of the block under way
    qint64 m_lastBlockMs = 0;
    qint64 m_received = 0;
    qint64 m_total = 0;
    int m_dataSetCount = 0;
    int m_retries = 0;
    bool m_done = false;
};

} // namespace tq
