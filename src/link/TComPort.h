#pragma once

#include "EComError.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>

class QSerialPort;

namespace tq {

// The program's serial port: QSerialPort with the behaviour the rest of the
// program relies on. Received-data events arrive on the user-interface
// thread; every failure goes through OnError, and a handler that answers
// Abort turns it into a silent abort (tq::SilentAbort).
class TComPort : public QObject {
    Q_OBJECT
  public:
    enum class DtrControl { Default, Disable, Enable, Handshake };
    enum class RtsControl { Default, Disable, Enable, Handshake, Toggle };
    // What OnError answers: let EComError propagate, or end the operation
    // without a word.
    enum class ErrorAction { Raise, Abort };

    // action starts as Raise.
    using ErrorHandler = std::function<void(TComPort& port, const EComError& error, ErrorAction& action)>;
    // The program's answer to every port error.
    static void abortSilently(TComPort&, const EComError&, ErrorAction& action) {
        action = ErrorAction::Abort;
    }
    using RxHandler = std::function<void()>;

    explicit TComPort(QObject* parent = nullptr);
    ~TComPort() override;

    QString deviceName() const { return m_deviceName; }
    // Raises "Can't perform this operation on an open port" when a different
    // name is set while open.
    void setDeviceName(const QString& name);

    int baudRate() const { return m_baudRate; }
    void setBaudRate(int baud);
    void setDtrControl(DtrControl c);
    DtrControl dtrControl() const { return m_dtr; }
    void setRtsControl(RtsControl c);
    RtsControl rtsControl() const { return m_rts; }

    bool active() const;
    void setActive(bool on);
    void open() { setActive(true); }
    void close() { setActive(false); }

    void purgeInput();
    void purgeOutput();
    // Bytes waiting, including those that arrived while no events ran.
    int inputCount();
    // Reads up to count waiting bytes (the program asks only for what
    // inputCount reported).
    QByteArray read(int count);
    void write(const QByteArray& bytes);

    // Assigning an empty handler stops event delivery; bytes keep waiting.
    void setOnRxChar(RxHandler h);
    bool hasOnRxChar() const { return static_cast<bool>(m_onRx); }
    void setOnError(ErrorHandler h) { m_onError = std::move(h); }

    // Modem lines as last set (a device without them, such as a
    // pseudo-terminal, ignores them).
    bool dtrOn() const;
    bool rtsOn() const;

    QSerialPort* serialPort() const { return m_port; }

    // Raise a port error through OnError (public so callers share one path).
    [[noreturn]] void raise(int code, const QString& message);

  signals:
    // The device went away under the open port (a USB adapter pulled out);
    // the port is closed already.
    void deviceLost(const QString& why);

  private:
    void onReadyRead();
    void dispatchRx();
    void onPortError(int error);
    bool deviceGone() const;
    void applyModemLines();
    void requireOpen(); // the closed-port error otherwise
    QString systemText() const;

    QSerialPort* m_port;
    QString m_deviceName = QStringLiteral("COM1");
    int m_baudRate = 19200;
    DtrControl m_dtr = DtrControl::Default;
    RtsControl m_rts = RtsControl::Default;
    RxHandler m_onRx;
    ErrorHandler m_onError;
    bool m_dispatching = false;
    bool m_dispatchQueued = false;
};

} // namespace tq
