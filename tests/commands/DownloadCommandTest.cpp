#include "DownloadCommand.h"
#include "Chart.h"
#include "CommandGuard.h"
#include "CommandsFixture.h"
#include "DataLoggerWindow.h"
#include "Deadline.h"
#include "DeviceSession.h"
#include "FakeLinkView.h"
#include "FirmwareCommand.h"
#include "LiveLink.h"
#include "LoggerSim.h"
#include "MemoryImages.h"
#include "OpenCommand.h"
#include "PumpingWait.h"
#include "SaveCommand.h"
#include "SetupCommand.h"
#include "TComPort.h"
#include "TfrmErr.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMdiSubWindow>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

using namespace tq;
using tq::sim::LoggerSim;
using tq::testing::memoryEndingAt;

namespace {

const QByteArray kDownload("\xEF\x44\xFE", 3);
const QByteArray kRefuse("\xEF\x6E\xFE", 3);

// Looks at the progress window while a transfer runs (the transfer lets
// events run, so this timer fires in between).
struct ProgressWatch {
    QTimer timer;
    const TComPort* port = nullptr;
    bool seen = false, stayOnTop = false, rightControls = false, dataLoggerShownNormal = false;
    bool downloadLines = false;
    QString received, total;
    int barMaximum = -1;
    ProgressWatch() {
        QObject::connect(&timer, &QTimer::timeout, [this] { look(); });
        timer.start(5);
    }
    static TfrmScope* window() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* s = qobject_cast<TfrmScope*>(w);
                s && s->isVisible() && s->windowTitle() == QLatin1String("Data Retriving Progress"))
                return s;
        return nullptr;
    }
    void look() {
        TfrmScope* s = window();
        if (!s) return;
        if (!seen) {
            seen = true;
            TfrmGraph* dl = TfrmGraph::dataLoggerWindow();
            dataLoggerShownNormal = dl && !dl->parentWidget()->isMinimized();
        }
        stayOnTop = s->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        rightControls = s->Progress1->isVisible() && s->SText1->isVisible() && s->SText2->isVisible() &&
                        s->lblBytesReceived->isVisible() && s->lblTotalBytes->isVisible() &&
                        s->SText1->text() == QLatin1String("bytes received") &&
                        s->SText2->text() == QLatin1String("total bytes") && !s->GroupBox1->isVisible() &&
                        !s->BitBtn1->isVisible() && s->BitBtn2->isVisible() &&
                        s->BitBtn2->text() == QLatin1String("Cancel");
        if (port) downloadLines = port->active() && !port->dtrOn() && port->rtsOn();
        received = s->lblBytesReceived->text();
        total = s->lblTotalBytes->text();
        barMaximum = s->Progress1->maximum();
    }
};

} // namespace

// The live link of a main window on a simulated logger, with the fixture's
// MDI area, folders, message boxes and dialog answers.
class DownloadCommandTest : public CommandsFixture {
  protected:
    std::unique_ptr<LoggerSim> sim;
    std::unique_ptr<DeviceSession> session;
    FakeLinkView view;
    std::unique_ptr<LiveLink> live;
    TComPort* comm1 = nullptr;
    QList<QDialog*> errorDialogs;
    QStringList errorTexts;
    QList<bool> fixOffered;

