#include "FdIo.h"
#include "FrameCutter.h"
#include "LoggerSearch.h"
#include "PortNames.h"
#include "Protocol.h"

#include <gtest/gtest.h>

using namespace tq;

TEST(Protocol, CommandForms) {
    EXPECT_EQ(protocol::plainCommand('A'), bytes({0xEF, 0x41, 0xFE}));
    EXPECT_EQ(protocol::plainCommand('M'), bytes({0xEF, 0x4D, 0xFE}));
    EXPECT_EQ(protocol::plainCommand('t', bytes({0x1F, 2, 3, 4, 5, 6})),
              bytes({0xEF, 0x74, 0x1F, 2, 3, 4, 5, 6, 0xFE}));
    EXPECT_EQ(protocol::plainCommand('i', bytes({7, 0})), bytes({0xEF, 0x69, 7, 0, 0xFE}));
    // The first live request after start-up.
    EXPECT_EQ(protocol::checksummedCommand('A'), bytes({0x02, 0x41, 0xC1, 0x03}));
    // Sum of letter and parameters, modulo 256, with the top bit set.
    EXPECT_EQ(protocol::checksummedCommand('S', bytes({0x01})), bytes({0x02, 0x53, 0x01, 0xD4, 0x03}));
    EXPECT_EQ(protocol::checksummedCommand('e', bytes({0xFF})), bytes({0x02, 0x65, 0xFF, 0xE4, 0x03}));
}

static const QByteArray kFrame860 = bytes({0xEF, 0xEA, 0x00, 0x03, 0x02, 0x01, 0x00, 0xFE});

TEST(FrameCutter, DropsGarbageAndStrayStartMarks) {
    QByteArray buf = bytes({0x12, 0x34}) + kFrame860;
    auto frames = cutFrames(buf, 8);
    ASSERT_EQ(frames.size(), 1);
    EXPECT_EQ(frames[0], kFrame860.mid(1, 6));
    EXPECT_TRUE(buf.isEmpty());

    buf = bytes({0x12, 0x34, 0xEF}) + kFrame860;
    frames = cutFrames(buf, 8);
    ASSERT_EQ(frames.size(), 1);
    EXPECT_EQ(frames[0], kFrame860.mid(1, 6));
    EXPECT_TRUE(buf.isEmpty());
}

TEST(FrameCutter, BufferWithoutStartMarkIsEmptied) {
    QByteArray buf = QByteArray(20, char(0x55));
    EXPECT_TRUE(cutFrames(buf, 8).isEmpty());
    EXPECT_TRUE(buf.isEmpty());
    // Shorter than a frame: kept for the next event, even without a start mark.
    buf = QByteArray(5, char(0x55));
    EXPECT_TRUE(cutFrames(buf, 8).isEmpty());
    EXPECT_EQ(buf.size(), 5);
}

TEST(FrameCutter, WrongEndMarkDropsOneByte) {
    QByteArray buf = bytes({0xEF, 1, 2, 3, 4, 5, 6, 0x77});
    EXPECT_TRUE(cutFrames(buf, 8).isEmpty());
    // Exactly the start byte went; seven bytes wait for more.
    EXPECT_EQ(buf, bytes({1, 2, 3, 4, 5, 6, 0x77}));

    // A start mark inside a bad frame is found on the next step.
    buf = bytes({0xEF, 0x01}) + kFrame860 + bytes({0x00, 0x00});
    auto frames = cutFrames(buf, 8);
    ASSERT_EQ(frames.size(), 1);
    EXPECT_EQ(frames[0], kFrame860.mid(1, 6));
    EXPECT_EQ(buf, bytes({0x00, 0x00}));
}

TEST(FrameCutter, PartialFramesAcrossEvents) {
    QByteArray buf;
    QList<QByteArray> all;
    const QByteArray stream = kFrame860 + kFrame860 + bytes({0xEF, 0xFB});
    for (char c : stream) { // one byte per event
        buf.append(c);
        all += cutFrames(buf, 8);
    }
    EXPECT_EQ(all.size(), 2);
    EXPECT_EQ(buf, bytes({0xEF, 0xFB}));
}

TEST(FrameCutter, OtherModelsFrameLength) {
    // An 8-byte frame seen with the 862 length is dropped byte by byte.
    QByteArray buf = kFrame860 + kFrame860;
    EXPECT_TRUE(cutFrames(buf, 10).isEmpty());
    EXPECT_LT(buf.size(), 10);
    const QByteArray f862 = bytes({0xEF, 0xEA, 0x00, 0x58, 0x02, 0x05, 0x08, 0x01, 0x00, 0xFE});
    buf = f862;
    auto frames = cutFrames(buf, 10);
    ASSERT_EQ(frames.size(), 1);
    EXPECT_EQ(frames[0].size(), 8);
}

TEST(FrameCutter, FloodOfGarbageStaysLinearAndBounded) {
    QByteArray buf(1 << 20, char(0xEF)); // start marks, never an end mark
    EXPECT_TRUE(cutFrames(buf, 8).isEmpty());
    EXPECT_EQ(buf.size(), 7);
    EXPECT_TRUE(cutFrames(buf, 0).isEmpty()); // nonsense lengths do nothing
    EXPECT_TRUE(cutFrames(buf, -3).isEmpty());
}

TEST(PortNames, ExtraPortsComeFirstAndPathsStay) {
    const QStringList extra = {QStringLiteral("/dev/pts/9"), QStringLiteral("/dev/ttyUSB7")};
    EXPECT_EQ(listPorts(extra, true), extra);
    const QStringList all = listPorts(extra, false);
    ASSERT_GE(all.size(), 2);
    EXPECT_EQ(all.mid(0, 2), extra);
    EXPECT_EQ(all.count(QStringLiteral("/dev/ttyUSB7")), 1);
#ifndef Q_OS_WIN
    // The chooser lists device paths, never bare names such as "ttyS0".
    for (const QString& port : all)
        EXPECT_TRUE(port.startsWith(QStringLiteral("/dev/"))) << port.toStdString();
#endif
    EXPECT_EQ(deviceNameFor(QStringLiteral("/dev/ttyUSB0")), QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(deviceNameFor(QStringLiteral("ttyS1")), QStringLiteral("/dev/ttyS1"));
}

TEST(LoggerSearch, ReplyNamesTheModelInItsFirstFiveBytes) {
    EXPECT_EQ(modelFromSearchReply(bytes({0xEF, 0x38, 0x36, 0x32, 0xFE})), kModel862);
    EXPECT_EQ(modelFromSearchReply(QByteArray("\xEF"
                                              "860\xFE")),
              kModel860);
    // Anywhere in the five bytes, and the first model text wins.
    EXPECT_EQ(modelFromSearchReply(QByteArray("86060")), kModel860);
    EXPECT_EQ(modelFromSearchReply(QByteArray("xx862")), kModel862);
    EXPECT_EQ(modelFromSearchReply(QByteArray("86286")), kModel862);
    // Fewer than five bytes, neither model, or a model text beyond the fifth byte.
    EXPECT_FALSE(modelFromSearchReply(QByteArray("\xEF"
                                                 "86"))
                     .has_value());
    EXPECT_FALSE(modelFromSearchReply(bytes({0xEF, 0x31, 0x32, 0x33, 0xFE})).has_value());
    EXPECT_FALSE(modelFromSearchReply(QByteArray("xxxx860")).has_value());
    EXPECT_FALSE(modelFromSearchReply({}).has_value());
}
