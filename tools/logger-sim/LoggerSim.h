#pragma once

#include "CommandParser.h"
#include "OutputQueue.h"
#include "SimDevice.h"
#include "SimTypes.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <mutex>
#include <thread>

namespace tq::sim {

// A logger of model 860 or 862 behind a pseudo-terminal. The program opens
// devicePath() like any serial port; the logger answers on its own thread.
// Every public method may be called from any thread while it runs.
class LoggerSim {
  public:
    explicit LoggerSim(int model);
    ~LoggerSim();
    LoggerSim(const LoggerSim&) = delete;
    LoggerSim& operator=(const LoggerSim&) = delete;

    bool start(QString* error);
    void stop();
    bool isRunning() const;
    QString devicePath() const;
    int model() const;

    // Memory. Block k of a download carries bytes 64k..64k+63 of the image;
    // a short last block is padded with the fill byte.
    void setDataSets(const QVector<SimDataSet>& sets);
    void setMemoryImage(const QByteArray& image); // raw, for hostile cases
    QByteArray memoryImage() const;
    void clearMemory();
    static QVector<SimDataSet> demoDataSets(int count, int samplesEach);
    // Data sets whose memory is memoryBytes long (rounded up to whole
    // blocks; at least the directory, at most 16 MiB).
    static QVector<SimDataSet> dataSetsFilling(qint64 memoryBytes);

    // Display and identity.
    void setLiveState(const LiveState& state);
    LiveState liveState() const;
    void setLiveDrift(bool on);
    // Stopping a run stores it as a new data set (current interval and unit).
    void setRecording(bool on);
    void setFirmwareText(const QByteArray& text);
    void setSearchReply(const QByteArray& reply); // empty: the model's own

    // Settings as the setup commands left them.
    bool unitFahrenheit() const;
    int intervalSeconds() const;
    void setIntervalSeconds(int seconds);
    qint64 clockOffsetSeconds() const;
    void setClockOffsetSeconds(qint64 seconds);
    QDateTime loggerClock() const;

    // Faults. Blocks count from 0 within a transfer; times = kAlways makes
    // a block fault strike every time the block goes out.
    static constexpr int kAlways = SimDevice::kAlways;
    void setSilent(bool on);
    void setBadChecksumBlock(int block, int times = 1);
    void setTruncatedBlock(int block, int times = 1);
    // The logger falls silent after sending block k (-1: off).
    void setSilentAfterBlock(int block);
    // The device is removed when block k + 1 is due (-1: off).
    void setUnplugAfterBlock(int block);
    // The device is removed now: the pseudo-terminal closes, the program's
    // port hangs up. Nothing is served until stop().
    void unplug();
    bool unplugged() const;
    void setEraseRefused(bool on);
    void setClockReply(const QByteArray& reply); // empty: the clock itself
    void setGarbageBefore(const QByteArray& bytes);
    void setPacing(bool on);
    void setReplyDelayMs(int ms);

    // Observation: every complete command as it came (a wake byte is a
    // one-byte entry), also while silent; the most recent 100000 are kept.
    QVector<QByteArray> receivedCommands() const;
    int liveRequests() const;
    void clearLog();

  private:
    void run();
    // Called with the mutex held.
    void wake();
    // Reads and answers what the PC sent; false when nothing came.
    bool serveInput();
    // Writes what may leave now; false when the port is full.
    bool flushOutput(qint64 nowNs);
    void closeFds();
    // Called with the mutex held, on the serving thread.
    void closeLine();

    mutable std::mutex m_mutex;
    SimDevice m_device;
    CommandParser m_parser;
    OutputQueue m_output;
    QByteArray m_garbage;
    int m_replyDelayMs = 0;
    bool m_pacing = false;
    bool m_silent = false;
    QVector<QByteArray> m_log;
    int m_liveRequests = 0;

    QString m_path;
    int m_master = -1;
    int m_slave = -1;
    int m_wakeFd = -1;
    bool m_stopping = false;
    bool m_unplugged = false;
    std::thread m_thread;
};

} // namespace tq::sim
