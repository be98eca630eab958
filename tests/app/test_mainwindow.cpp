#include "AppPaths.h"
#include "CollectionFile.h"
#include "DataSetCollection.h"
#include "Deadline.h"
#include "DialogRunner.h"
#include "GoldenFile.h"
#include "LiveLink.h"
#include "LiveValues.h"
#include "LoggerSim.h"
#include "Messages.h"
#include "PtyPair.h"
#include "PumpingWait.h"
#include "RealTimeCommand.h"
#include "SettingsFile.h"
#include "TComPort.h"
#include "TfrmAbout.h"
#include "TfrmFV.h"
#include "TfrmGraph.h"
#include "TfrmLCD.h"
#include "TfrmMain.h"
#include "TfrmRealTime.h"
#include "TfrmSetup.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <gtest/gtest.h>

using namespace tq;

namespace {

// Program folder and current folder in a scratch directory, so nothing is
// written next to the test binary.
struct Scratch {
    QTemporaryDir dir;
    QString oldCwd = QDir::currentPath();
    Scratch() {
        AppPaths::setHome(dir.path());
        QDir::setCurrent(dir.path());
    }
    ~Scratch() {
        QDir::setCurrent(oldCwd);
        AppPaths::setHome(QString());
    }
    QString path(const QString& rel) const { return dir.filePath(rel); }
};

// Closing or leaving the main window asks the (here not running) event loop
// to end; running it once takes that request back, so the later waits of
// this test program work again.
void finishQuitRequest() {
    QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
}

QAction* action(QWidget& w, const char* name) {
    return w.findChild<QAction*>(QLatin1String(name));
}
QString panel(QWidget& w, int i) {
    return w.findChild<QLabel*>(QStringLiteral("StatusPanel%1").arg(i))->text();
}

} // namespace

namespace {
// Start-up runs on as events come: the search, then the DataLogger window.
void startUpAndWait(TfrmMain& w, TfrmAbout* splash) {
    w.startUp(splash);
    pumpingWaitWhile([&] { return !w.startedUp() && !w.ending(); }, 60000);
    ASSERT_TRUE(w.startedUp());
}
// Until the live polling has the port.
bool waitTicking(const LiveLink& live) {
    return pumpingWaitWhile([&] { return !live.ticking(); }, kEventDeadlineMs);
}
} // namespace

