#include "CommandGuard.h"

#include "Messages.h"

namespace tq {

bool guarded(const std::function<void()>& body) {
    try {
        body();
        return true;
    } catch (const SilentAbort&) {
    } catch (const UserError& e) {
        Messages::error(e.text());
    } catch (const std::exception& e) {
        Messages::error(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        Messages::error(QStringLiteral("Unknown error"));
    }
    return false;
}

bool reported(const Outcome& outcome) {
    if (outcome.ok()) return true;
    if (!outcome.text.isEmpty()) Messages::error(outcome.text);
    return false;
}

} // namespace tq
