#include "Deadline.h"
#include "DeviceSession.h"
#include "FakeLinkView.h"
#include "FirmwareQuery.h"
#include "JobRunner.h"
#include "LiveLink.h"
#include "LoggerSearch.h"
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
const QByteArray kLive("\xEF\x41\xFE", 3);
const QByteArray kWake(1, '\0');

// The live link over a session that never opens a port: its job is fed by hand.
struct LinkRig {
    DeviceSession session;
    FakeLinkView view;
    LiveLink live{&session, &view};
};

// A job that answers with a fixed step and counts how it was driven.
class ScriptedJob : public DeviceJob {
  public:
    explicit ScriptedJob(QByteArray send, int waitMs = 50) : m_send(std::move(send)), m_waitMs(waitMs) {}
    PortRole role() const override { return PortRole::Download; }
    JobStep start(const Outcome& open, qint64 nowMs) override {
        opened = open.ok();
        openError = open.text;
        m_due = nowMs + m_waitMs;
        return JobStep::wakeAt(m_due, m_send);
    }
    JobStep step(const QByteArray& arrived, qint64 nowMs) override {
        received += arrived;
        return nowMs >= m_due ? JobStep::finished() : JobStep::wakeAt(m_due);
    }
    bool opened = false;
    QString openError;
    QByteArray received;

  private:
    QByteArray m_send;
    int m_waitMs;
    qint64 m_due = 0;
};
} // namespace

TEST(LiveLink, FirstValidFrameConnects) {
    LinkRig rig;
    rig.view.downloadEnabled = false;
    rig.view.dataLoggerEnabled = false;
    // Garbage and half a frame first: nothing happens yet.
    rig.live.Comm1RxChar(QByteArray("\x12\x34\xEF\xEA\x00", 5));
    EXPECT_FALSE(rig.live.link().connected);
    EXPECT_TRUE(rig.live.link().dataSeen); // bytes arrived
    rig.live.Comm1RxChar(QByteArray("\x03\x02\x01\x00\xFE", 5));
    EXPECT_EQ(rig.view.lcdRefreshes, 1);
    EXPECT_TRUE(rig.live.link().connected);
    EXPECT_EQ(rig.view.state, QStringLiteral("On Connection"));
    EXPECT_TRUE(rig.view.downloadEnabled);
    EXPECT_TRUE(rig.view.dataLoggerEnabled);
    EXPECT_TRUE(rig.view.rs232);
    EXPECT_EQ(rig.view.lastLcd.segmentMask, 0x1CB103u);
    EXPECT_TRUE(rig.live.link().rxBuffer.isEmpty());
    EXPECT_FALSE(rig.live.link().receiving);
}

TEST(LiveLink, WatchdogDeclaresTheLinkLostAfterThreeSilentTicks) {
    LinkRig rig;
    rig.live.Comm1RxChar(kFrame860);
    ASSERT_TRUE(rig.live.link().connected);
    EXPECT_EQ(rig.live.MainTimerTimer(1000, true), kLive); // clears dataSeen; no wake byte
    rig.live.link().rxBuffer = "\xEF\x01";
    rig.live.MainTimerTimer(2000, true);
    rig.live.MainTimerTimer(3000, true);
    EXPECT_TRUE(rig.live.link().connected);
    rig.live.MainTimerTimer(4000, true);
    EXPECT_FALSE(rig.live.link().connected);
    EXPECT_EQ(rig.view.state, QStringLiteral("Off Connection"));
    EXPECT_FALSE(rig.view.rs232);
    EXPECT_FALSE(rig.view.dataLoggerEnabled);
    EXPECT_TRUE(rig.view.downloadEnabled); // the watchdog leaves the button alone
    EXPECT_TRUE(rig.live.link().rxBuffer.isEmpty());
    EXPECT_EQ(rig.live.link().missedTicks, 0);

    // Not connected: the wake byte, and the request 200 ms later.
    EXPECT_EQ(rig.live.MainTimerTimer(5000, true), kWake);
    const JobStep early = rig.live.step({}, 5100);
    EXPECT_TRUE(early.send.isEmpty());
    EXPECT_EQ(early.wakeAtMs, 5200);
    EXPECT_EQ(rig.live.step({}, 5200).send, kLive);
    // A closed port gets nothing.
    EXPECT_TRUE(rig.live.MainTimerTimer(6000, false).isEmpty());

    // The first valid frame brings the link back.
    rig.live.Comm1RxChar(kFrame860);
    EXPECT_EQ(rig.view.state, QStringLiteral("On Connection"));
    EXPECT_TRUE(rig.view.dataLoggerEnabled);
}

