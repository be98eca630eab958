#include "ChartExport.h"
#include "Chart.h"
#include "CommandGuard.h"
#include "DataSet.h"
#include "DataSetChart.h"
#include "DataSetCollection.h"
#include "GraphTestSupport.h"
#include "PdfTools.h"
#include "RecordingReport.h"

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QSvgRenderer>

#include <vector>

using namespace tq;

namespace {
class ChartExportTest : public GraphFixture {
  protected:
    // A data set of n samples a minute apart rising from 0.0 by 0.1.
    void makeChart(int n = 120) {
        encodeDateTime(2024, 6, 3, 8, 0, 0, set.startTime);
        set.intervalSeconds = 60;
        set.sampleCount = n;
        for (int i = 0; i < n; ++i) {
            times.push_back(set.startTime + i * 60.0 / kSecondsPerDay);
            values.push_back(float(i) * 0.1f);
        }
        prepareDataSetChart(chart, set, SampleSlice{values.data(), times.data(), n}, kModel860);
    }
    static int pixelsLike(const QImage& image, const QColor& color, int tolerance) {
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (std::abs(c.red() - color.red()) <= tolerance &&
                    std::abs(c.green() - color.green()) <= tolerance &&
                    std::abs(c.blue() - color.blue()) <= tolerance)
                    ++count;
            }
        return count;
    }
    QString out(const char* name) const { return home.filePath(QLatin1String(name)); }

    DataSet set;
    std::vector<double> times;
    std::vector<float> values;
    Chart chart;
};
} // namespace

TEST(ChartExportNames, SizesAndFormats) {
    QSize s;
    EXPECT_TRUE(chartexport::parseSize(QStringLiteral("1200x700"), s));
    EXPECT_EQ(s, QSize(1200, 700));
    EXPECT_TRUE(chartexport::parseSize(QStringLiteral(" 50 X 8000 "), s));
    EXPECT_EQ(s, QSize(50, 8000));
    for (const char* bad : {"49x100", "100x8001", "100", "x100", "100x", "-100x100", "1e3x100", "99999999x1"})
        EXPECT_FALSE(chartexport::parseSize(QLatin1String(bad), s)) << bad;
    chartexport::Format f = chartexport::Format::Png;
    EXPECT_TRUE(chartexport::formatOf(QStringLiteral("/a/b.SVG"), f));
    EXPECT_EQ(f, chartexport::Format::Svg);
    EXPECT_TRUE(chartexport::formatOf(QStringLiteral("b.pdf"), f));
    EXPECT_EQ(f, chartexport::Format::Pdf);
    EXPECT_FALSE(chartexport::formatOf(QStringLiteral("b.jpg"), f));
    EXPECT_FALSE(chartexport::formatOf(QStringLiteral("png"), f));
}

TEST_F(ChartExportTest, EachFormatHasTheChosenSize) {
    makeChart();
    ASSERT_TRUE(chartexport::write(chart, out("g.png"), chartexport::Format::Png, QSize(640, 400)).ok());
    QImageReader png(out("g.png"));
    EXPECT_EQ(png.format(), QByteArray("png"));
    const QImage image = png.read();
    EXPECT_EQ(image.size(), QSize(640, 400));
    // The series is drawn in the default style's red.
    EXPECT_GT(pixelsLike(image, QColor(255, 0, 0), 40), 100);

    ASSERT_TRUE(chartexport::write(chart, out("g.svg"), chartexport::Format::Svg, QSize(900, 300)).ok());
    QSvgRenderer svg(out("g.svg"));
    ASSERT_TRUE(svg.isValid());
    EXPECT_EQ(svg.viewBox(), QRect(0, 0, 900, 300));
    QFile svgFile(out("g.svg"));
    ASSERT_TRUE(svgFile.open(QIODevice::ReadOnly));
    const QByteArray svgText = svgFile.readAll();
    // Vector graphics: the time axis label is text, not pixels.
    EXPECT_TRUE(svgText.contains(">Time<")) << svgText.left(400).toStdString();
    EXPECT_FALSE(svgText.contains("<image"));

    ASSERT_TRUE(chartexport::write(chart, out("g.pdf"), chartexport::Format::Pdf, QSize(640, 400)).ok());
    EXPECT_EQ(test::pdfPages(out("g.pdf")), 1);
    // 96 pixels to the inch: 640 x 400 pixels are 480 x 300 points.
    EXPECT_TRUE(test::pdfPageSize(out("g.pdf")).startsWith(QStringLiteral("480 x 300 pts")))
        << test::pdfPageSize(out("g.pdf")).toStdString();
    EXPECT_TRUE(test::pdfText(out("g.pdf")).contains(QStringLiteral("Time")));
}

TEST_F(ChartExportTest, RefusalsNameTheFileAndKeepWhatWasThere) {
    makeChart();
    const QString keep = out("keep.png");
    {
        QFile f(keep);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old");
    }
    const Outcome tiny = chartexport::write(chart, keep, chartexport::Format::Png, QSize(20, 20));
    EXPECT_FALSE(tiny.ok()) << "a picture of 20 x 20 was written";
    EXPECT_TRUE(tiny.text.contains(QStringLiteral("keep.png"))) << tiny.text.toStdString();
    QFile f(keep);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("old"));
    EXPECT_EQ(
        chartexport::write(chart, out("no/such/folder/g.svg"), chartexport::Format::Svg, QSize(200, 200))
            .code,
        Outcome::Code::CannotWrite);
}

TEST_F(ChartExportTest, ReportChartShowsTheZonesBeyondTheLimitsAndKeepsThemInView) {
    makeChart(); // values 0.0 ... 11.9
    const QImage plain = chart.renderImage(QSize(600, 400));
    // Pale red above the high limit, pale blue below the low one (the
    // bands' colours over white).
    const QColor paleRed(250, 213, 213), paleBlue(213, 223, 250);
    // (Only the edges of the red line come near it.)
    EXPECT_LT(pixelsLike(plain, paleRed, 8), 300);

    RunLimits limits;
    // Both beyond every value: the value axis must reach out to them.
    limits.low = -5.0;
    limits.high = 20.0;
    report::prepareChart(chart, limits);
    EXPECT_FALSE(chart.showVertLineAnnotations());
    ASSERT_EQ(chart.valueBands().size(), 2);
    const QImage image = chart.renderImage(QSize(600, 400));
    EXPECT_GT(pixelsLike(image, paleRed, 8), 2000);
    EXPECT_GT(pixelsLike(image, paleBlue, 8), 2000);

    // Without limits the bands go again.
    report::prepareChart(chart, {});
    EXPECT_TRUE(chart.valueBands().isEmpty());
    EXPECT_LT(pixelsLike(chart.renderImage(QSize(600, 400)), paleBlue, 8), 300);
}
