#include "LiveLink.h"

#include "CommandGuard.h"
#include "FrameCutter.h"
#include "LinkView.h"
#include "LiveDecoder.h"
#include "LoggerSearch.h"
#include "PortNames.h"
#include "Protocol.h"
#include "PumpingWait.h"
#include "TComPort.h"

#include <QScopeGuard>
#include <utility>

namespace tq {

namespace {
const QString kOn = QStringLiteral("On Connection");
const QString kOff = QStringLiteral("Off Connection");
constexpr int kMaxReadPerEvent = 256;

// Thrown by a wait that the program's ending cut short: unwinds whatever
// step of the link is running, without a word.
class LinkEnded : public SilentAbort {};
} // namespace

LiveLink::LiveLink(TComPort* comm1, LinkView* view, QObject* parent)
    : QObject(parent), m_comm1(comm1), m_comm2(new TComPort(this)), m_view(view), m_timer(new QTimer(this)) {
    m_comm2->setObjectName(QStringLiteral("Comm2"));
    m_comm2->setBaudRate(19200);
    m_comm2->setDtrControl(TComPort::DtrControl::Disable);
    m_comm2->setRtsControl(TComPort::RtsControl::Enable);
    m_comm2->setOnError(TComPort::abortSilently);
    m_timer->setObjectName(QStringLiteral("MainTimer"));
    m_timer->setTimerType(Qt::PreciseTimer);
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, [this] { guarded([this] { MainTimerTimer(); }); });
}

bool LiveLink::attempt(const std::function<void()>& step) {
    try {
        step();
        return true;
    } catch (const LinkEnded&) {
        throw; // not a port failure: the program is ending
    } catch (const SilentAbort&) {
    } catch (const EComError&) {
    }
    return false;
}

bool LiveLink::waitUnlessEnded(int ms) {
    const bool waited = !m_ended && pumpingWait(ms);
    if (!waited || m_ended) {
        m_ended = true;
        return false;
    }
    return true;
}

void LiveLink::pause(int ms) {
    if (!waitUnlessEnded(ms)) throw LinkEnded();
}

void LiveLink::endLink() {
    m_ended = true;
    m_pendingPort = -1;
    m_timer->stop();
}

void LiveLink::restartTimer() {
    if (!m_ended) m_timer->start();
}

void LiveLink::searchLogger() {
    m_comm1->setOnRxChar({});
    LoggerSearch search(*m_comm1, [this](int ms) { pause(ms); });
    const int passes = m_view->portCount();
    int i = -1;
    bool found = false;
    for (int pass = 0; pass < passes && !found; ++pass) {
        ++i;
        if (i >= m_view->portCount()) break;
        m_view->selectPort(i);
        attempt([&] { m_comm1->setDeviceName(deviceNameFor(m_view->portText(i))); });
        m_comm1->setOnRxChar({});
        m_view->showSearchProgress(QStringLiteral("Search Logger On ") + m_comm1->deviceName());

        switch (search.probe()) {
        case LoggerSearch::Outcome::CannotOpen:
            // A port that cannot be opened leaves the list until the program ends.
            m_view->removePort(i);
            --i;
            break;
        case LoggerSearch::Outcome::NoLogger:
            break;
        case LoggerSearch::Outcome::Found:
            found = true;
            m_link.modelCode = search.model();
            m_link.frameLength = LoggerLink::frameLengthFor(m_link.modelCode);
            m_link.connected = true;
            m_link.portIndex = i;
            break;
        }
    }

    if (found) {
        m_view->setRs232Mark(true);
        m_view->showStatus(m_comm1->deviceName(), kOn);
    } else {
        m_link.modelCode = 860;
        m_link.frameLength = LoggerLink::frameLengthFor(860);
        if (m_link.portIndex >= m_view->portCount() || m_link.portIndex < 0) m_link.portIndex = 0;
        if (m_view->portCount() > 0) {
            m_view->selectPort(m_link.portIndex);
            attempt([&] { m_comm1->setDeviceName(deviceNameFor(m_view->portText(m_link.portIndex))); });
        }
        m_view->setRs232Mark(false);
        m_view->showStatus(m_comm1->deviceName(), kOff);
    }
}

void LiveLink::attachReceiveHandler() {
    m_comm1->setOnRxChar([this] { Comm1RxChar(); });
}

void LiveLink::startLink() {
    attempt([&] { m_comm1->close(); });
    attachReceiveHandler();
    pause(500);
    attempt([&] { m_comm1->open(); });
    pause(200);
    m_comm1->purgeInput();
    pause(200);
    if (m_comm1->active()) attempt([&] { m_comm1->write(protocol::checksummedCommand(protocol::kLive)); });
    restartTimer();
}

void LiveLink::declareConnected() {
    m_view->setDownloadEnabled(true);
    m_view->setDataLoggerMenuEnabled(true);
    m_view->showStatus(m_comm1->deviceName(), kOn);
    m_view->setRs232Mark(true);
    m_link.connected = true;
}

