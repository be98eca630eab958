// The Archive window over a real archive file: filter, open, rename,
// delete and undo.

#include "Archive.h"
#include "ArchiveTableModel.h"
#include "Chart.h"
#include "CommandsFixture.h"
#include "GraphRun.h"
#include "PdfTools.h"
#include "ProgramArchive.h"
#include "TfrmArchive.h"
#include "TfrmCompare.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QItemSelectionModel>
#include <QTableView>

using namespace tq;

namespace {

RunReadings run(int day, int count) {
    RunReadings r;
    r.startTime = toDays(QDate(2026, 3, day), QTime(8, 0));
    r.intervalSeconds = 30;
    r.counts.resize(size_t(count));
    for (int i = 0; i < count; ++i)
        r.counts[size_t(i)] = qint16(40 + i % 9 + day);
    return r;
}

class ArchiveWindowTest : public CommandsFixture {
  protected:
    void SetUp() override {
        CommandsFixture::SetUp();
        programarchive::configure(path("team/archive.sqlite"), false);
        Archive* a = programarchive::archive();
        ASSERT_NE(a, nullptr);
        std::vector<Archive::Added> added;
        ASSERT_TRUE(a->addRuns({run(2, 10), run(9, 20), run(16, 30), run(23, 40)}, {862, {}, "test"}, added));
        ASSERT_TRUE(a->setNameAndNote(added[1].id, "Fridge 3", "door open"));
        window = TfrmArchive::showArchive(context);
    }

    int rows() const { return window->gridRuns->model()->rowCount(); }
    // Selects the rows showing these counts.
    void select(std::initializer_list<int> counts) {
        QAbstractItemModel* m = window->gridRuns->model();
        window->gridRuns->clearSelection();
        for (int r = 0; r < m->rowCount(); ++r)
            for (int c : counts)
                if (m->index(r, ArchiveTableModel::Count).data().toInt() == c)
                    window->gridRuns->selectionModel()->select(m->index(r, 0), QItemSelectionModel::Select |
                                                                                   QItemSelectionModel::Rows);
    }

    TfrmArchive* window = nullptr;
};

TEST_F(ArchiveWindowTest, FiltersByDateRangeAndText) {
    EXPECT_EQ(rows(), 4);
    // Latest first.
    EXPECT_EQ(window->gridRuns->model()->index(0, ArchiveTableModel::Count).data().toInt(), 40);
    EXPECT_EQ(window->gridRuns->model()->index(0, ArchiveTableModel::Model).data().toString(), "862");
    window->txtFilter->setText("fridge");
    ASSERT_EQ(rows(), 1);
    EXPECT_EQ(window->gridRuns->model()->index(0, ArchiveTableModel::Note).data().toString(), "door open");
    window->txtFilter->clear();
    window->dtFrom->setDate(QDate(2026, 3, 9));
    window->dtTo->setDate(QDate(2026, 3, 16));
    EXPECT_EQ(rows(), 4) << "the range applies once it is ticked";
    window->chkDates->setChecked(true);
    EXPECT_EQ(rows(), 2);
    // Runs wholly before the range drop out.
    window->dtFrom->setDate(QDate(2026, 3, 10));
    EXPECT_EQ(rows(), 1);
    EXPECT_EQ(window->lblStatus->text(), "1 of 4 runs");
}

TEST_F(ArchiveWindowTest, OpensRunsInGraphWindowsAndRenames) {
    select({20, 30});
    window->btnOpenClick();
    const QList<TfrmGraph*> graphs = graphWindows();
    ASSERT_EQ(graphs.size(), 2);
    // Latest first, as listed.
    EXPECT_EQ(graphs[0]->chart()->points(), 30);
    EXPECT_EQ(graphs[1]->chart()->points(), 20);
    EXPECT_TRUE(graphs[1]->windowTitle().endsWith("Fridge 3"));
    EXPECT_FLOAT_EQ(graphs[1]->chart()->y(0, 0), 4.9f); // count 49 in tenths

    // The report names the run's archive id and the SHA-256 of its readings.
    const report::Run evidence = graphRun(*graphs[1]);
    ArchivedRun fridge;
    ASSERT_TRUE(programarchive::archive()->find(evidence.archiveId, fridge));
    EXPECT_EQ(fridge.name, "Fridge 3");
    EXPECT_EQ(evidence.readingsSha256, fridge.readingsSha256);
    EXPECT_TRUE(evidence.unitRecorded);
    const QString pdf = path("fridge.pdf");
    report::Options options;
    options.graph = false;
    ASSERT_GT(report::write(pdf, evidence, options, nullptr).value(), 0);
    const QString text = test::pdfText(pdf).simplified();
    EXPECT_TRUE(text.contains("Archive id " + QString::number(fridge.id))) << text.toStdString();
    EXPECT_TRUE(text.contains(fridge.readingsSha256)) << text.toStdString();

    QAbstractItemModel* m = window->gridRuns->model();
    const QModelIndex name = m->index(3, ArchiveTableModel::Name);
    ASSERT_TRUE(m->setData(name, "Cold room"));
    ArchivedRun stored;
    ASSERT_TRUE(programarchive::archive()->find(name.data(ArchiveTableModel::IdRole).toLongLong(), stored));
    EXPECT_EQ(stored.name, "Cold room");
    EXPECT_TRUE(messages.isEmpty()) << messages.join('\n').toStdString();
}

TEST_F(ArchiveWindowTest, DeleteAsksAndCanBeUndoneUntilTheProgramEnds) {
    select({10, 40});
    const std::vector<qint64> ids = window->selectedIds();
    ASSERT_EQ(ids.size(), 2u);
    replies = {Messages::No};
    window->btnDeleteClick();
    EXPECT_EQ(rows(), 4);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith("Delete the 2 selected runs from the archive?"));
    replies = {Messages::Yes};
    window->btnDeleteClick();
    EXPECT_EQ(rows(), 2);
    ASSERT_TRUE(window->btnUndo->isEnabled());
    window->btnUndoClick();
    EXPECT_EQ(rows(), 4);
    EXPECT_FALSE(window->btnUndo->isEnabled());

    select({10});
    replies = {Messages::Yes};
    window->btnDeleteClick();
    EXPECT_EQ(rows(), 3);
    // The program ends: what is still deleted is gone for good.
    programarchive::close();
    std::vector<ArchivedRun> left;
    ASSERT_TRUE(programarchive::archive()->list(left));
    EXPECT_EQ(left.size(), 3u);
    ArchivedRun gone;
    EXPECT_FALSE(programarchive::archive()->find(ids[1], gone));
}

} // namespace

TEST_F(ArchiveWindowTest, ComparesTheSelectedRuns) {
    select({10, 20});
    window->findChild<QPushButton*>(QStringLiteral("btnCompare"))->click();
    const QList<TfrmCompare*> windows = area.findChildren<TfrmCompare*>();
    ASSERT_EQ(windows.size(), 1);
    const std::vector<compare::Run>& runs = windows[0]->runs();
    ASSERT_EQ(runs.size(), 2u);
    // In the window's order, latest first, each with its archive name.
    EXPECT_EQ(runs[0].count(), 20);
    EXPECT_TRUE(runs[0].source.contains(QStringLiteral("Fridge 3")));
    EXPECT_EQ(runs[1].count(), 10);
    EXPECT_EQ(runs[1].intervalSeconds, 30);
    EXPECT_EQ(runs[1].start(), toDays(QDate(2026, 3, 2), QTime(8, 0)));
}
