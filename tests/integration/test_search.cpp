#include "Deadline.h"
#include "DeviceSession.h"
#include "DialogRunner.h"
#include "FakeLinkView.h"
#include "FirmwareCommand.h"
#include "LiveLink.h"
#include "LoggerSim.h"
#include "PumpingWait.h"
#include "SetupCommand.h"
#include "TComPort.h"
#include "TfrmFV.h"
#include "TfrmSetup.h"

#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

using namespace tq;

namespace {

// The live link of the program with a fake window, searching the given ports.
struct SearchRig {
    DeviceSession session;
    FakeLinkView view;
    LiveLink live{&session, &view};
    TComPort& comm1 = session.port();
    explicit SearchRig(const QStringList& ports) { view.ports = ports; }
    // The search, to its end; the live link starts after it.
    void search() {
        bool done = false;
        live.searchLogger([&] { done = true; });
        pumpingWaitWhile([&] { return !done; }, 60000);
        ASSERT_TRUE(done);
    }
    // Until the live polling has the port again.
    bool waitTicking() {
        return pumpingWaitWhile([&] { return !live.ticking(); }, kEventDeadlineMs);
    }
};

std::unique_ptr<sim::LoggerSim> startSim(int model) {
    auto s = std::make_unique<sim::LoggerSim>(model);
    QString error;
    EXPECT_TRUE(s->start(&error)) << error.toStdString();
    return s;
}

} // namespace

TEST(LoggerSearch, FindsTheLoggerOnTheSecondPort) {
    auto quiet = startSim(860);
    quiet->setSilent(true);
    auto logger = startSim(862);
    SearchRig rig({quiet->devicePath(), logger->devicePath()});
    rig.search();
    EXPECT_TRUE(rig.live.link().connected);
    EXPECT_EQ(rig.live.link().portIndex, 1);
    EXPECT_EQ(rig.live.link().modelCode, 862);
    EXPECT_EQ(rig.live.link().frameLength, 10);
    EXPECT_EQ(rig.view.selected, 1);
    EXPECT_EQ(rig.view.state, QStringLiteral("On Connection"));
    EXPECT_EQ(rig.view.device, logger->devicePath());
    EXPECT_TRUE(rig.view.rs232);
    EXPECT_EQ(rig.view.progress, QStringList({QStringLiteral("Search Logger On ") + quiet->devicePath(),
                                              QStringLiteral("Search Logger On ") + logger->devicePath()}));
    // The silent port was asked once and then let go.
    EXPECT_TRUE(quiet->receivedCommands().contains(QByteArray("\xEF\x4D\xFE", 3)));
}

TEST(LoggerSearch, TheFirstListedLoggerWins) {
    auto first = startSim(860);
    auto second = startSim(862);
    SearchRig rig({first->devicePath(), second->devicePath()});
    rig.search();
    EXPECT_EQ(rig.live.link().portIndex, 0);
    EXPECT_EQ(rig.live.link().modelCode, 860);
    EXPECT_EQ(rig.live.link().frameLength, 8);
    EXPECT_TRUE(second->receivedCommands().isEmpty()); // never asked
}

TEST(LoggerSearch, GarbageAndUnopenablePortsAreSkipped) {
    auto garbage = startSim(862);
    garbage->setSearchReply(QByteArray("\xEF\x31\x32\x33\xFE", 5));
    auto shortReply = startSim(862);
    shortReply->setSearchReply(QByteArray("\xEF\x38\x36", 3));
    auto logger = startSim(860);
    SearchRig rig({QStringLiteral("/dev/tq880-missing-1"), garbage->devicePath(), shortReply->devicePath(),
                   QStringLiteral("/dev/tq880-missing-2"), logger->devicePath()});
    rig.search();
    // Both missing ports left the list; the logger is now entry 2.
    EXPECT_EQ(rig.view.ports,
              QStringList({garbage->devicePath(), shortReply->devicePath(), logger->devicePath()}));
    EXPECT_TRUE(rig.live.link().connected);
    EXPECT_EQ(rig.live.link().portIndex, 2);
    EXPECT_EQ(rig.live.link().modelCode, 860);
}

TEST(LoggerSearch, NothingFoundKeepsModel860AndTheSavedPortWhenValid) {
    auto quiet = startSim(862);
    quiet->setSilent(true);
    auto quiet2 = startSim(862);
    quiet2->setSilent(true);
    SearchRig rig({quiet->devicePath(), quiet2->devicePath()});
    rig.live.link().portIndex = 1;
    rig.search();
    EXPECT_FALSE(rig.live.link().connected);
    EXPECT_EQ(rig.live.link().modelCode, 860);
    EXPECT_EQ(rig.live.link().portIndex, 1);
    EXPECT_EQ(rig.view.selected, 1);
    EXPECT_EQ(rig.view.device, quiet2->devicePath());
    EXPECT_EQ(rig.view.state, QStringLiteral("Off Connection"));
    EXPECT_FALSE(rig.view.rs232);
}

