#include "FuzzSupport.h"

#include <QString>

namespace tq::fuzz {

void silenceQtMessages() {
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtFatalMsg) {
            std::fprintf(stderr, "Qt fatal: %s\n", qPrintable(text));
            std::abort();
        }
    });
}

} // namespace tq::fuzz
