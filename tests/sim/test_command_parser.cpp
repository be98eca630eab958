#include "CommandParser.h"
#include "PtyPort.h"

#include <gtest/gtest.h>

using tq::sim::Command;
using tq::sim::CommandParser;

namespace {
QVector<QByteArray> raws(const QVector<Command>& commands) {
    QVector<QByteArray> out;
    for (const Command& c : commands)
        out.append(c.raw);
    return out;
}
} // namespace

TEST(CommandParser, PlainCommandsTakeTheirParameterCount) {
    CommandParser parser;
    const QByteArray setClock = bytes({0xEF, 't', 31, 2, 3, 4, 5, 6, 0xFE});
    const QByteArray setUnit = bytes({0xEF, 'S', 1, 0xFE});
    const QByteArray erase = bytes({0xEF, 'e', 0x55, 0xFE});
    const QByteArray setInterval = bytes({0xEF, 'i', 9, 0, 0xFE});
    const QByteArray all = plain('M') + setClock + setUnit + erase + setInterval + plain('D');
    const QVector<Command> got = parser.feed(all, 0);
    ASSERT_EQ(got.size(), 6);
    EXPECT_EQ(raws(got),
              (QVector<QByteArray>{plain('M'), setClock, setUnit, erase, setInterval, plain('D')}));
    EXPECT_EQ(got[1].letter, 't');
    EXPECT_EQ(got[1].params, bytes({31, 2, 3, 4, 5, 6}));
    EXPECT_EQ(got[4].params, bytes({9, 0}));
    EXPECT_EQ(parser.pendingBytes(), 0);
}

TEST(CommandParser, ParametersMayHoldMarkBytes) {
    // Year 0xEF and a second of 0xFE are still parameters, not marks.
    CommandParser parser;
    const QByteArray setClock = bytes({0xEF, 't', 0xEF, 0xFE, 0x02, 0x00, 0x03, 0xFE, 0xFE});
    const QVector<Command> got = parser.feed(setClock, 0);
    ASSERT_EQ(got.size(), 1);
    EXPECT_EQ(got[0].params, bytes({0xEF, 0xFE, 0x02, 0x00, 0x03, 0xFE}));
}

TEST(CommandParser, CommandsSplitAcrossReadsAreJoined) {
    CommandParser parser;
    const QByteArray setClock = bytes({0xEF, 't', 24, 12, 31, 23, 59, 58, 0xFE});
    QVector<Command> got;
    for (char b : setClock)
        got += parser.feed(QByteArray(1, b), 10);
    ASSERT_EQ(got.size(), 1);
    EXPECT_EQ(got[0].raw, setClock);
}

TEST(CommandParser, GarbageWakeBytesAndStrayMarksAreSkipped) {
    CommandParser parser;
    // Garbage, a wake byte, a stray start mark whose frame has no end mark,
    // then a real command; and an unknown letter with a valid frame.
    const QByteArray in = bytes({0x12, 0x34, 0x00, 0xEF, 0xEF, 'A', 0xFE, 0x77, 0xEF, 'Z', 0xFE});
    const QVector<Command> got = parser.feed(in, 0);
    ASSERT_EQ(got.size(), 3);
    EXPECT_EQ(got[0].kind, Command::Kind::Wake);
    EXPECT_EQ(got[0].raw, QByteArray(1, 0));
    EXPECT_EQ(got[1].raw, plain('A'));
    EXPECT_EQ(got[2].letter, 'Z');
    EXPECT_EQ(parser.pendingBytes(), 0);

    // A plain frame with a wrong end mark drops only its start mark: the
    // command hidden behind it is still found.
    const QVector<Command> rescued = parser.feed(bytes({0xEF, 'S', 0x01, 0x01}) + plain('V'), 0);
    ASSERT_EQ(rescued.size(), 1);
    EXPECT_EQ(rescued[0].letter, 'V');
}

TEST(CommandParser, ChecksummedFormIsVerified) {
    CommandParser parser;
    const QVector<Command> live = parser.feed(bytes({0x02, 0x41, 0xC1, 0x03}), 0);
    ASSERT_EQ(live.size(), 1);
    EXPECT_EQ(live[0].kind, Command::Kind::Checksummed);
    EXPECT_EQ(live[0].letter, 'A');

    // 'S' 01: sum 0x54, sent as 0xD4.
    const QVector<Command> unit = parser.feed(bytes({0x02, 'S', 0x01, 0xD4, 0x03}), 0);
    ASSERT_EQ(unit.size(), 1);
    EXPECT_EQ(unit[0].params, bytes({0x01}));

    // Wrong sum, then wrong end byte: both rejected; the plain command after
    // them is still served.
    const QVector<Command> bad =
        parser.feed(bytes({0x02, 0x41, 0xC2, 0x03, 0x02, 0x41, 0xC1, 0x04}) + plain('M'), 0);
    ASSERT_EQ(bad.size(), 1);
    EXPECT_EQ(bad[0].letter, 'M');
}

TEST(CommandParser, StalePartialCommandIsDropped) {
    CommandParser parser;
    EXPECT_TRUE(parser.feed(bytes({0xEF, 't', 1, 2}), 1000).isEmpty());
    EXPECT_EQ(parser.pendingBytes(), 4);
    // Within the pause the bytes still belong to the set-clock command.
    EXPECT_TRUE(parser.feed(plain('A'), 1100).isEmpty());
    // After a long pause the unfinished command is forgotten.
    CommandParser later;
    later.feed(bytes({0xEF, 't', 1, 2}), 1000);
    const QVector<Command> got = later.feed(plain('A'), 1500);
    ASSERT_EQ(got.size(), 1);
    EXPECT_EQ(got[0].letter, 'A');
}

TEST(CommandParser, HostileInputKeepsTheBufferSmall) {
    CommandParser parser;
    QByteArray noise;
    for (int i = 0; i < 100000; ++i)
        noise.append(char((i * 7919) & 0xFF));
    parser.feed(noise, 0);
    EXPECT_LE(parser.pendingBytes(), 10);
    const QVector<Command> got = parser.feed(bytes({0, 0, 0, 0, 0, 0, 0, 0, 0}) + plain('M'), 0);
    ASSERT_FALSE(got.isEmpty());
    EXPECT_EQ(got.last().letter, 'M');
}
