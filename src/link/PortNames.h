#pragma once

#include <QStringList>

namespace tq {

// The device path opened for a port chooser entry: "\\.\COM3" on Windows,
// the path itself elsewhere ("/dev/ttyUSB0"; a bare name gets "/dev/").
QString deviceNameFor(const QString& portText);

// Ports for the chooser: the extra ones (--port PATH, in order) first, then
// the system's serial ports unless leaveOutSystem is set.
QStringList listPorts(const QStringList& extra, bool leaveOutSystem);

} // namespace tq