TEST(LiveLink, TicksStayOneSecondApartWithA500MsFloor) {
    EXPECT_EQ(LiveLink::correctedInterval(1000, 1300), 700);
    EXPECT_EQ(LiveLink::correctedInterval(700, 700), 1000);
    EXPECT_EQ(LiveLink::correctedInterval(1000, 1600), 500);

    LinkRig rig;
    rig.live.startLink();
    // The first start sends the checksummed request, and the first tick is a second on.
    const JobStep first = rig.live.start(Outcome::success(), 0);
    EXPECT_EQ(first.send, QByteArray("\x02\x41\xC1\x03", 4));
    EXPECT_EQ(first.wakeAtMs, 1000);
    rig.live.Comm1RxChar(kFrame860);
    EXPECT_EQ(rig.live.step({}, 1000).wakeAtMs, 2000);
    // A tick 300 ms late: the next comes 700 ms after it, then the period is back.
    EXPECT_EQ(rig.live.step({}, 2300).wakeAtMs, 3000);
    EXPECT_EQ(rig.live.step({}, 3000).wakeAtMs, 4000);
    // Resumed after a command: no checksummed request, a fresh second.
    const JobStep again = rig.live.start(Outcome::success(), 9000);
    EXPECT_TRUE(again.send.isEmpty());
    EXPECT_EQ(again.wakeAtMs, 10000);
}

TEST(FirmwareQuery, WakeByteThenVAndOnlyAnElevenByteReplyCounts) {
    for (int length : {11, 10, 12, 40}) {
        FirmwareQuery query;
        JobStep step = query.start(Outcome::success(), 0);
        EXPECT_EQ(step.send, kWake);
        EXPECT_EQ(step.wakeAtMs, 200);
        step = query.step({}, 200);
        EXPECT_EQ(step.send, QByteArray("\xEF\x56\xFE", 3));
        EXPECT_EQ(step.wakeAtMs, 1200);
        QByteArray reply = QByteArray("\xEF") + QByteArray("V1.02.003") + QByteArray("\xFE");
        reply = reply.leftJustified(length, 'x', true);
        // In two pieces, as a serial line delivers it.
        EXPECT_FALSE(query.step(reply.left(5), 600).done);
        EXPECT_FALSE(query.step(reply.mid(5), 700).done);
        EXPECT_TRUE(query.step({}, 1200).done);
        EXPECT_EQ(query.version().value_or(QString()), length == 11 ? QStringLiteral("V1.02.003") : QString())
            << length;
    }
    FirmwareQuery closed;
    EXPECT_TRUE(closed.start(Outcome::fail(Outcome::Code::CannotOpen, QStringLiteral("busy")), 0).done);
    EXPECT_EQ(closed.outcome().code, JobOutcome::Code::CannotOpen);
}

TEST(FirmwareQuery, ReplyParser) {
    EXPECT_EQ(firmwareFromReply(QByteArray("\xEFV1.02.003\xFE")), QStringLiteral("V1.02.003"));
    // Bytes 0 and 10 are not looked at.
    EXPECT_EQ(firmwareFromReply(QByteArray("xABCDEFGHIy")), QStringLiteral("ABCDEFGHI"));
    for (int length : {0, 1, 10, 12, 16, 300})
        EXPECT_FALSE(firmwareFromReply(QByteArray(length, 'V')).has_value()) << length;
}

