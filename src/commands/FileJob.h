#pragma once

#include "Progress.h"

#include <QObject>
#include <QPointer>

#include <atomic>
#include <exception>
#include <functional>
#include <memory>

class QThread;
class QTimer;

namespace tq {

class TfrmScope;

// Progress a worker thread reports and the window's thread reads.
class SharedProgress : public Progress {
  public:
    void setMaximum(qint64 maximum) override { m_maximum = maximum; }
    void setValue(qint64 value) override { m_value = value; }
    bool cancelled() const override { return m_cancelled; }
    void cancel() { m_cancelled = true; }
    qint64 maximum() const { return m_maximum; }
    qint64 value() const { return m_value; }

  private:
    std::atomic<qint64> m_maximum{-1};
    std::atomic<qint64> m_value{0};
    std::atomic<bool> m_cancelled{false};
};

// A long file job (reading or writing a text file) run on a worker thread
// while its progress window stays live: the window follows the job from a
// timer and its Cancel button stops it. The work touches no widget; what it
// produced is applied in `done`, on this thread, after the work ended.
class FileJob : public QObject {
    Q_OBJECT
  public:
    using Work = std::function<void(Progress&)>;
    // cancelled: the user pressed Cancel (whatever the work got to);
    // error: what the work threw, or null.
    using Done = std::function<void(bool cancelled, std::exception_ptr error)>;

    // Takes the window (already set up and shown); the job deletes itself
    // after `done`. With its parent the job ends early and `done` is not run.
    static FileJob* start(std::unique_ptr<TfrmScope> window, Work work, Done done, QObject* parent);

    ~FileJob() override;

    TfrmScope* window() const { return m_window.data(); }

  private:
    FileJob(std::unique_ptr<TfrmScope> window, Work work, Done done, QObject* parent);
    void showProgress();
    void finish();

    QPointer<TfrmScope> m_window; // owned, unless its parent window goes first
    Work m_work;
    Done m_done;
    SharedProgress m_progress;
    std::exception_ptr m_error;
    QThread* m_thread = nullptr;
    QTimer* m_timer = nullptr;
    qint64 m_shownMaximum = -1;
};

} // namespace tq
