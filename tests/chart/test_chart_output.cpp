#include "ChartFixtures.h"
#include "CustomizeDialog.h"

#include <qcustomplot.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPrinter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using tq::Chart;
using namespace tq::testing;

namespace {

struct HandlerReset {
    ~HandlerReset() { Chart::setDialogHandler({}); }
};

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(ChartOutput, CustomizeOkAppliesAndCancelKeeps) {
    HandlerReset reset;
    Chart c;
    c.setSubsets(2);
    c.setMultiAxesSubsets({1, 1});
    fillDay(c, 100);
    c.setMainTitle(QStringLiteral("old"));
    c.setSubsetLabel(1, QStringLiteral("Temperature"));
    QSignalSpy ended(&c, &Chart::customizeDlg);

    auto fill = [](QDialog& d) {
        EXPECT_EQ(d.objectName(), QStringLiteral("ChartCustomizeDialog"));
        d.findChild<QLineEdit*>(QStringLiteral("mainTitle"))->setText(QStringLiteral("new title"));
        d.findChild<QLineEdit*>(QStringLiteral("subTitle"))->setText(QStringLiteral("sub"));
        d.findChild<QLineEdit*>(QStringLiteral("xAxisLabel"))->setText(QStringLiteral("When"));
        d.findChild<QLineEdit*>(QStringLiteral("yAxisLabel1"))->setText(QStringLiteral("°C"));
        d.findChild<QLineEdit*>(QStringLiteral("seriesLabel1"))->setText(QStringLiteral("Temp"));
        d.findChild<QComboBox*>(QStringLiteral("seriesLineType0"))->setCurrentIndex(2);
        d.findChild<QComboBox*>(QStringLiteral("plottingMethod"))->setCurrentIndex(4);
        d.findChild<QComboBox*>(QStringLiteral("gridStyle"))->setCurrentIndex(1);
        static_cast<tq::CustomizeDialog&>(d).setSeriesColor(0, QColor(1, 2, 3));
    };

    Chart::setDialogHandler([&](QDialog& d) {
        fill(d);
        return false;
    });
    const QByteArray before = c.storeState();
    EXPECT_FALSE(c.customize());
    EXPECT_FALSE(c.lastDialogResult());
    ASSERT_EQ(ended.count(), 1);
    EXPECT_FALSE(ended.at(0).at(0).toBool());
    EXPECT_EQ(c.storeState(), before) << "Cancel changes nothing";

    Chart::setDialogHandler([&](QDialog& d) {
        fill(d);
        return true;
    });
    EXPECT_TRUE(c.customize());
    EXPECT_TRUE(c.lastDialogResult());
    ASSERT_EQ(ended.count(), 2);
    EXPECT_TRUE(ended.at(1).at(0).toBool());
    EXPECT_EQ(c.mainTitle(), QStringLiteral("new title"));
    EXPECT_EQ(c.subTitle(), QStringLiteral("sub"));
    EXPECT_EQ(c.xAxisLabel(), QStringLiteral("When"));
    c.setWorkingAxis(1);
    EXPECT_EQ(c.yAxisLabel(), QStringLiteral("°C"));
    EXPECT_EQ(c.subsetLabel(1), QStringLiteral("Temp"));
    EXPECT_EQ(c.subsetLabel(0), QString());
    EXPECT_EQ(c.subsetLineType(0), 2);
    EXPECT_EQ(c.subsetColor(0), QColor(1, 2, 3));
    EXPECT_EQ(c.plottingMethod(), Chart::PlottingMethod::Bar);
    EXPECT_EQ(c.gridStyle(), Chart::GridStyle::Solid);
    EXPECT_NE(qobject_cast<QCPBars*>(c.plot()->plottable(0)), nullptr) << "applied to the plot at once";
}

TEST(ChartOutput, CustomizeRunsAsARealModalDialog) {
    Chart c;
    fillDay(c, 10);
    c.setSubsetLineType(0, 77); // a code outside the dialog's list survives OK
    QTimer::singleShot(0, [] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->objectName() == QLatin1String("ChartCustomizeDialog")) {
                w->findChild<QLineEdit*>(QStringLiteral("mainTitle"))->setText(QStringLiteral("typed"));
                static_cast<QDialog*>(w)->accept();
            }
        }
    });
    EXPECT_TRUE(c.customize());
    EXPECT_EQ(c.mainTitle(), QStringLiteral("typed"));
    EXPECT_EQ(c.subsetLineType(0), 77);
}

TEST(ChartOutput, PrintsToAPdfInMonochromeAndKeepsTheScreenColours) {
    HandlerReset reset;
    QTemporaryDir dir;
    Chart c;
    fillDay(c, 2000);
    c.setSubsetColor(0, Qt::red);
    c.setVertLine(1, c.x(0, 500));
    c.setVertLineType(1, Chart::LineCursor);
    c.setVertLineColor(1, Qt::blue);
    c.setVertLineText(1, QStringLiteral("A"));
    c.setGraphAnnotation(4, c.x(0, 700), 21.0, Chart::AnnotText, QStringLiteral("note"), Qt::black);
    c.setPrintStyle(Chart::PrintStyle::Mono);
    showChart(c);

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("chart.pdf")));
    c.printTo(&printer);
    const QByteArray pdf = readAll(printer.outputFileName());
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_GT(pdf.size(), 2000);
    EXPECT_EQ(c.plot()->plottable(0)->pen().color(), QColor(Qt::red)) << "the screen is back in colour";

    // The print dialog prints on the shared printer when accepted only.
    QPrinter shared(QPrinter::HighResolution);
    shared.setOutputFormat(QPrinter::PdfFormat);
    shared.setOutputFileName(dir.filePath(QStringLiteral("dialog.pdf")));
    Chart::setSharedPrinter(&shared);
    Chart::setDialogHandler([](QDialog&) { return false; });
    EXPECT_FALSE(c.printDialog());
    EXPECT_FALSE(QFile::exists(shared.outputFileName()));
    Chart::setDialogHandler([](QDialog& d) { return qobject_cast<QPrintDialog*>(&d) != nullptr; });
    EXPECT_TRUE(c.printDialog());
    EXPECT_TRUE(readAll(shared.outputFileName()).startsWith("%PDF"));
    Chart::setSharedPrinter(nullptr);
    EXPECT_NE(Chart::sharedPrinter(), &shared);
}

TEST(ChartOutput, RenderImageShowsTheSeriesAndCursorColours) {
    Chart c;
    fillDay(c, 500);
    c.setSubsetColor(0, QColor(255, 0, 0));
    c.setVertLine(2, c.x(0, 250));
    c.setVertLineType(2, Chart::LineCursor);
    c.setVertLineColor(2, QColor(0, 255, 0));
    const QImage image = c.renderImage(QSize(640, 400));
    ASSERT_EQ(image.size(), QSize(640, 400));
    int red = 0, green = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor p = image.pixelColor(x, y);
            red += p == QColor(255, 0, 0) ? 1 : 0;
            green += p == QColor(0, 255, 0) ? 1 : 0;
        }
    }
    EXPECT_GT(red, 200);
    EXPECT_GT(green, 200) << "the cursor line spans the plot";
}
