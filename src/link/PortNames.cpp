#include "PortNames.h"

#include <QFileInfo>
#include <QSerialPort>
#include <QSerialPortInfo>

namespace tq {

QString deviceNameFor(const QString& portText) {
#ifdef Q_OS_WIN
    return QStringLiteral("\\\\.\\") + portText;
#else
    if (portText.startsWith(QLatin1Char('/'))) return portText;
    return QStringLiteral("/dev/") + portText;
#endif
}

QStringList listPorts(const QStringList& extra, bool leaveOutSystem) {
    QStringList ports = extra;
    if (!leaveOutSystem) {
        for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
#ifdef Q_OS_WIN
            const QString name = info.portName();
#else
            const QString name = info.systemLocation();
#endif
            if (!ports.contains(name)) ports.append(name);
        }
    }
    return ports;
}

QString portOpenProblem(const QString& device, int serialError, const QString& systemText) {
    const QString lower = systemText.toLower();
    // A lock or an exclusive open by another program.
    if (lower.contains(QLatin1String("busy")) || lower.contains(QLatin1String("lock")))
        return QStringLiteral("%1 is in use by another program; close that program and search again.")
            .arg(device);
    switch (static_cast<QSerialPort::SerialPortError>(serialError)) {
    case QSerialPort::PermissionError: {
        QString group = QFileInfo(device).group();
        if (group.isEmpty() || group == QLatin1String("root")) group = QStringLiteral("dialout");
        return QStringLiteral("permission denied on %1: the user must be in the group that owns it (%2). "
                              "On Debian: sudo adduser $USER %2, then log out and in again.")
            .arg(device, group);
    }
    case QSerialPort::DeviceNotFoundError:
        return QStringLiteral("%1 does not exist (was it unplugged?).").arg(device);
    default:
        return systemText.isEmpty() ? QStringLiteral("%1 could not be opened.").arg(device) : systemText;
    }
}

} // namespace tq
