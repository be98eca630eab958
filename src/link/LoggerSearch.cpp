#include "LoggerSearch.h"

#include "CommandGuard.h"
#include "Protocol.h"
#include "TComPort.h"

namespace tq {

namespace {
// A port step whose failure is an outcome of the search.
template <typename Step> bool attempt(Step&& step, QString* error = nullptr) {
    try {
        step();
        return true;
    } catch (const EComError& e) {
        if (error) *error = e.message();
    } catch (const SilentAbort&) {
    }
    return false;
}
} // namespace

std::optional<int> modelFromSearchReply(const QByteArray& reply) {
    if (reply.size() < LoggerSearch::kReplyLength) return std::nullopt;
    const QByteArray text = reply.left(LoggerSearch::kReplyLength);
    if (text.contains("860")) return 860;
    if (text.contains("862")) return 862;
    return std::nullopt;
}

LoggerSearch::LoggerSearch(TComPort& port, Pause pause) : m_port(port), m_pause(std::move(pause)) {}

LoggerSearch::Outcome LoggerSearch::probe() {
    m_model = 0;
    m_openError.clear();
    m_pause(kSettleMs);
    // The pause may end the search (the program quitting): it is called
    // outside the attempts so that reaches the caller.
    bool opened = attempt([&] { m_port.open(); }, &m_openError);
    if (opened) {
        m_pause(kSettleMs);
        opened = attempt([&] { m_port.purgeInput(); }, &m_openError);
    }
    if (!opened) {
        attempt([&] { m_port.close(); });
        return Outcome::CannotOpen;
    }

    QByteArray reply;
    bool answered = attempt([&] { m_port.write(protocol::plainCommand(protocol::kSearch)); });
    if (answered) {
        m_pause(kReplyWaitMs);
        answered = attempt([&] {
            if (m_port.inputCount() >= kReplyLength) reply = m_port.read(kReplyLength);
        });
    }
    if (const std::optional<int> model = answered ? modelFromSearchReply(reply) : std::nullopt) {
        m_model = *model;
        return Outcome::Found;
    }
    attempt([&] { m_port.close(); });
    return Outcome::NoLogger;
}

} // namespace tq