TEST(LoggerSearch, NoPortsAtAll) {
    SearchRig rig({});
    rig.search();
    EXPECT_EQ(rig.view.state, QStringLiteral("Off Connection"));
    EXPECT_TRUE(rig.view.progress.isEmpty());
    EXPECT_TRUE(rig.waitTicking()); // it ticks, sending nothing
    EXPECT_FALSE(rig.comm1.active());
}

TEST(LiveLinkWithLogger, LiveFramesWatchdogAndReconnect) {
    auto logger = startSim(860);
    SearchRig rig({logger->devicePath()});
    rig.search();
    pumpingWaitWhile([&] { return rig.view.lcdRefreshes == 0; }, kEventDeadlineMs);
    EXPECT_GE(rig.view.lcdRefreshes, 1);
    // The sim shows 23.4 C with 4 battery and 2 memory steps by default.
    EXPECT_EQ(rig.view.lastLcd.digitCodes[4], 2);
    EXPECT_EQ(rig.view.lastLcd.digitCodes[5], 3);
    EXPECT_EQ(rig.view.lastLcd.digitCodes[6], 4);

    // Unplugged: three silent ticks, then polling with the wake byte.
    logger->setSilent(true);
    pumpingWaitWhile([&] { return rig.live.link().connected; }, kEventDeadlineMs);
    EXPECT_EQ(rig.view.state, QStringLiteral("Off Connection"));
    logger->clearLog();
    pumpingWaitWhile([&] { return logger->receivedCommands().count(QByteArray("\xEF\x41\xFE", 3)) < 2; },
                     kEventDeadlineMs);
    const auto sent = logger->receivedCommands();
    ASSERT_GE(sent.size(), 2);
    // Every request (but one cut in half by clearing the log) follows a wake byte.
    int requests = 0;
    for (int i = 1; i < sent.size(); ++i) {
        if (sent[i] == QByteArray("\xEF\x41\xFE", 3)) {
            ++requests;
            EXPECT_EQ(sent[i - 1], QByteArray(1, '\0')) << i;
        }
    }
    EXPECT_GE(requests, 1);

    logger->setSilent(false);
    pumpingWaitWhile([&] { return !rig.live.link().connected; }, kEventDeadlineMs);
    EXPECT_EQ(rig.view.state, QStringLiteral("On Connection"));
}

TEST(LiveLinkWithLogger, FirmwareVersionFromTheLogger) {
    auto logger = startSim(862);
    logger->setFirmwareText("V1.02.003");
    SearchRig rig({logger->devicePath()});
    rig.search();
    QString shown = QStringLiteral("unset");
    setDialogRunner([&](QDialog& d) {
        if (auto* fv = qobject_cast<TfrmFV*>(&d)) shown = fv->version();
        return int(QDialog::Accepted);
    });
    FirmwareCommand command(rig.live, nullptr);
    command.run();
    pumpingWaitWhile([&] { return command.running(); }, kEventDeadlineMs);
    setDialogRunner({});
    EXPECT_EQ(shown, QStringLiteral("V1.02.003"));
    EXPECT_TRUE(rig.waitTicking());
    // Live frames resume afterwards.
    const int before = rig.view.lcdRefreshes;
    pumpingWaitWhile([&] { return rig.view.lcdRefreshes == before; }, kEventDeadlineMs);
    EXPECT_GT(rig.view.lcdRefreshes, before);
}

TEST(LiveLinkWithLogger, PortChooserSwitchesPorts) {
    auto a = startSim(860);
    auto b = startSim(860);
    SearchRig rig({a->devicePath(), b->devicePath()});
    rig.search();
    ASSERT_TRUE(rig.waitTicking());
    rig.live.ComboBoxDeviceNameChange(1);
    EXPECT_EQ(rig.live.link().portIndex, 1);
    EXPECT_EQ(rig.comm1.deviceName(), b->devicePath());
    EXPECT_TRUE(rig.comm1.active());
    b->clearLog();
    pumpingWaitWhile([&] { return b->liveRequests() == 0; }, kEventDeadlineMs);
    EXPECT_GT(b->liveRequests(), 0);
}

TEST(LiveLinkWithLogger, PortPickedWhileThePollWaitsAfterItsWakeByteSwitchesAtOnce) {
    auto a = startSim(860);
    a->setSilent(true);
    auto b = startSim(860);
    b->setSilent(true);
    SearchRig rig({a->devicePath(), b->devicePath()});
    rig.search();
    ASSERT_FALSE(rig.live.link().connected);
    // The user picks port 1 right after a wake byte went out on port 0.
    bool picked = false;
    QTimer picker;
    QObject::connect(&picker, &QTimer::timeout, [&] {
        const auto sent = a->receivedCommands();
        if (sent.isEmpty() || sent.last() != QByteArray(1, '\0')) return;
        picker.stop();
        b->clearLog();
        rig.live.ComboBoxDeviceNameChange(1);
        picked = true;
    });
    picker.start(2);
    pumpingWaitWhile([&] { return b->liveRequests() == 0; }, kEventDeadlineMs);
    EXPECT_TRUE(picked);
    EXPECT_EQ(rig.live.link().portIndex, 1);
    EXPECT_EQ(rig.comm1.deviceName(), b->devicePath());
    EXPECT_TRUE(rig.comm1.active());
    EXPECT_GT(b->liveRequests(), 0);
}

