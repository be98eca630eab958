#pragma once

#include "Outcome.h"

#include <QString>
#include <functional>
#include <stdexcept>

namespace tq {

// Ends the running command without a word (every serial port error does).
class SilentAbort : public std::exception {
  public:
    const char* what() const noexcept override { return "silent abort"; }
};

// An error whose text is shown to the user as it stands.
class UserError : public std::runtime_error {
  public:
    explicit UserError(const QString& text) : std::runtime_error(text.toStdString()), m_text(text) {}
    const QString& text() const { return m_text; }

  private:
    QString m_text;
};

// Runs the body of a slot or event handler. Exceptions never reach Qt's
// event loop: a SilentAbort ends the command quietly, any other error is
// shown in a message box. Returns false when the body did not finish.
bool guarded(const std::function<void()>& body);

// Tells the user how an operation failed: its text in an error box, or
// nothing when there are no words for it (a cancel). True when it succeeded.
bool reported(const Outcome& outcome);

} // namespace tq
