#include "OpenCommand.h"
#include "Chart.h"
#include "CommandGuard.h"
#include "CommandsFixture.h"
#include "DataListView.h"
#include "MemoryImages.h"
#include "SaveCommand.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QTableView>
#include <QTableWidget>

using namespace tq;

namespace {
QString cell(TfrmGraph* w, const char* grid, int row, int column) {
    const QTableWidgetItem* item = w->findChild<QTableWidget*>(QLatin1String(grid))->item(row, column);
    return item ? item->text() : QString();
}
QString box(TfrmGraph* w, const char* name) {
    return w->findChild<QLineEdit*>(QLatin1String(name))->text();
}
} // namespace

class OpenCommandTest : public CommandsFixture {};

TEST_F(OpenCommandTest, ChoiceWindowAndFiltersFollowTheDecimalSeparator) {
    OpenCommand open(context);
    QStringList captions;
    auto capture = [&captions](QDialog& d) {
        auto* c = qobject_cast<TfrmOpenSave*>(&d);
        captions << c->windowTitle() << c->btnOpenSets->text() << c->btnOpenSingleSet->text()
                 << c->Button1->text();
        return int(TfrmOpenSave::SingleSet);
    };
    answers = {capture, cancelFile()};
    open.run();
    EXPECT_EQ(captions, QStringList({"Open File", "Open a data set collection file(*.880)",
                                     "Open single data file(*.TXT,*.CSV,*.GHF)", "Cancel"}));
    EXPECT_EQ(dialogs->openFilter(),
              QStringLiteral("Graph file(*.ghf,only for TQ880)|*.GHF|TXT file(*.txt,data "
                             "seperated by tab)|*.TXT|EXCEL file format(*.CSV,seperated by "
                             "comma)|*.CSV"));
    EXPECT_EQ(dialogs->openDialog()->nameFilters().size(), 4); // and the ISO CSV that Save writes
    EXPECT_TRUE(graphWindows().isEmpty());                     // cancelled: no window

    const QLocale old;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    captions.clear();
    answers = {capture, cancelFile()};
    open.run();
    QLocale::setDefault(old);
    EXPECT_EQ(captions[2], QStringLiteral("Open single data flle(*.TXT,*.GHF)"));
    EXPECT_EQ(dialogs->openFilter(),
              QStringLiteral("Graph file(*.ghf,only for TQ880)|*.GHF|TXT file(*.txt,data "
                             "seperated by tab)|*.TXT"));
    EXPECT_EQ(
        dialogs->openDialog()->nameFilters(),
        QStringList({"Graph file(*.ghf,only for TQ880) (*.GHF *.ghf)",
                     "TXT file(*.txt,data seperated by tab) (*.TXT *.txt)",
                     "CSV with ISO times(*.csv,time and value with a point, for scripts) (*.CSV *.csv)"}));
    EXPECT_EQ(QDir(dialogs->openDialog()->directory()).absolutePath(),
              QDir(AppPaths::dataFolder()).absolutePath());

    // Cancel at the choice does nothing.
    answers = {choose(TfrmOpenSave::Cancel)};
    open.run();
    EXPECT_TRUE(graphWindows().isEmpty());
}

