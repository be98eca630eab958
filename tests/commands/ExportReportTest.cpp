#include "Chart.h"
#include "CommandsFixture.h"
#include "ExportGraphCommand.h"
#include "FileFilters.h"
#include "OpenCommand.h"
#include "PdfTools.h"
#include "ReportCommand.h"
#include "SaveCommand.h"
#include "TfrmExportGraph.h"
#include "TfrmReport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QImageReader>
#include <QSpinBox>
#include <QSvgRenderer>

using namespace tq;

class ExportReportTest : public CommandsFixture {
  protected:
    // The DataLogger window showing data set k (0-based) of the three-set sample, made active.
    TfrmGraph* dataLogger(int k = 0) {
        OpenCommand open(context);
        EXPECT_TRUE(open.openCollectionFile(golden(QStringLiteral("collections/fill-ff-three-sets.880"))));
        TfrmGraph* w = TfrmGraph::dataLoggerWindow();
        if (k != 0) w->showDataSetWithList(k, true);
        area.setActiveSubWindow(qobject_cast<QMdiSubWindow*>(w->parentWidget()));
        return w;
    }
    TfrmGraph* fileWindow() {
        OpenCommand open(context);
        TfrmGraph* w = open.openSingleFile(golden(QStringLiteral("text/set1.en_US.txt")));
        area.setActiveSubWindow(qobject_cast<QMdiSubWindow*>(w->parentWidget()));
        return w;
    }
    static Answer pictureSize(int width, int height, bool ok = true) {
        return [=](QDialog& d) {
            auto* e = qobject_cast<TfrmExportGraph*>(&d);
            EXPECT_NE(e, nullptr) << d.windowTitle().toStdString();
            if (!e) return 0;
            e->spnWidth->setValue(width);
            e->spnHeight->setValue(height);
            return int(ok ? QDialog::Accepted : QDialog::Rejected);
        };
    }
    // Fills the report window and presses OK, as a user would.
    static Answer reportChoices(std::function<void(TfrmReport&)> fill) {
        return [fill](QDialog& d) {
            auto* r = qobject_cast<TfrmReport*>(&d);
            EXPECT_NE(r, nullptr) << d.windowTitle().toStdString();
            if (!r) return 0;
            fill(*r);
            r->findChild<QDialogButtonBox*>(QStringLiteral("buttons"))->button(QDialogButtonBox::Ok)->click();
            return r->result();
        };
    }
};

TEST_F(ExportReportTest, ExportGraphWritesThePictureOfTheChosenSize) {
    dataLogger();
    ExportGraphCommand exportGraph(context);
    const QString svg = path(QStringLiteral("g.svg"));
    answers = {pictureSize(500, 300), file(svg)};
    EXPECT_TRUE(exportGraph.run());
    EXPECT_EQ(QSvgRenderer(svg).viewBox(), QRect(0, 0, 500, 300));
    EXPECT_EQ(dialogs->saveFilter(), filters::pictures());
    EXPECT_EQ(dialogs->saveDialog()->nameFilters().size(), 3);

    const QString png = path(QStringLiteral("g.png"));
    answers = {pictureSize(640, 480), file(png)};
    EXPECT_TRUE(exportGraph.run());
    EXPECT_EQ(QImageReader(png).size(), QSize(640, 480));
    EXPECT_TRUE(messages.isEmpty());

    // Cancelled at either step: nothing written, nothing said.
    const QString never = path(QStringLiteral("never.png"));
    answers = {pictureSize(640, 480, false)};
    EXPECT_FALSE(exportGraph.run());
    answers = {pictureSize(640, 480), cancelFile()};
    EXPECT_FALSE(exportGraph.run());
    EXPECT_FALSE(QFile::exists(never));
    EXPECT_TRUE(messages.isEmpty());
    // A name the command cannot write says so.
    answers = {pictureSize(640, 480), file(path(QStringLiteral("g.bmp")))};
    EXPECT_FALSE(exportGraph.run());
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("g.bmp")));
}

TEST_F(ExportReportTest, ExportAndReportNeedAGraphWindow) {
    ExportGraphCommand exportGraph(context);
    ReportCommand report(context);
    EXPECT_FALSE(exportGraph.run());
    EXPECT_FALSE(report.run());
    EXPECT_TRUE(dialogTitles.isEmpty());
}

