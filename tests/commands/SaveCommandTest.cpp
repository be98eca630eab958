#include "SaveCommand.h"
#include "Chart.h"
#include "CommandsFixture.h"
#include "DataLoggerWindow.h"
#include "DateTime.h"
#include "GraphFile.h"
#include "OpenCommand.h"

#include <QApplication>
#include <QPointer>

using namespace tq;

namespace {
QStringList textLines(const QByteArray& b) {
    QStringList l = QString::fromUtf8(b).split(QStringLiteral("\r\n"));
    if (!l.isEmpty() && l.last().isEmpty()) l.removeLast();
    return l;
}
} // namespace

class SaveCommandTest : public CommandsFixture {
  protected:
    // A graph window opened from the 6-line golden text file, made active.
    TfrmGraph* openedGraph() {
        OpenCommand open(context);
        TfrmGraph* w = open.openSingleFile(golden(QStringLiteral("text/set1.en_US.txt")));
        area.setActiveSubWindow(qobject_cast<QMdiSubWindow*>(w->parentWidget()));
        return w;
    }
};

TEST_F(SaveCommandTest, TextRangesFollowTheRangeWindowsRules) {
    openedGraph();
    SaveCommand save(context);
    const QString out = path(QStringLiteral("range.txt"));
    struct Case {
        QString from, to;
        QStringList times;
    };
    const Case cases[] = {
        {"5", "2", {"7:13:17 AM", "7:13:19 AM", "7:13:21 AM", "7:13:23 AM"}},
        {"0", "3", {"7:13:15 AM", "7:13:17 AM", "7:13:19 AM"}},
        {"-5", "-2", {"7:13:17 AM", "7:13:19 AM", "7:13:21 AM", "7:13:23 AM"}},
        {" 4 ", "99", {"7:13:21 AM", "7:13:23 AM", "7:13:25 AM"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.from + QStringLiteral("..") + c.to).toStdString());
        answers = {file(out), range(c.from, c.to)};
        EXPECT_TRUE(waitSaved(save));
        QStringList times;
        for (const QString& l : textLines(bytesOf(out)))
            times << l.section(QLatin1Char('\t'), 1, 1);
        EXPECT_EQ(times, c.times);
    }
    // Beyond the points: refused, never an empty file reported as saved.
    const QByteArray last = bytesOf(out);
    answers = {file(out), range(QStringLiteral("8"), QStringLiteral("7"))};
    EXPECT_FALSE(waitSaved(save));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("no point 7"))) << messages[0].toStdString();
    EXPECT_EQ(bytesOf(out), last);
    messages.clear();
    EXPECT_TRUE(dialogTitles.contains(QStringLiteral("Save File")));
    EXPECT_EQ(dialogs->saveFilter(),
              QStringLiteral("Graph file(*.ghf,only for TQ880)|*.GHF|TXT file(*.txt,data "
                             "seperated by tab)|*.TXT|EXCEL file format(*.CSV,seperated by "
                             "comma)|*.CSV"));
    EXPECT_EQ(dialogs->saveDefaultExtension(), QStringLiteral("GHF"));

    // Not an integer: the one message, nothing written.
    const QByteArray before = bytesOf(out);
    answers = {file(out), range(QStringLiteral("1x"), QStringLiteral("3"))};
    EXPECT_FALSE(waitSaved(save));
    EXPECT_EQ(messages, QStringList({"invalid integer"}));
    EXPECT_EQ(bytesOf(out), before);
    // Cancel in the range window.
    answers = {file(out), range(QStringLiteral("1"), QStringLiteral("3"), false)};
    EXPECT_FALSE(waitSaved(save));
    EXPECT_EQ(bytesOf(out), before);
}

TEST_F(SaveCommandTest, GraphFilesCsvAndFailuresThatSayWhatFailed) {
    TfrmGraph* w = openedGraph();
    SaveCommand save(context);
    // .ghf: the chart's whole state, read back into another chart.
    const QString ghf = path(QStringLiteral("g.ghf"));
    answers = {file(ghf)};
    EXPECT_TRUE(waitSaved(save));
    Chart other;
    ASSERT_TRUE(LoadGraphFile(other, ghf).ok());
    EXPECT_EQ(other.points(), 6);
    EXPECT_FLOAT_EQ(other.y(0, 4), 1370.0f);

    // A name typed without an extension takes the chosen filter's.
    answers = {[this](QDialog& d) {
                   auto* f = qobject_cast<QFileDialog*>(&d);
                   f->selectNameFilter(f->nameFilters().at(2));
                   emit f->filterSelected(f->nameFilters().at(2));
                   f->selectFile(path(QStringLiteral("plain")));
                   return int(QDialog::Accepted);
               },
               range(QStringLiteral("1"), QStringLiteral("6"))};
    EXPECT_TRUE(waitSaved(save));
    EXPECT_EQ(textLines(bytesOf(path(QStringLiteral("plain.CSV")))).first(),
              QStringLiteral("3/29/24,7:13:15 AM,23.5"));

    // An extension the program does not write, and a folder that does not exist.
    answers = {file(path(QStringLiteral("g.dat")))};
    EXPECT_FALSE(waitSaved(save));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("g.dat"))) << messages[0].toStdString();
    messages.clear();
    const QString nowhere = path(QStringLiteral("no/such/folder/x.txt"));
    answers = {file(nowhere), range(QStringLiteral("1"), QStringLiteral("6"))};
    EXPECT_FALSE(waitSaved(save));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("x.txt"))) << messages[0].toStdString();
    messages.clear();
    answers = {file(path(QStringLiteral("no/such/folder/x.ghf")))};
    EXPECT_FALSE(waitSaved(save));
    EXPECT_EQ(messages.size(), 1);

    // Cancelled dialog: nothing.
    messages.clear();
    answers = {cancelFile()};
    EXPECT_FALSE(waitSaved(save));
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(w->chart()->points(), 6);
}

