#include "PortLease.h"

#include "CommandGuard.h"
#include "LiveLink.h"
#include "TComPort.h"

namespace tq {

namespace {
constexpr int kDownloadCloseMs = 200;
constexpr int kDownloadOpenMs = 300;

// Closing and reopening on the way back must not throw out of a destructor.
template <typename Step> void quietly(Step&& step) {
    try {
        step();
    } catch (const SilentAbort&) {
    } catch (const EComError&) {
    }
}
} // namespace

PortLease::PortLease(LiveLink& live, Resume resume) : m_live(live), m_resume(resume) {
    m_live.m_lent = true;
    m_live.suspendForCommand();
    quietly([this] { m_live.comm1()->close(); });
}

PortLease::~PortLease() {
    m_live.m_lent = false;
    quietly([this] { m_live.comm2()->close(); });
    if (m_live.ended()) return;
    TComPort* comm1 = m_live.comm1();
    quietly([comm1] { comm1->close(); });
    m_live.attachReceiveHandler();
    if (!settle(m_resume.beforeOpenMs)) return;
    quietly([comm1] { comm1->open(); });
    if (!settle(m_resume.afterOpenMs)) return;
    quietly([comm1] { comm1->purgeInput(); });
    if (!settle(m_resume.afterPurgeMs)) return;
    m_live.restartTimer();
    m_live.switchAfterLoan();
}

bool PortLease::settle(int ms) {
    return ms <= 0 ? !m_live.ended() : m_live.waitUnlessEnded(ms);
}

TComPort& PortLease::pollLivePort(int pauseBeforeOpenMs) {
    TComPort* comm1 = m_live.comm1();
    quietly([comm1] { comm1->close(); });
    comm1->setOnRxChar({});
    m_live.pause(pauseBeforeOpenMs);
    comm1->open();
    return *comm1;
}

TComPort& PortLease::openDownloadPort() {
    TComPort* comm1 = m_live.comm1();
    TComPort* comm2 = m_live.comm2();
    quietly([comm1] { comm1->close(); });
    quietly([comm2] { comm2->close(); });
    m_live.pause(kDownloadCloseMs);
    quietly([&] {
        comm2->setDeviceName(comm1->deviceName());
        comm2->setBaudRate(comm1->baudRate());
    });
    m_live.pause(kDownloadOpenMs);
    comm2->setOnRxChar({});
    quietly([comm2] { comm2->open(); });
    return *comm2;
}

} // namespace tq