    void startLogger(int model) {
        sim = std::make_unique<LoggerSim>(model);
        QString error;
        ASSERT_TRUE(sim->start(&error)) << error.toStdString();
        live.reset();
        session = std::make_unique<DeviceSession>();
        comm1 = &session->port();
        session->setDevice(sim->devicePath());
        live = std::make_unique<LiveLink>(session.get(), &view);
        live->link().setModel(*findLoggerModel(model));
        live->link().connected = true;
        context.loggerModel = [this] { return live->link().model(); };
        live->startLink();
        ASSERT_TRUE(waitTicking());
    }
    void TearDown() override {
        live.reset();
        session.reset();
        CommandsFixture::TearDown();
    }
    bool waitTicking() {
        return pumpingWaitWhile([&] { return !live->ticking(); }, kEventDeadlineMs);
    }
    // As the main window runs it, to its end.
    void download() {
        DownloadCommand command(context, *live);
        guarded([&] { command.run(); });
        pumpingWaitWhile([&] { return command.running(); }, 120000);
        EXPECT_FALSE(command.running());
    }
    // The error dialog's answer: press this button.
    Answer press(int modalResult) {
        return [this, modalResult](QDialog& d) {
            auto* e = qobject_cast<TfrmErr*>(&d);
            EXPECT_NE(e, nullptr) << d.windowTitle().toStdString();
            if (!e) return 0;
            errorDialogs << e;
            errorTexts << e->findChild<QLabel*>(QStringLiteral("lblError"))->text();
            fixOffered << !e->findChild<QPushButton*>(QStringLiteral("btnFixed"))->isHidden();
            return modalResult;
        };
    }
    int requests(const QByteArray& command) const { return sim->receivedCommands().count(command); }
    // The link is the live link's again: handler on, timer running, frames coming.
    void expectLinkRunning() {
        EXPECT_TRUE(waitTicking());
        EXPECT_TRUE(comm1->active());
        EXPECT_TRUE(comm1->dtrOn());
        const int before = view.lcdRefreshes;
        pumpingWaitWhile([&] { return view.lcdRefreshes == before; }, kEventDeadlineMs);
        EXPECT_GT(view.lcdRefreshes, before) << "no live frame after the download";
    }
    // Data sets shown before a download, from a collection file.
    void showCollectionFirst() {
        ASSERT_TRUE(OpenCommand(context).openCollectionFile(
            golden(QStringLiteral("collections/fill-ff-three-sets.880"))));
        before = bytesOf(collection::workingCopyPath());
        ASSERT_FALSE(before.isEmpty());
        beforeFirstValue = dataSetCollection().values().at(0);
    }
    // What showCollectionFirst showed is still there, unchanged.
    void expectNothingReplaced() {
        EXPECT_EQ(dataSetCollection().count(), 3);
        EXPECT_EQ(dataSetCollection().values().at(0), beforeFirstValue);
        EXPECT_EQ(bytesOf(collection::workingCopyPath()), before);
        EXPECT_FALSE(dataSetCollection().downloadUnsaved());
        TfrmGraph* window = TfrmGraph::dataLoggerWindow();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->findChild<QTableWidget*>(QStringLiteral("Grid2"))->rowCount(), 3);
        EXPECT_EQ(ProgressWatch::window(), nullptr);
    }
    QByteArray before;
    float beforeFirstValue = 0;
};