TEST_F(SaveCommandTest, CollectionSaveCopiesTheWorkingCopyAndClearsTheMarkOnlyWhenWritten) {
    SaveCommand save(context);
    OpenCommand open(context);
    // Nothing opened or downloaded in this installation: no working copy.
    ASSERT_TRUE(open.openCollectionFile(golden(QStringLiteral("collections/fill-ff-three-sets.880"))));
    QFile::remove(collection::workingCopyPath());
    TfrmGraph* w = TfrmGraph::dataLoggerWindow();
    area.setActiveSubWindow(qobject_cast<QMdiSubWindow*>(w->parentWidget()));
    dataSetCollection().setDownloadUnsaved(true);
    const QString target = path(QStringLiteral("a.880"));
    answers = {choose(TfrmOpenSave::Collection), file(target)};
    EXPECT_FALSE(waitSaved(save));
    EXPECT_FALSE(QFile::exists(target));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("a.880")));
    EXPECT_TRUE(dataSetCollection().downloadUnsaved());
    EXPECT_EQ(dialogs->saveFilter(), QStringLiteral("Data Set Collection file(*.880,only for TQ880)|*.880"));

    // Cancelled: the mark stays.
    ASSERT_TRUE(open.openCollectionFile(golden(QStringLiteral("collections/fill-ff-three-sets.880"))));
    dataSetCollection().setDownloadUnsaved(true); // opening a file cleared it
    area.setActiveSubWindow(qobject_cast<QMdiSubWindow*>(w->parentWidget()));
    answers = {choose(TfrmOpenSave::Collection), cancelFile()};
    EXPECT_FALSE(waitSaved(save));
    EXPECT_TRUE(dataSetCollection().downloadUnsaved());

    // Written: the same bytes, the mark cleared; a collection file opened again gives the same data sets.
    answers = {choose(TfrmOpenSave::Collection), file(target)};
    EXPECT_TRUE(waitSaved(save));
    EXPECT_EQ(bytesOf(target), bytesOf(golden(QStringLiteral("collections/fill-ff-three-sets.880"))));
    EXPECT_FALSE(dataSetCollection().downloadUnsaved());
    ASSERT_TRUE(open.openCollectionFile(target));
    EXPECT_EQ(dataSetCollection().count(), 3);

    // The single data set choice saves the shown data set.
    const QString one = path(QStringLiteral("one.txt"));
    answers = {choose(TfrmOpenSave::SingleSet), file(one), range(QStringLiteral("1"), QStringLiteral("6"))};
    EXPECT_TRUE(waitSaved(save));
    EXPECT_EQ(bytesOf(one), bytesOf(golden(QStringLiteral("text/set1.en_US.txt"))));
}

TEST_F(SaveCommandTest, ADataSetWithoutSamplesIsNotSaved) {
    OpenCommand open(context);
    ASSERT_TRUE(open.openCollectionFile(golden(QStringLiteral("collections/end-below-first.880"))));
    TfrmGraph* w = TfrmGraph::dataLoggerWindow();
    w->showDataSetWithList(1, true); // 0 samples
    area.setActiveSubWindow(qobject_cast<QMdiSubWindow*>(w->parentWidget()));
    SaveCommand save(context);
    answers = {choose(TfrmOpenSave::SingleSet)};
    EXPECT_FALSE(waitSaved(save));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("no readings"))) << messages[0].toStdString();
    EXPECT_TRUE(QDir(home.path()).entryList({QStringLiteral("*.ghf"), QStringLiteral("*.txt")}).isEmpty());
    // The collection of it is still saved whole.
    answers = {choose(TfrmOpenSave::Collection), file(path(QStringLiteral("all.880")))};
    EXPECT_TRUE(waitSaved(save));
    EXPECT_EQ(bytesOf(path(QStringLiteral("all.880"))),
              bytesOf(golden(QStringLiteral("collections/end-below-first.880"))));
}

