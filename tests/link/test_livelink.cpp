#include "CommandGuard.h"
#include "Deadline.h"
#include "FakeLinkView.h"
#include "FedPort.h"
#include "FirmwareQuery.h"
#include "LiveLink.h"
#include "PortLease.h"
#include "PtyPair.h"
#include "PumpingWait.h"
#include "TComPort.h"

#include <QElapsedTimer>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

using namespace tq;
using tq::testing::FedPort;

namespace {
const QByteArray kFrame860("\xEF\xEA\x00\x03\x02\x01\x00\xFE", 8);

struct LinkRig {
    PtyPair pty;
    TComPort comm1;
    FakeLinkView view;
    LiveLink live{&comm1, &view};

    LinkRig() {
        comm1.setOnError(TComPort::abortSilently);
        comm1.setDeviceName(pty.slavePath());
        comm1.open();
        comm1.setOnRxChar([this] { live.Comm1RxChar(); });
    }
};
} // namespace

TEST(LiveLink, FirstValidFrameConnects) {
    LinkRig rig;
    ASSERT_TRUE(rig.comm1.active());
    rig.view.downloadEnabled = false;
    rig.view.dataLoggerEnabled = false;
    // Garbage and half a frame first: nothing happens yet.
    rig.pty.send(QByteArray("\x12\x34\xEF\xEA\x00", 5));
    pumpingWaitWhile([&] { return !rig.live.link().dataSeen; }, kEventDeadlineMs);
    EXPECT_FALSE(rig.live.link().connected);
    EXPECT_TRUE(rig.live.link().dataSeen); // bytes arrived
    rig.pty.send(QByteArray("\x03\x02\x01\x00\xFE", 5));
    pumpingWaitWhile([&] { return rig.view.lcdRefreshes == 0; }, kEventDeadlineMs);
    EXPECT_TRUE(rig.live.link().connected);
    EXPECT_EQ(rig.view.state, QStringLiteral("On Connection"));
    EXPECT_EQ(rig.view.device, rig.pty.slavePath());
    EXPECT_TRUE(rig.view.downloadEnabled);
    EXPECT_TRUE(rig.view.dataLoggerEnabled);
    EXPECT_TRUE(rig.view.rs232);
    EXPECT_EQ(rig.view.lastLcd.segmentMask, 0x1CB103u);
    EXPECT_TRUE(rig.live.link().rxBuffer.isEmpty());
    EXPECT_FALSE(rig.live.link().receiving);
}

TEST(LiveLink, ReadFailureNeverLeavesReceivingSet) {
    LinkRig rig;
    rig.comm1.close();
    EXPECT_FALSE(guarded([&] { rig.live.Comm1RxChar(); }));
    EXPECT_FALSE(rig.live.link().receiving);
}

TEST(LiveLink, WatchdogDeclaresTheLinkLostAfterThreeSilentTicks) {
    LinkRig rig;
    rig.pty.send(kFrame860);
    pumpingWaitWhile([&] { return !rig.live.link().connected; }, kEventDeadlineMs);
    ASSERT_TRUE(rig.live.link().connected);
    rig.live.MainTimerTimer(); // clears dataSeen
    EXPECT_EQ(rig.pty.receive(3, kEventDeadlineMs),
              QByteArray("\xEF\x41\xFE", 3)); // plain request, no wake byte
    rig.live.link().rxBuffer = "\xEF\x01";
    rig.live.MainTimerTimer();
    rig.live.MainTimerTimer();
    EXPECT_TRUE(rig.live.link().connected);
    rig.pty.receive(100, 200);
    rig.live.MainTimerTimer();
    EXPECT_FALSE(rig.live.link().connected);
    EXPECT_EQ(rig.view.state, QStringLiteral("Off Connection"));
    EXPECT_FALSE(rig.view.rs232);
    EXPECT_FALSE(rig.view.dataLoggerEnabled);
    EXPECT_TRUE(rig.view.downloadEnabled); // the watchdog leaves the button alone
    EXPECT_TRUE(rig.live.link().rxBuffer.isEmpty());
    EXPECT_EQ(rig.live.link().missedTicks, 0);
    EXPECT_FALSE(rig.live.link().timerBusy);

    // Not connected: the wake byte precedes each request.
    rig.live.MainTimerTimer();
    QByteArray sent;
    pumpingWaitWhile(
        [&] {
            sent += rig.pty.receive(1, 0);
            return !sent.endsWith(QByteArray("\x00\xEF\x41\xFE", 4));
        },
        kEventDeadlineMs);
    EXPECT_TRUE(sent.endsWith(QByteArray("\x00\xEF\x41\xFE", 4))) << sent.toHex().toStdString();

    // The first valid frame brings the link back.
    rig.pty.send(kFrame860);
    pumpingWaitWhile([&] { return !rig.live.link().connected; }, kEventDeadlineMs);
    EXPECT_EQ(rig.view.state, QStringLiteral("On Connection"));
    EXPECT_TRUE(rig.view.dataLoggerEnabled);
}