TEST_F(OpenCommandTest, CollectionFileListsItsDataSetsAndRewritesTheWorkingCopy) {
    OpenCommand open(context);
    const QString name = golden(QStringLiteral("collections/fill-ff-three-sets.880"));
    answers = {choose(TfrmOpenSave::Collection), file(name)};
    open.run();
    EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('|')).toStdString();
    TfrmGraph* w = TfrmGraph::dataLoggerWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(qobject_cast<QMdiSubWindow*>(w->parentWidget())->width(), area.viewport()->width());
    EXPECT_EQ(dialogs->openFilter(), QStringLiteral("Data Sets Collection (*.880)|*.880"));
    EXPECT_EQ(dataSetCollection().count(), 3);
    const QStringList row1{cell(w, "Grid2", 0, 0), cell(w, "Grid2", 0, 1), cell(w, "Grid2", 0, 2),
                           cell(w, "Grid2", 0, 3), cell(w, "Grid2", 0, 4), cell(w, "Grid2", 0, 6)};
    EXPECT_EQ(row1, QStringList({"1", "3/29/24", "07:13:15", "00:02", "6", "C"}));
    EXPECT_EQ(cell(w, "Grid2", 1, 6), QStringLiteral("F"));
    // Data set 1 in the graph with its own start, rate and count.
    EXPECT_EQ(w->chart()->points(), 6);
    EXPECT_EQ(box(w, "txtSamplingRate"), QStringLiteral("00:02"));
    EXPECT_EQ(box(w, "txtDataNo"), QStringLiteral("6"));
    // The working copy is the file byte for byte; opening sets no unsaved mark.
    EXPECT_EQ(bytesOf(collection::workingCopyPath()), bytesOf(name));
    EXPECT_FALSE(dataSetCollection().downloadUnsaved());

    // A row click shows that data set.
    auto* grid2 = w->findChild<QTableWidget*>(QStringLiteral("Grid2"));
    emit grid2->cellClicked(2, 0);
    EXPECT_EQ(w->chart()->points(), 3);
    EXPECT_EQ(box(w, "txtSamplingRate"), QStringLiteral("60:00"));
}

TEST_F(OpenCommandTest, CollectionOverAnUnsavedDownloadAsksFirst) {
    SaveCommand save(context);
    context.mayReplaceDownload = [&save] { return save.mayReplaceDownload(); };
    OpenCommand open(context);
    ASSERT_TRUE(open.openCollectionFile(golden(QStringLiteral("collections/fill-ff-three-sets.880"))));
    const QByteArray download = bytesOf(collection::workingCopyPath());
    dataSetCollection().setDownloadUnsaved(true);
    const QString other = golden(QStringLiteral("collections/one-set-500-samples.880"));
    ASSERT_TRUE(QFile::exists(other));

    // Cancel, and Yes with the save dialog cancelled: nothing changes.
    replies = {Messages::Cancel};
    EXPECT_FALSE(open.openCollectionFile(other));
    replies = {Messages::Yes};
    answers = {cancelFile()};
    EXPECT_FALSE(open.openCollectionFile(other));
    EXPECT_EQ(messages, QStringList(2, QStringLiteral("Save DataLogger Data ?")));
    EXPECT_EQ(dataSetCollection().count(), 3);
    EXPECT_EQ(bytesOf(collection::workingCopyPath()), download);
    EXPECT_TRUE(dataSetCollection().downloadUnsaved());

    // No: the file replaces the download, and nothing is left to ask about.
    replies = {Messages::No};
    EXPECT_TRUE(open.openCollectionFile(other));
    EXPECT_EQ(dataSetCollection().count(), 1);
    EXPECT_FALSE(dataSetCollection().downloadUnsaved());
}