TEST_F(DownloadCommandTest, DataSetOneShownWithTheCursorsAtPointZeroForBothModels) {
    for (int model : {860, 862}) {
        SCOPED_TRACE(model);
        startLogger(model);
        sim->setDataSets(LoggerSim::demoDataSets(3, 150));
        const QByteArray memory = sim->memoryImage();
        // A minimised DataLogger window is restored before the transfer starts.
        if (model == 862) {
            restoreOrCreateDataLoggerWindow(&area, *findLoggerModel(model), false);
            TfrmGraph::dataLoggerWindow()->parentWidget()->showMinimized();
        }
        sim->clearLog();
        ProgressWatch watch;
        watch.port = comm1;
        download();
        watch.timer.stop();
        EXPECT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();

        EXPECT_TRUE(watch.seen);
        EXPECT_TRUE(watch.dataLoggerShownNormal);
        EXPECT_TRUE(watch.stayOnTop);
        EXPECT_TRUE(watch.rightControls);
        EXPECT_EQ(watch.total, QString::number(memory.size()));
        EXPECT_EQ(watch.received, QString::number(memory.size()));
        EXPECT_EQ(watch.barMaximum, memory.size());
        EXPECT_EQ(ProgressWatch::window(), nullptr) << "the progress window is released";

        // The fill byte follows the model: three data sets either way.
        const DataSetCollection& sets = dataSetCollection();
        ASSERT_EQ(sets.count(), 3);
        EXPECT_EQ(sets.dataSet(0).sampleCount, 150);
        EXPECT_TRUE(sets.downloadUnsaved());
        EXPECT_EQ(bytesOf(collection::workingCopyPath()), memory);
        TfrmGraph* window = TfrmGraph::dataLoggerWindow();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(graphWindows().size(), 1);
        EXPECT_EQ(window->shownDataSet(), 0);
        EXPECT_EQ(window->findChild<QTableWidget*>(QStringLiteral("Grid2"))->rowCount(), 3);
        EXPECT_EQ(window->chart()->points(), 150);
        EXPECT_EQ(window->chart()->vertLine(0), window->chart()->x(0, 0)) << "the marker on point 0";

        // The request went out once, on the download port's own lines.
        EXPECT_EQ(requests(kDownload), 1);
        EXPECT_TRUE(watch.downloadLines);
        expectLinkRunning();
        area.closeAllSubWindows();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        dataSetCollection().setDownloadUnsaved(false);
        messages.clear();
    }
}

TEST_F(DownloadCommandTest, AsksBeforeReplacingAnUnsavedDownloadAndBringsTheDataLoggerWindowToTheFront) {
    startLogger(860);
    showCollectionFirst();
    SaveCommand save(context);
    context.mayReplaceDownload = [&save] { return save.mayReplaceDownload(); };
    dataSetCollection().setDownloadUnsaved(true);
    auto* other = new TfrmGraph(kModel860);
    other->setWindowTitle(QStringLiteral("other.ghf"));
    addGraphWindow(&area, other, true)->showMaximized();
    sim->setDataSets(LoggerSim::demoDataSets(2, 40));
    sim->clearLog();

    // Cancel: nothing is asked of the logger, nothing changes.
    replies = {Messages::Cancel};
    download();
    EXPECT_EQ(messages, QStringList({"Save DataLogger Data ?"}));
    EXPECT_EQ(requests(kDownload), 0);
    EXPECT_EQ(dataSetCollection().count(), 3);
    EXPECT_TRUE(dataSetCollection().downloadUnsaved());

    // Yes: the download before is saved first, then the new one replaces it
    // in a DataLogger window brought in front of the maximized graph.
    const QString kept = path(QStringLiteral("kept.880"));
    replies = {Messages::Yes};
    answers = {file(kept)};
    download();
    EXPECT_EQ(messages.size(), 2);
    EXPECT_EQ(bytesOf(kept), before);
    EXPECT_EQ(requests(kDownload), 1);
    EXPECT_EQ(dataSetCollection().count(), 2);
    EXPECT_TRUE(dataSetCollection().downloadUnsaved());
    auto* front = qobject_cast<QMdiSubWindow*>(TfrmGraph::dataLoggerWindow()->parentWidget());
    EXPECT_EQ(area.currentSubWindow(), front);
    EXPECT_EQ(area.subWindowList(QMdiArea::StackingOrder).last(), front);
    expectLinkRunning();
}

TEST_F(DownloadCommandTest, RefusedWithoutConnectionOrWhileRecordingAsSetupAndFirmwareAre) {
    startLogger(860);
    sim->clearLog();
    live->link().connected = false;
    download();
    SetupCommand(*live, nullptr).run();
    FirmwareCommand(*live, nullptr).run();
    live->link().connected = true;
    live->link().recording = true;
    download();
    SetupCommand(*live, nullptr).run();
    EXPECT_EQ(messages,
              QStringList({"There is no connection with Logger !", "There is no connection with Logger !",
                           "There is no connection with Logger !",
                           "The Logger is recording data, please stop recording before loading data.",
                           "The Logger is recording , please stop recording before setup."}));
    // Nothing else happened: no window, no dialog, the link untouched.
    EXPECT_TRUE(graphWindows().isEmpty());
    EXPECT_TRUE(dialogTitles.isEmpty());
    EXPECT_EQ(requests(kDownload), 0);
    EXPECT_TRUE(live->ticking());
}