TEST(MainWindow, MenusToolButtonsAndTheirStates) {
    Scratch scratch;
    TfrmMain w({});
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Kelvaria TQ880"));

    struct Button {
        const char* name;
        const char* caption;
        const char* hint;
    };
    for (const Button& b :
         {Button{"btnOpen", "", "Open File"}, Button{"btnSave", "", "Save To File"},
          Button{"btnPrint", "", "Print"}, Button{"btnDataLogger", "Download", "Load Data"},
          Button{"btnSetup", "Logger Setup", "Setup Meter"},
          Button{"btnArchive", "Archive", "Recording Archive"}, Button{"btnHelp", "", "Help"}}) {
        auto* tb = w.findChild<QToolButton*>(QLatin1String(b.name));
        ASSERT_NE(tb, nullptr) << b.name;
        EXPECT_EQ(tb->text(), QLatin1String(b.caption)) << b.name;
        EXPECT_EQ(tb->toolTip(), QLatin1String(b.hint)) << b.name;
        EXPECT_FALSE(tb->icon().isNull()) << b.name;
    }
    auto* box = w.findChild<QComboBox*>(QStringLiteral("ComboBoxDeviceName"));
    ASSERT_NE(box, nullptr);
    // No ports: the chooser holds only the entry that names another device.
    ASSERT_EQ(box->count(), 1);
    EXPECT_EQ(box->itemText(0), QStringLiteral("Other port..."));
    EXPECT_EQ(box->currentIndex(), -1);
    EXPECT_EQ(box->placeholderText(), QStringLiteral("ComPort"));

    struct Item {
        const char* name;
        const char* caption;
        bool visible;
        bool enabled;
    };
    for (const Item& i : {Item{"Open1", "&Open", true, true},
                          Item{"Save1", "&Save", true, true},
                          Item{"Print1", "&Print", true, true},
                          Item{"PrinterSetup1", "&Printer Setup", true, true},
                          Item{"Exit1", "E&xit", true, true},
                          Item{"DataLogger1", "&DataLogger", true, true},
                          Item{"Option1", "&Setup", true, true},
                          Item{"Archive1", "&Archive", true, true},
                          Item{"Com11", "Com1", true, false},
                          Item{"Com81", "Com8", true, false},
                          Item{"N96001", "9600", true, true},
                          Item{"N192001", "19200", true, true},
                          Item{"N384001", "38400", true, true},
                          Item{"N576001", "57600", true, true},
                          Item{"RealTimeGraph1", "Real Time &Graph", true, true},
                          Item{"LCD1", "&LCD", true, true},
                          Item{"Contents1", "&Contents", true, true},
                          Item{"AboutTQ8801", "&About TQ880", true, true},
                          Item{"FirmwareVersion1", "Firmware Version", false, true},
                          Item{"DataCompare1", "Data Compare", true, true}}) {
        QAction* a = action(w, i.name);
        ASSERT_NE(a, nullptr) << i.name;
        EXPECT_EQ(a->text(), QLatin1String(i.caption)) << i.name;
        EXPECT_EQ(a->isVisible(), i.visible) << i.name;
        if (i.visible) { // Qt reports hidden actions as disabled
            EXPECT_EQ(a->isEnabled(), i.enabled) << i.name;
        }
    }
    EXPECT_TRUE(action(w, "N192001")->isChecked());
    EXPECT_FALSE(action(w, "N96001")->isChecked());
    // The hidden Baudrate menu and the named top menus.
    QStringList menus;
    for (QAction* a : w.menuBar()->actions())
        if (a->isVisible()) menus << a->text();
    EXPECT_EQ(menus, QStringList({"&File", "&DataLogger", "&Setup", "&COM Port", "&Archive", "&View",
                                  "&Window", "&Help", "Data Compare"}));
    // Data Compare opens the compare window.
    action(w, "DataCompare1")->trigger();
    EXPECT_NE(w.findChild<QWidget*>(QStringLiteral("frmCompare")), nullptr);
    // The work area scrolls to windows that do not fit.
    auto* mdi = w.findChild<QMdiArea*>();
    EXPECT_EQ(mdi->horizontalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    EXPECT_EQ(mdi->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
}

TEST(MainWindow, SettingsWrittenOnCloseNotOnExit) {
    Scratch scratch;
    QDir(scratch.dir.path()).mkdir(QStringLiteral("ini"));
    QFile seed(scratch.path(QStringLiteral("ini/TQ880.ini")));
    ASSERT_TRUE(seed.open(QIODevice::WriteOnly));
    seed.write("[COM PORT]\n4\n");
    seed.close();
    {
        TfrmMain w({});
        EXPECT_EQ(w.liveLink()->link().portIndex, 4);
        w.Exit1Click();
        EXPECT_TRUE(w.ending());
        finishQuitRequest();
    }
    QFile f(scratch.path(QStringLiteral("ini/TQ880.ini")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("[COM PORT]\n4\n"));
    f.close();

    TfrmMain w({});
    w.liveLink()->link().portIndex = 2;
    w.show();
    EXPECT_TRUE(w.close());
    EXPECT_TRUE(w.ending());
    finishQuitRequest();
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("[COM PORT]\n2\n"));
}

TEST(MainWindow, ExitAsksBeforeTheRealTimeGraphsReadingsAreLost) {
    Scratch scratch;
    AppPaths::setDataFolder(scratch.path(QStringLiteral("data")));
    dataSetCollection().setDownloadUnsaved(false);
    QStringList asked;
    QList<Messages::Answer> replies;
    Messages::setHandler([&](Messages::Kind, const QString&, const QString& text) {
        asked << text;
        return replies.isEmpty() ? Messages::No : replies.takeFirst();
    });
    TfrmMain w({});
    w.show();
    w.findChild<QAction*>(QStringLiteral("RealTimeGraph1"))->trigger();
    TfrmRealTime* trend = realtime::window();
    ASSERT_NE(trend, nullptr);
    EXPECT_EQ(qobject_cast<QMdiSubWindow*>(trend->parentWidget())->mdiArea(), w.findChild<QMdiArea*>());
    LiveSample s;
    s.time = nowDays();
    s.temperature = 4.5f;
    trend->addSample(s, kModel860);
    // Enter answers No: the program and the readings stay.
    w.Exit1Click();
    EXPECT_FALSE(w.ending());
    ASSERT_EQ(asked.size(), 1);
    EXPECT_TRUE(asked[0].contains(QStringLiteral("1 readings that are in no file")));
    replies = {Messages::Yes};
    w.Exit1Click();
    EXPECT_TRUE(w.ending());
    finishQuitRequest();
    EXPECT_EQ(asked.size(), 2);
}

TEST(MainWindow, ExitAndCloseAskBeforeAnUnsavedDownloadIsLost) {
    Scratch scratch;
    AppPaths::setDataFolder(scratch.path(QStringLiteral("data")));
    QFile golden(test::goldenPath(QStringLiteral("collections/fill-ff-three-sets.880")));
    ASSERT_TRUE(golden.open(QIODevice::ReadOnly));
    const QByteArray memory = golden.readAll();
    ASSERT_TRUE(collection::writeWorkingCopy(memory.constData(), memory.size()).ok());
    DataSetCollection& sets = dataSetCollection();
    sets.setDownloadUnsaved(true);

    QStringList asked;
    QList<Messages::Answer> replies;
    Messages::setHandler([&](Messages::Kind, const QString&, const QString& text) {
        asked << text;
        return replies.isEmpty() ? Messages::Ok : replies.takeFirst();
    });
    QString saveAs; // empty: the save dialog is cancelled
    setDialogRunner([&](QDialog& d) {
        auto* f = qobject_cast<QFileDialog*>(&d);
        if (!f || saveAs.isEmpty()) return int(QDialog::Rejected);
        f->selectFile(saveAs);
        return int(QDialog::Accepted);
    });
    const QString question = QStringLiteral("Save DataLogger Data ?");
    {
        TfrmMain w({});
        w.show();
        // Cancel, and Yes with the save dialog cancelled: everything stays.
        for (Messages::Answer a : {Messages::Cancel, Messages::Yes}) {
            replies = {a};
            w.Exit1Click();
            EXPECT_FALSE(w.ending());
            replies = {a};
            EXPECT_FALSE(w.close());
            EXPECT_TRUE(w.isVisible());
        }
        EXPECT_EQ(asked, QStringList(4, question));
        EXPECT_TRUE(sets.downloadUnsaved());

        // Yes and saved: the file holds the download, then the program ends.
        saveAs = scratch.path(QStringLiteral("kept.880"));
        replies = {Messages::Yes};
        w.Exit1Click();
        EXPECT_TRUE(w.ending());
        finishQuitRequest();
        QFile kept(saveAs);
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(kept.readAll(), memory);
        EXPECT_FALSE(sets.downloadUnsaved());
    }
    {
        // No: the close box ends the program without saving.
        sets.setDownloadUnsaved(true);
        asked.clear();
        TfrmMain w({});
        w.show();
        replies = {Messages::No};
        EXPECT_TRUE(w.close());
        EXPECT_TRUE(w.ending());
        finishQuitRequest();
        EXPECT_EQ(asked, QStringList({question}));
    }
    sets.setDownloadUnsaved(false);
    Messages::setHandler({});
    setDialogRunner({});
    AppPaths::setDataFolder(QString());
}

TEST(MainWindow, CloseWithoutSettingsFolderKeepsTheWindowOpen) {
    Scratch scratch;
    QFile blocker(scratch.path(QStringLiteral("ini"))); // a file where the folder belongs
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QStringList shown;
    Messages::setHandler([&](Messages::Kind, const QString&, const QString& text) {
        shown << text;
        return Messages::Ok;
    });
    TfrmMain w({});
    w.show();
    EXPECT_FALSE(w.close());
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.ending());
    Messages::setHandler({});
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0],
              QStringLiteral("Cannot create ") + AppPaths::settingsFolder() + QStringLiteral(" directory."));
    EXPECT_FALSE(w.Comm1()->active());
}