TEST(LiveLink, TickOnClosedPortSendsNothingAndClearsBusy) {
    FakeLinkView view;
    TComPort comm1;
    comm1.setOnError(TComPort::abortSilently);
    LiveLink live(&comm1, &view);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(guarded([&] { live.MainTimerTimer(); }));
    EXPECT_FALSE(live.link().timerBusy);
    EXPECT_EQ(view.state, QStringLiteral("Off Connection"));
}

TEST(LiveLink, FirmwareQueryReadsElevenBytesOnly) {
    for (int length : {11, 10, 12, 40}) {
        LinkRig rig;
        rig.live.link().connected = true;
        rig.live.MainTimer()->start();
        QString shown = QStringLiteral("unset");
        QByteArray reply = QByteArray("\xEF") + QByteArray("V1.02.003") + QByteArray("\xFE");
        reply = reply.leftJustified(length, 'x', true);
        // Play the logger: answer the V command when it comes (the query
        // waits one second for the reply).
        QByteArray asked;
        QTimer logger;
        QObject::connect(&logger, &QTimer::timeout, [&] {
            asked += rig.pty.receive(1, 0);
            if (!asked.contains("\xEF\x56\xFE")) return;
            logger.stop();
            rig.pty.send(reply);
        });
        logger.start(5);
        {
            PortLease lease(rig.live, {200, 0, 500});
            EXPECT_FALSE(rig.live.MainTimer()->isActive());
            TComPort& port = lease.pollLivePort(200);
            EXPECT_FALSE(rig.comm1.hasOnRxChar()); // polled, not handled
            shown = FirmwareQuery(port, [&](int ms) { rig.live.pause(ms); }).run().value_or(QString());
        }
        EXPECT_FALSE(logger.isActive()) << "the V command never came";
        EXPECT_TRUE(asked.startsWith(QByteArray("\x00", 1))) << "the wake byte first";
        EXPECT_EQ(shown, length == 11 ? QStringLiteral("V1.02.003") : QString()) << length;
        // Back on the live link: handler attached, timer running, nothing left over.
        EXPECT_TRUE(rig.comm1.active());
        EXPECT_TRUE(rig.comm1.hasOnRxChar());
        EXPECT_TRUE(rig.live.MainTimer()->isActive());
        EXPECT_EQ(rig.comm1.inputCount(), 0);
        rig.live.MainTimer()->stop();
    }
}

TEST(FirmwareQuery, ReplyParser) {
    EXPECT_EQ(firmwareFromReply(QByteArray("\xEFV1.02.003\xFE")), QStringLiteral("V1.02.003"));
    // Bytes 0 and 10 are not looked at.
    EXPECT_EQ(firmwareFromReply(QByteArray("xABCDEFGHIy")), QStringLiteral("ABCDEFGHI"));
    for (int length : {0, 1, 10, 12, 16, 300})
        EXPECT_FALSE(firmwareFromReply(QByteArray(length, 'V')).has_value()) << length;
}

