#include "SimRig.h"

#include <QFile>
#include <chrono>
#include <thread>

using namespace tq::sim;

namespace {

QVector<SimDataSet> twoSets() {
    QVector<qint16> a, b;
    for (int i = 0; i < 150; ++i)
        a.append(qint16(200 + i % 17));
    for (int i = 0; i < 61; ++i)
        b.append(qint16(-50 - i));
    return {{QDateTime(QDate(2024, 3, 29), QTime(7, 13, 15)), 2, 0, a},
            {QDateTime(QDate(2024, 4, 1), QTime(8, 0, 0)), 60, 1, b}};
}

quint8 sum64(const QByteArray& block) {
    quint8 sum = 0;
    for (int i = 1; i <= 64; ++i)
        sum = quint8(sum + quint8(block.at(i)));
    return sum;
}

bool wellFormed(const QByteArray& block) {
    return block.size() == 67 && quint8(block.at(0)) == 0xEF && quint8(block.at(66)) == 0xFE &&
           sum64(block) == quint8(block.at(65));
}

} // namespace

TEST(LoggerSimDownload, FullDownloadReproducesTheMemoryAndEnds) {
    for (int model : {860, 862}) {
        SimRig rig(model);
        rig.sim.setDataSets(twoSets());
        const QByteArray image = rig.sim.memoryImage();
        // 256 + 2 * 211 = 678 bytes of data, rounded up to 704.
        ASSERT_EQ(image.size(), 704);

        QByteArray received;
        rig.port->send(plain('D'));
        for (int k = 0; k < 11; ++k) {
            const QByteArray block = rig.port->read(67);
            ASSERT_TRUE(wellFormed(block)) << "block " << k;
            received += block.mid(1, 64);
            rig.port->send(plain('y'));
        }
        EXPECT_EQ(received, image);
        EXPECT_TRUE(rig.port->readUntilQuiet(kQuietMs).isEmpty());
    }
}

TEST(LoggerSimDownload, RefuseResendsAndNewRequestRestarts) {
    SimRig rig(860);
    rig.sim.setDataSets(twoSets());
    rig.port->send(plain('D'));
    const QByteArray b0 = rig.port->read(67);
    rig.port->send(plain('y'));
    const QByteArray b1 = rig.port->read(67);
    rig.port->send(plain('n'));
    EXPECT_EQ(rig.port->read(67), b1);
    rig.port->send(plain('n'));
    EXPECT_EQ(rig.port->read(67), b1);
    rig.port->send(plain('D'));
    EXPECT_EQ(rig.port->read(67), b0);
    EXPECT_NE(b0, b1);
    rig.port->send(plain('y'));
    EXPECT_EQ(rig.port->read(67), b1);
}

TEST(LoggerSimDownload, BadChecksumBlockIsRightOnResend) {
    SimRig rig(862);
    rig.sim.setDataSets(twoSets());
    rig.sim.setBadChecksumBlock(2, 2);
    rig.port->send(plain('D'));
    QByteArray received;
    int refused = 0;
    while (received.size() < rig.sim.memoryImage().size()) {
        const QByteArray block = rig.port->read(67);
        ASSERT_EQ(block.size(), 67);
        if (sum64(block) != quint8(block.at(65))) {
            ++refused;
            EXPECT_EQ(received.size(), 2 * 64); // only block 2 is bad
            rig.port->send(plain('n'));
            continue;
        }
        received += block.mid(1, 64);
        rig.port->send(plain('y'));
    }
    EXPECT_EQ(refused, 2);
    EXPECT_EQ(received, rig.sim.memoryImage());
}

TEST(LoggerSimDownload, TruncatedBlockWaitsForRefusal) {
    SimRig rig(860);
    rig.sim.setDataSets(twoSets());
    rig.sim.setTruncatedBlock(0);
    rig.port->send(plain('D'));
    EXPECT_EQ(rig.port->readUntilQuiet(kQuietMs).size(), 30);
    // Only a refusal brings the block again.
    rig.port->send(plain('y'));
    EXPECT_TRUE(rig.port->readUntilQuiet(100).isEmpty());
    rig.port->send(plain('n'));
    const QByteArray block = rig.port->read(67);
    ASSERT_TRUE(wellFormed(block));
    EXPECT_EQ(block.mid(1, 64), rig.sim.memoryImage().left(64));
}