TEST(LoggerSearch, StepsOfTheHandshakeWithAMadeUpClock) {
    LoggerSearch search({QStringLiteral("/dev/a"), QStringLiteral("/dev/b"), QStringLiteral("/dev/c")});
    QStringList tried;
    search.onProbe = [&](const QString& d) { tried << d; };
    // a: cannot be opened.
    JobStep step = search.start(Outcome::fail(Outcome::Code::CannotOpen, {}), 0);
    EXPECT_EQ(step.wakeAtMs, 200);
    step = search.step({}, 200);
    DeviceJob::PortRequest request = search.takePortRequest();
    EXPECT_EQ(request.kind, DeviceJob::PortRequest::Kind::Open);
    EXPECT_EQ(request.device, QStringLiteral("/dev/a"));
    step = search.opened(Outcome::fail(Outcome::Code::CannotOpen, QStringLiteral("Permission denied")), 200);
    EXPECT_EQ(step.wakeAtMs, 400); // the next port's settling
    // b: opens, answers garbage of five bytes.
    search.step({}, 400);
    EXPECT_EQ(search.takePortRequest().device, QStringLiteral("/dev/b"));
    EXPECT_EQ(search.opened(Outcome::success(), 400).wakeAtMs, 600);
    search.step(QByteArray("stale"), 500); // what the line held before is no reply
    step = search.step({}, 600);
    EXPECT_EQ(step.send, QByteArray("\xEF\x4D\xFE", 3));
    EXPECT_EQ(step.wakeAtMs, 1100);
    search.step(QByteArray("\xEF\x31\x32\x33\xFE", 5), 700);
    step = search.step({}, 1100);
    EXPECT_EQ(search.takePortRequest().kind, DeviceJob::PortRequest::Kind::Close);
    // c: the model in its reply.
    search.step({}, step.wakeAtMs);
    search.takePortRequest();
    search.opened(Outcome::success(), 1300);
    search.step({}, 1500);
    search.step(QByteArray("\xEF\x38\x36\x32\xFE", 5), 1600);
    EXPECT_TRUE(search.step({}, 2000).done);

    EXPECT_EQ(tried, QStringList({"/dev/a", "/dev/b", "/dev/c"}));
    EXPECT_EQ(search.foundIndex(), 2);
    EXPECT_EQ(search.model(), kModel862);
    EXPECT_EQ(search.probes()[0].outcome, LoggerSearch::Outcome::CannotOpen);
    EXPECT_EQ(search.probes()[0].why, QStringLiteral("Permission denied"));
    EXPECT_EQ(search.probes()[1].outcome, LoggerSearch::Outcome::NotALogger);
    EXPECT_EQ(modelFromSearchReply(QByteArray("\xEF\x38\x36", 3)), std::nullopt);
}

TEST(DeviceSession, ACommandStopsTheLivePollingAndTheLinkResumesAfterItOnEveryPath) {
    auto pty = std::make_unique<PtyPair>();
    DeviceSession session;
    FakeLinkView view;
    LiveLink live(&session, &view);
    session.setDevice(pty->slavePath());
    live.startLink();
    ASSERT_TRUE(pumpingWaitWhile([&] { return !live.ticking(); }, kEventDeadlineMs));
    EXPECT_TRUE(session.port().dtrOn());
    EXPECT_FALSE(session.port().rtsOn());

    // A job queued while the live polling runs: it gets the port on its own lines.
    bool downloadLines = false;
    bool tickingDuringJob = true;
    const JobOutcome ok =
        tq::testing::runJob<ScriptedJob>(session, std::make_unique<ScriptedJob>("go"), [&](ScriptedJob& job) {
            downloadLines = job.opened && !session.port().dtrOn() && session.port().rtsOn();
            tickingDuringJob = live.ticking();
        });
    EXPECT_TRUE(ok.ok());
    EXPECT_TRUE(downloadLines);
    EXPECT_FALSE(tickingDuringJob);
    QByteArray wire;
    pumpingWaitWhile(
        [&] {
            wire += pty->receive(1, 0);
            return !wire.contains("go");
        },
        kEventDeadlineMs);
    EXPECT_TRUE(wire.contains("go"));
    ASSERT_TRUE(pumpingWaitWhile([&] { return !live.ticking(); }, kEventDeadlineMs));
    EXPECT_TRUE(session.port().dtrOn());

    // Two jobs queued at once run one after the other; a hold keeps the
    // live link off between them.
    session.hold();
    EXPECT_TRUE(live.lent());
    QStringList order;
    session.queue(std::make_unique<ScriptedJob>("1"), [&](DeviceJob&) { order << "1"; });
    session.queue(std::make_unique<ScriptedJob>("2"), [&](DeviceJob&) { order << "2"; });
    pumpingWaitWhile([&] { return order.size() < 2; }, kEventDeadlineMs);
    EXPECT_EQ(order, QStringList({"1", "2"}));
    pumpingWait(300);
    EXPECT_FALSE(live.ticking());
    session.release(0, 0);
    EXPECT_TRUE(pumpingWaitWhile([&] { return !live.ticking(); }, kEventDeadlineMs));

    // The device vanishing under a job ends it with the reason; the live
    // link goes on polling a closed port.
    auto vanish = std::make_unique<ScriptedJob>("x", 5000);
    bool over = false;
    JobOutcome lost;
    session.queue(std::move(vanish), [&](DeviceJob& job) {
        lost = job.outcome();
        over = true;
    });
    pumpingWaitWhile([&] { return !session.port().rtsOn() || !session.port().active(); }, kEventDeadlineMs);
    pty.reset(); // unplugged
    pumpingWaitWhile([&] { return !over; }, kEventDeadlineMs);
    EXPECT_EQ(lost.code, JobOutcome::Code::DeviceRemoved);
    EXPECT_TRUE(pumpingWaitWhile([&] { return !live.ticking(); }, kEventDeadlineMs));
}

