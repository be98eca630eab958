#include "CommandGuard.h"
#include "Deadline.h"
#include "FakeLinkView.h"
#include "LiveLink.h"
#include "Messages.h"
#include "PtyPair.h"
#include "PumpingWait.h"
#include "TComPort.h"

#include <QTimer>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

using namespace tq;

namespace {
const QByteArray kFrame860("\xEF\xEA\x00\x03\x02\x01\x00\xFE", 8);

struct LinkRig {
    PtyPair pty;
    TComPort comm1;
    FakeLinkView view;
    LiveLink live{&comm1, &view};

    LinkRig() {
        comm1.setOnError([](TComPort&, const EComError&, int& action) { action = 1; });
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
    comm1.setOnError([](TComPort&, const EComError&, int& action) { action = 1; });
    LiveLink live(&comm1, &view);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(guarded([&] { live.MainTimerTimer(); }));
    EXPECT_FALSE(live.link().timerBusy);
    EXPECT_EQ(view.state, QStringLiteral("Off Connection"));
}

TEST(LiveLink, GatesRefuseWithoutConnectionOrWhileRecording) {
    LinkRig rig;
    QStringList shown;
    Messages::setHandler([&](Messages::Kind, const QString&, const QString& text) {
        shown << text;
        return Messages::Ok;
    });
    bool dialogRan = false;
    rig.live.btnSetupClick([&] { dialogRan = true; });
    rig.live.FirmwareVersion1Click([&](const QString&) { dialogRan = true; });
    rig.live.link().connected = true;
    rig.live.link().recording = true;
    rig.live.btnSetupClick([&] { dialogRan = true; });
    Messages::setHandler({});
    EXPECT_FALSE(dialogRan);
    EXPECT_EQ(shown,
              QStringList({QStringLiteral("There is no connection with Logger !"),
                           QStringLiteral("There is no connection with Logger !"),
                           QStringLiteral("The Logger is recording , please stop recording before setup.")}));
}

TEST(LiveLink, FirmwareQueryReadsElevenBytesOnly) {
    for (int length : {11, 10, 12, 40}) {
        LinkRig rig;
        rig.live.link().connected = true;
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
        rig.live.FirmwareVersion1Click([&](const QString& v) { shown = v; });
        EXPECT_FALSE(logger.isActive()) << "the V command never came";
        EXPECT_EQ(shown, length == 11 ? QStringLiteral("V1.02.003") : QString()) << length;
        // Back on the live link: handler attached, timer running, nothing left over.
        EXPECT_TRUE(rig.comm1.hasOnRxChar());
        EXPECT_TRUE(rig.live.MainTimer()->isActive());
        EXPECT_EQ(rig.comm1.inputCount(), 0);
        rig.live.MainTimer()->stop();
    }
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
