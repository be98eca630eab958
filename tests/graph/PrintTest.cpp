#include "Chart.h"
#include "DataListPrinter.h"
#include "DateTime.h"
#include "GraphTestSupport.h"
#include "PrintCommands.h"
#include "PrintLayout.h"
#include "TfrmCompare.h"
#include "TfrmGraph.h"
#include "TfrmPrintOption.h"
#include "TfrmRealTime.h"

#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>

using namespace tq;

namespace {
int pdfPages(const QString& file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return -1;
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page[^s]"));
    return int(QString::fromLatin1(f.readAll()).count(page));
}

void toPdf(QPrinter& printer, const QString& file) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    printer.setPageSize(QPageSize(QPageSize::A6));
    printer.setResolution(300);
}

QTableWidget* listOf(int rows) {
    auto* grid = new QTableWidget(rows, 4);
    grid->setHorizontalHeaderLabels({"No", "DATE", "TIME", "VALUE"});
    for (int r = 0; r < rows; ++r) {
        grid->setItem(r, 0, new QTableWidgetItem(QString::number(r + 1)));
        grid->setItem(r, 1, new QTableWidgetItem(QStringLiteral("3/29/24")));
        grid->setItem(r, 2, new QTableWidgetItem(QStringLiteral("7:13:15 AM")));
        if (r % 7 != 3) // some cells stay empty
            grid->setItem(r, 3, new QTableWidgetItem(QStringLiteral("23.5")));
    }
    return grid;
}

class PrintTest : public GraphFixture {};
} // namespace

TEST_F(PrintTest, DataListPagesFollowTheLineLayout) {
    QPrinter measure(QPrinter::HighResolution);
    toPdf(measure, home.filePath(QStringLiteral("measure.pdf")));
    const TextPageLayout layout = dataListLayout(measure);
    ASSERT_GE(layout.linesPerPage, 10);
    ASSERT_EQ(layout.linesPerPage % 10, 0);

    // One page exactly full (header + L - 1 rows), then one row more.
    for (int rows : {layout.linesPerPage - 1, layout.linesPerPage, 3 * layout.linesPerPage + 4}) {
        QPrinter printer(QPrinter::HighResolution);
        const QString file = home.filePath(QStringLiteral("list%1.pdf").arg(rows));
        toPdf(printer, file);
        std::unique_ptr<QTableWidget> grid(listOf(rows));
        ASSERT_TRUE(printDataList(printer, *grid->model()));
        EXPECT_EQ(pdfPages(file), pageCount(rows + 1, layout)) << rows;
    }
    EXPECT_EQ(pageCount(layout.linesPerPage, layout), 1);
    EXPECT_EQ(pageCount(layout.linesPerPage + 1, layout), 2);
}

