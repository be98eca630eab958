#pragma once

#include "DeviceJob.h"

#include <QElapsedTimer>
#include <QObject>
#include <deque>
#include <functional>
#include <memory>

class QTimer;

namespace tq {

class TComPort;

// The one owner of the serial device. It holds the port and runs one job at
// a time: the queued jobs in order, and whenever none waits, the idle job on
// top of its stack (the live link, or the setup dialog's clock while that
// is open). Every pause is a single-shot timer and every byte arrives
// through the port's read notification: nothing here waits inside a
// handler. A device picked while a job runs is switched to afterwards.
class DeviceSession : public QObject {
    Q_OBJECT
  public:
    using Finished = std::function<void(DeviceJob&)>;

    explicit DeviceSession(QObject* parent = nullptr);
    ~DeviceSession() override;

    TComPort& port() const { return *m_port; }
    QString deviceName() const;
    // Now when only an idle job has the device; after the running job otherwise.
    void setDevice(const QString& name);
    // Closes the port, sets the rate and reopens it after the pause.
    void setBaudRate(int baud, int pauseBeforeOpenMs);
    // Closes and reopens the idle job's port after the pause.
    void reopen(int pauseBeforeOpenMs);

    // Idle jobs are not owned; the last pushed runs when nothing is queued.
    void pushIdle(DeviceJob* job, int beforeOpenMs = 0, int afterOpenMs = 0);
    // The job below takes the port after these pauses.
    void removeIdle(DeviceJob* job, int beforeOpenMs = 0, int afterOpenMs = 0);
    bool idleRunning(const DeviceJob* job) const { return m_current == job && m_phase == Phase::Running; }
    // The idle job that runs when nothing is queued.
    const DeviceJob* idleTop() const { return m_idle.empty() ? nullptr : m_idle.back(); }

    // finished runs once the job is over, on every path (cancelled too).
    DeviceJob* queue(std::unique_ptr<DeviceJob> job, Finished finished = {});
    // A queued or running job ends at once with Cancelled.
    void cancel(DeviceJob* job);

    // While held, no idle job takes the port: a command keeps the device
    // between its jobs (a download's Try Again). release gives it back
    // after the pauses given.
    void hold();
    void release(int beforeOpenMs, int afterOpenMs);

    // A queued job waits or runs, or a command holds the device.
    bool busy() const;
    // The program is ending: every job is cancelled, the port closed, and
    // nothing starts again.
    void shutdown();
    bool ended() const { return m_ended; }

    // Milliseconds on the session's monotonic clock.
    qint64 now() const { return m_clock.elapsed(); }

  signals:
    void busyChanged(bool busy);

  private:
    enum class Phase { None, Settling, Starting, Running };
    struct Entry {
        std::unique_ptr<DeviceJob> job;
        Finished finished;
    };

    void scheduleAdvance();
    void advance();
    void begin(DeviceJob* job, bool queued);
    void openForJob();
    void startJob();
    void apply(JobStep step);
    void onBytes();
    void onTimer();
    void onPortLost(const QString& why);
    void finish();
    Outcome openPort(PortRole role);
    void closePort();
    bool currentIsIdle() const { return m_current && !m_currentEntry.job; }
    void noteBusy();

    TComPort* m_port;
    QTimer* m_timer;
    QElapsedTimer m_clock;
    std::deque<Entry> m_queue;
    std::vector<DeviceJob*> m_idle;
    DeviceJob* m_current = nullptr;
    Entry m_currentEntry; // the running queued job (empty for an idle job)
    Phase m_phase = Phase::None;
    bool m_portOpen = false;
    QString m_openError; // why the last opening failed
    int m_resumeBeforeMs = 0;
    int m_resumeAfterMs = 0;
    int m_holds = 0;
    bool m_ended = false;
    bool m_advanceQueued = false;
    bool m_lastBusy = false;
    QString m_pendingDevice;
    int m_pendingBaud = 0;
};

} // namespace tq
