#include "FirmwareCommand.h"

#include "DialogRunner.h"
#include "FirmwareQuery.h"
#include "LiveLink.h"
#include "LoggerChecks.h"
#include "TComPort.h"
#include "TfrmFV.h"

namespace tq {

void FirmwareCommand::run() {
    // Another command has the device: this one does not start.
    if (m_live.lent()) return;
    if (!loggerchecks::connected(m_live.link())) return;
    WaitCursor cursor;
    TfrmFV box(m_parent);
    PortLease lease(m_live, kResume);
    // A failed open ends the command without a word; the lease gives the
    // link back all the same.
    TComPort& port = lease.pollLivePort(kOpenPauseMs);
    FirmwareQuery query(port, [this](int ms) { m_live.pause(ms); });
    if (const std::optional<QString> version = query.run()) box.setVersion(*version);
    cursor.restore();
    runDialog(box);
}

} // namespace tq
