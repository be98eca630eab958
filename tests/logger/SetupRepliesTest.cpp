#include "SetupReplies.h"
#include "FdIo.h"
#include "IntervalTable.h"
#include "LoggerTestSupport.h"
#include "SetupGrid.h"
#include "SetupSession.h"

#include <gtest/gtest.h>

using namespace tq;

TEST(ClockReplies, CutFromTheBufferWithTheReceiveHandlersRules) {
    // Garbage before a reply is dropped; the reply is read.
    QByteArray buffer = bytes({0x12, 0x34, 0xEF, 24, 3, 29, 7, 13, 15, 0xFE});
    EXPECT_EQ(takeClockReplies(buffer), QDateTime(QDate(2024, 3, 29), QTime(7, 13, 15)));
    EXPECT_TRUE(buffer.isEmpty());

    // Seven bytes or fewer wait for more.
    buffer = bytes({0xEF, 24, 3, 29, 7, 13, 15});
    EXPECT_FALSE(takeClockReplies(buffer).has_value());
    EXPECT_EQ(buffer.size(), 7);
    buffer.append(char(0xFE));
    EXPECT_EQ(takeClockReplies(buffer), QDateTime(QDate(2024, 3, 29), QTime(7, 13, 15)));

    // A start mark without its end mark is dropped alone; the scan resumes.
    buffer = bytes({0xEF, 0xEF, 31, 2, 3, 4, 5, 6, 0xFE});
    EXPECT_EQ(takeClockReplies(buffer), QDateTime(QDate(2031, 2, 3), QTime(4, 5, 6)));
    EXPECT_TRUE(buffer.isEmpty());

    // No start mark at all: everything goes, also fewer bytes than a reply,
    // so a reply split anywhere reads as if it came at once.
    buffer = QByteArray(20, char(0x41));
    EXPECT_FALSE(takeClockReplies(buffer).has_value());
    EXPECT_TRUE(buffer.isEmpty());
    buffer = bytes({0x05, 0x0E, 0x08, 0xEF, 24});
    EXPECT_FALSE(takeClockReplies(buffer).has_value());
    EXPECT_EQ(buffer, bytes({0xEF, 24}));
    buffer.append(bytes({3, 29, 7, 13, 15, 0xFE}));
    EXPECT_EQ(takeClockReplies(buffer), QDateTime(QDate(2024, 3, 29), QTime(7, 13, 15)));

    // Two replies: the later one is what the label shows.
    buffer = bytes({0xEF, 24, 3, 29, 7, 13, 15, 0xFE, 0xEF, 24, 3, 29, 7, 13, 16, 0xFE, 0xEF, 24});
    EXPECT_EQ(takeClockReplies(buffer), QDateTime(QDate(2024, 3, 29), QTime(7, 13, 16)));
    EXPECT_EQ(buffer, bytes({0xEF, 24}));
}

TEST(ClockReplies, AnImpossibleDateIsDroppedWithItsEightBytes) {
    // 30 February, then hour 24: both are dropped whole, and the reply
    // after them is read normally.
    QByteArray buffer = bytes({0xEF, 24, 2, 30, 0, 0, 0, 0xFE});
    EXPECT_FALSE(takeClockReplies(buffer).has_value());
    EXPECT_TRUE(buffer.isEmpty());
    buffer = bytes({0xEF, 24, 2, 28, 24, 0, 0, 0xFE, 0xEF, 24, 2, 28, 23, 59, 59, 0xFE});
    EXPECT_EQ(takeClockReplies(buffer), QDateTime(QDate(2024, 2, 28), QTime(23, 59, 59)));
    // A date that is impossible after a possible one keeps the possible one.
    buffer = bytes({0xEF, 24, 2, 28, 1, 0, 0, 0xFE, 0xEF, 24, 13, 1, 0, 0, 0, 0xFE});
    EXPECT_EQ(takeClockReplies(buffer), QDateTime(QDate(2024, 2, 28), QTime(1, 0, 0)));
}

TEST(IntervalReply, LooksTheSecondsUpInTheTable) {
    EXPECT_EQ(intervals::text(*intervalIndexFromReply(bytes({0xEF, 0x2C, 0x01, 0xFE}))), "05:00");
    // Seven seconds are not in the table: the first entry.
    EXPECT_EQ(intervalIndexFromReply(bytes({0xEF, 0x07, 0x00, 0xFE})), 0);
    EXPECT_EQ(intervals::text(0), "00:01");
    EXPECT_EQ(intervalIndexFromReply(bytes({0xEF, 0x10, 0x0E, 0xFE})), 13);
    EXPECT_EQ(intervals::text(13), "60:00");
    EXPECT_EQ(intervalIndexFromReply(bytes({0xEF, 0x01, 0x00, 0xFE, 0x99, 0x99})), 0);
    // Without a framed four-byte reply the list keeps what it shows.
    EXPECT_FALSE(intervalIndexFromReply(bytes({0xEF, 0x2C, 0x01})).has_value());
    EXPECT_FALSE(intervalIndexFromReply(bytes({0xEE, 0x2C, 0x01, 0xFE})).has_value());
    EXPECT_FALSE(intervalIndexFromReply(bytes({0xEF, 0x2C, 0x01, 0xFD})).has_value());
    EXPECT_FALSE(intervalIndexFromReply({}).has_value());
    // The seconds themselves, in the table or not (tq880-cli info shows them).
    EXPECT_EQ(intervalSecondsFromReply(bytes({0xEF, 0x07, 0x00, 0xFE})), 7);
    EXPECT_EQ(intervalSecondsFromReply(bytes({0xEF, 0xFF, 0xFF, 0xFE})), 65535);
    EXPECT_FALSE(intervalSecondsFromReply(bytes({0xEF, 0x2C, 0x01, 0xFD})).has_value());
    EXPECT_EQ(intervals::text(intervals::kDefaultIndex), "00:02");
    EXPECT_TRUE(intervals::text(14).isEmpty());
    EXPECT_TRUE(intervals::text(-1).isEmpty());
}

