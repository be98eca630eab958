#include "DateTimeFormat.h"
#include "Regional.h"

#include <gtest/gtest.h>

using namespace tq;

namespace {
const char* const kLocales[] = {"en_US", "de_DE", "C",     "fr_FR", "en_GB", "ja_JP", "ko_KR", "zh_CN",
                                "ru_RU", "nl_NL", "fi_FI", "hu_HU", "sv_SE", "pt_BR", "it_IT", "en_AU"};
}

// Our compiled formats must write exactly what QLocale writes, or the text
// files of this program would differ from what the system shows.
TEST(DateTimeFormat, WritesWhatQLocaleWritesInManyLocales) {
    const QDate dates[] = {QDate(2008, 5, 21), QDate(2024, 12, 1), QDate(1999, 1, 9), QDate(2031, 2, 3)};
    const QTime times[] = {QTime(0, 0, 0), QTime(7, 3, 9), QTime(12, 0, 0), QTime(23, 59, 58),
                           QTime(13, 5, 0)};
    for (const char* name : kLocales) {
        const QLocale locale(QString::fromLatin1(name));
        const QStringList formats = {locale.dateFormat(QLocale::ShortFormat),
                                     locale.dateFormat(QLocale::LongFormat), QStringLiteral("yyyy/MM/dd"),
                                     QStringLiteral("d 'of' MMMM yy"), QStringLiteral("ddd, MMM d ''yy")};
        for (const QString& f : formats) {
            const DateTimeFormat format(f, locale);
            for (const QDate& d : dates) {
                QString ours;
                format.appendDate(ours, d);
                EXPECT_EQ(ours, locale.toString(d, f)) << name << " " << f.toStdString();
            }
        }
        const QStringList timeFormats = {locale.timeFormat(QLocale::ShortFormat),
                                         QStringLiteral("h:mm:ss AP"), QStringLiteral("hh.mm.ss ap"),
                                         QStringLiteral("H:m:s")};
        for (const QString& f : timeFormats) {
            const DateTimeFormat format(f, locale);
            for (const QTime& t : times) {
                QString ours;
                format.appendTime(ours, t);
                EXPECT_EQ(ours, locale.toString(t, f)) << name << " " << f.toStdString();
            }
        }
    }
}

TEST(RegionalFormats, ReadsBackWhatItWritesInManyLocales) {
    const TDateTime times[] = {
        toDays(QDate(2008, 5, 21), QTime(14, 3, 0)), toDays(QDate(2024, 12, 31), QTime(0, 0, 1)),
        toDays(QDate(2031, 2, 3), QTime(12, 30, 59)), toDays(QDate(1999, 7, 4), QTime(23, 59, 59))};
    for (const char* name : kLocales) {
        const RegionalFormats f{QLocale(QString::fromLatin1(name))};
        for (const TDateTime t : times) {
            TDateTime back = -1;
            ASSERT_TRUE(f.parseDateTime(f.dateTime(t), back)) << name << " " << f.dateTime(t).toStdString();
            EXPECT_NEAR(back, t, 0.5 / 86400) << name << " " << f.dateTime(t).toStdString();
        }
        double v = 0;
        ASSERT_TRUE(f.parseValue(f.value(-23.46, 1), v)) << name;
        EXPECT_DOUBLE_EQ(v, -23.5);
    }
}

TEST(RegionalFormats, ParsingRules) {
    const RegionalFormats us{QLocale(QStringLiteral("en_US"))};
    TDateTime t = 0;
    // Two-digit years fall within 50 years of now, not in the 1900s.
    ASSERT_TRUE(us.parseDateTime(u"5/21/08 2:03:00 PM", t));
    EXPECT_EQ(fromDays(t), QDateTime(QDate(2008, 5, 21), QTime(14, 3, 0)));
    ASSERT_TRUE(us.parseDateTime(u"  5/21/08   12:00:00 am ", t));
    EXPECT_EQ(fromDays(t), QDateTime(QDate(2008, 5, 21), QTime(0, 0, 0)));
    ASSERT_TRUE(us.parseDateTime(u"5/21/2008", t)); // a date alone is midnight
    EXPECT_EQ(fromDays(t), QDateTime(QDate(2008, 5, 21), QTime(0, 0, 0)));
    EXPECT_FALSE(us.parseDateTime(u"2/30/08 1:00:00 PM", t));
    EXPECT_FALSE(us.parseDateTime(u"5/21/08 13:00:00 PM", t));
    EXPECT_FALSE(us.parseDateTime(u"5/21/08 2:03:00 PM x", t));
    EXPECT_FALSE(us.parseDateTime(u"Date Time", t));
    EXPECT_FALSE(us.parseDateTime(u"", t));
    EXPECT_EQ(expandTwoDigitYear(75, 2026), 2075);
    EXPECT_EQ(expandTwoDigitYear(76, 2026), 1976);
    EXPECT_EQ(expandTwoDigitYear(0, 2026), 2000);

    const RegionalFormats de{QLocale(QStringLiteral("de_DE"))};
    ASSERT_TRUE(de.parseDateTime(u"21.05.08 14:03:00", t));
    EXPECT_EQ(fromDays(t), QDateTime(QDate(2008, 5, 21), QTime(14, 3, 0)));
    EXPECT_FALSE(de.parseDateTime(u"5/21/08 2:03:00 PM", t));

    double v = 0;
    EXPECT_TRUE(us.parseValue(u" 23.5 ", v));
    EXPECT_DOUBLE_EQ(v, 23.5);
    EXPECT_TRUE(us.parseValue(u"+1e2", v));
    EXPECT_DOUBLE_EQ(v, 100.0);
    EXPECT_FALSE(us.parseValue(u"23,5", v));
    EXPECT_FALSE(us.parseValue(u"", v));
    EXPECT_FALSE(us.parseValue(u"OL", v));
    EXPECT_FALSE(us.parseValue(u"inf", v));
    EXPECT_FALSE(us.parseValue(u"nan", v));
    EXPECT_FALSE(us.parseValue(u"1.5x", v));
    EXPECT_TRUE(de.parseValue(u"-23,5", v));
    EXPECT_DOUBLE_EQ(v, -23.5);
    EXPECT_FALSE(de.parseValue(u"23.5", v)); // a file from a point-separator system
    EXPECT_EQ(de.value(1234.56, 1), QStringLiteral("1234,6"));
}
