#include "SimRig.h"

#include <QDateTime>
#include <QElapsedTimer>

#include <sys/resource.h>

using namespace tq::sim;

TEST(LoggerSimExchanges, SearchReplyNamesTheModel) {
    for (int model : {860, 862}) {
        SimRig rig(model);
        const QByteArray expected = bytes({0xEF, '8', '6', model == 862 ? '2' : '0', 0xFE});
        EXPECT_EQ(rig.ask(plain('M'), 5), expected) << model;
        EXPECT_TRUE(rig.port->readUntilQuiet(50).isEmpty());
        rig.sim.setSearchReply("AB862");
        EXPECT_EQ(rig.ask(plain('M'), 5), "AB862");
        rig.sim.setSearchReply({});
        EXPECT_EQ(rig.ask(plain('M'), 5), expected);
    }
}

TEST(LoggerSimExchanges, LiveFrameLayoutPerModel) {
    SimRig r860(860);
    LiveState live{-5, 0, -1, 8, status::kCelsius | status::kRecording};
    r860.sim.setLiveState(live);
    EXPECT_EQ(r860.ask(plain('A'), 8), bytes({0xEF, 0xFB, 0xFF, 0xFF, 0x08, 0x09, 0x00, 0xFE}));
    // The first request after start-up comes checksummed.
    r860.sim.setLiveState({234, 0, 3, 2, status::kCelsius});
    EXPECT_EQ(r860.ask(bytes({0x02, 0x41, 0xC1, 0x03}), 8),
              bytes({0xEF, 0xEA, 0x00, 0x03, 0x02, 0x01, 0x00, 0xFE}));
    EXPECT_EQ(r860.sim.liveRequests(), 2);

    SimRig r862(862);
    r862.sim.setLiveState({-32768, -12, 5, -3, status::kFahrenheit});
    EXPECT_EQ(r862.ask(plain('A'), 10), bytes({0xEF, 0x00, 0x80, 0xF4, 0xFF, 0x05, 0xFD, 0x02, 0x00, 0xFE}));
    r862.sim.setLiveState({1000, 456, 4, 1, 0});
    EXPECT_EQ(r862.ask(bytes({0x02, 0x41, 0xC1, 0x03}), 10),
              bytes({0xEF, 0xE8, 0x03, 0xC8, 0x01, 0x04, 0x01, 0x00, 0x00, 0xFE}));
    EXPECT_TRUE(r862.port->readUntilQuiet(50).isEmpty());
}

TEST(LoggerSimExchanges, DriftStaysNearTheSetReading) {
    SimRig rig(860);
    rig.sim.setLiveDrift(true);
    QSet<int> seen;
    for (int i = 0; i < 20; ++i) {
        const QByteArray frame = rig.ask(plain('A'), 8);
        ASSERT_EQ(frame.size(), 8);
        const int count = qint16(quint8(frame[1]) | (quint8(frame[2]) << 8));
        EXPECT_NEAR(count, 234, 5);
        seen.insert(count);
    }
    EXPECT_GT(seen.size(), 2);
}

TEST(LoggerSimExchanges, FirmwareReplyIsElevenBytes) {
    SimRig rig(862);
    rig.port->send(QByteArray(1, 0)); // wake byte first, as the program does
    const QByteArray reply = rig.ask(plain('V'), 11);
    EXPECT_EQ(reply, bytes({0xEF}) + "V1.02.003" + bytes({0xFE}));
    EXPECT_TRUE(rig.port->readUntilQuiet(50).isEmpty());
    rig.sim.setFirmwareText("V9.99.9999");
    rig.port->send(plain('V'));
    EXPECT_EQ(rig.port->readUntilQuiet(100).size(), 12);
    const QVector<QByteArray> log = rig.sim.receivedCommands();
    ASSERT_EQ(log.size(), 3);
    EXPECT_EQ(log[0], QByteArray(1, 0));
    EXPECT_EQ(log[1], plain('V'));
}

TEST(LoggerSimExchanges, ClockSetAndReadRoundTrip) {
    SimRig rig(860);
    const QDateTime target(QDate(2031, 2, 3), QTime(4, 5, 6));
    EXPECT_EQ(rig.ask(bytes({0xEF, 0x74, 0x1F, 0x02, 0x03, 0x04, 0x05, 0x06, 0xFE}), 3),
              bytes({0xEF, 'Y', 0xFE}));
    const QByteArray reply = rig.ask(plain('T'), 8);
    ASSERT_EQ(reply.size(), 8);
    EXPECT_EQ(quint8(reply[0]), 0xEF);
    EXPECT_EQ(quint8(reply[7]), 0xFE);
    const QDateTime read(QDate(2000 + reply[1], reply[2], reply[3]), QTime(reply[4], reply[5], reply[6]));
    EXPECT_LE(std::abs(target.secsTo(read)), 2);
    EXPECT_LE(std::abs(target.secsTo(rig.sim.loggerClock())), 2);

    // An impossible date is refused and the clock keeps its time.
    EXPECT_EQ(rig.ask(bytes({0xEF, 0x74, 24, 2, 30, 0, 0, 0, 0xFE}), 3), bytes({0xEF, 'N', 0xFE}));
    EXPECT_LE(std::abs(target.secsTo(rig.sim.loggerClock())), 3);
}

