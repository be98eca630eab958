#include "FirmwareQuery.h"

#include "Protocol.h"
#include "TComPort.h"

namespace tq {

std::optional<QString> firmwareFromReply(const QByteArray& reply) {
    if (reply.size() != FirmwareQuery::kReplyLength) return std::nullopt;
    return QString::fromLatin1(reply.mid(1, FirmwareQuery::kReplyLength - 2));
}

FirmwareQuery::FirmwareQuery(TComPort& port, Pause pause) : m_port(port), m_pause(std::move(pause)) {}

std::optional<QString> FirmwareQuery::run() {
    m_port.write(QByteArray(1, protocol::kWake));
    m_pause(kWakeMs);
    m_port.write(protocol::plainCommand(protocol::kFirmware));
    m_pause(kReplyWaitMs);
    const int waiting = m_port.inputCount();
    const QByteArray reply = m_port.read(qMin(waiting, kReplyBuffer));
    for (int rest = m_port.inputCount(); rest > 0; rest = m_port.inputCount())
        m_port.read(rest);
    // A reply longer than the buffer is no reply either, whatever its first bytes.
    return waiting == kReplyLength ? firmwareFromReply(reply) : std::nullopt;
}

} // namespace tq
