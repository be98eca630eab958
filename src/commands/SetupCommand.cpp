#include "SetupCommand.h"

#include "DialogRunner.h"
#include "LiveLink.h"
#include "LoggerChecks.h"
#include "TfrmSetup.h"

namespace tq {

void SetupCommand::run() {
    const LoggerLink& link = m_live.link();
    // Another command has the device: this one does not start.
    if (m_live.lent()) return;
    if (!loggerchecks::connected(link) ||
        !loggerchecks::notRecording(
            link, QStringLiteral("The Logger is recording , please stop recording before setup.")))
        return;
    TfrmSetup setup(m_live.session(), link, m_parent);
    runDialog(setup);
}

} // namespace tq
