#include "PumpingWait.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

namespace tq {

bool pumpingWait(int ms) {
    if (ms <= 0) {
        QCoreApplication::processEvents();
        return true;
    }
    // Only this timer ends the wait normally; anything else that ends the
    // loop (or a loop that will not start) is the program quitting.
    QEventLoop loop;
    bool waited = false;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, [&] {
        waited = true;
        loop.quit();
    });
    loop.exec();
    return waited;
}

bool pumpingWaitWhile(const std::function<bool()>& busy, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (busy()) {
        if (ms >= 0 && clock.elapsed() >= ms) return false;
        // Short slices so the flag is seen soon after it clears.
        if (!pumpingWait(10)) return false;
    }
    return true;
}

} // namespace tq