TEST(Splash, StaysCentredAndKeepsItsSizeWhileShowingProgress) {
    TfrmAbout splash;
    splash.btnOK->hide(); // as at start-up, after construction
    splash.show();
    QCoreApplication::processEvents();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect shown = splash.geometry();
    // Centred, frame and all (its size is only known once shown).
    EXPECT_TRUE(screen.contains(splash.frameGeometry()));
    EXPECT_LE((splash.frameGeometry().center() - screen.center()).manhattanLength(), 6);
    // A window resized while being framed can land anywhere: the status,
    // even a long one, never changes the size.
    for (const QString& status :
         {QStringLiteral("Initializing COM Port ..."),
          QStringLiteral("Search Logger On /dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A600ABCD-if00-port0"),
          QString()}) {
        splash.setStatus(status);
        QCoreApplication::processEvents();
        EXPECT_EQ(splash.geometry(), shown) << status.toStdString();
    }
    splash.setStatus(QStringLiteral("Search Logger On /dev/ttyUSB0"));
    EXPECT_EQ(splash.Label4->text(), QStringLiteral("Search Logger On /dev/ttyUSB0"));
}

TEST(MainWindow, FirmwareVersionIsReachedByItsShortcutAndNamedInTheHelpPage) {
    Scratch scratch;
    QStringList shown;
    Messages::setHandler([&](Messages::Kind, const QString&, const QString& text) {
        shown << text;
        return Messages::Ok;
    });
    TfrmMain w({});
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    EXPECT_FALSE(action(w, "FirmwareVersion1")->isVisible()); // the menu item stays hidden
    QTest::keyClick(&w, Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
    Messages::setHandler({});
    // No logger: the command's own refusal shows that it ran.
    EXPECT_EQ(shown, QStringList{QStringLiteral("There is no connection with Logger !")});

    QFile help(AppPaths::helpFile());
    ASSERT_TRUE(help.open(QIODevice::ReadOnly));
    const QByteArray page = help.readAll();
    // Every command a user can reach is described.
    for (const char* named : {"Ctrl+Shift+V", "Export Graph", "File &gt; Report", "tq880-cli",
                              "View &gt; LCD", "Save DataLogger Data ?"})
        EXPECT_TRUE(page.contains(named)) << named;
}

TEST(MainWindow, HelpOpensThePageBesideTheProgramOrSaysWhereItIs) {
    Scratch scratch;
    ASSERT_TRUE(QFileInfo::exists(AppPaths::helpFile()));
    EXPECT_TRUE(AppPaths::helpFile().endsWith(QStringLiteral("/TQ880HELP.htm")));
    // A stand-in for xdg-open: notes what it was asked to open and answers
    // as the real one does when no program can show it (exit status 3).
    QDir(scratch.dir.path()).mkdir(QStringLiteral("bin"));
    const QString opener = scratch.path(QStringLiteral("bin/xdg-open"));
    const QString asked = scratch.path(QStringLiteral("asked"));
    auto writeOpener = [&](int status) {
        QFile f(opener);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QStringLiteral("#!/bin/sh\necho \"$1\" > '%1'\nexit %2\n").arg(asked).arg(status).toUtf8());
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile::remove(asked);
    };
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", scratch.path(QStringLiteral("bin")).toLocal8Bit() + ':' + oldPath);
    QStringList shown;
    Messages::setHandler([&](Messages::Kind, const QString&, const QString& text) {
        shown << text;
        return Messages::Ok;
    });
    {
        TfrmMain w({});
        writeOpener(0);
        w.Contents1Click();
        pumpingWaitWhile([&] { return !QFileInfo::exists(asked); }, kEventDeadlineMs);
        pumpingWait(200);
        QFile f(asked);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(QUrl(QString::fromUtf8(f.readAll().trimmed())).toLocalFile(), AppPaths::helpFile());
        EXPECT_TRUE(shown.isEmpty());

        writeOpener(3);
        w.Contents1Click();
        pumpingWaitWhile([&] { return shown.isEmpty(); }, kEventDeadlineMs);
        ASSERT_EQ(shown.size(), 1);
        EXPECT_EQ(shown[0], QStringLiteral("The help page could not be opened: no program to show it was "
                                           "found. It is at %1.")
                                .arg(QDir::toNativeSeparators(AppPaths::helpFile())));
    }
    qputenv("PATH", oldPath);
    Messages::setHandler({});
}