TEST_F(DownloadCommandTest, EmptyMemorySaysSoAndReplacesNothing) {
    startLogger(862);
    showCollectionFirst();
    sim->clearMemory();
    download();
    EXPECT_EQ(messages, QStringList({"There is not any recorded data in memory!"}));
    EXPECT_TRUE(dialogTitles.isEmpty());
    expectNothingReplaced();
    expectLinkRunning();
}

TEST_F(DownloadCommandTest, DataErrorCancelKeepsWhatWasShownAndFixedKeepsTheIntactDataSets) {
    startLogger(860);
    showCollectionFirst();
    // Data set 2 ends beyond the memory the directory announces (its last
    // record ends at 1200: 1216 bytes).
    const QByteArray memory = memoryEndingAt(0xFF, {1000, 5000, 1200}, 1216);
    sim->setMemoryImage(memory);

    answers = {press(TfrmErr::mrCancel)};
    download();
    ASSERT_EQ(errorTexts.size(), 1);
    EXPECT_EQ(errorTexts[0],
              "Data error ! Choose Try Again to reload or Fix Error to delete the error data set.");
    EXPECT_TRUE(fixOffered[0]);
    EXPECT_TRUE(messages.isEmpty());
    expectNothingReplaced();
    expectLinkRunning();

    // Try Again repeats the transfer with the same dialog; "Fixed the error "
    // then keeps data set 1, the one wholly inside the memory.
    sim->clearLog();
    answers = {press(TfrmErr::mrRetry), press(TfrmErr::mrOk)};
    download();
    EXPECT_EQ(requests(kDownload), 2);
    ASSERT_EQ(errorDialogs.size(), 3);
    EXPECT_EQ(errorDialogs[1], errorDialogs[2]);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains("Data set 2 of 3 ends beyond the memory received"))
        << messages[0].toStdString();
    ASSERT_EQ(dataSetCollection().count(), 1);
    EXPECT_EQ(dataSetCollection().dataSet(0).sampleCount, (1000 - 256) / 2);
    EXPECT_TRUE(dataSetCollection().downloadUnsaved()) << "so closing the window asks to save them";
    // The copy holds the memory as it came, so a save loses nothing.
    EXPECT_EQ(bytesOf(collection::workingCopyPath()), memory);
    EXPECT_TRUE(collection::workingCopyCurrent());
    TfrmGraph* window = TfrmGraph::dataLoggerWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->findChild<QTableWidget*>(QStringLiteral("Grid2"))->rowCount(), 1);
    EXPECT_EQ(window->shownDataSet(), 0);
    expectLinkRunning();

    // A faulty first data set leaves nothing intact to keep.
    sim->setMemoryImage(memoryEndingAt(0xFF, {5000, 1200}, 1216));
    messages.clear();
    answers = {press(TfrmErr::mrOk)};
    download();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains("nothing was kept")) << messages[0].toStdString();
    EXPECT_EQ(dataSetCollection().count(), 1);
    EXPECT_EQ(bytesOf(collection::workingCopyPath()), memory);
}

