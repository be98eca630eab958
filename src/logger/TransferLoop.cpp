#include "TransferLoop.h"

#include "TComPort.h"

#include <QElapsedTimer>

#include <algorithm>

namespace tq {

void runBlockTransfer(TComPort& port, BlockTransfer& transfer, int maxSleepMs,
                      const std::function<bool(const BlockTransfer::Answer&, bool sliceOver)>& afterStep) {
    QElapsedTimer clock;
    clock.start();
    transfer.start(clock.elapsed());
    qint64 lastCall = clock.elapsed();
    while (!transfer.done()) {
        const qint64 untilDeadline = transfer.nextDeadlineMs() - clock.elapsed();
        const int wait = int(std::clamp<qint64>(untilDeadline, 0, maxSleepMs));
        QByteArray arrived;
        // The wait has pulled in what the device holds; no second look.
        if (const int waiting = port.waitForInput(wait)) arrived = port.read(waiting);

        const BlockTransfer::Answer answer = transfer.step(arrived, clock.elapsed());
        if (!answer.send.isEmpty()) port.write(answer.send);
        const bool sliceOver = clock.elapsed() - lastCall >= maxSleepMs;
        if (answer.blockHandled || sliceOver) lastCall = clock.elapsed();
        if (afterStep && !afterStep(answer, sliceOver)) return;
    }
}

} // namespace tq
