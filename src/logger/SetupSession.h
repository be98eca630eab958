#pragma once

#include "BlockTransfer.h"
#include "DeviceJob.h"
#include "MemoryImage.h"

#include <QByteArray>
#include <QDateTime>
#include <functional>
#include <optional>

namespace tq {

// The setup exchanges with the logger, on the setup port's lines (DTR off,
// RTS on): the commands' bytes, and the jobs that the setup dialog and
// tq880-cli queue on the device session.
namespace setup {

constexpr int kReplyLimitMs = 2000;
constexpr int kEraseLimitMs = 5000;
// The logger needs a moment after setting its clock.
constexpr int kSetClockPauseMs = 100;
// The most of a reply that is kept.
constexpr int kMaxReply = 256;
// Every reply the logger gives to a setting is at least this long.
constexpr int kShortReply = 3;
constexpr int kIntervalReply = 4;
constexpr int kClockReply = 8;
// The erase command's parameter has no meaning to the logger.
constexpr char kEraseParameter = 0x00;
// The setup port is closed, and opened again after this pause, for each exchange.
constexpr int kOpenPauseMs = 200;

QByteArray setClockCommand(const QDateTime& localTime);
QByteArray setUnitCommand(bool fahrenheit);
QByteArray setIntervalCommand(int index);
QByteArray eraseCommand();

} // namespace setup

// The setup dialog's start: the memory directory with the block protocol
// until 256 bytes were accepted (or the transfer gave up), then the
// interval.
class SetupStartJob : public DeviceJob {
  public:
    PortRole role() const override { return PortRole::Setup; }
    int openPauseMs() const override { return setup::kOpenPauseMs; }
    int resumeAfterOpenMs() const override { return 100; }
    JobStep start(const Outcome& open, qint64 nowMs) override;
    JobStep step(const QByteArray& arrived, qint64 nowMs) override;

    // The 256 directory bytes; empty unless all came.
    QByteArray directory() const;
    int directoryBytes() const { return int(m_transfer.received()); }
    // The interval in seconds, whether the list holds it or not.
    std::optional<int> intervalSeconds() const { return m_intervalSeconds; }

  private:
    MemoryImage m_block;
    // The fill byte matters only for the memory read's directory parse.
    BlockTransfer m_transfer{BlockTransfer::Mode::Directory, 0xFF, m_block};
    bool m_directoryDone = false;
    qint64 m_dueMs = 0;
    QByteArray m_reply;
    std::optional<int> m_intervalSeconds;
};

// One command and its reply: the bytes go out (a pause after them when
// asked), then the job waits until at least replyLength bytes came or the
// limit passed.
class SetupCommandJob : public DeviceJob {
  public:
    SetupCommandJob(QByteArray command, int replyLength, int limitMs, int pauseAfterSendMs = 0);

    PortRole role() const override { return PortRole::Setup; }
    int openPauseMs() const override { return setup::kOpenPauseMs; }
    int resumeBeforeOpenMs() const override { return setup::kOpenPauseMs; }
    JobStep start(const Outcome& open, qint64 nowMs) override;
    JobStep step(const QByteArray& arrived, qint64 nowMs) override;

    // The reply, when at least replyLength bytes came; empty otherwise.
    QByteArray reply() const { return m_reply.size() >= m_replyLength ? m_reply : QByteArray(); }

    // The commands of the dialog and tq880-cli.
    static std::unique_ptr<SetupCommandJob> setClock(const QDateTime& localTime);
    static std::unique_ptr<SetupCommandJob> setUnit(bool fahrenheit);
    static std::unique_ptr<SetupCommandJob> setInterval(int index);
    static std::unique_ptr<SetupCommandJob> erase();
    static std::unique_ptr<SetupCommandJob> readClock();
    static std::unique_ptr<SetupCommandJob> readInterval();

  private:
    QByteArray m_command;
    int m_replyLength;
    int m_limitMs;
    int m_pauseAfterSendMs;
    bool m_waiting = false;
    qint64 m_dueMs = 0;
    QByteArray m_reply;
};

// The setup dialog's clock while it is idle: every 500 ms the read-clock
// command, and the replies as they come.
class SetupClockJob : public DeviceJob {
  public:
    static constexpr int kTickMs = 500;

    // tick runs every 500 ms (the dialog shows the PC's time); clock with
    // each possible clock reply.
    std::function<void()> onTick;
    std::function<void(const QDateTime&)> onClock;

    PortRole role() const override { return PortRole::Setup; }
    JobStep start(const Outcome& open, qint64 nowMs) override;
    JobStep step(const QByteArray& arrived, qint64 nowMs) override;

    // What the setup port received and no clock reply has used yet; it lives
    // as long as the program, across openings of the dialog.
    static QByteArray& replyBuffer();

  private:
    qint64 m_nextTickMs = 0;
    bool m_portOpen = false;
};

} // namespace tq
