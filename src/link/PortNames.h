#pragma once

#include <QStringList>

namespace tq {

// The device path opened for a port chooser entry: "\\.\COM3" on Windows,
// the path itself elsewhere ("/dev/ttyUSB0"; a bare name gets "/dev/").
QString deviceNameFor(const QString& portText);

// Ports for the chooser: the extra ones (--port PATH, in order) first, then
// the system's serial ports unless leaveOutSystem is set.
QStringList listPorts(const QStringList& extra, bool leaveOutSystem);

// Why a device could not be opened, in words that say what to do: a
// permission problem names the group that owns the device, a port held by
// another program says it is in use, a missing device says so. serialError
// is the port's error number (QSerialPort::SerialPortError), systemText the
// system's own words.
QString portOpenProblem(const QString& device, int serialError, const QString& systemText);

} // namespace tq
