#pragma once

#include "Progress.h"

#include <QElapsedTimer>
#include <QTextStream>

namespace tq::cli {

// A download's progress on standard error: one line rewritten in place on a
// terminal, a line every few seconds otherwise (a log).
class ProgressLine : public Progress {
  public:
    ProgressLine(QTextStream& err, bool terminal);

    void setMaximum(qint64 maximum) override;
    void setValue(qint64 value) override;
    bool cancelled() const override { return false; }
    // The last figures, and the line ended.
    void finish();

  private:
    void print(bool now);

    QTextStream& m_err;
    bool m_terminal;
    qint64 m_maximum = 0;
    qint64 m_value = 0;
    QElapsedTimer m_last;
};

} // namespace tq::cli
