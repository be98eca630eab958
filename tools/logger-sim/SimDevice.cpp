#include "SimDevice.h"

#include "SimMemory.h"

#include <QtMath>

#include <algorithm>

namespace tq::sim {

namespace {
constexpr char kStart = char(0xEF);
constexpr char kEnd = char(0xFE);

QByteArray framed(const QByteArray& payload) {
    return kStart + payload + kEnd;
}
QByteArray yes() {
    return framed("Y");
}
QByteArray no() {
    return framed("N");
}

void putLe16(QByteArray& out, qint16 value) {
    out.append(char(quint16(value) & 0xFF));
    out.append(char(quint16(value) >> 8));
}
} // namespace

SimDevice::SimDevice(int model) : m_model(model == 862 ? 862 : 860), m_memory(memory::erased(m_model)) {}

QByteArray SimDevice::handle(const Command& command, const QDateTime& now) {
    if (command.kind == Command::Kind::Wake ||
        command.params.size() < CommandParser::paramCount(command.letter))
        return {};
    switch (command.letter) {
    case 'M':
        return searchReply();
    case 'A':
        return liveFrame();
    case 'V':
        return framed(m_firmware);
    case 'D':
        return startTransfer(-1);
    case 'd':
        return startTransfer(memory::kDirectorySize / memory::kBlockSize);
    case 'y':
        return acknowledge(true);
    case 'n':
        return acknowledge(false);
    case 'T':
        return m_clockReply.isEmpty() ? clockReply(now) : m_clockReply;
    case 't':
        return setClock(command.params, now);
    case 'S':
        return setUnit(command.params.at(0));
    case 'I': {
        QByteArray reply(1, kStart);
        putLe16(reply, qint16(m_intervalSeconds));
        return reply + kEnd;
    }
    case 'i':
        return setIntervalIndex(quint8(command.params.at(0)));
    case 'e':
        if (m_eraseRefused) return no();
        erase();
        return yes();
    default:
        return {};
    }
}

void SimDevice::setMemory(const QByteArray& image) {
    m_memory = image.left(kMaxMemory);
    m_transfer = {};
}

void SimDevice::erase() {
    setMemory(memory::erased(m_model));
}

void SimDevice::setRecording(bool on, const QDateTime& now) {
    if (on == recording()) return;
    if (on) {
        m_live.status |= status::kRecording;
        m_recordingStart = clock(now);
        return;
    }
    m_live.status &= quint8(~status::kRecording);
    SimDataSet set;
    set.start = m_recordingStart;
    set.intervalSeconds = m_intervalSeconds;
    set.flags = m_fahrenheit ? 1 : 0;
    const qint64 elapsed = std::max<qint64>(0, m_recordingStart.secsTo(clock(now)));
    const qint64 count = std::min<qint64>(elapsed / std::max(1, m_intervalSeconds) + 1, kMaxRecordedSamples);
    for (qint64 i = 0; i < count; ++i)
        set.samples.append(qint16(m_live.primary + driftOffset(i, 4.0)));
    memory::appendDataSet(m_memory, memory::fillByte(m_model), set);
}

QByteArray SimDevice::searchReply() const {
    if (!m_searchReply.isEmpty()) return m_searchReply;
    return framed(m_model == 862 ? "862" : "860");
}

qint16 SimDevice::driftOffset(qint64 step, double scale) const {
    return qint16(qRound(scale * qSin(double(step) * 0.15)));
}

QByteArray SimDevice::liveFrame() {
    LiveState state = m_live;
    if (m_drift) {
        state.primary = qint16(state.primary + driftOffset(m_frames, 4.0));
        state.secondary = qint16(state.secondary + driftOffset(m_frames + 10, 10.0));
    }
    ++m_frames;

    QByteArray frame(1, kStart);
    putLe16(frame, state.primary);
    if (m_model == 862) putLe16(frame, state.secondary);
    frame.append(char(state.batteryBars));
    frame.append(char(state.memoryBars));
    frame.append(char(state.status));
    frame.append(char(0));
    frame.append(kEnd);
    return frame;
}

QByteArray SimDevice::clockReply(const QDateTime& now) const {
    const QDateTime t = clock(now);
    QByteArray reply(1, kStart);
    reply.append(char(t.date().year() % 100));
    reply.append(char(t.date().month()));
    reply.append(char(t.date().day()));
    reply.append(char(t.time().hour()));
    reply.append(char(t.time().minute()));
    reply.append(char(t.time().second()));
    return reply + kEnd;
}

QByteArray SimDevice::setClock(const QByteArray& p, const QDateTime& now) {
    const QDate date(2000 + quint8(p.at(0)), quint8(p.at(1)), quint8(p.at(2)));
    const QTime time(quint8(p.at(3)), quint8(p.at(4)), quint8(p.at(5)));
    if (!date.isValid() || !time.isValid()) return no();
    m_clockOffset = now.secsTo(QDateTime(date, time));
    return yes();
}

QByteArray SimDevice::setUnit(char unit) {
    if (unit != 0 && unit != 1) return no();
    m_fahrenheit = unit == 1;
    m_live.status = quint8((m_live.status & ~(status::kCelsius | status::kFahrenheit)) |
                           (m_fahrenheit ? status::kFahrenheit : status::kCelsius));
    return yes();
}

QByteArray SimDevice::setIntervalIndex(int index) {
    if (index < 0 || index >= int(std::size(kIntervals))) return no();
    m_intervalSeconds = kIntervals[index];
    return yes();
}

QByteArray SimDevice::startTransfer(int maxBlocks) {
    int blocks = int((m_memory.size() + memory::kBlockSize - 1) / memory::kBlockSize);
    if (maxBlocks >= 0) blocks = std::min(blocks, maxBlocks);
    m_transfer = {true, 0, blocks, false};
    return sendBlock();
}

QByteArray SimDevice::acknowledge(bool accepted) {
    if (!m_transfer.active) return {};
    if (accepted) {
        if (m_transfer.waitingForRefuse) return {};
        ++m_transfer.block;
    }
    m_transfer.waitingForRefuse = false;
    return sendBlock();
}

QByteArray SimDevice::sendBlock() {
    const int k = m_transfer.block;
    if (k >= m_transfer.blocks) {
        m_transfer.active = false;
        return {};
    }
    if (m_unplugAfter >= 0 && k > m_unplugAfter) {
        m_unplugRequested = true;
        return {};
    }
    if (m_silentAfter >= 0 && k > m_silentAfter) return {};
    QByteArray content = m_memory.mid(qsizetype(k) * memory::kBlockSize, memory::kBlockSize);
    content.append(QByteArray(memory::kBlockSize - content.size(), char(memory::fillByte(m_model))));
    quint8 sum = 0;
    for (char c : content)
        sum = quint8(sum + quint8(c));

    QByteArray block = kStart + content;
    if (m_truncated.hits(k)) {
        m_truncated.use();
        m_transfer.waitingForRefuse = true;
        return block.left(kTruncatedLength);
    }
    if (m_badChecksum.hits(k)) {
        m_badChecksum.use();
        sum = quint8(sum + 1);
    }
    block.append(char(sum));
    return block + kEnd;
}

} // namespace tq::sim
