#include "PtyPort.h"
#include "SimDevice.h"
#include "SimMemory.h"

#include <gtest/gtest.h>

using namespace tq::sim;

namespace {
Command cmd(char letter, const QByteArray& params = {}) {
    return {Command::Kind::Plain, letter, params, plain(letter, params)};
}
const QByteArray kYes = bytes({0xEF, 'Y', 0xFE});
const QByteArray kNo = bytes({0xEF, 'N', 0xFE});
} // namespace

TEST(SimDevice, InvalidSetupParametersChangeNothing) {
    SimDevice device(860);
    const QDateTime now(QDate(2024, 5, 5), QTime(10, 0));
    EXPECT_EQ(device.handle(cmd('t', bytes({24, 13, 1, 0, 0, 0})), now), kNo);
    EXPECT_EQ(device.handle(cmd('t', bytes({24, 2, 30, 0, 0, 0})), now), kNo);
    EXPECT_EQ(device.handle(cmd('t', bytes({24, 2, 28, 24, 0, 0})), now), kNo);
    EXPECT_EQ(device.clockOffsetSeconds(), 0);
    EXPECT_EQ(device.handle(cmd('S', bytes({2})), now), kNo);
    EXPECT_FALSE(device.fahrenheit());
    EXPECT_EQ(device.handle(cmd('i', bytes({14, 0})), now), kNo);
    EXPECT_EQ(device.handle(cmd('i', bytes({0xFF, 0})), now), kNo);
    EXPECT_EQ(device.intervalSeconds(), 2);
    // The edges of the interval table are accepted.
    EXPECT_EQ(device.handle(cmd('i', bytes({13, 0})), now), kYes);
    EXPECT_EQ(device.intervalSeconds(), 3600);
    EXPECT_EQ(device.handle(cmd('i', bytes({0, 0})), now), kYes);
    EXPECT_EQ(device.intervalSeconds(), 1);
    // A wake byte and an unknown letter get no answer.
    EXPECT_TRUE(device.handle({Command::Kind::Wake, 0, {}, QByteArray(1, 0)}, now).isEmpty());
    EXPECT_TRUE(device.handle(cmd('Q'), now).isEmpty());
    // A command built by hand without its parameters is not read past its end.
    EXPECT_TRUE(device.handle({Command::Kind::Plain, 'S', {}, {}}, now).isEmpty());
    EXPECT_TRUE(device.handle({Command::Kind::Plain, 't', bytes({24, 1}), {}}, now).isEmpty());
}

TEST(SimDevice, AcknowledgementsOutsideATransferAreIgnored) {
    SimDevice device(862);
    const QDateTime now = QDateTime::currentDateTime();
    EXPECT_TRUE(device.handle(cmd('y'), now).isEmpty());
    EXPECT_TRUE(device.handle(cmd('n'), now).isEmpty());
    EXPECT_EQ(device.handle(cmd('d'), now).size(), 67);
    for (int k = 1; k < 4; ++k)
        EXPECT_EQ(device.handle(cmd('y'), now).size(), 67);
    EXPECT_TRUE(device.handle(cmd('y'), now).isEmpty());
    EXPECT_FALSE(device.transferRunning());
    EXPECT_TRUE(device.handle(cmd('n'), now).isEmpty());

    // An empty raw memory sends nothing at all.
    device.setMemory({});
    EXPECT_TRUE(device.handle(cmd('D'), now).isEmpty());
    EXPECT_FALSE(device.transferRunning());
}

TEST(SimDevice, RawImageIsSentWholeWithThePaddedLastBlock) {
    SimDevice device(860);
    const QDateTime now = QDateTime::currentDateTime();
    QByteArray image(300, char(0x01)); // 4 full blocks and 44 bytes
    device.setMemory(image);
    QByteArray got = device.handle(cmd('D'), now);
    for (int k = 1; k < 5; ++k)
        got += device.handle(cmd('y'), now);
    EXPECT_TRUE(device.handle(cmd('y'), now).isEmpty());
    ASSERT_EQ(got.size(), 5 * 67);
    const QByteArray last = got.mid(4 * 67, 67);
    EXPECT_EQ(last.mid(1, 44), QByteArray(44, char(0x01)));
    EXPECT_EQ(last.mid(45, 20), QByteArray(20, char(0xFF)));
    EXPECT_EQ(quint8(last.at(65)), quint8(44 + 20 * 0xFF));
    // "d" still stops after the directory.
    EXPECT_EQ(device.handle(cmd('d'), now).size(), 67);
    for (int k = 1; k < 4; ++k)
        EXPECT_EQ(device.handle(cmd('y'), now).size(), 67);
    EXPECT_TRUE(device.handle(cmd('y'), now).isEmpty());
}

TEST(SimDevice, StoppedRecordingBecomesADataSetWithCurrentSettings) {
    SimDevice device(862);
    const QDateTime t0(QDate(2024, 2, 29), QTime(23, 59, 50));
    LiveState live;
    live.primary = 700;
    device.setLiveState(live);
    device.handle(cmd('S', bytes({1})), t0);
    device.handle(cmd('i', bytes({2, 0})), t0); // 5 s
    device.setRecording(true, t0);
    EXPECT_TRUE(device.handle(cmd('A'), t0).at(7) & status::kRecording);
    device.setRecording(false, t0.addSecs(21));
    EXPECT_FALSE(device.recording());

    const QByteArray image = device.memory();
    ASSERT_EQ(memory::usedRecords(image, 0x00), 1);
    const QByteArray record = image.mid(16, 16);
    EXPECT_EQ(quint8(record.at(1)), 1);                          // F
    EXPECT_EQ(quint8(record.at(2)), 5);                          // interval
    EXPECT_EQ(record.mid(4, 6), bytes({24, 2, 29, 23, 59, 50})); // logger clock at the start
    EXPECT_EQ(memory::endAddress(image, 1), 256 + 2 * 5);        // samples at 0, 5, ..., 20 s
    const qint16 firstSample = qint16(quint8(image.at(256)) | (quint8(image.at(257)) << 8));
    EXPECT_NEAR(firstSample, 700, 4);
}