TEST(MainWindow, StartsAgainstTheSimulatedLoggerAndConnects) {
    Scratch scratch;
    sim::LoggerSim logger(862);
    QString error;
    ASSERT_TRUE(logger.start(&error)) << error.toStdString();

    // A port that cannot be opened comes first: it leaves the list.
    TfrmMain w({QStringLiteral("/dev/tq880-missing"), logger.devicePath()});
    QPointer<TfrmAbout> splash = new TfrmAbout;
    splash->show();
    w.show();
    startUpAndWait(w, splash);

    LiveLink* live = w.liveLink();
    EXPECT_EQ(live->link().modelCode, 862);
    EXPECT_EQ(live->link().frameLength, 10);
    EXPECT_EQ(live->link().portIndex, 0);
    auto* box = w.findChild<QComboBox*>(QStringLiteral("ComboBoxDeviceName"));
    EXPECT_EQ(box->count(), 2); // the logger's port, and "Other port..."
    EXPECT_EQ(box->currentText(), logger.devicePath());
    EXPECT_TRUE(waitTicking(*live));
    EXPECT_TRUE(splash.isNull()); // freed once the search is done

    pumpingWaitWhile(
        [&] {
            return w.lcdWindow() &&
                   w.lcdWindow()->findChild<QWidget*>(QStringLiteral("imgBATEmpty"))->isHidden();
        },
        kEventDeadlineMs);
    EXPECT_EQ(panel(w, 0), logger.devicePath());
    EXPECT_EQ(panel(w, 1), QStringLiteral("On Connection"));
    auto* found = w.findChild<QLabel*>(QStringLiteral("StatusLogger"));
    EXPECT_EQ(found->text(), QStringLiteral("Model 862 on ") + logger.devicePath());
    EXPECT_TRUE(found->isVisible());
    EXPECT_TRUE(action(w, "DataLogger1")->isEnabled());
    EXPECT_TRUE(w.findChild<QToolButton*>(QStringLiteral("btnDataLogger"))->isEnabled());
    EXPECT_TRUE(w.lcdWindow()->findChild<QWidget*>(QStringLiteral("imgRS232"))->isVisible());
    // The first request was the checksummed one.
    const auto commands = logger.receivedCommands();
    ASSERT_FALSE(commands.isEmpty());
    EXPECT_TRUE(commands.contains(QByteArray("\x02\x41\xC1\x03", 4)));
    // The DataLogger window opened, and lcdtag.txt was written.
    ASSERT_NE(TfrmGraph::dataLoggerWindow(), nullptr);
    EXPECT_TRUE(QFile::exists(scratch.path(QStringLiteral("lcdtag.txt"))));

    // The logger goes silent: about three ticks later the link is lost ...
    logger.setSilent(true);
    pumpingWaitWhile([&] { return live->link().connected; }, kEventDeadlineMs);
    EXPECT_EQ(panel(w, 1), QStringLiteral("Off Connection"));
    EXPECT_FALSE(found->isVisible());
    EXPECT_FALSE(action(w, "DataLogger1")->isEnabled());
    EXPECT_FALSE(w.lcdWindow()->findChild<QWidget*>(QStringLiteral("imgRS232"))->isVisible());
    // ... and back with its first frame.
    logger.setSilent(false);
    pumpingWaitWhile([&] { return !live->link().connected; }, kEventDeadlineMs);
    EXPECT_EQ(panel(w, 1), QStringLiteral("On Connection"));

    // The firmware box shows the logger's version text.
    QString shownVersion;
    setDialogRunner([&](QDialog& d) {
        if (auto* fv = qobject_cast<TfrmFV*>(&d)) shownVersion = fv->version();
        return int(QDialog::Accepted);
    });
    w.FirmwareVersion1Click();
    pumpingWaitWhile([&] { return shownVersion.isEmpty(); }, kEventDeadlineMs);
    setDialogRunner({});
    EXPECT_EQ(shownVersion, QStringLiteral("V1.02.003"));
    EXPECT_TRUE(waitTicking(*live));

    // Once the LCD window is closed, frames still drive the status bar.
    EXPECT_TRUE(w.lcdWindow()->close());
    // The window frees itself when control is back in the main loop.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(w.lcdWindow(), nullptr);
    logger.setSilent(true);
    pumpingWaitWhile([&] { return live->link().connected; }, kEventDeadlineMs);
    EXPECT_EQ(panel(w, 1), QStringLiteral("Off Connection"));
    logger.setSilent(false);
    pumpingWaitWhile([&] { return !live->link().connected; }, kEventDeadlineMs);
    EXPECT_EQ(panel(w, 1), QStringLiteral("On Connection"));

    // View > LCD opens it again, with the reading already on it.
    action(w, "LCD1")->trigger();
    ASSERT_NE(w.lcdWindow(), nullptr);
    EXPECT_TRUE(w.lcdWindow()->isVisible());
    EXPECT_GT(w.lcdWindow()->lastRefreshChanges(), 0);
    action(w, "LCD1")->trigger();
    EXPECT_EQ(w.findChildren<TfrmLCD*>().size(), 1) << "a second LCD1 shows the same window";
}