TEST(LoggerSimExchanges, UnitAndIntervalSetAndRead) {
    SimRig rig(860);
    EXPECT_EQ(rig.ask(plain('I'), 4), bytes({0xEF, 0x02, 0x00, 0xFE}));
    EXPECT_EQ(rig.ask(bytes({0xEF, 'i', 9, 0, 0xFE}), 3), bytes({0xEF, 'Y', 0xFE}));
    EXPECT_EQ(rig.ask(plain('I'), 4), bytes({0xEF, 0x2C, 0x01, 0xFE}));
    EXPECT_EQ(rig.ask(bytes({0xEF, 'i', 13, 0, 0xFE}), 3), bytes({0xEF, 'Y', 0xFE}));
    EXPECT_EQ(rig.ask(plain('I'), 4), bytes({0xEF, 0x10, 0x0E, 0xFE}));
    EXPECT_EQ(rig.sim.intervalSeconds(), 3600);

    rig.sim.setRecording(true);
    EXPECT_EQ(rig.ask(bytes({0xEF, 'S', 1, 0xFE}), 3), bytes({0xEF, 'Y', 0xFE}));
    EXPECT_TRUE(rig.sim.unitFahrenheit());
    // F mark on, C mark off, recording mark kept.
    EXPECT_EQ(quint8(rig.ask(plain('A'), 8).at(5)), status::kFahrenheit | status::kRecording);
    EXPECT_EQ(rig.ask(bytes({0xEF, 'S', 0, 0xFE}), 3), bytes({0xEF, 'Y', 0xFE}));
    EXPECT_EQ(quint8(rig.ask(plain('A'), 8).at(5)), status::kCelsius | status::kRecording);
    EXPECT_FALSE(rig.sim.unitFahrenheit());
}

TEST(LoggerSimExchanges, EraseLeavesTheModelsFillByte) {
    for (int model : {860, 862}) {
        SimRig rig(model);
        rig.sim.setDataSets(LoggerSim::demoDataSets(2, 40));
        ASSERT_GT(rig.sim.memoryImage().size(), 256);
        EXPECT_EQ(rig.ask(bytes({0xEF, 'e', 0x00, 0xFE}), 3), bytes({0xEF, 0x59, 0xFE}));
        const char fill = model == 862 ? char(0x00) : char(0xFF);
        EXPECT_EQ(rig.sim.memoryImage(), QByteArray(256, fill));
        // The directory read now shows only fill bytes.
        QByteArray directory;
        rig.port->send(plain('d'));
        for (int k = 0; k < 4; ++k) {
            const QByteArray block = rig.port->read(67);
            ASSERT_EQ(block.size(), 67);
            directory += block.mid(1, 64);
            rig.port->send(plain('y'));
        }
        EXPECT_EQ(directory, QByteArray(256, fill));
        EXPECT_TRUE(rig.port->readUntilQuiet(kQuietMs).isEmpty());
    }
}

TEST(LoggerSimExchanges, SilentLoggerAnswersNothingButHears) {
    SimRig rig(860);
    rig.sim.setSilent(true);
    rig.port->send(QByteArray(1, 0) + plain('A') + plain('M') + plain('D'));
    EXPECT_TRUE(rig.port->readUntilQuiet(kQuietMs).isEmpty());
    EXPECT_EQ(rig.sim.receivedCommands(),
              (QVector<QByteArray>{QByteArray(1, 0), plain('A'), plain('M'), plain('D')}));
    EXPECT_EQ(rig.sim.liveRequests(), 1);
    rig.sim.clearLog();
    EXPECT_TRUE(rig.sim.receivedCommands().isEmpty());
    EXPECT_EQ(rig.sim.liveRequests(), 0);
    // Plugged back in.
    rig.sim.setSilent(false);
    EXPECT_EQ(rig.ask(plain('M'), 5).size(), 5);
}

TEST(LoggerSimExchanges, GarbageIsSkippedBothWays) {
    SimRig rig(862);
    // Noise on the line before and inside a request: the logger still finds it.
    EXPECT_EQ(rig.ask(bytes({0x12, 0x34, 0xEF, 0xEF, 0x41, 0x99, 0x02}) + plain('M'), 5),
              bytes({0xEF, '8', '6', '2', 0xFE}));
    EXPECT_EQ(rig.sim.receivedCommands(), (QVector<QByteArray>{plain('M')}));

    rig.sim.setGarbageBefore(bytes({0x55, 0xEF, 0x00}));
    EXPECT_EQ(rig.ask(plain('M'), 8), bytes({0x55, 0xEF, 0x00, 0xEF, '8', '6', '2', 0xFE}));
}

