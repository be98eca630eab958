#include "TComPort.h"

#include "CommandGuard.h"
#include "LinkLog.h"

#include <QSerialPort>

#ifdef Q_OS_UNIX
#include <poll.h>
#endif

namespace tq {

namespace {
// Driver input queue size; a flood beyond it waits in the device.
constexpr qint64 kInputQueue = 4096;
} // namespace

TComPort::TComPort(QObject* parent) : QObject(parent), m_port(new QSerialPort(this)) {
    connect(m_port, &QSerialPort::readyRead, this, &TComPort::onReadyRead);
    connect(m_port, &QSerialPort::errorOccurred, this,
            [this](QSerialPort::SerialPortError e) { onPortError(static_cast<int>(e)); });
}

TComPort::~TComPort() {
    if (m_port->isOpen()) m_port->close();
}

void TComPort::setDeviceName(const QString& name) {
    if (name == m_deviceName) return;
    if (active()) raise(0, QString::fromLatin1(EComError::kOpenPort));
    m_deviceName = name;
}

void TComPort::setBaudRate(int baud) {
    m_baudRate = baud;
    if (active() && !m_port->setBaudRate(baud)) raise(static_cast<int>(m_port->error()), systemText());
}

void TComPort::setDtrControl(DtrControl c) {
    m_dtr = c;
    if (active()) applyModemLines();
}

void TComPort::setRtsControl(RtsControl c) {
    m_rts = c;
    if (active()) applyModemLines();
}

bool TComPort::dtrOn() const {
    return m_dtr == DtrControl::Enable;
}
bool TComPort::rtsOn() const {
    return m_rts == RtsControl::Enable;
}

bool TComPort::active() const {
    return m_port->isOpen();
}

QString TComPort::systemText() const {
    QString s = m_port->errorString();
    return s.isEmpty() ? QStringLiteral("Unknown error") : s;
}

void TComPort::applyModemLines() {
    // A device without modem lines (a pseudo-terminal) refuses them; that is
    // not an error for us.
    if (m_dtr != DtrControl::Default) m_port->setDataTerminalReady(m_dtr == DtrControl::Enable);
    if (m_rts != RtsControl::Default) m_port->setRequestToSend(m_rts == RtsControl::Enable);
    m_port->clearError();
}

void TComPort::setActive(bool on) {
    if (on == active()) return;
    if (!on) {
        qCDebug(lcLink) << "close" << m_deviceName;
        m_port->close();
        m_port->clearError();
        return;
    }
    qCDebug(lcLink) << "open" << m_deviceName;
    m_port->setPortName(m_deviceName);
    m_port->clearError();
    // Whatever was opened so far is closed before the error is raised.
    const auto fail = [this] {
        const int code = static_cast<int>(m_port->error());
        const QString text = systemText();
        m_port->close();
        m_port->clearError();
        raise(code, text);
    };
    if (!m_port->open(QIODevice::ReadWrite)) fail();
    m_port->setReadBufferSize(kInputQueue);
    const bool lineOk = m_port->setBaudRate(m_baudRate) && m_port->setDataBits(QSerialPort::Data8) &&
                        m_port->setParity(QSerialPort::NoParity) &&
                        m_port->setStopBits(QSerialPort::OneStop) &&
                        m_port->setFlowControl(QSerialPort::NoFlowControl);
    if (!lineOk) fail();
    applyModemLines();
    m_port->clear(QSerialPort::AllDirections);
    m_port->clearError();
}

void TComPort::requireOpen() {
    if (!active()) raise(0, QString::fromLatin1(EComError::kClosedPort));
}

void TComPort::purgeInput() {
    if (!active()) return;
    m_port->clear(QSerialPort::Input);
    m_port->clearError();
}

void TComPort::purgeOutput() {
    if (!active()) return;
    m_port->clear(QSerialPort::Output);
    m_port->clearError();
}

int TComPort::inputCount() {
    requireOpen();
    return static_cast<int>(m_port->bytesAvailable());
}

QByteArray TComPort::read(int count) {
    requireOpen();
    if (count <= 0) return {};
    QByteArray bytes = m_port->read(count);
    qCDebug(lcLink) << "rx" << m_deviceName << bytes.toHex(' ');
    return bytes;
}

void TComPort::write(const QByteArray& bytes) {
    requireOpen();
    qCDebug(lcLink) << "tx" << m_deviceName << bytes.toHex(' ');
    const qint64 n = m_port->write(bytes);
    if (n != bytes.size()) raise(static_cast<int>(m_port->error()), systemText());
    // Hand the bytes to the device now, as far as it takes them without
    // waiting; the rest goes as the event loop runs.
    m_port->flush();
}

void TComPort::setOnRxChar(RxHandler h) {
    m_onRx = std::move(h);
    if (m_onRx && active() && m_port->bytesAvailable() > 0) onReadyRead();
}

void TComPort::onReadyRead() {
    if (!m_onRx || m_dispatchQueued) return;
    // Queued, so a handler that pulls bytes in (inputCount) is never
    // re-entered from inside itself.
    m_dispatchQueued = true;
    QMetaObject::invokeMethod(this, &TComPort::dispatchRx, Qt::QueuedConnection);
}

void TComPort::dispatchRx() {
    m_dispatchQueued = false;
    if (!m_onRx || !active() || m_dispatching) return;
    const qint64 before = m_port->bytesAvailable();
    m_dispatching = true;
    guarded(m_onRx);
    m_dispatching = false;
    // Bytes the handler left for later (it reads at most a slice per event)
    // get another event, but only when it made progress.
    if (m_onRx && active()) {
        const qint64 after = m_port->bytesAvailable();
        if (after > 0 && after < before) onReadyRead();
    }
}

void TComPort::onPortError(int error) {
    const auto e = static_cast<QSerialPort::SerialPortError>(error);
    if (e != QSerialPort::ResourceError && e != QSerialPort::PermissionError && e != QSerialPort::ReadError)
        return;
    if (!active()) return;
    if (deviceGone()) {
        // A removed device (a USB adapter pulled out, a hung-up terminal)
        // fails every read from then on: close quietly instead of failing
        // forever.
        const QString why = m_port->errorString();
        qCDebug(lcLink) << "device lost" << m_deviceName << why;
        m_port->close();
        m_port->clearError();
        emit deviceLost(why);
        return;
    }
    // An empty read: the read notification came after inputCount had
    // already pulled the bytes in, and the port reported whatever error
    // number was left over. The device is fine; make sure the port keeps
    // telling us about new bytes (it stops after a "resource" error).
    qCDebug(lcLink) << "empty read ignored" << m_deviceName << m_port->errorString();
    m_port->clearError();
    m_port->setReadBufferSize(kInputQueue);
}

bool TComPort::deviceGone() const {
#ifdef Q_OS_UNIX
    // A removed or hung-up device reports a hang-up on its descriptor.
    pollfd p{static_cast<int>(m_port->handle()), POLLIN, 0};
    const int ready = ::poll(&p, 1, 0);
    return ready < 0 || (ready > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0);
#else
    return m_port->error() == QSerialPort::ResourceError;
#endif
}

void TComPort::raise(int code, const QString& message) {
    EComError error(code, message);
    ErrorAction action = ErrorAction::Raise;
    if (m_onError) m_onError(*this, error, action);
    if (action == ErrorAction::Abort) throw SilentAbort();
    throw error;
}

} // namespace tq