TEST_F(OpenCommandTest, BadCollectionFilesSayWhyAndChangeNothing) {
    OpenCommand open(context);
    ASSERT_TRUE(open.openCollectionFile(golden(QStringLiteral("collections/fill-ff-three-sets.880"))));
    const QByteArray workingCopy = bytesOf(collection::workingCopyPath());
    ASSERT_EQ(dataSetCollection().count(), 3);

    QFile empty(path(QStringLiteral("empty.880")));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    QFile tooShort(path(QStringLiteral("short.880")));
    ASSERT_TRUE(tooShort.open(QIODevice::WriteOnly));
    tooShort.write(QByteArray(100, '\xff'));
    tooShort.close();
    QFile huge(path(QStringLiteral("huge.880")));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(16 * 1024 * 1024 + 1)); // sparse
    huge.close();

    struct Case {
        QString file;
        const char* says;
    };
    const Case cases[] = {
        {path(QStringLiteral("missing.880")), "does not exist"},
        {home.path(), "not a file"},
        {path(QStringLiteral("empty.880")), "is empty"},
        {path(QStringLiteral("short.880")), "fewer than the 256"},
        {path(QStringLiteral("huge.880")), "larger than any logger memory"},
        {golden(QStringLiteral("collections/empty-directory.880")), "holds no data set"},
        {golden(QStringLiteral("collections/end-address-byte-15.880")), "first data set ends beyond"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        messages.clear();
        EXPECT_FALSE(open.openCollectionFile(c.file));
        ASSERT_EQ(messages.size(), 1);
        EXPECT_TRUE(messages[0].contains(QDir::toNativeSeparators(c.file))) << messages[0].toStdString();
        EXPECT_TRUE(messages[0].contains(QLatin1String(c.says))) << messages[0].toStdString();
        EXPECT_EQ(dataSetCollection().count(), 3);
        EXPECT_EQ(bytesOf(collection::workingCopyPath()), workingCopy);
    }

    // A later data set beyond the end: the intact ones on request.
    const QString beyond = golden(QStringLiteral("collections/third-set-beyond-the-file.880"));
    messages.clear();
    replies = {Messages::No};
    EXPECT_FALSE(open.openCollectionFile(beyond));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("data set 3 ends beyond"))) << messages[0].toStdString();
    EXPECT_EQ(dataSetCollection().count(), 3);
    EXPECT_EQ(bytesOf(collection::workingCopyPath()), workingCopy);
    replies = {Messages::Yes};
    EXPECT_TRUE(open.openCollectionFile(beyond));
    EXPECT_EQ(dataSetCollection().count(), 2);
    EXPECT_EQ(bytesOf(collection::workingCopyPath()), bytesOf(beyond));

    // What a transfer that broke off inside data set 1 kept: what arrived of it, on request.
    QFile cut(path(QStringLiteral("cut.880")));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(tq::testing::memoryEndingAt(0x00, {1256, 2256}, 704));
    cut.close();
    messages.clear();
    replies = {Messages::Yes};
    EXPECT_TRUE(open.openCollectionFile(cut.fileName()));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("data set 1 ends beyond the end of the file.\n\nShow the "
                                                    "first 224 sample(s) of it?")))
        << messages[0].toStdString();
    ASSERT_EQ(dataSetCollection().count(), 1);
    EXPECT_EQ(dataSetCollection().dataSet(0).sampleCount, 224);
}

TEST_F(OpenCommandTest, WorkingCopyFolderThatCannotBeMadeIsNamed) {
    // A file where the folder should be.
    QFile blocker(path(QStringLiteral("data/temp")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    OpenCommand open(context);
    answers = {choose(TfrmOpenSave::Collection),
               file(golden(QStringLiteral("collections/one-set-500-samples.880")))};
    // As the main window runs its commands; the command says so itself,
    // nothing is thrown to the main window.
    EXPECT_TRUE(guarded([&] { open.run(); }));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QDir::toNativeSeparators(collection::workingCopyFolder())))
        << messages[0].toStdString();
    EXPECT_FALSE(collection::workingCopyCurrent());

    // Saving now would copy an older memory under the new name: refused.
    QFile::remove(path(QStringLiteral("data/temp")));
    ASSERT_TRUE(QDir().mkpath(collection::workingCopyFolder()));
    QFile old(collection::workingCopyPath());
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("an older download");
    old.close();
    messages.clear();
    const QString target = path(QStringLiteral("stale.880"));
    const Outcome stale = collection::saveWorkingCopyAs(target);
    EXPECT_EQ(stale.code, Outcome::Code::CannotRead);
    EXPECT_TRUE(stale.text.endsWith(QStringLiteral("because it could not be written.")))
        << stale.text.toStdString();
    EXPECT_FALSE(QFile::exists(target));
    // The next good open makes it current again.
    ASSERT_TRUE(open.openCollectionFile(golden(QStringLiteral("collections/one-set-500-samples.880"))));
    EXPECT_TRUE(collection::workingCopyCurrent());
    EXPECT_TRUE(collection::saveWorkingCopyAs(target).ok());
    EXPECT_EQ(bytesOf(target), bytesOf(golden(QStringLiteral("collections/one-set-500-samples.880"))));
}

