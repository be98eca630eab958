#include "RecordingReport.h"
#include "Chart.h"
#include "CommandGuard.h"
#include "DataSet.h"
#include "DataSetChart.h"
#include "DataSetCollection.h"
#include "GraphTestSupport.h"
#include "PdfTools.h"
#include "Regional.h"

#include <QFile>
#include <QRegularExpression>

#include <cmath>

using namespace tq;

namespace {
// Two days at one sample a minute, swinging between 1.5 and 8.5 twice a day,
// with two out-of-range marks.
class RecordingReportTest : public GraphFixture {
  protected:
    void SetUp() override {
        GraphFixture::SetUp();
        run.source = QStringLiteral("/data/cold room.880");
        run.dataSet = 2;
        run.model = kModel860;
        run.intervalSeconds = 60;
        TDateTime start = 0;
        encodeDateTime(2024, 6, 3, 8, 0, 0, start);
        for (int i = 0; i < 2880; ++i) {
            run.times.push_back(start + i * 60.0 / kSecondsPerDay);
            run.values.push_back(std::round(50.0f + 35.0f * float(std::sin(2 * M_PI * i / 720.0))) / 10.0f);
        }
        run.values[100] = 9999.0f;
        run.values[101] = -9999.0f;
        options.limits.low = 2.0;
        options.limits.high = 8.0;
        options.locale = QLocale(QLocale::English, QLocale::UnitedStates);
        options.createdText = QStringLiteral("made by a test");
    }
    QString out(const char* name) const { return home.filePath(QLatin1String(name)); }
    RunFigures figures() const {
        return runFigures(run.times, run.values, run.intervalSeconds, run.unit, options.limits);
    }

    report::Run run;
    report::Options options;
};
} // namespace

TEST_F(RecordingReportTest, TwoDaysWithLimitsSummaryFiguresAndTablePages) {
    DataSet set;
    set.startTime = run.times.front();
    set.intervalSeconds = 60;
    set.sampleCount = int(run.values.size());
    Chart chart;
    prepareDataSetChart(chart, set, SampleSlice{run.values.data(), run.times.data(), set.sampleCount},
                        kModel860);
    report::prepareChart(chart, options.limits);

    const QString pdf = out("report.pdf");
    const int pages = report::write(pdf, run, options, &chart).value();
    EXPECT_EQ(test::pdfPages(pdf), pages);
    // The summary page, then the 2880 samples on pages of a few hundred.
    EXPECT_GT(pages, 5);
    EXPECT_LT(pages, 30);
    EXPECT_TRUE(test::pdfPageSize(pdf).contains(QStringLiteral("letter")))
        << test::pdfPageSize(pdf).toStdString();

    const QString text = test::pdfText(pdf);
    ASSERT_FALSE(text.isEmpty());
    const RunFigures f = figures();
    const RegionalFormats us(options.locale);
    const auto has = [&text](const QString& s) { EXPECT_TRUE(text.contains(s)) << s.toStdString(); };
    has(QStringLiteral("cold room.880, data set 2"));
    has(QStringLiteral("860"));
    has(us.dateTime(run.times.front()));
    has(us.dateTime(run.times.back()));
    has(QStringLiteral("60 s (00:01:00)"));
    has(QStringLiteral("2880"));
    has(QStringLiteral("1 d 23:59:00"));
    has(QStringLiteral("8.5 °C at ") + us.dateTime(f.maxTime));
    has(QStringLiteral("1.5 °C at ") + us.dateTime(f.minTime));
    has(us.value(f.average, 2) + QStringLiteral(" °C"));
    has(us.value(*f.mkt.value, 2) + QStringLiteral(" °C (activation energy 83.144 kJ/mol)"));
    has(QStringLiteral("2, first at ") + us.dateTime(run.times[100]));
    // Four swings beyond each limit in two days.
    EXPECT_EQ(f.above.count, 4);
    EXPECT_EQ(f.below.count, 4);
    has(QStringLiteral("Outside the limits: 4 above 8.0 °C, 4 below 2.0 °C (excursions)."));
    has(us.dateTime(*f.above.firstStart));
    has(QStringLiteral("Page 1 of %1").arg(pages));
    has(QStringLiteral("Page %1 of %1").arg(pages));
    has(QStringLiteral("made by a test"));
    // The table ends with the last sample.
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("2880 +") + QRegularExpression::escape(us.date(run.times.back())))
            .match(text)
            .hasMatch());
    has(QStringLiteral("OL"));
}

