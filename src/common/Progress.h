#pragma once

#include <QtGlobal>

namespace tq {

// How a long job (a transfer, reading or writing a text file) reports while
// it runs. A window observes it (a file job runs on a worker thread, so an
// implementation may be called from one); the command line prints a line
// instead. Jobs below the windows know nothing else of who watches.
class Progress {
  public:
    virtual ~Progress() = default;
    // The value that means done, once known (a transfer learns it late).
    virtual void setMaximum(qint64 maximum) = 0;
    // Called after every step of the job.
    virtual void setValue(qint64 value) = 0;
    // Asked after every step; true ends the job early.
    virtual bool cancelled() const = 0;
    // A step with nothing new to show (a first pass counting lines).
    virtual void keepAlive() {}
};

// For callers that watch nothing.
class NoProgress : public Progress {
  public:
    void setMaximum(qint64) override {}
    void setValue(qint64) override {}
    bool cancelled() const override { return false; }
};

} // namespace tq
