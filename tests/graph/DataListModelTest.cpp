#include "DataListModel.h"
#include "Chart.h"
#include "DateTime.h"
#include "GraphTestSupport.h"

#include <QLocale>

using namespace tq;

namespace {
// Sets the default locale for one test and puts the previous one back.
class LocaleScope {
  public:
    explicit LocaleScope(const QLocale& locale) { QLocale::setDefault(locale); }
    ~LocaleScope() { QLocale::setDefault(m_previous); }

  private:
    QLocale m_previous;
};

// Two series of five points from 28 December 2024, 22:58:58, half an hour apart.
void fillTwoSeries(Chart& c) {
    TDateTime start = 0;
    ASSERT_TRUE(encodeDateTime(2024, 12, 28, 22, 58, 58, start));
    c.setSubsets(2);
    c.setPoints(5);
    const float temperatures[] = {21.5f, -9999.0f, 9999.0f, 3000.0f, -3000.1f};
    const float humidities[] = {45.3f, 9999.0f, -9999.0f, 0.0f, 100.0f};
    for (int i = 0; i < 5; ++i) {
        c.setX(0, i, start + i * 1800 * kOneSecond);
        c.setY(0, i, temperatures[i]);
        c.setY(1, i, humidities[i]);
    }
}

QStringList rowTexts(const DataListModel& m, int row) {
    QStringList texts;
    for (int c = 0; c < m.columnCount(); ++c)
        texts << m.text(row, c);
    return texts;
}

class DataListModelTest : public GraphFixture {};
} // namespace

TEST_F(DataListModelTest, RowTextsInTheRegionalFormatsWithOutOfRangeMarks) {
    Chart c;
    fillTwoSeries(c);
    {
        LocaleScope us(QLocale(QLocale::English, QLocale::UnitedStates));
        DataListModel list(c, false);
        list.refill();
        ASSERT_EQ(list.readings(), 5);
        ASSERT_EQ(list.columnCount(), 4);
        EXPECT_EQ(list.headings(), QStringList({"No", "DATE", "TIME", "VALUE"}));
        EXPECT_EQ(list.headerData(3, Qt::Horizontal).toString(), QStringLiteral("VALUE"));
        EXPECT_EQ(rowTexts(list, 0), QStringList({"1", "12/28/24", "10:58:58 PM", "21.5"}));
        EXPECT_EQ(rowTexts(list, 1), QStringList({"2", "12/28/24", "11:28:58 PM", "OL"}));
        EXPECT_EQ(rowTexts(list, 2), QStringList({"3", "12/28/24", "11:58:58 PM", "OL"}));
        EXPECT_EQ(rowTexts(list, 3), QStringList({"4", "12/29/24", "12:28:58 AM", "3000.0"}));
        EXPECT_EQ(rowTexts(list, 4)[3], QStringLiteral("OL"));
        EXPECT_TRUE(list.text(5, 0).isEmpty());
        // The rows are a window onto the readings, cut at the last one.
        list.setWindow(2, 2);
        ASSERT_EQ(list.rowCount(), 2);
        EXPECT_EQ(list.index(0, 2).data().toString(), QStringLiteral("11:58:58 PM"));
        EXPECT_EQ(list.index(1, 0).data().toString(), QStringLiteral("4"));
        list.setWindow(3, 30);
        EXPECT_EQ(list.rowCount(), 2);
        EXPECT_EQ(list.index(1, 0).data().toString(), QStringLiteral("5"));
        EXPECT_FALSE(list.index(2, 0).isValid());
        list.setWindow(99, 30);
        EXPECT_EQ(list.first(), 4);
    }
    {
        // The formats are taken when the list is filled.
        LocaleScope de(QLocale(QLocale::German, QLocale::Germany));
        DataListModel list(c, true);
        list.refill();
        ASSERT_EQ(list.columnCount(), 5);
        EXPECT_EQ(list.headings(), QStringList({"No", "DATE", "TIME", "HUMIDITY", "Temp"}));
        EXPECT_EQ(rowTexts(list, 0), QStringList({"1", "28.12.24", "22:58:58", "21,5", "45,3"}));
        // A mark in the second series (its null value above all) reads "OL" too.
        EXPECT_EQ(rowTexts(list, 1), QStringList({"2", "28.12.24", "23:28:58", "OL", "OL"}));
        EXPECT_EQ(rowTexts(list, 3), QStringList({"4", "29.12.24", "00:28:58", "3000,0", "0,0"}));
        EXPECT_EQ(rowTexts(list, 2)[4], QStringLiteral("OL"));
    }
}

TEST_F(DataListModelTest, RowsShowTheChartAsItIsAndNeverReadPastIt) {
    Chart c;
    fillTwoSeries(c);
    DataListModel list(c, true);
    EXPECT_EQ(list.readings(), 0) << "empty until filled";
    list.refill();
    // A value changed after filling shows when the row is painted.
    c.setY(0, 0, 23.2f);
    EXPECT_EQ(list.text(0, 3), QStringLiteral("23.2"));
    // The chart prepared again with fewer points: the rows it no longer
    // has stay empty until the list is filled again.
    c.setPoints(2);
    EXPECT_EQ(list.readings(), 5);
    EXPECT_EQ(list.text(1, 0), QStringLiteral("2"));
    for (int column = 0; column < 5; ++column)
        EXPECT_TRUE(list.text(4, column).isEmpty()) << column;
    list.refill();
    EXPECT_EQ(list.readings(), 2);
    list.setWindow(0, 10);
    EXPECT_EQ(list.rowCount(), 2);
    EXPECT_EQ(list.flags(list.index(0, 0)), Qt::ItemIsEnabled | Qt::ItemIsSelectable);
}
