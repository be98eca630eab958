#pragma once

#include "CommandParser.h"
#include "SimTypes.h"

#include <QByteArray>
#include <QDateTime>

namespace tq::sim {

// The logger itself: its settings, memory, display and block transfer, and
// the reply to each command. No I/O and no locking; LoggerSim serialises
// access and moves the bytes.
class SimDevice {
  public:
    // Sampling intervals, in seconds, by the index the set command sends.
    static constexpr int kIntervals[] = {1, 2, 5, 10, 15, 20, 30, 60, 120, 300, 600, 1200, 1800, 3600};
    static constexpr int kTruncatedLength = 30;
    // What a recording may hold; a run left on for days stops there.
    static constexpr int kMaxRecordedSamples = 32000;
    // A fault's repeat count that never runs out.
    static constexpr int kAlways = -1;
    // The largest memory a logger holds.
    static constexpr qint64 kMaxMemory = 16 * 1024 * 1024;

    explicit SimDevice(int model);

    int model() const { return m_model; }

    // The reply to one command (empty when the logger stays quiet). now is
    // the PC's local time, the base of the logger clock.
    QByteArray handle(const Command& command, const QDateTime& now);

    // An image beyond kMaxMemory is cut there.
    void setMemory(const QByteArray& image);
    const QByteArray& memory() const { return m_memory; }
    void erase();

    void setLiveState(const LiveState& state) { m_live = state; }
    LiveState liveState() const { return m_live; }
    void setLiveDrift(bool on) { m_drift = on; }
    // Starting and stopping a run; stopping stores it as a new data set with
    // the current interval and unit.
    void setRecording(bool on, const QDateTime& now);
    bool recording() const { return m_live.status & status::kRecording; }

    void setFirmwareText(const QByteArray& text) { m_firmware = text; }
    void setSearchReply(const QByteArray& reply) { m_searchReply = reply; }

    bool fahrenheit() const { return m_fahrenheit; }
    int intervalSeconds() const { return m_intervalSeconds; }
    void setIntervalSeconds(int seconds) { m_intervalSeconds = seconds; }
    qint64 clockOffsetSeconds() const { return m_clockOffset; }
    void setClockOffsetSeconds(qint64 seconds) { m_clockOffset = seconds; }
    QDateTime clock(const QDateTime& now) const { return now.addSecs(m_clockOffset); }

    // times: how often the fault strikes block k; kAlways for every time.
    void setBadChecksumBlock(int block, int times) { m_badChecksum = {block, times}; }
    void setTruncatedBlock(int block, int times) { m_truncated = {block, times}; }
    // Blocks after block k are not sent (-1: off).
    void setSilentAfterBlock(int block) { m_silentAfter = block; }
    // Instead of the block after block k the line goes dead (-1: off); the
    // owner of the port sees unplugRequested().
    void setUnplugAfterBlock(int block) {
        m_unplugAfter = block;
        m_unplugRequested = false;
    }
    bool unplugRequested() const { return m_unplugRequested; }
    // Erase answers 'N' and keeps the memory.
    void setEraseRefused(bool on) { m_eraseRefused = on; }
    // A fixed answer to the clock request (empty: the clock itself).
    void setClockReply(const QByteArray& reply) { m_clockReply = reply; }

    bool transferRunning() const { return m_transfer.active; }

  private:
    struct Fault {
        int block = -1;
        int times = 0;
        bool hits(int k) const { return k == block && times != 0; }
        void use() {
            if (times > 0) --times;
        }
    };
    struct Transfer {
        bool active = false;
        int block = 0;
        int blocks = 0;
        bool waitingForRefuse = false; // after a truncated block
    };

    QByteArray searchReply() const;
    QByteArray liveFrame();
    QByteArray clockReply(const QDateTime& now) const;
    QByteArray setClock(const QByteArray& params, const QDateTime& now);
    QByteArray setUnit(char unit);
    QByteArray setIntervalIndex(int index);
    QByteArray startTransfer(int maxBlocks);
    QByteArray acknowledge(bool accepted);
    QByteArray sendBlock();
    qint16 driftOffset(qint64 step, double scale) const;

    int m_model;
    QByteArray m_memory;
    LiveState m_live;
    bool m_drift = false;
    qint64 m_frames = 0;
    QDateTime m_recordingStart;
    QByteArray m_firmware = "V1.02.003";
    QByteArray m_searchReply;
    bool m_fahrenheit = false;
    int m_intervalSeconds = 2;
    qint64 m_clockOffset = 0;
    Fault m_badChecksum;
    Fault m_truncated;
    int m_silentAfter = -1;
    int m_unplugAfter = -1;
    bool m_unplugRequested = false;
    bool m_eraseRefused = false;
    QByteArray m_clockReply;
    Transfer m_transfer;
};

} // namespace tq::sim
