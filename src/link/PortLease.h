#pragma once

namespace tq {

class LiveLink;
class TComPort;

// A command's loan of the logger's device from the live link (download,
// setup dialog, firmware query). Taking it waits, at most 3 s each, for a
// running tick and a running receive handler, stops the link timer and
// closes the live port. Ending it gives the link back on every path, a
// silent abort and a port error included: the download port closed, the
// live port reopened with its receive handler and purged, the timer on.
// Once the program is ending nothing is given back (the download port is
// still closed). One lease at a time: a command finds the device lent
// (LiveLink::lent) and does not start; a port picked in the chooser
// meanwhile is switched to after the hand-back.
class PortLease {
  public:
    // The pauses around reopening the live port, which differ per command.
    struct Resume {
        int beforeOpenMs = 0;
        int afterOpenMs = 0;
        int afterPurgeMs = 0;
    };

    PortLease(LiveLink& live, Resume resume);
    ~PortLease();
    PortLease(const PortLease&) = delete;
    PortLease& operator=(const PortLease&) = delete;

    LiveLink& live() const { return m_live; }

    // The live port without its receive handler, reopened after the pause,
    // for a command that polls it. A failed open raises through the port.
    TComPort& pollLivePort(int pauseBeforeOpenMs);

    // The download port on the live port's device and baud rate, closed,
    // given time to settle and opened again (each download pass takes it
    // afresh). A failed open is not reported here: the first write fails.
    TComPort& openDownloadPort();

  private:
    // A pause of the hand-back; false once the program is ending.
    bool settle(int ms);

    LiveLink& m_live;
    Resume m_resume;
};

} // namespace tq