TEST(MainWindow, LoggerSetupRunsTheDialogAndGivesTheLinkBack) {
    Scratch scratch;
    sim::LoggerSim logger(862);
    logger.setDataSets(sim::LoggerSim::demoDataSets(2, 40));
    QString error;
    ASSERT_TRUE(logger.start(&error)) << error.toStdString();
    TfrmMain w({logger.devicePath()});
    w.show();
    startUpAndWait(w, nullptr);
    LiveLink* live = w.liveLink();
    ASSERT_TRUE(live->link().connected);

    bool ran = false, livePortClosed = false;
    QString firstRow;
    setDialogRunner([&](QDialog& d) {
        auto* setup = qobject_cast<TfrmSetup*>(&d);
        if (!setup) return int(QDialog::Rejected);
        ran = true;
        QSignalSpy idle(setup, &TfrmSetup::idle);
        setup->show();
        EXPECT_TRUE(idle.wait(20000));
        livePortClosed = !live->ticking() && !w.Comm1()->dtrOn(); // the setup port's lines
        firstRow = setup->findChild<QTableWidget*>(QStringLiteral("DataGrid1"))->item(0, 3)->text();
        setup->close();
        return int(QDialog::Rejected);
    });
    w.findChild<QToolButton*>(QStringLiteral("btnSetup"))->click();
    setDialogRunner({});
    EXPECT_TRUE(ran);
    EXPECT_TRUE(livePortClosed);
    // 862 counts 4-byte samples from 320: 40 two-byte samples from 256 make 4.
    EXPECT_EQ(firstRow, QStringLiteral("4"));
    EXPECT_TRUE(waitTicking(*live));
    EXPECT_TRUE(w.Comm1()->active());
}

