#include "CommandGuard.h"
#include "Deadline.h"
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
    TComPort comm1;
    FakeLinkView view;
    LiveLink live{&comm1, &view};
    explicit SearchRig(const QStringList& ports) {
        comm1.setOnError(TComPort::abortSilently);
        view.ports = ports;
    }
    ~SearchRig() { live.MainTimer()->stop(); }
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
    rig.live.searchLogger();
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
    rig.live.searchLogger();
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
    rig.live.searchLogger();
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
    rig.live.searchLogger();
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
    rig.live.searchLogger();
    rig.live.startLink();
    EXPECT_EQ(rig.view.state, QStringLiteral("Off Connection"));
    EXPECT_TRUE(rig.view.progress.isEmpty());
    EXPECT_FALSE(rig.comm1.active());
    EXPECT_TRUE(rig.live.MainTimer()->isActive()); // it ticks, sending nothing
    rig.live.MainTimerTimer();
    EXPECT_FALSE(rig.live.link().timerBusy);
}

TEST(LiveLinkWithLogger, LiveFramesWatchdogAndReconnect) {
    auto logger = startSim(860);
    SearchRig rig({logger->devicePath()});
    rig.live.searchLogger();
    rig.live.startLink();
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
    rig.live.searchLogger();
    rig.live.startLink();
    QString shown = QStringLiteral("unset");
    setDialogRunner([&](QDialog& d) {
        if (auto* fv = qobject_cast<TfrmFV*>(&d)) shown = fv->version();
        return int(QDialog::Accepted);
    });
    FirmwareCommand(rig.live, nullptr).run();
    setDialogRunner({});
    EXPECT_EQ(shown, QStringLiteral("V1.02.003"));
    EXPECT_TRUE(rig.live.MainTimer()->isActive());
    // Live frames resume afterwards.
    const int before = rig.view.lcdRefreshes;
    pumpingWaitWhile([&] { return rig.view.lcdRefreshes == before; }, kEventDeadlineMs);
    EXPECT_GT(rig.view.lcdRefreshes, before);
}

TEST(LiveLinkWithLogger, PortChooserSwitchesPorts) {
    auto a = startSim(860);
    auto b = startSim(860);
    SearchRig rig({a->devicePath(), b->devicePath()});
    rig.live.searchLogger();
    rig.live.startLink();
    rig.live.ComboBoxDeviceNameChange(1);
    EXPECT_EQ(rig.live.link().portIndex, 1);
    EXPECT_EQ(rig.comm1.deviceName(), b->devicePath());
    EXPECT_TRUE(rig.comm1.active());
    b->clearLog();
    pumpingWaitWhile([&] { return b->liveRequests() == 0; }, kEventDeadlineMs);
    EXPECT_GT(b->liveRequests(), 0);
}

TEST(LiveLinkWithLogger, PortPickedDuringTheTicksWaitIsTakenOnceTheTickIsDone) {
    auto a = startSim(860);
    a->setSilent(true);
    auto b = startSim(860);
    b->setSilent(true);
    SearchRig rig({a->devicePath(), b->devicePath()});
    rig.live.searchLogger();
    rig.live.startLink();
    ASSERT_FALSE(rig.live.link().connected);
    // The user picks port 1 while a tick waits after its wake byte.
    bool pickedInsideTheTick = false;
    QTimer picker;
    QObject::connect(&picker, &QTimer::timeout, [&] {
        if (!rig.live.link().timerBusy) return;
        picker.stop();
        a->clearLog();
        b->clearLog();
        rig.live.ComboBoxDeviceNameChange(1);
        pickedInsideTheTick = rig.live.link().timerBusy;
    });
    picker.start(2);
    pumpingWaitWhile([&] { return b->liveRequests() == 0; }, kEventDeadlineMs);
    EXPECT_TRUE(pickedInsideTheTick);
    // The tick finished on the old port: its wake byte got its request ...
    const auto onA = a->receivedCommands();
    ASSERT_FALSE(onA.isEmpty());
    EXPECT_EQ(onA.count(QByteArray("\xEF\x41\xFE", 3)), 1);
    EXPECT_EQ(onA.last(), QByteArray("\xEF\x41\xFE", 3));
    // ... and the new port is the live port from then on.
    EXPECT_EQ(rig.live.link().portIndex, 1);
    EXPECT_EQ(rig.comm1.deviceName(), b->devicePath());
    EXPECT_TRUE(rig.comm1.active());
    EXPECT_GT(b->liveRequests(), 0);
    EXPECT_FALSE(rig.live.link().timerBusy);
}

