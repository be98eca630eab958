#include "TfrmSetup.h"
#include "DataSetCollection.h"
#include "DeviceSession.h"
#include "FdIo.h"
#include "LoggerLink.h"
#include "LoggerSim.h"
#include "MemoryDecoder.h"
#include "Messages.h"
#include "ProgramArchive.h"
#include "PumpingWait.h"
#include "TComPort.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

using namespace tq;
using tq::sim::LoggerSim;

namespace {

const QDateTime kStart(QDate(2024, 3, 29), QTime(7, 13, 15));

// A directory of hand-made records ending at these addresses, all starting
// at kStart, rest fill.
QByteArray directory(quint8 fill, std::initializer_list<qint64> ends) {
    QByteArray d(256, char(fill));
    int k = 1;
    for (qint64 end : ends) {
        char* p = d.data() + 16 * k++;
        std::fill(p, p + 16, char(0));
        p[2] = 2;
        p[4] = char(kStart.date().year() - 2000);
        p[5] = char(kStart.date().month());
        p[6] = char(kStart.date().day());
        p[7] = char(kStart.time().hour());
        p[8] = char(kStart.time().minute());
        p[9] = char(kStart.time().second());
        for (int b = 0; b < 3; ++b)
            p[12 + b] = char((end >> (8 * b)) & 0xFF);
    }
    return d;
}

// Every message box, answered by answer.
struct Boxes {
    QStringList texts;
    QList<Messages::Kind> kinds;
    Messages::Answer answer = Messages::Yes;
    Boxes() {
        Messages::setHandler([this](Messages::Kind kind, const QString&, const QString& text) {
            texts << text;
            kinds << kind;
            return answer;
        });
    }
    ~Boxes() { Messages::setHandler({}); }
};

// A simulated logger, a device session on its device and the dialog over them.
struct SetupRig {
    LoggerSim sim;
    DeviceSession session;
    LoggerLink link;
    std::unique_ptr<TfrmSetup> dialog;

    explicit SetupRig(int model) : sim(model) {
        QString error;
        EXPECT_TRUE(sim.start(&error)) << error.toStdString();
        session.setDevice(sim.devicePath());
        link.setModel(*findLoggerModel(model));
        link.connected = true;
    }
    // Shows the dialog and waits for its start sequence.
    void open(TfrmSetup::Clock clock = {}) {
        dialog = std::make_unique<TfrmSetup>(session, link, nullptr, std::move(clock));
        QSignalSpy idle(dialog.get(), &TfrmSetup::idle);
        dialog->show();
        ASSERT_TRUE(idle.wait(20000));
    }
    template <typename T> T* child(const char* name) const {
        return dialog->findChild<T*>(QLatin1String(name));
    }
    QString cell(int row, int column) const {
        const QTableWidgetItem* item = child<QTableWidget>("DataGrid1")->item(row, column);
        return item ? item->text() : QString();
    }
    QString loggerTime() const { return child<QLabel>("lblLoggerTime")->text(); }
    // Clicks and waits until the exchange it started is over.
    void click(const char* button) {
        QSignalSpy idle(dialog.get(), &TfrmSetup::idle);
        QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton);
        if (dialog->busy()) EXPECT_TRUE(idle.wait(20000)) << button;
    }
    // Waits, running events, until done() or the deadline.
    static bool waitFor(const std::function<bool()>& done, int ms = 10000) {
        return pumpingWaitWhile([&] { return !done(); }, ms);
    }
    int count(const QByteArray& command) const { return sim.receivedCommands().count(command); }
};

} // namespace

TEST(TfrmSetup, GridCountsSamplesOfEachModelsSize) {
    // 862: 4-byte samples from 320; 860: 2-byte samples from 256.
    const std::pair<int, QByteArray> cases[] = {{862, directory(0x00, {320 + 4 * 100, 720 + 4 * 25})},
                                                {860, directory(0xFF, {256 + 2 * 100})}};
    for (const auto& [model, dir] : cases) {
        SetupRig rig(model);
        rig.sim.setMemoryImage(dir + QByteArray(1024, char(0x11)));
        rig.open();
        // The setup port's lines.
        EXPECT_TRUE(rig.session.port().active());
        EXPECT_FALSE(rig.session.port().dtrOn());
        EXPECT_TRUE(rig.session.port().rtsOn());
        EXPECT_EQ(rig.dialog->windowTitle(), "LOGGER Setup");
        QTableWidget* grid = rig.child<QTableWidget>("DataGrid1");
        ASSERT_EQ(grid->rowCount(), 15);
        EXPECT_EQ(grid->horizontalHeaderItem(3)->text(), "Num.");
        EXPECT_EQ(rig.cell(0, 0), "1");
        EXPECT_EQ(rig.cell(14, 0), "15");
        EXPECT_EQ(rig.cell(0, 1), "3/29/24");
        EXPECT_EQ(rig.cell(0, 2), "7:13:15 AM");
        EXPECT_EQ(rig.cell(0, 3), "100") << model;
        const int firstEmpty = model == 862 ? 2 : 1;
        if (model == 862) {
            EXPECT_EQ(rig.cell(1, 3), "25");
        }
        for (int r = firstEmpty; r < 15; ++r) {
            EXPECT_EQ(rig.cell(r, 1), "empty") << "row " << r;
            EXPECT_TRUE(rig.cell(r, 2).isEmpty());
            EXPECT_TRUE(rig.cell(r, 3).isEmpty());
        }
    }
}

