#include "SetupSession.h"
#include "DeviceSession.h"
#include "FdIo.h"
#include "JobRunner.h"
#include "LoggerSim.h"
#include "LoggerTestSupport.h"
#include "SetupReplies.h"
#include "TComPort.h"

#include <QThread>
#include <gtest/gtest.h>

using namespace tq;
using tq::sim::LoggerSim;
using tq::testing::runJob;

namespace {

struct SetupRig {
    LoggerSim sim;
    DeviceSession session;
    explicit SetupRig(int model) : sim(model) {
        QString error;
        EXPECT_TRUE(sim.start(&error)) << error.toStdString();
        session.setDevice(sim.devicePath());
    }
    QByteArray reply(std::unique_ptr<SetupCommandJob> job) {
        QByteArray r;
        runJob<SetupCommandJob>(session, std::move(job), [&](SetupCommandJob& j) { r = j.reply(); });
        return r;
    }
    std::optional<int> interval() { return intervalSecondsFromReply(reply(SetupCommandJob::readInterval())); }
};

} // namespace

TEST(SetupSession, StartReadsTheDirectoryTo256AndTheIntervalForBothModels) {
    for (int model : {860, 862}) {
        SetupRig rig(model);
        rig.sim.setDataSets(LoggerSim::demoDataSets(4, 100));
        rig.sim.setBadChecksumBlock(1);
        rig.sim.setIntervalSeconds(300);
        QByteArray directory;
        std::optional<int> seconds;
        bool linesOfSetup = false;
        const JobOutcome outcome =
            runJob<SetupStartJob>(rig.session, std::make_unique<SetupStartJob>(), [&](SetupStartJob& job) {
                directory = job.directory();
                seconds = job.intervalSeconds();
                linesOfSetup = !rig.session.port().dtrOn() && rig.session.port().rtsOn();
            });
        EXPECT_TRUE(outcome.ok());
        EXPECT_EQ(directory, rig.sim.memoryImage().left(256));
        EXPECT_EQ(seconds, 300);
        EXPECT_TRUE(linesOfSetup);
        const QVector<QByteArray> sent = rig.sim.receivedCommands();
        const QByteArray accept = bytes({0xEF, 0x79, 0xFE});
        EXPECT_EQ(sent.first(), bytes({0xEF, 0x64, 0xFE}));
        EXPECT_EQ(sent.count(accept), 4);
        EXPECT_EQ(sent.count(bytes({0xEF, 0x6E, 0xFE})), 1);
        EXPECT_EQ(sent.last(), bytes({0xEF, 0x49, 0xFE}));
    }
}

TEST(SetupSession, ASilentLoggerGivesNoDirectoryAndNoInterval) {
    SetupRig rig(860);
    rig.sim.setSilent(true);
    QByteArray directory = "old";
    std::optional<int> seconds = 5;
    const JobOutcome outcome =
        runJob<SetupStartJob>(rig.session, std::make_unique<SetupStartJob>(), [&](SetupStartJob& job) {
            directory = job.directory();
            seconds = job.intervalSeconds();
        });
    EXPECT_EQ(outcome.code, JobOutcome::Code::NoAnswer);
    EXPECT_TRUE(directory.isEmpty());
    EXPECT_FALSE(seconds.has_value());
}

TEST(SetupSession, SettingsReadBackWhatWasSet) {
    SetupRig rig(862);
    rig.sim.setIntervalSeconds(300);
    EXPECT_EQ(rig.interval(), 300);

    EXPECT_FALSE(rig.reply(SetupCommandJob::setInterval(13)).isEmpty());
    EXPECT_EQ(rig.sim.intervalSeconds(), 3600);
    EXPECT_EQ(rig.interval(), 3600);

    rig.reply(SetupCommandJob::setUnit(true));
    EXPECT_TRUE(rig.sim.unitFahrenheit());
    rig.reply(SetupCommandJob::setUnit(false));
    EXPECT_FALSE(rig.sim.unitFahrenheit());

    const QDateTime target(QDate(2031, 2, 3), QTime(4, 5, 6));
    rig.reply(SetupCommandJob::setClock(target));
    EXPECT_TRUE(
        rig.sim.receivedCommands().contains(bytes({0xEF, 0x74, 0x1F, 0x02, 0x03, 0x04, 0x05, 0x06, 0xFE})));
    EXPECT_LE(std::abs(target.secsTo(rig.sim.loggerClock())), 3);
    QByteArray clock = rig.reply(SetupCommandJob::readClock());
    const std::optional<QDateTime> read = takeClockReplies(clock);
    ASSERT_TRUE(read.has_value());
    EXPECT_LE(std::abs(target.secsTo(*read)), 3);
}

TEST(SetupSession, EraseSucceedsOnlyWithTheYReply) {
    SetupRig rig(860);
    rig.sim.setDataSets(LoggerSim::demoDataSets(2, 50));
    const QByteArray memory = rig.sim.memoryImage();
    rig.sim.setEraseRefused(true);
    EXPECT_FALSE(eraseConfirmed(rig.reply(SetupCommandJob::erase())));
    EXPECT_EQ(rig.sim.memoryImage(), memory);
    rig.sim.setEraseRefused(false);
    EXPECT_TRUE(eraseConfirmed(rig.reply(SetupCommandJob::erase())));
    EXPECT_EQ(rig.sim.memoryImage(), QByteArray(256, char(0xFF)));
    EXPECT_EQ(rig.sim.receivedCommands().last(), bytes({0xEF, 0x65, 0x00, 0xFE}));
}

TEST(SetupSession, CommandStepsWithAMadeUpClock) {
    // The set-clock pause comes first; the reply's 2 s limit starts after it.
    SetupCommandJob clock(setup::setClockCommand(QDateTime(QDate(2031, 2, 3), QTime(4, 5, 6))), 3, 2000, 100);
    JobStep step = clock.start(Outcome::success(), 1000);
    EXPECT_EQ(step.send.size(), 9);
    EXPECT_EQ(step.wakeAtMs, 1100);
    step = clock.step({}, 1100);
    EXPECT_EQ(step.wakeAtMs, 3100);
    step = clock.step(bytes({0xEF, 0x74}), 2000);
    EXPECT_FALSE(step.done); // two bytes are not a reply
    step = clock.step({}, 3100);
    EXPECT_TRUE(step.done);
    EXPECT_TRUE(clock.reply().isEmpty());
    EXPECT_EQ(clock.outcome().code, JobOutcome::Code::NoAnswer);

    // A reply in pieces ends the wait as soon as it is long enough.
    auto erase = SetupCommandJob::erase();
    step = erase->start(Outcome::success(), 0);
    EXPECT_EQ(step.wakeAtMs, 5000);
    EXPECT_FALSE(erase->step(bytes({0xEF}), 10).done);
    EXPECT_TRUE(erase->step(bytes({0x59, 0xFE}), 20).done);
    EXPECT_TRUE(eraseConfirmed(erase->reply()));
    EXPECT_TRUE(erase->outcome().ok());

    // A port that did not open ends the job at once with the reason.
    auto unit = SetupCommandJob::setUnit(true);
    EXPECT_TRUE(
        unit->start(Outcome::fail(Outcome::Code::CannotOpen, QStringLiteral("Permission denied")), 0).done);
    EXPECT_EQ(unit->outcome().code, JobOutcome::Code::CannotOpen);
    EXPECT_EQ(unit->outcome().text, QStringLiteral("Permission denied"));
}