TEST_F(OpenCommandTest, SingleFilesOpenInNewWindowsCaptionedWithTheirNames) {
    const QString csv = golden(QStringLiteral("text/set1.en_US.csv"));
    OpenCommand open(context);
    answers = {choose(TfrmOpenSave::SingleSet), file(csv)};
    open.run();
    // Read on a worker: the window comes when the read is done.
    EXPECT_TRUE(QTest::qWaitFor([this] { return !graphWindows().isEmpty(); }, 20000));
    EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('|')).toStdString();
    ASSERT_EQ(graphWindows().size(), 1);
    TfrmGraph* w = graphWindows().first();
    EXPECT_EQ(w->windowTitle(), csv);
    EXPECT_FALSE(w->isDataLogger());
    EXPECT_EQ(w->chart()->points(), 6);
    EXPECT_FLOAT_EQ(w->chart()->y(0, 0), 23.5f);
    EXPECT_FLOAT_EQ(w->chart()->y(0, 3), 9999.0f); // OL
    EXPECT_EQ(w->chart()->x(0, 5), toDays(QDate(2024, 3, 29), QTime(7, 13, 25)));
    EXPECT_EQ(box(w, "txtDataNo"), QStringLiteral("6"));
    EXPECT_EQ(w->cursorAIndex(), 2);
    EXPECT_EQ(w->cursorBIndex(), 4);
    EXPECT_FALSE(w->findChild<QTableWidget*>(QStringLiteral("Grid2"))->isVisible());
    auto* grid3 = w->findChild<DataListView*>(QStringLiteral("Grid3"));
    ASSERT_NE(grid3, nullptr);
    EXPECT_TRUE(grid3->isVisible());
    EXPECT_EQ(grid3->readings(), 6);
    EXPECT_EQ(grid3->selectionFirst(), 0);
    EXPECT_EQ(grid3->selectionLast(), 0);
    EXPECT_EQ(grid3->selectionModel()->selectedRows().size(), 1);
    EXPECT_TRUE(dialogTitles.contains(QStringLiteral("Open File")));

    // The same file again: another window. A .txt and an unknown extension too.
    open.openSingleFile(csv);
    open.openSingleFile(golden(QStringLiteral("text/set2.en_US.txt")));
    open.openSingleFile(golden(QStringLiteral("collections/fill-ff-three-sets.expected")));
    ASSERT_EQ(graphWindows().size(), 4);
    EXPECT_EQ(graphWindows()[2]->chart()->points(), 4);
    EXPECT_FLOAT_EQ(graphWindows()[2]->chart()->y(0, 3), 72.3f);
    EXPECT_FLOAT_EQ(graphWindows()[3]->chart()->y(0, 0), 9999.0f); // nothing loaded
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(OpenCommandTest, IsoCsvOpensAsWrittenAndFilesWithoutReadingsLeaveNoWindow) {
    auto write = [this](const char* name, const QByteArray& bytes) {
        QFile f(path(QLatin1String(name)));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    };
    OpenCommand open(context);
    // The self-describing CSV, by its header: times and values as written,
    // an empty value a mark, a line without a readable time no reading.
    const QString iso = write("iso.csv", "time,temperature_F\r\n"
                                         "2024-03-31T01:30:00+01:00,-4.5\r\n"
                                         "2024-03-31T02:30:00+01:00,\r\n"
                                         "not a time,1.0\r\n"
                                         "2024-03-31T03:30:00+01:00,1000.5\r\n");
    TfrmGraph* w = open.openSingleFile(iso);
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(w->chart()->points(), 3);
    EXPECT_EQ(w->chart()->x(0, 1), toDays(QDate(2024, 3, 31), QTime(2, 30)));
    EXPECT_EQ(w->chart()->x(0, 2), toDays(QDate(2024, 3, 31), QTime(3, 30)));
    EXPECT_FLOAT_EQ(w->chart()->y(0, 0), -4.5f);
    EXPECT_FLOAT_EQ(w->chart()->y(0, 1), 9999.0f);
    EXPECT_FLOAT_EQ(w->chart()->y(0, 2), 1000.5f);
    EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('|')).toStdString();
    area.closeAllSubWindows();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // Nothing readable: refused with the file's name, and no window left.
    const QString none[] = {write("empty.csv", ""), write("junk.csv", "hello\r\nworld,of,junk\r\n"),
                            write("header.csv", "time,temperature_C\r\n"),
                            golden(QStringLiteral("text/set1.de_DE.txt"))}; // other regional formats
    for (const QString& name : none) {
        SCOPED_TRACE(name.toStdString());
        messages.clear();
        EXPECT_EQ(open.openSingleFile(name), nullptr);
        ASSERT_EQ(messages.size(), 1);
        EXPECT_TRUE(messages[0].contains(QStringLiteral("holds no readings"))) << messages[0].toStdString();
        EXPECT_TRUE(messages[0].contains(QFileInfo(name).fileName()));
        EXPECT_TRUE(graphWindows().isEmpty());
    }
    // A graph file that does not load: its error, and no window either; an
    // unsaved download is not given up by it.
    dataSetCollection().setDownloadUnsaved(true);
    messages.clear();
    EXPECT_EQ(open.openSingleFile(write("bad.ghf", "abc")), nullptr);
    EXPECT_EQ(messages.size(), 1);
    EXPECT_TRUE(graphWindows().isEmpty());
    EXPECT_TRUE(dataSetCollection().downloadUnsaved());
}