TEST(TfrmSetup, IntervalReplySelectsTheEntryAndUnitFollowsTheLiveFrame) {
    SetupRig rig(860);
    rig.sim.setIntervalSeconds(300); // EF 2C 01 FE
    rig.link.unitCelsius = false;
    rig.open();
    EXPECT_EQ(rig.child<QComboBox>("cmbInterval")->currentText(), "05:00");
    EXPECT_TRUE(rig.child<QRadioButton>("RadioF")->isChecked());
    EXPECT_EQ(rig.child<QComboBox>("cmbInterval")->count(), 14);

    SetupRig other(860);
    other.sim.setIntervalSeconds(7); // EF 07 00 FE: not in the table
    other.open();
    EXPECT_EQ(other.child<QComboBox>("cmbInterval")->currentText(), "00:01");
    EXPECT_TRUE(other.child<QRadioButton>("RadioC")->isChecked());
    // The dialog's own selections are no changes of the user's.
    EXPECT_FALSE(other.dialog->intervalChanged());
    EXPECT_FALSE(other.dialog->unitChanged());
}

TEST(TfrmSetup, SilentLoggerLeavesEmptyRowsAndTheDefaultInterval) {
    SetupRig rig(862);
    rig.sim.setDataSets(LoggerSim::demoDataSets(2, 20));
    rig.sim.setSilent(true);
    rig.open();
    EXPECT_EQ(rig.cell(0, 1), "empty");
    EXPECT_EQ(rig.child<QComboBox>("cmbInterval")->currentText(), "00:02");
    EXPECT_EQ(rig.loggerTime(), "yyyy/mm/dd hh:mm:ss");
}

TEST(TfrmSetup, CommandButtonsSendTheirBytes) {
    SetupRig rig(860);
    const QDateTime pc(QDate(2031, 2, 3), QTime(4, 5, 6));
    rig.open([pc] { return pc; });

    Boxes boxes;
    const auto result = [&] { return rig.child<QLabel>("lblResult")->text(); };
    rig.click("btnAdjustTime");
    EXPECT_EQ(rig.count(bytes({0xEF, 0x74, 0x1F, 0x02, 0x03, 0x04, 0x05, 0x06, 0xFE})), 1);
    EXPECT_LE(std::abs(pc.secsTo(rig.sim.loggerClock())), 3);
    // Read back: the logger took it.
    EXPECT_TRUE(result().startsWith("The logger's clock is set: 2/3/31 4:05")) << result().toStdString();
    // The logger's clock label shows the new time with the next ticks.
    EXPECT_TRUE(rig.waitFor([&] { return rig.loggerTime().startsWith("2/3/31 4:05"); }))
        << rig.loggerTime().toStdString();
    EXPECT_EQ(rig.child<QLabel>("lblPCTime")->text(), "2/3/31 4:05:06 AM");

    QTest::mouseClick(rig.child<QRadioButton>("RadioF"), Qt::LeftButton);
    rig.click("btnSetUnit");
    EXPECT_TRUE(rig.sim.unitFahrenheit());
    EXPECT_EQ(rig.count(bytes({0xEF, 0x53, 0x01, 0xFE})), 1);
    EXPECT_EQ(result(), "The logger shows °F now.");

    QComboBox* interval = rig.child<QComboBox>("cmbInterval");
    interval->setFocus();
    QTest::keyClick(interval, Qt::Key_Down); // 00:02 -> 00:05
    EXPECT_TRUE(rig.dialog->intervalChanged());
    rig.click("Button2");
    EXPECT_FALSE(rig.dialog->intervalChanged());
    EXPECT_EQ(rig.count(bytes({0xEF, 0x69, 0x02, 0x00, 0xFE})), 1);
    EXPECT_EQ(rig.sim.intervalSeconds(), 5);
    EXPECT_EQ(result(), "The logger records every 00:05 now.");
    EXPECT_TRUE(boxes.texts.isEmpty()) << boxes.texts.join('|').toStdString();
    // Back to idle after each: handler attached, clock requests going out.
    const int requests = rig.count(bytes({0xEF, 0x54, 0xFE}));
    EXPECT_TRUE(rig.waitFor([&] { return rig.count(bytes({0xEF, 0x54, 0xFE})) > requests + 1; }));

    // A logger whose clock does not follow: the read-back says so.
    rig.sim.setClockReply(bytes({0xEF, 24, 2, 28, 23, 59, 59, 0xFE}));
    rig.click("btnAdjustTime");
    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_EQ(boxes.texts[0], "The logger did not take the PC's time: its clock reads 2/28/24 11:59:59 PM.");
    EXPECT_EQ(result(), boxes.texts[0]);
}

