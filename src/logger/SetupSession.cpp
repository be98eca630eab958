#include "SetupSession.h"

#include "BlockTransfer.h"
#include "IntervalTable.h"
#include "LoggerLog.h"
#include "MemoryLayout.h"
#include "Protocol.h"
#include "PumpingWait.h"
#include "SetupReplies.h"
#include "TComPort.h"
#include "TransferLoop.h"

#include <QElapsedTimer>

namespace tq {

namespace {
// Every reply the logger gives to a setting is at least this long.
constexpr int kShortReply = 3;
constexpr int kIntervalReply = 4;
constexpr int kClockReply = 8;
// The directory read runs no events, so it only needs the machine's deadlines.
constexpr int kDirectorySleepMs = 500;
} // namespace

SetupSession::SetupSession(TComPort& port) : m_port(port) {}

void SetupSession::configurePort(TComPort& port) {
    port.setBaudRate(19200);
    port.setDtrControl(TComPort::DtrControl::Disable);
    port.setRtsControl(TComPort::RtsControl::Enable);
}

int SetupSession::readDirectory(QByteArray& directory) {
    directory.clear();
    MemoryImage block;
    // The fill byte matters only for the memory read's directory parse.
    BlockTransfer transfer(BlockTransfer::Mode::Directory, 0xFF, block);
    m_port.write(protocol::plainCommand(protocol::kReadDirectory));
    runBlockTransfer(m_port, transfer, kDirectorySleepMs, {});
    directory = QByteArray(reinterpret_cast<const char*>(block.data()), block.size());
    qCDebug(lcLogger) << "directory read:" << transfer.received() << "bytes," << transfer.retries()
                      << "retries";
    return int(transfer.received());
}

std::optional<int> SetupSession::readInterval() {
    const std::optional<int> seconds = readIntervalSeconds();
    if (!seconds) return std::nullopt;
    return intervals::indexOfSeconds(*seconds);
}

std::optional<int> SetupSession::readIntervalSeconds() {
    m_port.write(protocol::plainCommand(protocol::kReadInterval));
    // All four bytes are awaited: looking at the reply after three would
    // miss a fourth still on the line.
    return intervalSecondsFromReply(awaitReply(kIntervalReply, kReplyLimitMs));
}

std::optional<QDateTime> SetupSession::readClock() {
    m_port.write(protocol::plainCommand(protocol::kReadClock));
    QByteArray reply = awaitReply(kClockReply, kReplyLimitMs);
    return takeClockReplies(reply);
}

QByteArray SetupSession::setClockCommand(const QDateTime& t) {
    const QDate d = t.date();
    const QTime h = t.time();
    QByteArray params;
    for (int v : {d.year() % 100, d.month(), d.day(), h.hour(), h.minute(), h.second()})
        params.append(char(v));
    return protocol::plainCommand(protocol::kSetClock, params);
}

QByteArray SetupSession::setUnitCommand(bool fahrenheit) {
    return protocol::plainCommand(protocol::kSetUnit, QByteArray(1, fahrenheit ? char(1) : char(0)));
}

QByteArray SetupSession::setIntervalCommand(int index) {
    QByteArray params;
    params.append(char(index)).append(char(0));
    return protocol::plainCommand(protocol::kSetInterval, params);
}

QByteArray SetupSession::eraseCommand() {
    return protocol::plainCommand(protocol::kErase, QByteArray(1, kEraseParameter));
}

void SetupSession::setClock(const QDateTime& localTime) {
    m_port.write(setClockCommand(localTime));
    pumpingWait(kSetClockPauseMs);
    awaitReply(kShortReply, kReplyLimitMs);
}

void SetupSession::setUnit(bool fahrenheit) {
    m_port.write(setUnitCommand(fahrenheit));
    awaitReply(kShortReply, kReplyLimitMs);
}

void SetupSession::setInterval(int index) {
    m_port.write(setIntervalCommand(index));
    awaitReply(kShortReply, kReplyLimitMs);
}

bool SetupSession::erase() {
    m_port.write(eraseCommand());
    return eraseConfirmed(awaitReply(kShortReply, kEraseLimitMs));
}

QByteArray SetupSession::awaitReply(int minBytes, int limitMs) {
    QElapsedTimer clock;
    clock.start();
    QByteArray reply;
    while (reply.size() < minBytes) {
        const qint64 left = limitMs - clock.elapsed();
        if (left <= 0) break;
        if (const int waiting = m_port.waitForInput(int(left)))
            reply += m_port.read(qMin(waiting, kMaxReply - int(reply.size())));
    }
    return reply.size() >= minBytes ? reply : QByteArray();
}

} // namespace tq