TEST_F(SaveCommandTest, ACancelledTextSaveLeavesThePreviousFileIntact) {
    // A graph with enough points that the write is still going when Cancel is pressed.
    constexpr int kPoints = 400000;
    auto* w = new TfrmGraph(context.model());
    addGraphWindow(&area, w, true);
    const double start = toDays(QDate(2024, 3, 29), QTime(7, 0));
    w->prepareGraph(1, kPoints, start, start + kPoints / 86400.0);
    for (int i = 0; i < kPoints; ++i) {
        w->chart()->setX(0, i, start + i / 86400.0);
        w->chart()->setY(0, i, 20.5f);
    }
    area.setActiveSubWindow(qobject_cast<QMdiSubWindow*>(w->parentWidget()));
    const QString out = path(QStringLiteral("kept.txt"));
    {
        QFile f(out);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("the previous file\r\n");
    }
    SaveCommand save(context);
    std::optional<bool> written;
    answers = {file(out), range(QStringLiteral("1"), QString::number(kPoints))};
    save.run([&](bool saved) { written = saved; });
    QPointer<TfrmScope> progress;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* s = qobject_cast<TfrmScope*>(top); s && s->isVisible()) progress = s;
    ASSERT_TRUE(progress);
    EXPECT_EQ(progress->windowTitle(), QStringLiteral("Saving Progress"));
    EXPECT_FALSE(written.has_value());
    progress->BitBtn2->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return written.has_value(); }, 20000));
    EXPECT_FALSE(*written);
    EXPECT_EQ(bytesOf(out), QByteArray("the previous file\r\n"));
    EXPECT_EQ(QDir(home.path()).entryList(QDir::Files).filter(QStringLiteral("kept")),
              QStringList({QStringLiteral("kept.txt")})); // no temporary file left
    EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('|')).toStdString();
}

TEST_F(SaveCommandTest, ClosePromptAnswers) {
    SaveCommand save(context);
    OpenCommand open(context);
    ASSERT_TRUE(open.openCollectionFile(golden(QStringLiteral("collections/fill-ff-three-sets.880"))));
    TfrmGraph* w = TfrmGraph::dataLoggerWindow();
    TfrmGraph::setDataLoggerCloseQuery([&save](TfrmGraph& g) { return save.closeQuery(g); });
    auto* sub = qobject_cast<QMdiSubWindow*>(w->parentWidget());

    // No unsaved download: no question.
    EXPECT_TRUE(save.closeQuery(*w));
    EXPECT_TRUE(messages.isEmpty());

    dataSetCollection().setDownloadUnsaved(true);
    replies = {Messages::Cancel};
    EXPECT_FALSE(sub->close());
    EXPECT_EQ(messages, QStringList({"Save DataLogger Data ?"}));
    EXPECT_TRUE(dataSetCollection().downloadUnsaved());

    // Yes, then the save dialog cancelled: the window stays with its download.
    replies = {Messages::Yes};
    answers = {choose(TfrmOpenSave::Collection), cancelFile()};
    EXPECT_FALSE(sub->close());
    EXPECT_TRUE(dataSetCollection().downloadUnsaved());

    // Yes and saved: the window closes.
    const QString target = path(QStringLiteral("closing.880"));
    replies = {Messages::Yes};
    answers = {choose(TfrmOpenSave::Collection), file(target)};
    EXPECT_TRUE(sub->close());
    EXPECT_TRUE(QFile::exists(target));
    EXPECT_FALSE(dataSetCollection().downloadUnsaved());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // No: closes without saving.
    ASSERT_TRUE(open.openCollectionFile(target));
    dataSetCollection().setDownloadUnsaved(true);
    replies = {Messages::No};
    EXPECT_TRUE(qobject_cast<QMdiSubWindow*>(TfrmGraph::dataLoggerWindow()->parentWidget())->close());
    EXPECT_FALSE(dataSetCollection().downloadUnsaved());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // Yes and a text file: the window stays while it is written, then closes.
    ASSERT_TRUE(open.openCollectionFile(target));
    dataSetCollection().setDownloadUnsaved(true);
    QPointer<QMdiSubWindow> frame =
        qobject_cast<QMdiSubWindow*>(TfrmGraph::dataLoggerWindow()->parentWidget());
    const QString text = path(QStringLiteral("closing.txt"));
    replies = {Messages::Yes};
    answers = {choose(TfrmOpenSave::SingleSet), file(text), range(QStringLiteral("1"), QStringLiteral("5"))};
    frame->close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !frame || !frame->isVisible(); }, 20000));
    EXPECT_EQ(textLines(bytesOf(text)).size(), 5);
    EXPECT_FALSE(dataSetCollection().downloadUnsaved());
    TfrmGraph::setDataLoggerCloseQuery({});
}
