#include "BlockTransfer.h"

#include "MemoryLayout.h"
#include "Protocol.h"

#include <algorithm>

namespace tq {

BlockTransfer::BlockTransfer(Mode mode, quint8 fillByte, MemoryImage& image)
    : m_mode(mode), m_fill(fillByte), m_image(image) {
    m_image.clear();
}

void BlockTransfer::start(qint64 nowMs) {
    m_lastBlockMs = nowMs;
}

qint64 BlockTransfer::nextDeadlineMs() const {
    const qint64 silence = m_lastBlockMs + kSilenceMs;
    // "More than 1.5 s": the first millisecond past it.
    return m_pending.isEmpty() ? silence : std::min(silence, m_lastBlockMs + kPartialMs + 1);
}

bool BlockTransfer::complete() const {
    const bool directoryCut = m_received > 0 && m_received < memory::kDirectorySize;
    return m_received >= m_total && !directoryCut;
}

BlockTransfer::Answer BlockTransfer::step(const QByteArray& arrived, qint64 nowMs) {
    if (m_done) return {};
    if (nowMs - m_lastBlockMs >= kSilenceMs || m_retries > kMaxRetries) {
        m_done = true;
        return {};
    }
    m_pending.append(arrived);
    Answer answer;
    if (m_pending.size() >= kBlockLength) {
        answer = takeBlock();
        m_lastBlockMs = nowMs;
    } else if (!m_pending.isEmpty() && nowMs - m_lastBlockMs > kPartialMs) {
        answer = dropPartial(nowMs);
    }
    if (m_retries > kMaxRetries) m_done = true;
    return answer;
}

BlockTransfer::Answer BlockTransfer::takeBlock() {
    // Only the first 67 bytes count; whatever came with them is dropped.
    const QByteArray block = m_pending.left(kBlockLength);
    m_pending.clear();
    quint8 sum = 0;
    for (int i = 1; i <= kPayload; ++i) {
        const quint8 b = quint8(block.at(i));
        m_image.append(b);
        sum = quint8(sum + b);
    }
    m_received += kPayload;

    Answer answer;
    answer.blockHandled = true;
    if (sum != quint8(block.at(kPayload + 1))) {
        ++m_retries;
        m_image.removeLast(kPayload);
        m_received -= kPayload;
        answer.send = protocol::plainCommand(protocol::kRefuse);
        return answer;
    }
    answer.send = protocol::plainCommand(protocol::kAccept);
    if (m_received == memory::kDirectorySize) {
        if (m_mode == Mode::Directory) {
            m_done = true;
        } else {
            parseDirectory();
            answer.totalLearned = true;
        }
    }
    // No logger holds more; a device that keeps sending is cut off here.
    if (m_received >= memory::kMaxMemorySize) m_done = true;
    return answer;
}

BlockTransfer::Answer BlockTransfer::dropPartial(qint64 nowMs) {
    m_pending.clear();
    ++m_retries;
    m_lastBlockMs = nowMs;
    Answer answer;
    answer.blockHandled = true;
    answer.send = protocol::plainCommand(protocol::kRefuse);
    return answer;
}

void BlockTransfer::parseDirectory() {
    const ByteReader directory = m_image.reader();
    m_dataSetCount = countDataSets(directory, m_fill);
    m_total = downloadTotal(directory, m_dataSetCount);
}

} // namespace tq