TEST(LoggerSearch, EndingTheLinkStopsTheSearchAndNothingStartsAgain) {
    auto quiet = startSim(860);
    quiet->setSilent(true);
    auto logger = startSim(862);
    SearchRig rig({quiet->devicePath(), logger->devicePath()});
    QTimer::singleShot(300, [&] { rig.live.endLink(); });
    rig.search(); // ends at once, without a word
    EXPECT_TRUE(rig.live.ended());
    EXPECT_TRUE(logger->receivedCommands().isEmpty());
    EXPECT_FALSE(rig.live.ticking());
    EXPECT_EQ(rig.view.ports.size(), 2); // no port was dropped for it
    // A port change does nothing any more.
    const int before = quiet->receivedCommands().size();
    rig.live.ComboBoxDeviceNameChange(1);
    pumpingWait(1500);
    EXPECT_EQ(quiet->receivedCommands().size(), before);
    EXPECT_NE(rig.comm1.deviceName(), logger->devicePath());
    EXPECT_FALSE(rig.comm1.active());
}

TEST(LiveLinkWithLogger, SetupGateLendsThePortAndTakesItBack) {
    auto logger = startSim(860);
    SearchRig rig({logger->devicePath()});
    rig.search();
    ASSERT_TRUE(rig.waitTicking());
    bool tickingDuringDialog = true, liveLinesDuringDialog = true, ran = false, lentDuringDialog = false;
    setDialogRunner([&](QDialog& d) {
        auto* setup = qobject_cast<TfrmSetup*>(&d);
        ran = setup != nullptr;
        if (!setup) return int(QDialog::Rejected);
        setup->show();
        // Until the dialog's clock polling has the port.
        const DeviceJob* live = &rig.live;
        pumpingWaitWhile(
            [&] {
                return rig.session.idleTop() == live || !rig.session.idleRunning(rig.session.idleTop()) ||
                       setup->busy();
            },
            kEventDeadlineMs);
        tickingDuringDialog = rig.live.ticking();
        liveLinesDuringDialog = rig.comm1.dtrOn(); // the setup port has DTR off
        lentDuringDialog = rig.live.lent();
        setup->hide();
        return int(QDialog::Rejected);
    });
    SetupCommand(rig.live, nullptr).run();
    setDialogRunner({});
    EXPECT_TRUE(ran);
    EXPECT_FALSE(tickingDuringDialog);
    EXPECT_FALSE(liveLinesDuringDialog);
    EXPECT_TRUE(lentDuringDialog);
    EXPECT_TRUE(rig.waitTicking());
    EXPECT_TRUE(rig.comm1.active());
    EXPECT_TRUE(rig.comm1.dtrOn());
}

TEST(LiveLinkWithLogger, BaudRateAndComPortMenus) {
    auto logger = startSim(860);
    SearchRig rig({logger->devicePath()});
    rig.search();
    ASSERT_TRUE(rig.waitTicking());
    rig.live.changeBaudRate(9600, 300);
    EXPECT_EQ(rig.comm1.baudRate(), 9600);
    EXPECT_TRUE(rig.waitTicking());
    EXPECT_TRUE(rig.comm1.active());
    rig.live.changeBaudRate(19200, 0);
    EXPECT_TRUE(rig.waitTicking());
    EXPECT_TRUE(rig.comm1.active());

    rig.live.comPortMenu(3);
    EXPECT_TRUE(rig.waitTicking());
    EXPECT_EQ(rig.live.link().portIndex, 2);
    EXPECT_EQ(rig.comm1.deviceName(), logger->devicePath()); // the device stays
    EXPECT_TRUE(rig.comm1.active());
    EXPECT_EQ(rig.view.state, QStringLiteral("On Connection"));
}

TEST(LiveLinkWithLogger, GarbageOnTheWireDoesNotStopTheLink) {
    auto logger = startSim(862);
    SearchRig rig({logger->devicePath()});
    rig.search();
    ASSERT_TRUE(rig.live.link().connected);
    // From now on every reply comes behind a burst of noise full of start marks.
    QByteArray noise;
    for (int i = 0; i < 3000; ++i)
        noise.append(char(i % 3 == 0 ? 0xEF : (i * 37) & 0xFF));
    logger->setGarbageBefore(noise);
    const int before = rig.view.lcdRefreshes;
    pumpingWaitWhile([&] { return rig.view.lcdRefreshes < before + 2; }, kEventDeadlineMs);
    EXPECT_GE(rig.view.lcdRefreshes, before + 2);
    EXPECT_TRUE(rig.live.link().connected);
    EXPECT_LT(rig.live.link().rxBuffer.size(), rig.live.link().frameLength);
    EXPECT_EQ(rig.view.lastLcd.digitCodes[6], 4); // still 23.4
}