TEST(MainWindow, ASimulatedLoggerIsMarkedInThePortChooserAndTheStatusBar) {
    Scratch scratch;
    sim::LoggerSim logger(860);
    ASSERT_TRUE(logger.start(nullptr));
    TfrmMain w({logger.devicePath()});
    w.markSimulated(logger.devicePath());
    auto* box = w.findChild<QComboBox*>(QStringLiteral("ComboBoxDeviceName"));
    EXPECT_EQ(box->itemText(0), logger.devicePath() + QStringLiteral(" (simulated)"));
    w.show();
    startUpAndWait(w, nullptr);
    // The search opened the device behind the marked entry.
    ASSERT_TRUE(w.liveLink()->link().connected);
    EXPECT_EQ(w.Comm1()->deviceName(), logger.devicePath());
    EXPECT_EQ(panel(w, 0), logger.devicePath());
    EXPECT_EQ(panel(w, 1), QStringLiteral("On Connection"));
    EXPECT_EQ(w.findChild<QLabel*>(QStringLiteral("StatusLogger"))->text(),
              QStringLiteral("Model 860 on ") + logger.devicePath() + QStringLiteral(" (simulated)"));
}

TEST(MainWindow, NoLoggerFoundFallsBackToTheSavedPort) {
    Scratch scratch;
    QDir(scratch.dir.path()).mkdir(QStringLiteral("ini"));
    QFile seed(scratch.path(QStringLiteral("ini/TQ880.ini")));
    seed.open(QIODevice::WriteOnly);
    seed.write("[COM PORT]\n7\n[OTHER PORTS]\n/dev/tq880-named\n");
    seed.close();
    sim::LoggerSim silent(862);
    ASSERT_TRUE(silent.start(nullptr));
    silent.setSilent(true);
    // A port another program holds open (and locked), and one that has vanished.
    PtyPair held;
    TComPort holder;
    holder.setDeviceName(held.slavePath());
    holder.open();
    // A link to a device that went away with it (a pseudo-terminal's own
    // number may be handed to the next one at once).
    QTemporaryDir links;
    const QString vanished = links.filePath(QStringLiteral("ttyLogger"));
    {
        PtyPair gone;
        ASSERT_TRUE(QFile::link(gone.slavePath(), vanished));
    }
    QFile::remove(vanished);
    TfrmMain w({silent.devicePath(), held.slavePath(), vanished});
    auto* box = w.findChild<QComboBox*>(QStringLiteral("ComboBoxDeviceName"));
    // The device named with "Other port..." last time is listed again.
    EXPECT_EQ(box->itemText(3), QStringLiteral("/dev/tq880-named"));
    EXPECT_EQ(box->itemText(4), QStringLiteral("Other port..."));
    w.show();
    startUpAndWait(w, nullptr);
    EXPECT_EQ(w.liveLink()->link().portIndex, 0); // 7 is past the list
    EXPECT_EQ(w.liveLink()->link().modelCode, 860);
    EXPECT_FALSE(w.liveLink()->link().connected);
    EXPECT_EQ(panel(w, 1), QStringLiteral("Off Connection"));
    EXPECT_TRUE(waitTicking(*w.liveLink()));
    EXPECT_TRUE(w.Comm1()->active());

    // The bar above the work area says what each port answered.
    auto* bar = w.findChild<QWidget*>(QStringLiteral("NoLoggerBar"));
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->isVisible());
    const QString said = w.findChild<QLabel*>(QStringLiteral("NoLoggerText"))->text();
    EXPECT_TRUE(said.contains(silent.devicePath() + QStringLiteral(": no answer"))) << said.toStdString();
    EXPECT_TRUE(
        said.contains(QStringLiteral("/dev/tq880-named: could not be opened: /dev/tq880-named does not "
                                     "exist")))
        << said.toStdString();
    EXPECT_TRUE(said.contains(
        QStringLiteral("%1: could not be opened: %1 is in use by another program").arg(held.slavePath())))
        << said.toStdString();
    EXPECT_TRUE(said.contains(QStringLiteral("%1: could not be opened: %1 does not exist").arg(vanished)))
        << said.toStdString();

    // The logger is switched on: Search again finds it and the bar goes.
    silent.setSilent(false);
    w.findChild<QPushButton*>(QStringLiteral("btnSearchAgainBar"))->click();
    pumpingWaitWhile([&] { return !w.liveLink()->link().connected || bar->isVisible(); }, kEventDeadlineMs);
    EXPECT_TRUE(w.liveLink()->link().connected);
    EXPECT_EQ(w.liveLink()->link().modelCode, 862);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_TRUE(action(w, "DataLogger1")->isEnabled());
    EXPECT_EQ(panel(w, 1), QStringLiteral("On Connection"));
}

