#include "SetupSession.h"
#include "FdIo.h"
#include "LoggerSim.h"
#include "LoggerTestSupport.h"
#include "TComPort.h"

#include <QThread>
#include <gtest/gtest.h>

using namespace tq;
using tq::sim::LoggerSim;

namespace {

struct SetupRig {
    LoggerSim sim;
    TComPort port;
    SetupSession session{port};
    explicit SetupRig(int model) : sim(model) {
        QString error;
        EXPECT_TRUE(sim.start(&error)) << error.toStdString();
        port.setDeviceName(sim.devicePath());
        port.setOnError(TComPort::abortSilently);
        SetupSession::configurePort(port);
        port.open();
    }
};

} // namespace

TEST(SetupSession, DirectoryReadStopsAt256ForBothModels) {
    for (int model : {860, 862}) {
        SetupRig rig(model);
        rig.sim.setDataSets(LoggerSim::demoDataSets(4, 100));
        rig.sim.setBadChecksumBlock(1);
        QByteArray directory;
        EXPECT_EQ(rig.session.readDirectory(directory), 256);
        EXPECT_EQ(directory, rig.sim.memoryImage().left(256));
        // The last accept may still be on its way to the logger.
        const QByteArray accept = bytes({0xEF, 0x79, 0xFE});
        for (int i = 0; i < 200 && rig.sim.receivedCommands().count(accept) < 4; ++i)
            QThread::msleep(10);
        const QVector<QByteArray> sent = rig.sim.receivedCommands();
        EXPECT_EQ(sent.first(), bytes({0xEF, 0x64, 0xFE}));
        EXPECT_EQ(sent.count(accept), 4);
        EXPECT_EQ(sent.count(bytes({0xEF, 0x6E, 0xFE})), 1);
        EXPECT_FALSE(rig.port.dtrOn());
        EXPECT_TRUE(rig.port.rtsOn());
    }
}

TEST(SetupSession, DirectoryReadFromASilentLoggerGivesNothing) {
    SetupRig rig(860);
    rig.sim.setSilent(true);
    QByteArray directory = "old";
    EXPECT_EQ(rig.session.readDirectory(directory), 0);
    EXPECT_TRUE(directory.isEmpty());
    // Nor does the interval read, after its 2 s.
    EXPECT_FALSE(rig.session.readInterval().has_value());
}

TEST(SetupSession, SettingsReadBackWhatWasSet) {
    SetupRig rig(862);
    rig.sim.setIntervalSeconds(300);
    EXPECT_EQ(rig.session.readInterval(), 9);
    rig.sim.setIntervalSeconds(7);
    EXPECT_EQ(rig.session.readInterval(), 0);

    rig.session.setInterval(13);
    EXPECT_EQ(rig.sim.intervalSeconds(), 3600);
    EXPECT_EQ(rig.session.readInterval(), 13);

    rig.session.setUnit(true);
    EXPECT_TRUE(rig.sim.unitFahrenheit());
    rig.session.setUnit(false);
    EXPECT_FALSE(rig.sim.unitFahrenheit());

    const QDateTime target(QDate(2031, 2, 3), QTime(4, 5, 6));
    rig.session.setClock(target);
    EXPECT_TRUE(
        rig.sim.receivedCommands().contains(bytes({0xEF, 0x74, 0x1F, 0x02, 0x03, 0x04, 0x05, 0x06, 0xFE})));
    EXPECT_LE(std::abs(target.secsTo(rig.sim.loggerClock())), 3);
    // Every reply was read: nothing is left waiting on the port.
    EXPECT_EQ(rig.port.inputCount(), 0);
}

TEST(SetupSession, EraseSucceedsOnlyWithTheYReply) {
    SetupRig rig(860);
    rig.sim.setDataSets(LoggerSim::demoDataSets(2, 50));
    const QByteArray memory = rig.sim.memoryImage();
    rig.sim.setEraseRefused(true);
    EXPECT_FALSE(rig.session.erase());
    EXPECT_EQ(rig.sim.memoryImage(), memory);
    rig.sim.setEraseRefused(false);
    EXPECT_TRUE(rig.session.erase());
    EXPECT_EQ(rig.sim.memoryImage(), QByteArray(256, char(0xFF)));
    EXPECT_EQ(rig.sim.receivedCommands().last(), bytes({0xEF, 0x65, 0x00, 0xFE}));
}