TEST(TfrmSetup, EraseAsksFirstAndEmptiesTheGridOnlyOnY) {
    SetupRig rig(860);
    rig.sim.setDataSets(LoggerSim::demoDataSets(3, 20));
    const QByteArray memory = rig.sim.memoryImage();
    rig.open();
    ASSERT_EQ(rig.cell(2, 3), "20");
    Boxes boxes;
    const QByteArray erase = bytes({0xEF, 0x65, 0x00, 0xFE});
    QTemporaryDir archiveDir;
    programarchive::configure(archiveDir.filePath("archive.sqlite"), false);
    const auto noArchive = qScopeGuard([] { programarchive::configure({}, false); });

    // No at the question: nothing is sent, nothing changes. The question
    // says which data sets exist nowhere else.
    boxes.answer = Messages::No;
    rig.click("btnErase");
    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_EQ(boxes.texts[0], "Erase the logger memory? Its 3 recorded data sets will be lost.\n\n"
                              "3 of 3 data sets have never been downloaded.");
    // Enter alone must never erase.
    EXPECT_EQ(boxes.kinds[0], Messages::Kind::QuestionDefaultNo);
    DataSetCollection downloaded;
    ASSERT_EQ(decodeMemoryImage(ByteReader(memory), memory.size(), 3, downloaded), DownloadResult::Ok);
    programarchive::keep(ByteReader(memory), downloaded, kModel860, "download");
    rig.click("btnErase");
    EXPECT_EQ(boxes.texts.last(), "Erase the logger memory? Its 3 recorded data sets will be lost.\n\n"
                                  "All 3 data sets are in the archive.");
    rig.waitFor([] { return false; }, 300);
    EXPECT_EQ(rig.count(erase), 0);
    EXPECT_EQ(rig.sim.memoryImage(), memory);
    EXPECT_EQ(rig.cell(0, 3), "20");

    // Yes, but the logger does not answer Y: the grid stays.
    boxes.answer = Messages::Yes;
    rig.sim.setEraseRefused(true);
    rig.click("btnErase");
    EXPECT_EQ(rig.count(erase), 1);
    EXPECT_EQ(rig.cell(0, 3), "20");
    EXPECT_EQ(rig.sim.memoryImage(), memory);

    // Yes and Y: the grid is empty again, and a second erase knows it.
    rig.sim.setEraseRefused(false);
    rig.click("btnErase");
    EXPECT_EQ(rig.count(erase), 2);
    EXPECT_EQ(rig.sim.memoryImage(), QByteArray(256, char(0xFF)));
    for (int r = 0; r < 15; ++r)
        EXPECT_EQ(rig.cell(r, 1), "empty") << "row " << r;
    EXPECT_TRUE(rig.cell(0, 3).isEmpty());
    boxes.answer = Messages::No;
    rig.click("btnErase");
    EXPECT_EQ(boxes.texts.last(), "Erase the logger memory? It holds no recorded data set.");
}