TEST_F(DownloadCommandTest, ReadErrorOffersNoFixAndTryAgainStartsOverFromTheRequest) {
    startLogger(860);
    showCollectionFirst();
    sim->setDataSets(LoggerSim::demoDataSets(3, 150));
    const QByteArray memory = sim->memoryImage();
    // The 21st refusal ends the first transfer; the second goes through.
    sim->setBadChecksumBlock(2, 21);
    sim->clearLog();
    answers = {press(TfrmErr::mrRetry)};
    download();
    ASSERT_EQ(errorTexts.size(), 1);
    EXPECT_EQ(errorTexts[0], "There was error when reading data from meter");
    EXPECT_FALSE(fixOffered[0]);
    EXPECT_EQ(requests(kDownload), 2);
    EXPECT_EQ(requests(kRefuse), 21);
    // A fresh image: exactly the memory, nothing of the first attempt.
    EXPECT_EQ(bytesOf(collection::workingCopyPath()), memory);
    EXPECT_EQ(dataSetCollection().count(), 3);
    EXPECT_TRUE(dataSetCollection().downloadUnsaved());
    expectLinkRunning();
}

TEST_F(DownloadCommandTest, ReadErrorCancelledReplacesNothing) {
    startLogger(862);
    showCollectionFirst();
    sim->setDataSets(LoggerSim::demoDataSets(3, 150));
    sim->setSilentAfterBlock(6);
    answers = {press(TfrmErr::mrCancel)};
    download();
    ASSERT_EQ(errorTexts.size(), 1);
    EXPECT_FALSE(fixOffered[0]);
    expectNothingReplaced();
    expectLinkRunning();
}

TEST_F(DownloadCommandTest, DeviceRemovedMidTransferSaysSoWithTheBytesAndGivesTheLinkBack) {
    startLogger(860);
    showCollectionFirst();
    sim->setDataSets(LoggerSim::demoDataSets(3, 150));
    sim->setUnplugAfterBlock(5);
    download();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(
        messages[0].startsWith("The logger stopped answering or was disconnected during the download ("))
        << messages[0].toStdString();
    const QRegularExpressionMatch counts =
        QRegularExpression(QStringLiteral("\\((\\d+) of (\\d+) bytes had arrived\\)")).match(messages[0]);
    ASSERT_TRUE(counts.hasMatch()) << messages[0].toStdString();
    EXPECT_GT(counts.captured(1).toLongLong(), 0) << "blocks had arrived before the unplug";
    EXPECT_LT(counts.captured(1).toLongLong(), counts.captured(2).toLongLong());
    EXPECT_TRUE(dialogTitles.isEmpty());
    expectNothingReplaced();
    // The live port cannot reopen on a device that is gone, but the link is
    // back and ticking, so the watchdog reports the loss.
    EXPECT_TRUE(waitTicking());
    pumpingWaitWhile([&] { return live->link().connected; }, kEventDeadlineMs);
    EXPECT_EQ(view.state, QStringLiteral("Off Connection"));
}

TEST_F(DownloadCommandTest, WorkingCopyFolderThatCannotBeMadeIsNamedAndReplacesNothing) {
    startLogger(860);
    showCollectionFirst();
    sim->setDataSets(LoggerSim::demoDataSets(2, 100));
    // A file where the folder should be.
    ASSERT_TRUE(QDir(collection::workingCopyFolder()).removeRecursively());
    QFile blocker(path(QStringLiteral("data/temp")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    download();
    EXPECT_EQ(messages, QStringList({QDir::toNativeSeparators(collection::workingCopyFolder())}));
    EXPECT_EQ(dataSetCollection().count(), 3);
    EXPECT_EQ(dataSetCollection().values().at(0), beforeFirstValue);
    EXPECT_FALSE(dataSetCollection().downloadUnsaved());
    EXPECT_EQ(ProgressWatch::window(), nullptr);
    expectLinkRunning();
}

TEST_F(DownloadCommandTest, TheProgramEndingStopsTheTransferAndGivesNothingBack) {
    startLogger(860);
    showCollectionFirst();
    sim->setDataSets(LoggerSim::dataSetsFilling(64 * 1024));
    sim->setPacing(true); // some 37 s at the real line rate
    // The main window is closed once the first blocks are in.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        TfrmScope* s = ProgressWatch::window();
        if (!s || s->lblBytesReceived->text().toInt() < 640) return;
        closer.stop();
        live->endLink();
    });
    closer.start(5);
    download();
    EXPECT_FALSE(closer.isActive());
    EXPECT_TRUE(dialogTitles.isEmpty());
    EXPECT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
    expectNothingReplaced();
    pumpingWait(500);
    EXPECT_FALSE(comm1->active());
    EXPECT_FALSE(live->ticking());
    EXPECT_LT(requests(QByteArray("\xEF\x79\xFE", 3)), 1000) << "the transfer went on";
}

