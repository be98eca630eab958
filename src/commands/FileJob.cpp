#include "FileJob.h"

#include "CommandGuard.h"
#include "TfrmScope.h"

#include <QThread>
#include <QTimer>

namespace tq {

namespace {
// How often the window shows the job's count: often enough to look live,
// rarely enough to cost the job nothing.
constexpr int kRefreshMs = 30;
} // namespace

FileJob* FileJob::start(std::unique_ptr<TfrmScope> window, Work work, Done done, QObject* parent) {
    return new FileJob(std::move(window), std::move(work), std::move(done), parent);
}

FileJob::FileJob(std::unique_ptr<TfrmScope> window, Work work, Done done, QObject* parent)
    : QObject(parent), m_window(window.release()), m_work(std::move(work)), m_done(std::move(done)) {
    connect(m_window.data(), &TfrmScope::cancelRequested, this, [this] { m_progress.cancel(); });
    m_timer = new QTimer(this);
    m_timer->setInterval(kRefreshMs);
    connect(m_timer, &QTimer::timeout, this, &FileJob::showProgress);
    m_timer->start();
    m_thread = QThread::create([this] {
        // Exceptions stay on this thread; `done` sees them.
        try {
            m_work(m_progress);
        } catch (...) {
            m_error = std::current_exception();
        }
    });
    // Emitted on the worker; delivered here through the event queue.
    connect(m_thread, &QThread::finished, this, &FileJob::finish);
    m_thread->start();
}

FileJob::~FileJob() {
    if (m_thread) {
        // Torn down with its owner (the program closing): the work stops at its next line.
        m_progress.cancel();
        m_thread->wait();
        delete m_thread;
    }
    delete m_window.data();
}

void FileJob::showProgress() {
    if (!m_window) return;
    const qint64 maximum = m_progress.maximum();
    if (maximum >= 0 && maximum != m_shownMaximum) {
        m_window->setMaximum(maximum);
        m_shownMaximum = maximum;
    }
    m_window->setValue(m_progress.value());
}

void FileJob::finish() {
    m_timer->stop();
    m_thread->wait(); // already ended: this only joins it
    delete m_thread;
    m_thread = nullptr;
    showProgress();
    // A Cancel the work did not see in time still counts: nothing is applied.
    const bool cancelled = m_progress.cancelled() || (m_window && m_window->cancelled());
    if (m_window) m_window->close();
    Done done = std::move(m_done);
    const std::exception_ptr error = m_error;
    deleteLater();
    // Runs from the event loop: nothing it throws may reach it.
    if (done) guarded([&] { done(cancelled, error); });
}

} // namespace tq