TEST_F(ExportReportTest, ReportOfTheShownDataSetWithLimits) {
    TfrmGraph* w = dataLogger();
    const double cursorA = w->chart()->vertLine(1);
    ReportCommand report(context);
    const QString pdf = path(QStringLiteral("r.pdf"));
    answers = {reportChoices([](TfrmReport& r) {
                   EXPECT_FALSE(r.cmbUnit->isEnabled()); // the data set records its unit
                   r.chkHigh->setChecked(true);
                   r.edtHigh->setText(QStringLiteral("20.5"));
               }),
               file(pdf)};
    EXPECT_TRUE(report.run());
    EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(test::pdfPages(pdf), 2);
    const QString text = test::pdfText(pdf);
    for (const char* s : {"DataLogger, data set 1", "20.5 °C", "Excursions above", "1370.0 °C at",
                          "2, first at", "Outside the limits: 2 above 20.5 °C"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(s))) << s << "\n" << text.toStdString();
    // The window's own chart keeps its cursors and gets no bands.
    EXPECT_TRUE(w->chart()->valueBands().isEmpty());
    EXPECT_TRUE(w->chart()->showVertLineAnnotations());
    EXPECT_DOUBLE_EQ(w->chart()->vertLine(1), cursorA);

    // Data set 2 is in Fahrenheit; no table, no graph: one page.
    dataLogger(1);
    answers = {reportChoices([](TfrmReport& r) {
                   r.chkTable->setChecked(false);
                   r.chkGraph->setChecked(false);
               }),
               file(pdf)};
    EXPECT_TRUE(report.run());
    EXPECT_EQ(test::pdfPages(pdf), 1);
    EXPECT_TRUE(test::pdfText(pdf).contains(QStringLiteral("72.3 °F at")));
}

TEST_F(ExportReportTest, ReportChoicesThatAreNotNumbersKeepTheWindowOpen) {
    dataLogger();
    ReportCommand report(context);
    const QString pdf = path(QStringLiteral("never.pdf"));
    answers = {reportChoices([](TfrmReport& r) {
        r.chkLow->setChecked(true);
        r.edtLow->setText(QStringLiteral("cold"));
    })};
    EXPECT_FALSE(report.run());
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("cold"))) << messages[0].toStdString();
    messages.clear();
    answers = {reportChoices([](TfrmReport& r) {
        r.chkLow->setChecked(true);
        r.edtLow->setText(QStringLiteral("10"));
        r.chkHigh->setChecked(true);
        r.edtHigh->setText(QStringLiteral("5"));
    })};
    EXPECT_FALSE(report.run());
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("low limit")));
    EXPECT_FALSE(QFile::exists(pdf));
}

TEST_F(ExportReportTest, ReportOfAFileWindowAsksTheUnit) {
    fileWindow();
    ReportCommand report(context);
    const QString pdf = path(QStringLiteral("f.pdf"));
    answers = {reportChoices([](TfrmReport& r) {
                   EXPECT_TRUE(r.cmbUnit->isEnabled());
                   r.cmbUnit->setCurrentIndex(1);
               }),
               file(pdf)};
    EXPECT_TRUE(report.run());
    const QString text = test::pdfText(pdf);
    EXPECT_TRUE(text.contains(QStringLiteral("°F (given, not recorded)"))) << text.toStdString();
    // Six lines two seconds apart.
    EXPECT_TRUE(text.contains(QStringLiteral("2 s (00:00:02)")));
    EXPECT_TRUE(text.contains(QStringLiteral("set1.en_US.txt")));
}

TEST_F(ExportReportTest, SaveOffersTheIsoCsvAfterTheDescribedEntries) {
    dataLogger(1); // Fahrenheit
    SaveCommand save(context);
    const QString csv = path(QStringLiteral("iso.csv"));
    answers = {choose(TfrmOpenSave::SingleSet), extraEntry(csv),
               range(QStringLiteral("1"), QStringLiteral("2"))};
    EXPECT_TRUE(waitSaved(save));
    // The described filter stays as it was; ours follows it.
    EXPECT_EQ(dialogs->saveFilter(), filters::singleFile());
    EXPECT_EQ(dialogs->saveExtraFilter(), filters::isoCsv());
    EXPECT_EQ(dialogs->saveDialog()->nameFilters().size(), 4);
    const QStringList l = QString::fromUtf8(bytesOf(csv)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(l.size(), 3);
    EXPECT_EQ(l[0], QStringLiteral("time,temperature_F"));
    EXPECT_TRUE(l[1].startsWith(QStringLiteral("2025-12-31T23:59:50"))) << l[1].toStdString();
    EXPECT_TRUE(l[1].endsWith(QStringLiteral(",72.0")));

    // A .csv through a described entry is still the regional text file.
    const QString plain = path(QStringLiteral("plain.csv"));
    answers = {choose(TfrmOpenSave::SingleSet), file(plain), range(QStringLiteral("1"), QStringLiteral("1"))};
    EXPECT_TRUE(waitSaved(save));
    EXPECT_FALSE(bytesOf(plain).startsWith("time,"));

    // A file's window does not know its unit: asked, and Cancel writes nothing.
    fileWindow();
    const QString asked = path(QStringLiteral("asked.csv"));
    replies = {Messages::Cancel};
    answers = {extraEntry(asked)};
    EXPECT_FALSE(waitSaved(save));
    EXPECT_FALSE(QFile::exists(asked));
    replies = {Messages::Yes};
    answers = {extraEntry(asked), range(QStringLiteral("1"), QStringLiteral("6"))};
    EXPECT_TRUE(waitSaved(save));
    EXPECT_TRUE(bytesOf(asked).startsWith("time,temperature_C\r\n"));
    // -9999.0 and 9999.0 in the file read as marks: empty fields.
    EXPECT_TRUE(bytesOf(asked).contains(",\r\n"));
}
