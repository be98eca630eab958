#include "LoggerChecks.h"

#include "LoggerLink.h"
#include "Messages.h"

#include <QApplication>

namespace tq {

bool loggerchecks::connected(const LoggerLink& link) {
    if (link.connected) return true;
    Messages::info(kNoConnection);
    return false;
}

bool loggerchecks::notRecording(const LoggerLink& link, const QString& refusal) {
    if (!link.recording) return true;
    Messages::info(refusal);
    return false;
}

WaitCursor::WaitCursor() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

WaitCursor::~WaitCursor() {
    restore();
}

void WaitCursor::restore() {
    if (!m_on) return;
    m_on = false;
    QApplication::restoreOverrideCursor();
}

} // namespace tq