TEST(LoggerSimDownload, DirectoryReadStopsAfterFourBlocks) {
    SimRig rig(860);
    rig.sim.setDataSets(twoSets());
    QByteArray directory;
    rig.port->send(plain('d'));
    for (int k = 0; k < 4; ++k) {
        const QByteArray block = rig.port->read(67);
        ASSERT_TRUE(wellFormed(block)) << "block " << k;
        directory += block.mid(1, 64);
        rig.port->send(plain('y'));
    }
    EXPECT_EQ(directory, rig.sim.memoryImage().left(256));
    EXPECT_TRUE(rig.port->readUntilQuiet(kQuietMs).isEmpty());
}

TEST(LoggerSimDownload, ChecksumFaultCanStrikeEveryTime) {
    SimRig rig(860);
    rig.sim.setDataSets(twoSets());
    rig.sim.setBadChecksumBlock(1, LoggerSim::kAlways);
    rig.port->send(plain('D'));
    ASSERT_TRUE(wellFormed(rig.port->read(67)));
    rig.port->send(plain('y'));
    for (int attempt = 0; attempt < 30; ++attempt) {
        const QByteArray block = rig.port->read(67);
        ASSERT_EQ(block.size(), 67) << "attempt " << attempt;
        EXPECT_NE(sum64(block), quint8(block.at(65)));
        rig.port->send(plain('n'));
    }
    // Cleared, the next resend is good.
    rig.sim.setBadChecksumBlock(-1, 0);
    EXPECT_TRUE(wellFormed(rig.port->read(67)));
}

TEST(LoggerSimDownload, SilenceAfterABlockHoldsBackTheRest) {
    SimRig rig(862);
    rig.sim.setDataSets(twoSets());
    rig.sim.setSilentAfterBlock(2);
    rig.port->send(plain('D'));
    for (int k = 0; k < 3; ++k) {
        ASSERT_TRUE(wellFormed(rig.port->read(67))) << "block " << k;
        rig.port->send(plain('y'));
    }
    EXPECT_TRUE(rig.port->readUntilQuiet(kQuietMs).isEmpty());
    // A refusal does not wake it either; the next request starts over.
    rig.port->send(plain('n'));
    EXPECT_TRUE(rig.port->readUntilQuiet(kQuietMs).isEmpty());
    rig.port->send(plain('D'));
    EXPECT_EQ(rig.port->read(67).mid(1, 64), rig.sim.memoryImage().left(64));
}

TEST(LoggerSimDownload, UnpluggedMidTransferHangsUpTheLine) {
    SimRig rig(860);
    rig.sim.setDataSets(twoSets());
    rig.sim.setUnplugAfterBlock(1);
    rig.port->send(plain('D'));
    for (int k = 0; k < 2; ++k) {
        ASSERT_TRUE(wellFormed(rig.port->read(67))) << "block " << k;
        rig.port->send(plain('y'));
    }
    EXPECT_TRUE(rig.port->hungUp(2000));
    EXPECT_TRUE(rig.sim.unplugged());
    EXPECT_TRUE(rig.port->read(1, 100).isEmpty());
    rig.sim.stop(); // stopping an unplugged logger is clean
    EXPECT_FALSE(rig.sim.isRunning());
}

TEST(LoggerSimDownload, UnplugAtAnyMoment) {
    SimRig rig(862);
    EXPECT_EQ(rig.ask(plain('M'), 5).size(), 5);
    rig.sim.unplug();
    EXPECT_TRUE(rig.port->hungUp(2000));
    EXPECT_TRUE(rig.sim.unplugged());
}

TEST(LoggerSimDownload, AGoneLoggersPathIsNotHandedToTheNextOne) {
    // A program that still holds the old path (to reopen it once the line
    // is back) must not find another logger behind it: not after an unplug,
    // and not after the logger stopped.
    LoggerSim first(860);
    ASSERT_TRUE(first.start(nullptr));
    const QString unpluggedPath = first.devicePath();
    first.unplug();
    for (int k = 0; k < 200 && !first.unplugged(); ++k)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(first.unplugged());
    LoggerSim second(862);
    ASSERT_TRUE(second.start(nullptr));
    const QString stoppedPath = second.devicePath();
    second.stop();
    for (int k = 0; k < 4; ++k) {
        LoggerSim next(860);
        ASSERT_TRUE(next.start(nullptr));
        EXPECT_NE(next.devicePath(), unpluggedPath);
        EXPECT_NE(next.devicePath(), stoppedPath);
    }
    EXPECT_FALSE(QFile::exists(unpluggedPath));
}