TEST_F(OpenCommandTest, CancelWhileABigTextFileIsReadLeavesNoWindowAndNoMessage) {
    // Enough lines that the read is still going when Cancel is pressed.
    const QString big = path(QStringLiteral("big.txt"));
    {
        QFile f(big);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytesOf(golden(QStringLiteral("text/set1.en_US.txt"))).repeated(200000));
    }
    OpenCommand open(context);
    std::optional<TfrmGraph*> opened;
    open.startOpenSingleFile(big, [&](TfrmGraph* w) { opened = w; });
    QPointer<TfrmScope> progress;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* s = qobject_cast<TfrmScope*>(w); s && s->isVisible()) progress = s;
    ASSERT_TRUE(progress);
    EXPECT_EQ(progress->windowTitle(), QStringLiteral("Open Progress"));
    // The window follows the read while it runs, so events are not held up.
    EXPECT_TRUE(QTest::qWaitFor([&] { return progress->SText1->text() != QLatin1String("0"); }, 20000));
    EXPECT_FALSE(opened.has_value());
    progress->BitBtn2->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return opened.has_value(); }, 20000));
    EXPECT_EQ(*opened, nullptr);
    EXPECT_TRUE(graphWindows().isEmpty());
    EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(!progress || !progress->isVisible());
}

TEST_F(OpenCommandTest, FilesOnTheCommandLineOpenInOrderAndAMissingOneIsNamed) {
    OpenCommand open(context);
    const QString missing = path(QStringLiteral("gone.csv"));
    open.openFiles({golden(QStringLiteral("collections/fill-ff-three-sets.880")), missing,
                    golden(QStringLiteral("text/set2.en_US.txt"))});
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(missing));
    EXPECT_EQ(dataSetCollection().count(), 3);
    const QList<TfrmGraph*> windows = graphWindows();
    ASSERT_EQ(windows.size(), 2);
    EXPECT_TRUE(windows[0]->isDataLogger());
    EXPECT_EQ(windows[1]->windowTitle(), golden(QStringLiteral("text/set2.en_US.txt")));
}