TEST(SetupCommands, WireBytes) {
    EXPECT_EQ(setup::setClockCommand(QDateTime(QDate(2031, 2, 3), QTime(4, 5, 6))),
              bytes({0xEF, 0x74, 0x1F, 0x02, 0x03, 0x04, 0x05, 0x06, 0xFE}));
    EXPECT_EQ(setup::setClockCommand(QDateTime(QDate(2100, 12, 31), QTime(23, 59, 58))),
              bytes({0xEF, 0x74, 0x00, 12, 31, 23, 59, 58, 0xFE}));
    EXPECT_EQ(setup::setUnitCommand(false), bytes({0xEF, 0x53, 0x00, 0xFE}));
    EXPECT_EQ(setup::setUnitCommand(true), bytes({0xEF, 0x53, 0x01, 0xFE}));
    EXPECT_EQ(setup::setIntervalCommand(9), bytes({0xEF, 0x69, 0x09, 0x00, 0xFE}));
    EXPECT_EQ(setup::eraseCommand(), bytes({0xEF, 0x65, 0x00, 0xFE}));
    EXPECT_TRUE(eraseConfirmed(bytes({0xEF, 0x59, 0xFE})));
    EXPECT_FALSE(eraseConfirmed(bytes({0xEF, 0x4E, 0xFE})));
    EXPECT_FALSE(eraseConfirmed(bytes({0x59})));
}

TEST(SetupGrid, SampleCountsFollowTheModelsSampleSize) {
    // Model 862 counts 4-byte samples from 320, the others 2-byte samples from 256.
    const auto rows862 = setupGridRows(directoryWith(0x00, {{320 + 4 * 100}, {720 + 4 * 7}}), kModel862);
    ASSERT_EQ(rows862.size(), 15);
    EXPECT_TRUE(rows862[0].used);
    EXPECT_EQ(rows862[0].sampleCount, "100");
    EXPECT_EQ(rows862[0].date, "3/29/24");
    EXPECT_EQ(rows862[0].time, "7:13:15 AM");
    EXPECT_EQ(rows862[1].sampleCount, "7");
    EXPECT_EQ(usedRows(rows862), 2);
    for (int r = 2; r < 15; ++r) {
        EXPECT_FALSE(rows862[r].used);
        EXPECT_EQ(rows862[r].date, "empty");
        EXPECT_TRUE(rows862[r].time.isEmpty());
        EXPECT_TRUE(rows862[r].sampleCount.isEmpty());
    }

    const auto rows860 = setupGridRows(directoryWith(0xFF, {{256 + 2 * 100}}), kModel860);
    EXPECT_EQ(rows860[0].sampleCount, "100");
    EXPECT_EQ(usedRows(rows860), 1);
    // Read with the other model's fill byte, 862's unused zero records are
    // all "in use".
    EXPECT_EQ(usedRows(setupGridRows(directoryWith(0x00, {{456}}), kModel860)), 15);
}

TEST(SetupGrid, EmptyShortAndOddDirectories) {
    for (int model : {860, 862}) {
        const quint8 fill = model == 862 ? 0x00 : 0xFF;
        const auto rows = setupGridRows(QByteArray(256, char(fill)), *findLoggerModel(model));
        EXPECT_EQ(usedRows(rows), 0);
        for (const SetupGridRow& r : rows)
            EXPECT_EQ(r.date, "empty");
    }
    // Fewer than 256 bytes: nothing is trusted.
    EXPECT_EQ(usedRows(setupGridRows(directoryWith(0xFF, {{456}}).left(255), kModel860)), 0);
    EXPECT_EQ(setupGridRows({}, kModel860).size(), 15);

    // An impossible start keeps "empty" but still counts and still moves
    // the previous end on; an end below the previous one counts 0.
    QByteArray d = directoryWith(0xFF, {{456}, {656}, {600}, {700}});
    d[16 + 5] = 13; // month 13 in record 1
    const auto rows = setupGridRows(d, kModel860);
    EXPECT_TRUE(rows[0].used);
    EXPECT_EQ(rows[0].date, "empty");
    EXPECT_TRUE(rows[0].time.isEmpty());
    EXPECT_EQ(rows[0].sampleCount, "100");
    EXPECT_EQ(rows[1].sampleCount, "100");
    EXPECT_EQ(rows[1].date, "3/29/24");
    EXPECT_EQ(rows[2].sampleCount, "0");
    EXPECT_EQ(rows[3].sampleCount, "50");
    // The end address's top byte weighs 16219136, as the logger counts it.
    QByteArray top = directoryWith(0xFF, {{256}});
    top[16 + 15] = 1;
    const auto big = setupGridRows(top, kModel860);
    EXPECT_EQ(big[0].sampleCount, QString::number(16219136 / 2));
}