TEST(DeviceSession, ACommandQueuedDuringTheSearchRunsWhenTheSearchIsOver) {
    PtyPair quiet;
    DeviceSession session;
    QStringList order;
    session.queue(std::make_unique<LoggerSearch>(QStringList{quiet.slavePath()}),
                  [&](DeviceJob& job) { order << (job.outcome().ok() ? "found" : "search over"); });
    // The command comes while the search waits for the silent port's reply.
    pumpingWaitWhile([&] { return !session.port().active(); }, kEventDeadlineMs);
    session.queue(std::make_unique<ScriptedJob>("cmd"), [&](DeviceJob&) { order << "command"; });
    pumpingWaitWhile([&] { return order.size() < 2; }, kEventDeadlineMs);
    EXPECT_EQ(order, QStringList({"search over", "command"}));
    // The search asked once; the command's bytes came after it.
    QByteArray wire;
    pumpingWaitWhile(
        [&] {
            wire += quiet.receive(1, 0);
            return !wire.contains("cmd");
        },
        kEventDeadlineMs);
    EXPECT_LT(wire.indexOf("\xEF\x4D\xFE"), wire.indexOf("cmd"));
}

TEST(DeviceSession, ClosingCancelsTheRunningAndTheQueuedJobsAndNothingStartsAgain) {
    PtyPair pty;
    DeviceSession session;
    session.setDevice(pty.slavePath());
    QList<JobOutcome::Code> codes;
    session.queue(std::make_unique<ScriptedJob>("a", 60000),
                  [&](DeviceJob& j) { codes << j.outcome().code; });
    session.queue(std::make_unique<ScriptedJob>("b"), [&](DeviceJob& j) { codes << j.outcome().code; });
    pumpingWaitWhile([&] { return !session.port().active(); }, kEventDeadlineMs);
    session.shutdown();
    EXPECT_EQ(codes, (QList<JobOutcome::Code>{JobOutcome::Code::Cancelled, JobOutcome::Code::Cancelled}));
    EXPECT_FALSE(session.port().active());
    EXPECT_FALSE(session.busy());
    // Queued after the end: cancelled at once.
    session.queue(std::make_unique<ScriptedJob>("c"), [&](DeviceJob& j) { codes << j.outcome().code; });
    EXPECT_EQ(codes.size(), 3);
    pumpingWait(200);
    EXPECT_FALSE(session.port().active());
    EXPECT_FALSE(pty.receive(64, 0).contains('c'));
}

TEST(DeviceSession, ADevicePickedDuringAJobIsTakenAfterIt) {
    PtyPair a, b;
    DeviceSession session;
    session.setDevice(a.slavePath());
    bool over = false;
    QString deviceDuringJob;
    session.queue(std::make_unique<ScriptedJob>("a", 300), [&](DeviceJob&) {
        deviceDuringJob = session.deviceName();
        over = true;
    });
    pumpingWaitWhile([&] { return !session.port().active(); }, kEventDeadlineMs);
    session.setDevice(b.slavePath());
    pumpingWaitWhile([&] { return !over; }, kEventDeadlineMs);
    EXPECT_EQ(deviceDuringJob, a.slavePath());
    tq::testing::runJob(session, std::make_unique<ScriptedJob>("b"));
    EXPECT_EQ(session.deviceName(), b.slavePath());
    EXPECT_TRUE(b.receive(1, kEventDeadlineMs).contains('b'));
}

TEST(LiveLink, ContinuousStreamOfFramesKeepsThePortOpen) {
    PtyPair pty;
    DeviceSession session;
    FakeLinkView view;
    LiveLink live(&session, &view);
    session.setDevice(pty.slavePath());
    live.startLink();
    ASSERT_TRUE(pumpingWaitWhile([&] { return !live.ticking(); }, kEventDeadlineMs));
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
                pty.send(kFrame860.mid(int(n % kFrame860.size()), 1));
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        done = true;
    });
    bool everClosed = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] { everClosed = everClosed || !session.port().active(); });
    watch.start(20);
    pumpingWaitWhile([&] { return !done; }, 60000);
    logger.join();
    const int frames = int(sent / kFrame860.size());
    pumpingWaitWhile([&] { return view.lcdRefreshes < frames; }, 30000);
    watch.stop();

    EXPECT_FALSE(everClosed);
    ASSERT_TRUE(session.port().active());
    EXPECT_EQ(view.lcdRefreshes, frames); // every frame decoded
    EXPECT_TRUE(live.link().connected);
    // The link still asks for frames.
    pty.receive(1 << 16, 0);
    QByteArray requests;
    pumpingWaitWhile(
        [&] {
            requests += pty.receive(1, 0);
            return !requests.contains(kLive);
        },
        kEventDeadlineMs);
    EXPECT_TRUE(requests.contains(kLive));
}