void LiveLink::Comm1RxChar() {
    receive(*m_comm1);
}

void LiveLink::receive(RxPort& port) {
    m_link.receiving = true;
    // A read failure must not leave the flag set.
    const auto clear = qScopeGuard([this] { m_link.receiving = false; });

    const int n = qMin(port.inputCount(), kMaxReadPerEvent);
    if (n > 0) {
        m_link.dataSeen = true;
        m_link.rxBuffer.append(port.read(n));
    }
    const QList<QByteArray> frames = cutFrames(m_link.rxBuffer, m_link.frameLength);
    for (const QByteArray& payload : frames) {
        m_link.dataSeen = true;
        if (!m_link.connected) declareConnected();
        decodeLiveFrame(payload, m_lcd, m_link);
        m_view->refreshLcd(m_lcd);
    }
}

void LiveLink::sendLiveRequest() {
    if (!m_comm1->active()) return;
    if (!m_link.connected) {
        m_comm1->write(QByteArray(1, protocol::kWake));
        pause(200);
        if (!m_comm1->active()) return;
    }
    m_comm1->write(protocol::plainCommand(protocol::kLive));
}

void LiveLink::MainTimerTimer() {
    // A tick arriving inside this tick's own pumping wait is dropped.
    if (m_link.timerBusy || m_ended) return;
    m_link.timerBusy = true;
    const auto clear = qScopeGuard([this] {
        m_link.timerBusy = false;
        // A port picked during this tick's wait is switched to now, once
        // the tick has unwound.
        if (m_pendingPort >= 0)
            QMetaObject::invokeMethod(this, &LiveLink::switchToPendingPort, Qt::QueuedConnection);
    });
    const qint64 sinceLast = m_lastTick.isValid() ? m_lastTick.elapsed() : 0;
    m_lastTick.start();

    if (m_link.dataSeen) {
        m_link.dataSeen = false;
        m_link.missedTicks = 0;
    } else if (++m_link.missedTicks >= 3) {
        m_view->setDataLoggerMenuEnabled(false);
        m_view->showStatus(m_comm1->deviceName(), kOff);
        m_view->setRs232Mark(false);
        if (m_link.connected) m_link.rxBuffer.clear();
        m_link.connected = false;
        m_link.missedTicks = 0;
    }

    attempt([this] { sendLiveRequest(); });

    if (m_resetPeriod) {
        m_resetPeriod = false;
    } else {
        m_timer->setInterval(correctedInterval(m_timer->interval(), sinceLast));
    }
}

int LiveLink::correctedInterval(int currentMs, qint64 sinceLastTickMs) {
    const qint64 lateness = sinceLastTickMs - 1000;
    const qint64 next = currentMs - lateness;
    return next <= 500 ? 500 : static_cast<int>(qMin<qint64>(next, 60000));
}

void LiveLink::ComboBoxDeviceNameChange(int index) {
    if (index < 0 || index >= m_view->portCount() || m_ended) return;
    if (m_link.timerBusy) {
        // The tick is suspended beneath this call, in its pumping wait:
        // waiting for it here would never end. It switches when it is done.
        m_pendingPort = index;
        return;
    }
    if (m_lent) {
        // A command has the device: the live port may not open under it.
        // The switch follows once the link is given back.
        m_pendingPort = index;
        return;
    }
    m_pendingPort = -1;
    attempt([&] { m_comm1->close(); });
    attempt([&] {
        m_comm1->setDeviceName(deviceNameFor(m_view->portText(index)));
        m_comm1->open();
    });
    m_link.portIndex = index;
}

void LiveLink::switchAfterLoan() {
    if (m_pendingPort >= 0)
        QMetaObject::invokeMethod(this, &LiveLink::switchToPendingPort, Qt::QueuedConnection);
}

void LiveLink::switchToPendingPort() {
    const int index = std::exchange(m_pendingPort, -1);
    if (index >= 0) guarded([&] { ComboBoxDeviceNameChange(index); });
}

void LiveLink::comPortMenu(int k) {
    attempt([&] {
        m_comm1->close();
        pause(100);
        m_link.portIndex = k - 1;
        attachReceiveHandler();
        pause(100);
        m_comm1->open();
    });
    m_comm1->purgeInput();
    m_view->showStatus(m_comm1->deviceName(), m_link.connected ? kOn : kOff);
}

void LiveLink::changeBaudRate(int baud, int waitBeforeOpenMs) {
    pumpingWaitWhile([this] { return m_link.receiving; });
    attempt([&] { m_comm1->close(); });
    m_comm1->setBaudRate(baud);
    if (waitBeforeOpenMs > 0) pause(waitBeforeOpenMs);
    attempt([&] { m_comm1->open(); });
}

void LiveLink::suspendForCommand() {
    boundedWait([this] { return m_link.timerBusy; }, kBusyWaitMs);
    m_timer->stop();
    boundedWait([this] { return m_link.receiving; }, kBusyWaitMs);
}

} // namespace tq
