#pragma once

#include <QByteArray>
#include <QDateTime>
#include <optional>

namespace tq {

class TComPort;

// The setup exchanges with the logger over the setup port (Comm3), each a
// command and a polled reply with its time limit. The caller has opened the
// port and detached its receive handler. The reply polls sleep in the
// port's wait and run no events. Port errors raise through the port.
class SetupSession {
  public:
    static constexpr int kReplyLimitMs = 2000;
    static constexpr int kEraseLimitMs = 5000;
    // The logger needs a moment after setting its clock.
    static constexpr int kSetClockPauseMs = 100;
    // The most of a reply that is read.
    static constexpr int kMaxReply = 256;
    // The erase command's parameter has no meaning to the logger.
    static constexpr char kEraseParameter = 0x00;

    explicit SetupSession(TComPort& port);

    // The setup port's line settings: 19200 baud, DTR off, RTS on.
    static void configurePort(TComPort& port);

    // Reads the memory directory with the block protocol until 256 bytes
    // were accepted (or the transfer gave up); directory gets them. Answers
    // the number of bytes accepted.
    int readDirectory(QByteArray& directory);
    // The interval list entry the logger reports; empty without a usable reply.
    std::optional<int> readInterval();
    // The interval itself, in seconds, whether the list holds it or not.
    std::optional<int> readIntervalSeconds();
    // The logger's clock, polled (the dialog reads it through its receive
    // handler); empty without a possible date and time in the reply.
    std::optional<QDateTime> readClock();

    // The replies of these are read and dropped.
    void setClock(const QDateTime& localTime);
    void setUnit(bool fahrenheit);
    void setInterval(int index);
    // True when the logger confirms the erase.
    bool erase();

    static QByteArray setClockCommand(const QDateTime& localTime);
    static QByteArray setUnitCommand(bool fahrenheit);
    static QByteArray setIntervalCommand(int index);
    static QByteArray eraseCommand();

  private:
    // Waits until at least minBytes arrived or limitMs passed; the reply
    // (at most kMaxReply bytes) when enough came, otherwise empty.
    QByteArray awaitReply(int minBytes, int limitMs);

    TComPort& m_port;
};

} // namespace tq
