#pragma once

#include <QString>

namespace tq {

struct LoggerLink;

// The checks before a command that needs the logger. Each says why in a
// message box and answers false when the command must not run.
namespace loggerchecks {
inline const QString kNoConnection = QStringLiteral("There is no connection with Logger !");

bool connected(const LoggerLink& link);
// refusal: the command's own words for a recording logger.
bool notRecording(const LoggerLink& link, const QString& refusal);
} // namespace loggerchecks

// The hourglass while a command takes the port; back to normal when it
// goes out of scope or is restored early.
class WaitCursor {
  public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
    void restore();

  private:
    bool m_on = true;
};

} // namespace tq
