#include "LiveLink.h"

#include "CommandGuard.h"
#include "FrameCutter.h"
#include "LinkView.h"
#include "LiveDecoder.h"
#include "Messages.h"
#include "PortNames.h"
#include "Protocol.h"
#include "PumpingWait.h"
#include "TComPort.h"

#include <QApplication>
#include <QScopeGuard>
#include <utility>

namespace tq {

namespace {
const QString kOn = QStringLiteral("On Connection");
const QString kOff = QStringLiteral("Off Connection");
constexpr int kMaxReadPerEvent = 256;
constexpr int kSearchReplyLength = 5;
constexpr int kFirmwareReplyLength = 11;
constexpr int kFirmwareBuffer = 16;

// Thrown by a wait that the program's ending cut short: unwinds whatever
// step of the link is running, without a word.
class LinkEnded : public SilentAbort {};
} // namespace

LiveLink::LiveLink(TComPort* comm1, LinkView* view, QObject* parent)
    : QObject(parent), m_comm1(comm1), m_view(view), m_timer(new QTimer(this)) {
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

void LiveLink::pause(int ms) {
    const bool waited = !m_ended && pumpingWait(ms);
    if (!waited || m_ended) {
        m_ended = true;
        throw LinkEnded();
    }
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
        pause(200);

        const bool opened = attempt([&] {
            m_comm1->open();
            pause(200);
            m_comm1->purgeInput();
        });
        if (!opened) {
            // A port that cannot be opened leaves the list until the program ends.
            attempt([&] { m_comm1->close(); });
            m_view->removePort(i);
            --i;
            continue;
        }

        QByteArray reply;
        const bool answered = attempt([&] {
            m_comm1->write(protocol::plainCommand(protocol::kSearch));
            pause(500);
            if (m_comm1->inputCount() >= kSearchReplyLength) reply = m_comm1->read(kSearchReplyLength);
        });
        if (answered && reply.contains("860")) {
            m_link.modelCode = 860;
            found = true;
        } else if (answered && reply.contains("862")) {
            m_link.modelCode = 862;
            found = true;
        }
        if (found) {
            m_link.frameLength = LoggerLink::frameLengthFor(m_link.modelCode);
            m_link.connected = true;
            m_link.portIndex = i;
        } else {
            attempt([&] { m_comm1->close(); });
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

void LiveLink::startLink() {
    attempt([&] { m_comm1->close(); });
    m_comm1->setOnRxChar([this] { Comm1RxChar(); });
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
    m_link.receiving = true;
    // A read failure must not leave the flag set.
    const auto clear = qScopeGuard([this] { m_link.receiving = false; });

    const int n = qMin(m_comm1->inputCount(), kMaxReadPerEvent);
    if (n > 0) {
        m_link.dataSeen = true;
        m_link.rxBuffer.append(m_comm1->read(n));
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
    m_pendingPort = -1;
    attempt([&] { m_comm1->close(); });
    attempt([&] {
        m_comm1->setDeviceName(deviceNameFor(m_view->portText(index)));
        m_comm1->open();
    });
    m_link.portIndex = index;
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
        m_comm1->setOnRxChar([this] { Comm1RxChar(); });
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

void LiveLink::btnSetupClick(const std::function<void()>& runDialog) {
    if (!m_link.connected) {
        Messages::info(QStringLiteral("There is no connection with Logger !"));
        return;
    }
    if (m_link.recording) {
        Messages::info(QStringLiteral("The Logger is recording , please stop recording before setup."));
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    suspendForCommand();
    QApplication::restoreOverrideCursor();
    if (runDialog) runDialog();
    pause(500);
    attempt([&] { m_comm1->open(); });
    pause(500);
    m_comm1->purgeInput();
    pause(500);
    restartTimer();
}

void LiveLink::FirmwareVersion1Click(const std::function<void(const QString&)>& showDialog) {
    if (!m_link.connected) {
        Messages::info(QStringLiteral("There is no connection with Logger !"));
        return;
    }
    QString version;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const auto cursor = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
        suspendForCommand();
        // A failed open ends the command; the timer then stays off until the
        // next command that starts it.
        m_comm1->close();
        m_comm1->setOnRxChar({});
        pause(200);
        m_comm1->open();

        if (m_comm1->active()) {
            m_comm1->write(QByteArray(1, protocol::kWake));
            pause(200);
            m_comm1->write(protocol::plainCommand(protocol::kFirmware));
            pause(1000);
            const int waiting = m_comm1->inputCount();
            const QByteArray reply = m_comm1->read(qMin(waiting, kFirmwareBuffer));
            // Whatever exceeds the reply buffer is read and dropped.
            for (int rest = m_comm1->inputCount(); rest > 0; rest = m_comm1->inputCount())
                m_comm1->read(rest);
            if (waiting == kFirmwareReplyLength) version = QString::fromLatin1(reply.mid(1, 9));
        }
    }
    showDialog(version);

    m_comm1->close();
    m_comm1->setOnRxChar([this] { Comm1RxChar(); });
    pause(200);
    m_comm1->open();
    m_comm1->purgeInput();
    pause(500);
    restartTimer();
}

} // namespace tq
