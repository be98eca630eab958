#include "LiveLink.h"

#include "DeviceSession.h"
#include "FrameCutter.h"
#include "LinkView.h"
#include "LiveDecoder.h"
#include "PortNames.h"
#include "Protocol.h"
#include "TComPort.h"

#include <QScopeGuard>
#include <algorithm>

namespace tq {

namespace {
const QString kOn = QStringLiteral("On Connection");
const QString kOff = QStringLiteral("Off Connection");
// A receive buffer that grows past this holds no frame worth waiting for.
constexpr int kMaxBuffer = 4096;
} // namespace

LiveLink::LiveLink(DeviceSession* session, LinkView* view, QObject* parent)
    : QObject(parent), m_session(session), m_view(view) {}

LiveLink::~LiveLink() {
    m_session->removeIdle(this);
}

bool LiveLink::ended() const {
    return m_session->ended();
}

bool LiveLink::lent() const {
    // The setup dialog's clock is idle on top of the live link.
    return m_session->busy() || (m_session->idleTop() && m_session->idleTop() != this);
}

bool LiveLink::ticking() const {
    return m_session->idleRunning(this);
}

void LiveLink::endLink() {
    m_session->shutdown();
}

void LiveLink::searchLogger(std::function<void()> done) {
    search(0, m_view->portCount(), std::move(done));
}

void LiveLink::searchPort(int index, std::function<void()> done) {
    search(index, 1, std::move(done));
}

void LiveLink::search(int first, int count, std::function<void()> done) {
    QStringList devices;
    for (int i = first; i < first + count && i < m_view->portCount(); ++i)
        devices << deviceNameFor(m_view->portText(i));
    const bool all = first == 0 && count == m_view->portCount();
    auto search = std::make_unique<LoggerSearch>(devices);
    search->onProbe = [this](const QString& device) {
        m_view->showSearchProgress(QStringLiteral("Search Logger On ") + device);
    };
    m_session->queue(std::move(search), [this, first, all, done = std::move(done)](DeviceJob& job) {
        if (!m_session->ended()) {
            applySearch(static_cast<LoggerSearch&>(job), first, all);
            startLink();
        }
        if (done) done();
    });
}

void LiveLink::applySearch(const LoggerSearch& search, int first, bool dropUnopenable) {
    m_probes = search.probes();
    int found = search.foundIndex() >= 0 ? first + search.foundIndex() : -1;
    // A port that cannot be opened leaves the chooser until the program ends.
    for (int i = int(m_probes.size()) - 1; dropUnopenable && i >= 0; --i) {
        if (m_probes[i].outcome != LoggerSearch::Outcome::CannotOpen || i >= m_view->portCount()) continue;
        m_view->removePort(i);
        if (found > i) --found;
    }
    if (found >= 0) {
        m_link.setModel(search.model());
        m_link.connected = true;
        m_link.portIndex = found;
    } else {
        // Nothing answered (a search again may follow a lost link).
        m_link.connected = false;
        m_link.setModel(kModel860);
        if (!dropUnopenable) m_link.portIndex = first; // the port the user named stays chosen
        if (m_link.portIndex >= m_view->portCount() || m_link.portIndex < 0) m_link.portIndex = 0;
    }
    if (m_view->portCount() > 0) {
        m_view->selectPort(m_link.portIndex);
        m_session->setDevice(deviceNameFor(m_view->portText(m_link.portIndex)));
    }
    if (found >= 0) {
        // A search again after a lost link: the commands that need it come back.
        m_view->setDownloadEnabled(true);
        m_view->setDataLoggerMenuEnabled(true);
    }
    m_view->setRs232Mark(found >= 0);
    m_view->showStatus(m_session->deviceName(), found >= 0 ? kOn : kOff);
}

void LiveLink::startLink() {
    m_firstRequest = true;
    m_session->pushIdle(this, kStartOpenMs, kStartRequestMs);
}

JobStep LiveLink::next(QByteArray send) const {
    const qint64 wake = m_requestAtMs >= 0 ? std::min(m_requestAtMs, m_nextTickMs) : m_nextTickMs;
    return JobStep::wakeAt(wake, std::move(send));
}

JobStep LiveLink::start(const Outcome& open, qint64 nowMs) {
    // The link timer starts afresh each time the live polling has the port.
    m_intervalMs = kTickMs;
    m_lastTickMs = -1;
    m_requestAtMs = -1;
    m_nextTickMs = nowMs + kTickMs;
    QByteArray send;
    if (m_firstRequest && open.ok()) send = protocol::checksummedCommand(protocol::kLive);
    m_firstRequest = false;
    return next(send);
}

JobStep LiveLink::step(const QByteArray& arrived, qint64 nowMs) {
    if (!arrived.isEmpty()) Comm1RxChar(arrived);
    QByteArray send;
    if (m_requestAtMs >= 0 && nowMs >= m_requestAtMs) {
        m_requestAtMs = -1;
        send += protocol::plainCommand(protocol::kLive);
    }
    if (nowMs >= m_nextTickMs) send += MainTimerTimer(nowMs, m_session->port().active());
    return next(send);
}

void LiveLink::declareConnected() {
    m_view->setDownloadEnabled(true);
    m_view->setDataLoggerMenuEnabled(true);
    m_view->showStatus(m_session->deviceName(), kOn);
    m_view->setRs232Mark(true);
    m_link.connected = true;
}

void LiveLink::Comm1RxChar(const QByteArray& bytes) {
    m_link.receiving = true;
    const auto clear = qScopeGuard([this] { m_link.receiving = false; });
    if (!bytes.isEmpty()) m_link.dataSeen = true;
    m_link.rxBuffer.append(bytes);
    const QList<QByteArray> frames = cutFrames(m_link.rxBuffer, m_link.frameLength);
    if (m_link.rxBuffer.size() > kMaxBuffer) m_link.rxBuffer.clear();
    for (const QByteArray& payload : frames) {
        if (!m_link.connected) declareConnected();
        LiveReading r;
        const bool decoded = parseLiveReading(payload, m_link.model(), r);
        if (decoded) {
            applyLiveReading(r, m_link.model(), m_lcd, m_link);
            m_lastReading = r;
        }
        m_view->refreshLcd(m_lcd);
        if (decoded) emit reading();
    }
}

QByteArray LiveLink::MainTimerTimer(qint64 nowMs, bool portOpen) {
    const qint64 sinceLast = m_lastTickMs >= 0 ? nowMs - m_lastTickMs : 0;

    if (m_link.dataSeen) {
        m_link.dataSeen = false;
        m_link.missedTicks = 0;
    } else if (++m_link.missedTicks >= 3) {
        m_view->setDataLoggerMenuEnabled(false);
        m_view->showStatus(m_session->deviceName(), kOff);
        m_view->setRs232Mark(false);
        const bool wasConnected = m_link.connected;
        if (wasConnected) m_link.rxBuffer.clear();
        m_link.connected = false;
        m_link.missedTicks = 0;
        if (wasConnected) emit linkLost();
    }

    QByteArray send;
    if (portOpen) {
        if (m_link.connected) {
            send = protocol::plainCommand(protocol::kLive);
        } else {
            send = QByteArray(1, protocol::kWake);
            m_requestAtMs = nowMs + kWakeMs;
        }
    }

    // The first tick only sets the reference time.
    if (m_lastTickMs >= 0) m_intervalMs = correctedInterval(m_intervalMs, sinceLast);
    m_lastTickMs = nowMs;
    m_nextTickMs = nowMs + m_intervalMs;
    return send;
}

int LiveLink::correctedInterval(int currentMs, qint64 sinceLastTickMs) {
    const qint64 lateness = sinceLastTickMs - 1000;
    const qint64 next = currentMs - lateness;
    return next <= 500 ? 500 : static_cast<int>(qMin<qint64>(next, 60000));
}

void LiveLink::ComboBoxDeviceNameChange(int index) {
    if (index < 0 || index >= m_view->portCount() || ended()) return;
    // A command that has the device keeps it; the switch follows after it.
    m_session->setDevice(deviceNameFor(m_view->portText(index)));
    m_link.portIndex = index;
}

void LiveLink::comPortMenu(int k) {
    m_link.portIndex = k - 1;
    m_session->reopen(200);
    m_view->showStatus(m_session->deviceName(), m_link.connected ? kOn : kOff);
}

void LiveLink::changeBaudRate(int baud, int waitBeforeOpenMs) {
    m_session->setBaudRate(baud, waitBeforeOpenMs);
}

} // namespace tq