TEST(MainWindow, OtherPortNamesAnUnlistedDeviceFindsItsLoggerAndRemembersIt) {
    Scratch scratch;
    sim::LoggerSim logger(862);
    ASSERT_TRUE(logger.start(nullptr));
    TfrmMain w({});
    w.show();
    startUpAndWait(w, nullptr);
    ASSERT_FALSE(w.liveLink()->link().connected);
    // The user types the device's path into the question and presses Enter.
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        answer.stop();
        dialog->setTextValue(logger.devicePath());
        dialog->accept();
    });
    answer.start(10);
    action(w, "OtherPort1")->trigger();
    pumpingWaitWhile([&] { return !w.liveLink()->link().connected; }, kEventDeadlineMs);
    EXPECT_TRUE(w.liveLink()->link().connected);
    EXPECT_EQ(w.liveLink()->link().modelCode, 862); // the handshake on that device told it
    auto* box = w.findChild<QComboBox*>(QStringLiteral("ComboBoxDeviceName"));
    EXPECT_EQ(box->currentText(), logger.devicePath());
    EXPECT_EQ(panel(w, 0), logger.devicePath());
    EXPECT_FALSE(w.findChild<QWidget*>(QStringLiteral("NoLoggerBar"))->isVisible());
    EXPECT_EQ(SettingsFile::readOtherPorts(w.settingsPath()), QStringList({logger.devicePath()}));
}