TEST(LoggerSimExchanges, DelayAndPacingHoldRepliesBack) {
    SimRig rig(860);
    rig.sim.setReplyDelayMs(150);
    QElapsedTimer clock;
    clock.start();
    rig.port->send(plain('M'));
    EXPECT_EQ(rig.port->read(5).size(), 5);
    EXPECT_GE(clock.elapsed(), 145);

    rig.sim.setReplyDelayMs(0);
    rig.sim.setPacing(true);
    rig.sim.setDataSets(LoggerSim::demoDataSets(1, 10));
    clock.start();
    rig.port->send(plain('D'));
    // 67 bytes take about 35 ms of line time; they cannot arrive sooner.
    EXPECT_EQ(rig.port->read(67).size(), 67);
    EXPECT_GE(clock.elapsed(), 25);
}

TEST(LoggerSimExchanges, PortClosedAndReopenedKeepsWorking) {
    SimRig rig(860);
    EXPECT_EQ(rig.ask(plain('M'), 5).size(), 5);
    rig.port->send(plain('A'));
    rig.port->close(); // the reply waits in the queue, as on a closed port

    // With the port closed the logger idles without burning a core.
    rusage before{}, after{};
    getrusage(RUSAGE_SELF, &before);
    usleep(300'000);
    getrusage(RUSAGE_SELF, &after);
    const long usedUs = (after.ru_utime.tv_sec - before.ru_utime.tv_sec) * 1'000'000 +
                        (after.ru_utime.tv_usec - before.ru_utime.tv_usec) +
                        (after.ru_stime.tv_sec - before.ru_stime.tv_sec) * 1'000'000 +
                        (after.ru_stime.tv_usec - before.ru_stime.tv_usec);
    EXPECT_LT(usedUs, 100'000);

    PtyPort again(rig.sim.devicePath());
    ASSERT_TRUE(again.isOpen());
    EXPECT_EQ(again.read(8).size(), 8); // the frame sent while closed
    again.send(plain('M'));
    EXPECT_EQ(again.read(5), bytes({0xEF, '8', '6', '0', 0xFE}));
}

TEST(LoggerSimExchanges, FullPortQueueDoesNotStopTheLogger) {
    SimRig rig(860);
    QVector<SimDataSet> sets = LoggerSim::demoDataSets(15, 2500);
    rig.sim.setDataSets(sets);
    const QByteArray image = rig.sim.memoryImage();
    const int blocks = int(image.size() / 64);
    ASSERT_GT(blocks * 67, 64 * 1024); // more than the pty queue holds

    // Accept every block without reading any of them.
    rig.port->send(plain('D'));
    for (int k = 1; k < blocks; ++k)
        rig.port->send(plain('y'));
    rig.port->send(plain('M'));
    // The logger keeps reading commands while its output is stuck.
    for (int i = 0; i < 100 && rig.sim.receivedCommands().size() < blocks + 1; ++i)
        usleep(20'000);
    ASSERT_EQ(rig.sim.receivedCommands().size(), blocks + 1);
    EXPECT_EQ(rig.sim.receivedCommands().last(), plain('M'));

    // Everything arrives, in order, once the PC reads.
    const QByteArray all = rig.port->read(blocks * 67 + 5, 10000);
    ASSERT_EQ(all.size(), blocks * 67 + 5);
    QByteArray content;
    for (int k = 0; k < blocks; ++k)
        content += all.mid(k * 67 + 1, 64);
    EXPECT_EQ(content, image);
    EXPECT_EQ(all.right(5), bytes({0xEF, '8', '6', '0', 0xFE}));
}

TEST(LoggerSimExchanges, RefusedEraseAndFixedClockReply) {
    SimRig rig(860);
    rig.sim.setDataSets(LoggerSim::demoDataSets(2, 40));
    const QByteArray memory = rig.sim.memoryImage();
    rig.sim.setEraseRefused(true);
    EXPECT_EQ(rig.ask(bytes({0xEF, 'e', 0x00, 0xFE}), 3), bytes({0xEF, 'N', 0xFE}));
    EXPECT_EQ(rig.sim.memoryImage(), memory);
    rig.sim.setEraseRefused(false);

    const QByteArray impossible = bytes({0xEF, 24, 2, 30, 0, 0, 0, 0xFE});
    rig.sim.setClockReply(impossible);
    EXPECT_EQ(rig.ask(plain('T'), 8), impossible);
    rig.sim.setClockReply({});
    const QByteArray real = rig.ask(plain('T'), 8);
    ASSERT_EQ(real.size(), 8);
    EXPECT_EQ(int(real.at(1)), QDate::currentDate().year() % 100);
}
