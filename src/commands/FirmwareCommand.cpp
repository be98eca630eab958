#include "FirmwareCommand.h"

#include "CommandGuard.h"
#include "DeviceSession.h"
#include "DialogRunner.h"
#include "FirmwareQuery.h"
#include "LiveLink.h"
#include "LoggerChecks.h"
#include "Messages.h"
#include "TfrmFV.h"

#include <QApplication>
#include <QScopeGuard>

namespace tq {

void FirmwareCommand::run() {
    // Another command has the device: this one does not start.
    if (m_running || m_live.lent()) return;
    if (!loggerchecks::connected(m_live.link())) return;
    m_running = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_live.session().hold();
    m_live.session().queue(std::make_unique<FirmwareQuery>(), [this](DeviceJob& job) {
        const QString version = static_cast<FirmwareQuery&>(job).version().value_or(QString());
        const JobOutcome outcome = job.outcome();
        QMetaObject::invokeMethod(
            this,
            [this, version, outcome] {
                QApplication::restoreOverrideCursor();
                const bool portFailed = outcome.code == JobOutcome::Code::CannotOpen ||
                                        outcome.code == JobOutcome::Code::DeviceRemoved;
                if (m_live.ended() || outcome.code == JobOutcome::Code::Cancelled) {
                } else if (portFailed) {
                    Messages::error(
                        QStringLiteral("The firmware version could not be asked for: %1").arg(outcome.text));
                } else {
                    guarded([&] { showBox(version); });
                }
                m_running = false;
                m_live.session().release(200, 500);
                emit finished();
            },
            Qt::QueuedConnection);
    });
}

void FirmwareCommand::showBox(const QString& version) {
    TfrmFV box(m_parent);
    if (!version.isEmpty()) box.setVersion(version);
    runDialog(box);
}

} // namespace tq