TEST(TfrmSetup, CloseQuestionOnlyWhenSomethingWasNotSent) {
    const QString question = "Something changed and not saved . Do you really want to exit ? ";
    // Untouched: closes without a word.
    {
        SetupRig rig(860);
        rig.open();
        Boxes boxes;
        rig.click("BitBtn2");
        EXPECT_TRUE(boxes.texts.isEmpty());
        EXPECT_FALSE(rig.dialog->isVisible());
    }
    // F clicked and not sent: asked; No keeps the dialog, Yes closes it.
    {
        SetupRig rig(860);
        rig.open();
        QTest::mouseClick(rig.child<QRadioButton>("RadioF"), Qt::LeftButton);
        EXPECT_TRUE(rig.dialog->unitChanged());
        Boxes boxes;
        boxes.answer = Messages::No;
        rig.dialog->close();
        EXPECT_EQ(boxes.texts, QStringList{question});
        EXPECT_TRUE(rig.dialog->isVisible());
        // Escape asks the same.
        QTest::keyClick(rig.dialog.get(), Qt::Key_Escape);
        EXPECT_EQ(boxes.texts.size(), 2);
        EXPECT_TRUE(rig.dialog->isVisible());
        boxes.answer = Messages::Yes;
        rig.click("BitBtn2");
        EXPECT_EQ(boxes.texts.size(), 3);
        EXPECT_FALSE(rig.dialog->isVisible());
        EXPECT_FALSE(rig.sim.unitFahrenheit());
    }
    // F clicked and sent with the unit OK: nothing left to ask about.
    {
        SetupRig rig(860);
        rig.open();
        QTest::mouseClick(rig.child<QRadioButton>("RadioF"), Qt::LeftButton);
        rig.click("btnSetUnit");
        Boxes boxes;
        rig.dialog->close();
        EXPECT_TRUE(boxes.texts.isEmpty());
        EXPECT_FALSE(rig.dialog->isVisible());
        EXPECT_TRUE(rig.sim.unitFahrenheit());
    }
    // Choosing C with its own button is no change; its picture is.
    {
        SetupRig rig(860);
        rig.link.unitCelsius = false;
        rig.open();
        QTest::mouseClick(rig.child<QRadioButton>("RadioC"), Qt::LeftButton);
        EXPECT_FALSE(rig.dialog->unitChanged());
        QTest::mouseClick(rig.child<QLabel>("ImageC"), Qt::LeftButton);
        EXPECT_TRUE(rig.dialog->unitChanged());
        EXPECT_TRUE(rig.child<QRadioButton>("RadioC")->isChecked());
    }
}

TEST(TfrmSetup, ClockLabelTicksAndKeepsItsTextOverAnImpossibleReply) {
    SetupRig rig(862);
    rig.sim.setClockOffsetSeconds(-3600 * 24 * 400);
    rig.open();
    const QString placeholder = "yyyy/mm/dd hh:mm:ss";
    // Ticking: the logger's time appears, then moves on.
    ASSERT_TRUE(rig.waitFor([&] { return rig.loggerTime() != placeholder; }));
    const QString first = rig.loggerTime();
    EXPECT_TRUE(first.contains(QLocale().toString(rig.sim.loggerClock().date(), QLocale::ShortFormat)))
        << first.toStdString();
    ASSERT_TRUE(rig.waitFor([&] { return rig.loggerTime() != first; }));
    EXPECT_NE(rig.child<QLabel>("lblPCTime")->text(), placeholder);

    // 30 February: dropped, the label keeps what it showed.
    rig.sim.setClockReply(bytes({0xEF, 24, 2, 30, 0, 0, 0, 0xFE}));
    const int requests = rig.count(bytes({0xEF, 0x54, 0xFE}));
    // Let one reply that was already on its way arrive first.
    rig.waitFor([&] { return rig.count(bytes({0xEF, 0x54, 0xFE})) >= requests + 1; });
    rig.waitFor([] { return false; }, 300);
    const QString kept = rig.loggerTime();
    rig.waitFor([&] { return rig.count(bytes({0xEF, 0x54, 0xFE})) >= requests + 4; });
    EXPECT_EQ(rig.loggerTime(), kept);

    // The next possible reply is read normally.
    rig.sim.setClockReply(bytes({0xEF, 24, 2, 28, 23, 59, 59, 0xFE}));
    EXPECT_TRUE(rig.waitFor([&] { return rig.loggerTime() == "2/28/24 11:59:59 PM"; }))
        << rig.loggerTime().toStdString();
}

TEST(TfrmSetup, PortThatVanishesWhileOpenLeavesADialogThatStillClosesAndCommandsSaySo) {
    SetupRig rig(860);
    Boxes boxes;
    rig.open();
    const QString before = rig.loggerTime();
    rig.sim.unplug();
    // The clock ticks on against a port that is gone: no message, no crash.
    QTest::qWait(1500);
    EXPECT_EQ(rig.loggerTime(), before);
    // A command against the vanished port says it could not reach the
    // logger, and the dialog comes back to idle.
    QSignalSpy idle(rig.dialog.get(), &TfrmSetup::idle);
    rig.click("btnAdjustTime");
    EXPECT_TRUE(idle.count() > 0 || idle.wait(10000));
    ASSERT_EQ(boxes.texts.size(), 1) << boxes.texts.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(boxes.texts[0].startsWith("The logger could not be reached: "))
        << boxes.texts[0].toStdString();
    EXPECT_TRUE(rig.dialog->close());
}