TEST_F(DownloadCommandTest, CancelAtTheStartMiddleOrEndReplacesNothingAndGivesTheLinkBack) {
    startLogger(860);
    showCollectionFirst();
    sim->setPacing(true); // at the real line rate
    enum class When { Start, Middle, End };
    for (const When when : {When::Start, When::Middle, When::End}) {
        SCOPED_TRACE(int(when));
        sim->setDataSets(LoggerSim::dataSetsFilling(when == When::Middle ? 64 * 1024 : 4 * 1024));
        QString timeLeft;
        QElapsedTimer clock;
        QTimer user;
        QObject::connect(&user, &QTimer::timeout, [&] {
            TfrmScope* s = ProgressWatch::window();
            if (!s) return;
            const qint64 received = s->lblBytesReceived->text().toLongLong();
            const qint64 total = s->lblTotalBytes->text().toLongLong();
            const bool now = when == When::Start    ? true
                             : when == When::Middle ? received >= 3000 && !s->lblTimeLeft->text().isEmpty()
                                                    : total > 0 && received == total;
            if (!now) return;
            user.stop();
            timeLeft = s->lblTimeLeft->text();
            clock.start();
            QTest::mouseClick(s->BitBtn2, Qt::LeftButton);
        });
        user.start(5);
        download();
        EXPECT_TRUE(clock.isValid()) << "Cancel was never pressed";
        EXPECT_LT(clock.elapsed(), 1000) << "Cancel ends the transfer within a second";
        if (when == When::Middle)
            EXPECT_TRUE(timeLeft.startsWith("about ") && timeLeft.endsWith(" left"))
                << timeLeft.toStdString();
        EXPECT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
        EXPECT_TRUE(dialogTitles.isEmpty());
        expectNothingReplaced();
        expectLinkRunning();
    }
}

TEST_F(DownloadCommandTest, OneCommandAtATimeAndAPortPickedMeanwhileFollowsAfter) {
    startLogger(860);
    LoggerSim other(860);
    ASSERT_TRUE(other.start(nullptr));
    view.ports = {sim->devicePath(), other.devicePath()};
    sim->setDataSets(LoggerSim::demoDataSets(3, 150));
    sim->clearLog();
    // While the transfer runs (it lets events run) the user presses Download
    // again, opens Logger Setup and picks the other port.
    bool pressed = false, tickingMeanwhile = true;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        if (!ProgressWatch::window()) return;
        user.stop();
        pressed = true;
        download();
        SetupCommand(*live, nullptr).run();
        live->ComboBoxDeviceNameChange(1);
        tickingMeanwhile = live->ticking();
    });
    user.start(5);
    download();
    EXPECT_TRUE(pressed);
    EXPECT_FALSE(tickingMeanwhile);
    EXPECT_EQ(requests(kDownload), 1);
    EXPECT_TRUE(dialogTitles.isEmpty()) << "no setup dialog";
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(dataSetCollection().count(), 3);
    // The port picked during the download is the live port once it is over.
    pumpingWaitWhile([&] { return comm1->deviceName() != other.devicePath(); }, kEventDeadlineMs);
    EXPECT_EQ(comm1->deviceName(), other.devicePath());
    EXPECT_TRUE(waitTicking());
    EXPECT_TRUE(comm1->active());
    EXPECT_EQ(live->link().portIndex, 1);
}
