#pragma once

#include "Cli.h"
#include "TComPort.h"

#include <QString>
#include <optional>

namespace tq::cli {

// The logger on the port a command is given, talked to as the program
// talks to it: found with the search handshake on the live port's line
// settings, then read and set on those of the download and setup ports.
// Each step that fails says why on standard error.
class LoggerPort {
  public:
    LoggerPort(const QString& path, Io& io);

    // The search handshake: false when the port cannot be opened or no
    // logger answers.
    bool identify();
    int model() const { return m_model; }

    // One live frame, for the recording mark and the unit; false when none
    // came. Reopens the port with the live settings when needed.
    bool readLiveFrame();
    bool recording() const { return m_recording; }
    bool fahrenheit() const { return m_fahrenheit; }
    // identify() and readLiveFrame(), refusing a recording logger: the
    // status to end with, or Ok to go on.
    int readyForCommand();

    // The firmware version text over the live port; empty without a reply
    // of the right length.
    std::optional<QString> firmware();

    // The port on the setup dialog's line settings, open and purged.
    TComPort& setupPort();
    // The port on the download port's line settings, closed after the
    // pauses the program makes before a download (the session opens it).
    TComPort& downloadPort();

    QString path() const { return m_port.deviceName(); }

  private:
    enum class Lines { None, Live, Setup };
    // Reopens the port with the given lines, after the program's pause.
    void reopen(Lines lines);

    TComPort m_port;
    Io& m_io;
    Lines m_lines = Lines::None;
    int m_model = 0;
    bool m_recording = false;
    bool m_fahrenheit = false;
};

// The pause of the serial dialogues: a wait that runs events.
void pause(int ms);

} // namespace tq::cli