TEST(LoggerSearch, EndingTheLinkStopsTheSearchAndNothingStartsAgain) {
    auto quiet = startSim(860);
    quiet->setSilent(true);
    auto logger = startSim(862);
    SearchRig rig({quiet->devicePath(), logger->devicePath()});
    QTimer::singleShot(100, [&] { rig.live.endLink(); });
    // The search gives up at its next wait, without a word.
    EXPECT_FALSE(guarded([&] {
        rig.live.searchLogger();
        rig.live.startLink();
    }));
    EXPECT_TRUE(rig.live.ended());
    EXPECT_TRUE(logger->receivedCommands().isEmpty());
    EXPECT_FALSE(rig.live.MainTimer()->isActive());
    EXPECT_EQ(rig.view.ports.size(), 2); // no port was dropped for it
    // Neither a tick nor a port change does anything any more.
    const int before = quiet->receivedCommands().size();
    rig.live.MainTimerTimer();
    rig.live.ComboBoxDeviceNameChange(1);
    pumpingWait(100);
    EXPECT_EQ(quiet->receivedCommands().size(), before);
    EXPECT_NE(rig.comm1.deviceName(), logger->devicePath());
}

TEST(LiveLinkWithLogger, SetupGateLendsThePortAndTakesItBack) {
    auto logger = startSim(860);
    SearchRig rig({logger->devicePath()});
    rig.live.searchLogger();
    rig.live.startLink();
    bool timerDuringDialog = true, liveDuringDialog = true, ran = false;
    setDialogRunner([&](QDialog& d) {
        ran = qobject_cast<TfrmSetup*>(&d) != nullptr;
        timerDuringDialog = rig.live.MainTimer()->isActive();
        liveDuringDialog = rig.comm1.active(); // the setup dialog has the device to itself
        return int(QDialog::Rejected);
    });
    SetupCommand(rig.live, nullptr).run();
    setDialogRunner({});
    EXPECT_TRUE(ran);
    EXPECT_FALSE(timerDuringDialog);
    EXPECT_FALSE(liveDuringDialog);
    EXPECT_TRUE(rig.comm1.active());
    EXPECT_TRUE(rig.comm1.hasOnRxChar());
    EXPECT_TRUE(rig.live.MainTimer()->isActive());
}

TEST(LiveLinkWithLogger, BaudRateAndComPortMenus) {
    auto logger = startSim(860);
    SearchRig rig({logger->devicePath()});
    rig.live.searchLogger();
    rig.live.startLink();
    rig.live.changeBaudRate(9600, 300);
    EXPECT_EQ(rig.comm1.baudRate(), 9600);
    EXPECT_TRUE(rig.comm1.active());
    rig.live.changeBaudRate(19200, 0);
    EXPECT_TRUE(rig.comm1.active());

    rig.live.comPortMenu(3);
    EXPECT_EQ(rig.live.link().portIndex, 2);
    EXPECT_EQ(rig.comm1.deviceName(), logger->devicePath()); // the device stays
    EXPECT_TRUE(rig.comm1.active());
    EXPECT_EQ(rig.view.state, QStringLiteral("On Connection"));
}

TEST(LiveLinkWithLogger, GarbageOnTheWireDoesNotStopTheLink) {
    auto logger = startSim(862);
    SearchRig rig({logger->devicePath()});
    rig.live.searchLogger();
    ASSERT_TRUE(rig.live.link().connected);
    // From now on every reply comes behind a burst of noise full of start marks.
    QByteArray noise;
    for (int i = 0; i < 3000; ++i)
        noise.append(char(i % 3 == 0 ? 0xEF : (i * 37) & 0xFF));
    logger->setGarbageBefore(noise);
    rig.live.startLink();
    const int before = rig.view.lcdRefreshes;
    pumpingWaitWhile([&] { return rig.view.lcdRefreshes < before + 2; }, kEventDeadlineMs);
    EXPECT_GE(rig.view.lcdRefreshes, before + 2);
    EXPECT_TRUE(rig.live.link().connected);
    EXPECT_LT(rig.live.link().rxBuffer.size(), rig.live.link().frameLength);
    EXPECT_EQ(rig.view.lastLcd.digitCodes[6], 4); // still 23.4
}