TEST_F(PrintTest, PrintCommandFindsTheWindowAndFollowsTheChoice) {
    QMdiArea area;
    area.resize(1200, 800);
    area.show();
    QPrinter& printer = sharedPrinter();
    int asked = 0;
    setDialogRunner([&asked](QDialog&) {
        ++asked;
        return int(QDialog::Accepted);
    });

    // No graph window: nothing is asked or printed.
    printCommand(&area);
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(graphWindowToPrint(&area), nullptr);
    EXPECT_EQ(graphWindowToPrint(nullptr), nullptr);

    auto* first = new TfrmGraph(kModel860);
    auto* second = new TfrmGraph(kModel860);
    QMdiSubWindow* sub1 = area.addSubWindow(first);
    QMdiSubWindow* sub2 = area.addSubWindow(second);
    sub1->show();
    sub2->show();
    // Pages more readings than the list shows at once: all are printed.
    QPrinter probe(QPrinter::HighResolution);
    toPdf(probe, home.filePath(QStringLiteral("probe.pdf")));
    const int n = 2 * dataListLayout(probe).linesPerPage + 5;
    first->prepareGraph(1, n, 45000.0, 45000.0 + n * 60 * kOneSecond);
    for (int i = 0; i < n; ++i) {
        first->chart()->setX(0, i, 45000.0 + i * 60 * kOneSecond);
        first->chart()->setY(0, i, 20.0f + i);
    }
    first->fillDataList();
    area.setActiveSubWindow(sub1);
    EXPECT_EQ(graphWindowToPrint(&area), first);
    area.setActiveSubWindow(sub2);
    EXPECT_EQ(graphWindowToPrint(&area), second);
    area.setActiveSubWindow(sub1);

    // Print Text: the option window, then the print dialog, then the list.
    QStringList seen;
    auto answer = [&](int choice) {
        return [&seen, choice](QDialog& d) {
            seen << QString::fromLatin1(d.metaObject()->className());
            if (auto* option = qobject_cast<TfrmPrintOption*>(&d)) {
                EXPECT_EQ(option->windowTitle(), QStringLiteral("Print Option"));
                EXPECT_NE(option->findChild<QPushButton*>(QStringLiteral("btnPrintGraph")), nullptr);
                return choice;
            }
            return int(QDialog::Accepted);
        };
    };
    const QString textFile = home.filePath(QStringLiteral("text.pdf"));
    toPdf(printer, textFile);
    setDialogRunner(answer(TfrmPrintOption::PrintText));
    printCommand(&area);
    EXPECT_EQ(seen, QStringList({"tq::TfrmPrintOption", "QPrintDialog"}));
    EXPECT_EQ(first->chart()->printStyle(), Chart::PrintStyle::Mono);
    EXPECT_EQ(pdfPages(textFile), pageCount(n + 1, dataListLayout(printer)));
    EXPECT_EQ(pdfPages(textFile), 3);

    // Print Graph: the chart on one page.
    seen.clear();
    const QString graphFile = home.filePath(QStringLiteral("graph.pdf"));
    toPdf(printer, graphFile);
    setDialogRunner(answer(TfrmPrintOption::PrintGraph));
    printCommand(&area);
    EXPECT_EQ(seen.size(), 2);
    EXPECT_EQ(pdfPages(graphFile), 1);

    // Cancel, or closing the option window: nothing printed.
    for (int choice : {int(TfrmPrintOption::Cancelled), int(QDialog::Rejected)}) {
        seen.clear();
        const QString none = home.filePath(QStringLiteral("none%1.pdf").arg(choice));
        toPdf(printer, none);
        setDialogRunner(answer(choice));
        printCommand(&area);
        EXPECT_EQ(seen, QStringList({"tq::TfrmPrintOption"}));
        EXPECT_FALSE(QFile::exists(none));
    }

    // A cancelled print dialog prints nothing either.
    const QString cancelled = home.filePath(QStringLiteral("cancelled.pdf"));
    toPdf(printer, cancelled);
    setDialogRunner([](QDialog& d) {
        return qobject_cast<TfrmPrintOption*>(&d) ? int(TfrmPrintOption::PrintText) : int(QDialog::Rejected);
    });
    printCommand(&area);
    EXPECT_FALSE(QFile::exists(cancelled));

    // An active Real Time Graph prints its chart, in colour, with no
    // question about a data list it does not have.
    auto* trend = new TfrmRealTime;
    LiveSample s;
    s.time = 45000.0;
    s.temperature = 4.0f;
    trend->addSample(s, kModel860);
    trend->markSaved(trend->saveMark());
    QMdiSubWindow* sub3 = area.addSubWindow(trend);
    sub3->show();
    area.setActiveSubWindow(sub3);
    seen.clear();
    const QString trendFile = home.filePath(QStringLiteral("trend.pdf"));
    toPdf(printer, trendFile);
    setDialogRunner(answer(TfrmPrintOption::PrintText));
    printCommand(&area);
    EXPECT_EQ(seen, QStringList({"QPrintDialog"}));
    EXPECT_EQ(trend->chart()->printStyle(), Chart::PrintStyle::Color);
    EXPECT_EQ(pdfPages(trendFile), 1);

    // Printer setup works on the shared printer: the page setup dialog for
    // a system printer, the print dialog for a file.
    QPrinter* setupPrinter = nullptr;
    setDialogRunner([&setupPrinter](QDialog& d) {
        if (auto* setup = qobject_cast<QPageSetupDialog*>(&d)) setupPrinter = setup->printer();
        if (auto* print = qobject_cast<QPrintDialog*>(&d)) setupPrinter = print->printer();
        return int(QDialog::Accepted);
    });
    printerSetupCommand(&area);
    EXPECT_EQ(setupPrinter, &sharedPrinter());
}

TEST_F(PrintTest, AnActiveCompareWindowPrintsItsChartInColour) {
    QMdiArea area;
    area.resize(1200, 800);
    area.show();
    auto* graph = new TfrmGraph(kModel860);
    graph->prepareGraph(1, 3, 45000.0, 45000.0 + 3 * kOneSecond);
    area.addSubWindow(graph)->show();
    auto* compare = new TfrmCompare;
    QMdiSubWindow* sub = area.addSubWindow(compare);
    sub->show();
    area.setActiveSubWindow(sub);
    QPrinter& printer = sharedPrinter();
    const QString file = home.filePath(QStringLiteral("compare.pdf"));
    toPdf(printer, file);
    QStringList seen;
    setDialogRunner([&seen](QDialog& d) {
        seen << QString::fromLatin1(d.metaObject()->className());
        return int(QDialog::Accepted);
    });
    printCommand(&area);
    setDialogRunner({});
    EXPECT_EQ(seen, QStringList({"QPrintDialog"})); // no choice of graph or list
    EXPECT_EQ(compare->chart()->printStyle(), Chart::PrintStyle::Color);
    EXPECT_EQ(pdfPages(file), 1);
}