TEST_F(RecordingReportTest, ChoicesLocaleAndVerdicts) {
    // No table, no graph, A4 and a comma in a German locale.
    options.table = false;
    options.graph = false;
    options.locale = QLocale(QLocale::German, QLocale::Germany);
    const QString pdf = out("short.pdf");
    EXPECT_EQ(report::write(pdf, run, options, nullptr).value(), 1);
    EXPECT_EQ(test::pdfPages(pdf), 1);
    EXPECT_TRUE(test::pdfPageSize(pdf).contains(QStringLiteral("A4")))
        << test::pdfPageSize(pdf).toStdString();
    QString text = test::pdfText(pdf);
    EXPECT_TRUE(text.contains(QStringLiteral("8,5 °C at"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("Graph")));

    // Inside the limits, but with marks: not a plain pass.
    options.limits.low = 0.0;
    options.limits.high = 10.0;
    ASSERT_TRUE(report::write(pdf, run, options, nullptr).ok());
    EXPECT_TRUE(
        test::pdfText(pdf).contains(QStringLiteral("Within the limits where measured; 2 out-of-range")));
    run.values[100] = run.values[101] = 5.0f;
    ASSERT_TRUE(report::write(pdf, run, options, nullptr).ok());
    text = test::pdfText(pdf);
    EXPECT_TRUE(text.contains(QStringLiteral("Within the limits."))) << text.toStdString();

    // No limits: no limits section, no verdict. A unit the file did not record.
    options.limits = {};
    run.unit = TemperatureUnit::Fahrenheit;
    run.unitRecorded = false;
    run.dataSet = 0;
    run.model.reset();
    ASSERT_TRUE(report::write(pdf, run, options, nullptr).ok());
    text = test::pdfText(pdf);
    EXPECT_FALSE(text.contains(QStringLiteral("Within")));
    EXPECT_FALSE(text.contains(QStringLiteral("Excursions")));
    EXPECT_TRUE(text.contains(QStringLiteral("°F (given, not recorded)")));
    EXPECT_TRUE(text.contains(QStringLiteral("not recorded in the file")));

    // Nothing but marks.
    run.values.assign(run.values.size(), 9999.0f);
    options.limits.high = 8.0;
    ASSERT_TRUE(report::write(pdf, run, options, nullptr).ok());
    EXPECT_TRUE(test::pdfText(pdf).contains(QStringLiteral("Not checked: the run holds no reading.")));
}

TEST_F(RecordingReportTest, BadOptionsWriteNothing) {
    options.limits.low = 9.0; // above the high limit
    const QString pdf = out("never.pdf");
    EXPECT_FALSE(report::checkOptions(options).isEmpty());
    EXPECT_EQ(report::write(pdf, run, options, nullptr).outcome().code, Outcome::Code::BadInput);
    EXPECT_FALSE(QFile::exists(pdf));
    options.limits.low = 2.0;
    options.activationEnergyKJ = 0.0;
    EXPECT_EQ(report::write(pdf, run, options, nullptr).outcome().code, Outcome::Code::BadInput);
    options.activationEnergyKJ = std::nan("");
    EXPECT_FALSE(report::checkOptions(options).isEmpty());
    options.activationEnergyKJ = 83.144;
    options.limits.high = std::numeric_limits<double>::infinity();
    EXPECT_FALSE(report::checkOptions(options).isEmpty());
    EXPECT_FALSE(QFile::exists(pdf));
    options.limits.high = 8.0;
    const Result<int> missing =
        report::write(home.filePath(QStringLiteral("missing/r.pdf")), run, options, nullptr);
    EXPECT_FALSE(missing.ok()) << "written into a missing folder";
    EXPECT_TRUE(missing.outcome().text.contains(QStringLiteral("r.pdf")))
        << missing.outcome().text.toStdString();
}

TEST(RecordingReportTexts, PaperAndDurations) {
    EXPECT_EQ(report::pageSizeFor(QLocale(QLocale::English, QLocale::UnitedStates)).id(), QPageSize::Letter);
    EXPECT_EQ(report::pageSizeFor(QLocale(QLocale::French, QLocale::Canada)).id(), QPageSize::Letter);
    EXPECT_EQ(report::pageSizeFor(QLocale(QLocale::English, QLocale::UnitedKingdom)).id(), QPageSize::A4);
    EXPECT_EQ(report::pageSizeFor(QLocale(QLocale::German, QLocale::Germany)).id(), QPageSize::A4);
    EXPECT_EQ(report::durationText(0), QStringLiteral("00:00:00"));
    EXPECT_EQ(report::durationText(3599.6), QStringLiteral("01:00:00"));
    EXPECT_EQ(report::durationText(86400 * 2 + 3 * 3600 + 4 * 60 + 5), QStringLiteral("2 d 03:04:05"));
    EXPECT_EQ(report::durationText(-5), QStringLiteral("00:00:00"));
    EXPECT_EQ(report::durationText(std::nan("")), QStringLiteral("00:00:00"));
}
