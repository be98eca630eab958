#include "PumpingWait.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

namespace tq {

void pumpingWait(int ms) {
    if (ms <= 0) {
        QCoreApplication::processEvents();
        return;
    }
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

bool boundedWait(const std::function<bool()>& busy, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (busy()) {
        if (clock.elapsed() >= ms) return false;
        QThread::msleep(5);
    }
    return true;
}

bool pumpingWaitWhile(const std::function<bool()>& busy, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (busy()) {
        if (ms >= 0 && clock.elapsed() >= ms) return false;
        // Short slices so the flag is seen soon after it clears.
        pumpingWait(10);
    }
    return true;
}

} // namespace tq