TEST(PortLease, GivesTheLinkBackOnEveryPath) {
    LinkRig rig;
    rig.live.MainTimer()->start();
    // A port error inside the loan: the link is given back all the same.
    const bool finished = guarded([&] {
        PortLease lease(rig.live, {0, 0, 0});
        EXPECT_FALSE(rig.comm1.active());
        EXPECT_FALSE(rig.live.MainTimer()->isActive());
        TComPort& comm2 = lease.openDownloadPort();
        EXPECT_TRUE(comm2.active());
        EXPECT_EQ(comm2.deviceName(), rig.comm1.deviceName());
        EXPECT_FALSE(comm2.dtrOn());
        EXPECT_TRUE(comm2.rtsOn());
        comm2.close();
        comm2.write("x"); // a port error: a silent abort
    });
    EXPECT_FALSE(finished);
    EXPECT_TRUE(rig.comm1.active());
    EXPECT_TRUE(rig.comm1.hasOnRxChar());
    EXPECT_FALSE(rig.live.comm2()->active());
    EXPECT_TRUE(rig.live.MainTimer()->isActive());

    // Once the program is ending nothing is given back.
    {
        PortLease lease(rig.live, {0, 0, 0});
        rig.live.endLink();
    }
    EXPECT_FALSE(rig.comm1.active());
    EXPECT_FALSE(rig.live.MainTimer()->isActive());
}

TEST(PortLease, WaitsBoundedForATickAndAFrameBeingHandled) {
    LinkRig rig;
    // A handler suspended further up the stack never clears its flag: the
    // lease gives up waiting after three seconds each and takes the port.
    rig.live.link().timerBusy = true;
    rig.live.link().receiving = true;
    QElapsedTimer clock;
    clock.start();
    {
        PortLease lease(rig.live, {0, 0, 0});
        EXPECT_GE(clock.elapsed(), 2 * LiveLink::kBusyWaitMs - 50);
        EXPECT_FALSE(rig.comm1.active());
    }
    rig.live.link().timerBusy = rig.live.link().receiving = false;
    EXPECT_TRUE(rig.comm1.active());
    rig.live.MainTimer()->stop();
}

TEST(LiveLink, ReceiveHandlerFedWithoutADevice) {
    TComPort comm1;
    FakeLinkView view;
    LiveLink live(&comm1, &view);
    FedPort port;
    // 300 bytes waiting: at most 256 are taken per event.
    port.waiting = QByteArray(292, '\x12') + kFrame860;
    live.receive(port);
    EXPECT_EQ(port.waiting.size(), 300 - 256);
    EXPECT_FALSE(live.link().connected);
    live.receive(port);
    EXPECT_TRUE(live.link().connected);
    EXPECT_EQ(view.lcdRefreshes, 1);
    EXPECT_EQ(view.lastLcd.segmentMask, 0x1CB103u);
    EXPECT_FALSE(live.link().receiving);
}

TEST(LiveLink, ContinuousStreamOfFramesKeepsThePortOpen) {
    LinkRig rig;
    rig.live.MainTimer()->start();
    // Frames back to back for five seconds, one byte at a time at the pace
    // of the wire (19200 baud: 1920 bytes a second), as a serial adapter
    // delivers them.
    constexpr int kBytesPerSecond = 1920;
    constexpr auto kStreamTime = std::chrono::seconds(5);
    std::atomic<qint64> sent{0};
    std::atomic<bool> done{false};
    std::thread logger([&] {
        const auto start = std::chrono::steady_clock::now();
        for (auto now = start; now - start < kStreamTime; now = std::chrono::steady_clock::now()) {
            const qint64 due = std::chrono::duration_cast<std::chrono::milliseconds>(now - start).count() *
                               kBytesPerSecond / 1000;
            for (qint64 n = sent; n < due; n = ++sent)
                rig.pty.send(kFrame860.mid(int(n % kFrame860.size()), 1));
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        done = true;
    });
    bool everClosed = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] { everClosed = everClosed || !rig.comm1.active(); });
    watch.start(20);
    pumpingWaitWhile([&] { return !done; }, 60000);
    logger.join();
    const int frames = int(sent / kFrame860.size());
    pumpingWaitWhile([&] { return rig.view.lcdRefreshes < frames; }, 30000);
    watch.stop();

    EXPECT_FALSE(everClosed);
    ASSERT_TRUE(rig.comm1.active());
    EXPECT_EQ(rig.view.lcdRefreshes, frames); // every frame decoded
    EXPECT_TRUE(rig.live.link().connected);
    // The link still asks for frames.
    rig.pty.receive(1 << 16, 0);
    QByteArray requests;
    pumpingWaitWhile(
        [&] {
            requests += rig.pty.receive(1, 0);
            return !requests.contains("\xEF\x41\xFE");
        },
        kEventDeadlineMs);
    EXPECT_TRUE(requests.contains("\xEF\x41\xFE"));
    rig.live.MainTimer()->stop();
}
