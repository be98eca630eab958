#pragma once

#include "Cli.h"
#include "DeviceJob.h"
#include "DeviceSession.h"
#include "LoggerModel.h"

#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace tq::cli {

// The logger on the port a command is given, talked to as the program
// talks to it: each exchange is a job of a device session, run under the
// command line's event loop until it is over. Each step that fails says
// why on standard error.
class LoggerPort {
  public:
    LoggerPort(const QString& path, Io& io);

    // The search handshake: false when the port cannot be opened or no
    // logger answers.
    bool identify();
    const LoggerModel& model() const { return m_model; }

    // One live frame, for the recording mark and the unit; false when none
    // came.
    bool readLiveFrame();
    bool recording() const { return m_recording; }
    bool fahrenheit() const { return m_fahrenheit; }
    // identify() and readLiveFrame(), refusing a recording logger: the
    // status to end with, or Ok to go on.
    int readyForCommand();

    // The firmware version text; empty without a reply of the right length.
    std::optional<QString> firmware();

    // Runs job to its end; take sees it before it goes. The outcome, with a
    // port failure already said on standard error.
    JobOutcome run(std::unique_ptr<DeviceJob> job, const std::function<void(DeviceJob&)>& take = {});

    // Runs the event loop for the session's idle job (the live link) until
    // Ctrl+C or SIGTERM, which end it as asked (not as an interruption), or
    // until something calls QCoreApplication::exit. The loop's status, 0 for
    // a signal.
    static int watch();

    QString path() const { return m_path; }
    // Ctrl+C or SIGTERM came: the running job was cancelled and no other starts.
    static bool interrupted();
    // For a command that Ctrl+C or SIGTERM ends as asked: whether one came,
    // forgotten from then on.
    static bool takeInterrupt();
    DeviceSession& session() { return m_session; }

  private:
    QString m_path;
    Io& m_io;
    DeviceSession m_session;
    LoggerModel m_model = kModel860;
    bool m_recording = false;
    bool m_fahrenheit = false;
};

// Whether a probe of one port finds a logger, and its model.
std::optional<LoggerModel> probePort(const QString& path);

} // namespace tq::cli
