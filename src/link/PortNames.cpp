#include "PortNames.h"

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

} // namespace tq
