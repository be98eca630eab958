#include "CommandGuard.h"
#include "Deadline.h"
#include "PortNames.h"
#include "PtyPair.h"
#include "PumpingWait.h"
#include "TComPort.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QThread>
#include <ctime>
#include <grp.h>
#include <gtest/gtest.h>
#include <memory>
#include <thread>
#include <unistd.h>

using namespace tq;

namespace {
// The main window's handlers: every port error is a silent abort.
void abortOnError(TComPort& port) {
    port.setOnError(TComPort::abortSilently);
}
} // namespace

TEST(TComPort, OpenReadWriteAndCount) {
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    TComPort port;
    port.setDeviceName(pty.slavePath());
    port.setBaudRate(19200);
    port.setDtrControl(TComPort::DtrControl::Enable);
    port.setRtsControl(TComPort::RtsControl::Disable);
    port.open(); // modem lines a pseudo-terminal lacks are no error
    ASSERT_TRUE(port.active());
    EXPECT_TRUE(port.dtrOn());
    EXPECT_FALSE(port.rtsOn());

    port.write(QByteArray("\xEF\x41\xFE", 3));
    EXPECT_EQ(pty.receive(3, kEventDeadlineMs), QByteArray("\xEF\x41\xFE", 3));

    pty.send("hello");
    // The bytes come in with the read notifications of the event loop.
    pumpingWaitWhile([&] { return port.inputCount() < 5; }, kEventDeadlineMs);
    EXPECT_EQ(port.inputCount(), 5);
    EXPECT_EQ(port.read(3), QByteArray("hel"));
    EXPECT_EQ(port.inputCount(), 2);
    EXPECT_EQ(port.read(0), QByteArray());
    EXPECT_EQ(port.read(10), QByteArray("lo"));

    // Setting the same name while open is allowed; another name is not.
    port.setDeviceName(pty.slavePath());
    try {
        port.setDeviceName(QStringLiteral("/dev/null-other"));
        FAIL() << "renaming an open port must fail";
    } catch (const EComError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Can't perform this operation on an open port"));
    }
    port.close();
    EXPECT_FALSE(port.active());
}

TEST(TComPort, PurgeDropsWaitingInput) {
    PtyPair pty;
    TComPort port;
    port.setDeviceName(pty.slavePath());
    port.open();
    pty.send("garbage");
    pumpingWaitWhile([&] { return port.inputCount() < 7; }, kEventDeadlineMs);
    EXPECT_EQ(port.inputCount(), 7);
    port.purgeInput();
    EXPECT_EQ(port.inputCount(), 0);
    port.purgeOutput(); // nothing pending; must not fail
    port.close();
    port.purgeInput(); // closed: does nothing
}

TEST(TComPort, ClosedPortOperationsRaiseTheFixedMessage) {
    TComPort port;
    for (auto op : {0, 1, 2}) {
        try {
            if (op == 0)
                port.inputCount();
            else if (op == 1)
                port.read(1);
            else
                port.write("x");
            FAIL() << "operation " << op << " on a closed port must raise";
        } catch (const EComError& e) {
            EXPECT_EQ(e.message(), QStringLiteral("Can't perform this operation on a closed port"));
        }
    }
    // With the program's handler it is a silent abort instead.
    abortOnError(port);
    EXPECT_THROW(port.read(1), SilentAbort);
    EXPECT_FALSE(guarded([&] { port.write("x"); }));
}

TEST(TComPort, OpeningAMissingDeviceEndsSilently) {
    TComPort port;
    abortOnError(port);
    port.setDeviceName(QStringLiteral("/dev/tq880-no-such-port"));
    int errors = 0;
    port.setOnError([&](TComPort&, const EComError&, TComPort::ErrorAction& action) {
        ++errors;
        action = TComPort::ErrorAction::Abort;
    });
    EXPECT_THROW(port.open(), SilentAbort);
    EXPECT_FALSE(port.active());
    EXPECT_EQ(errors, 1);
    // Without a handler the error itself comes out.
    port.setOnError({});
    EXPECT_THROW(port.open(), EComError);
}

TEST(TComPort, RxEventsAndDetaching) {
    PtyPair pty;
    TComPort port;
    port.setDeviceName(pty.slavePath());
    port.open();
    QByteArray got;
    int events = 0;
    port.setOnRxChar([&] {
        ++events;
        got += port.read(port.inputCount());
    });
    pty.send("abc");
    pumpingWaitWhile([&] { return got.size() < 3; }, kEventDeadlineMs);
    EXPECT_EQ(got, QByteArray("abc"));
    EXPECT_GE(events, 1);

    // Detached: no more events, bytes keep waiting for a poll.
    port.setOnRxChar({});
    const int before = events;
    pty.send("xyz");
    pumpingWaitWhile([&] { return port.inputCount() < 3; }, kEventDeadlineMs);
    pumpingWait(100);
    EXPECT_EQ(events, before);
    EXPECT_EQ(port.inputCount(), 3);
    EXPECT_EQ(port.read(3), QByteArray("xyz"));
}

TEST(TComPort, HandlerThatReadsInSlicesGetsTheRest) {
    PtyPair pty;
    TComPort port;
    port.setDeviceName(pty.slavePath());
    port.open();
    QByteArray got;
    port.setOnRxChar([&] { got += port.read(qMin(port.inputCount(), 4)); });
    pty.send(QByteArray(30, 'z'));
    pumpingWaitWhile([&] { return got.size() < 30; }, kEventDeadlineMs);
    EXPECT_EQ(got.size(), 30);
}

TEST(TComPort, ErrorInsideHandlerStaysOutOfTheEventLoop) {
    PtyPair pty;
    TComPort port;
    abortOnError(port);
    port.setDeviceName(pty.slavePath());
    port.open();
    int calls = 0;
    port.setOnRxChar([&] {
        ++calls;
        port.read(port.inputCount());
        throw SilentAbort();
    });
    pty.send("1");
    pumpingWaitWhile([&] { return calls == 0; }, kEventDeadlineMs);
    pty.send("2");
    pumpingWaitWhile([&] { return calls < 2; }, kEventDeadlineMs);
    EXPECT_EQ(calls, 2); // the port still delivers after a failed handler
}

TEST(TComPort, RemovedDeviceClosesThePortQuietly) {
    auto pty = std::make_unique<PtyPair>();
    TComPort port;
    abortOnError(port);
    port.setDeviceName(pty->slavePath());
    port.open();
    port.setOnRxChar([&] { port.read(port.inputCount()); });
    pty.reset(); // the device goes away
    pumpingWaitWhile([&] { return port.active(); }, kEventDeadlineMs);
    EXPECT_FALSE(port.active());
}

TEST(TComPort, TheDeviceGoingAwayClosesThePortAndSaysSo) {
    auto pty = std::make_unique<PtyPair>();
    TComPort port;
    abortOnError(port);
    port.setDeviceName(pty->slavePath());
    port.open();
    QString why;
    bool lost = false;
    QObject::connect(&port, &TComPort::deviceLost, [&](const QString& text) {
        lost = true;
        why = text;
    });
    pty->send("ab");
    pumpingWaitWhile([&] { return port.inputCount() < 2; }, kEventDeadlineMs);
    EXPECT_EQ(port.read(port.inputCount()), QByteArray("ab"));
    pty.reset();
    pumpingWaitWhile([&] { return !lost; }, kEventDeadlineMs);
    EXPECT_TRUE(lost);
    EXPECT_FALSE(port.active());
    EXPECT_THROW(port.inputCount(), SilentAbort); // closed port
}

TEST(TComPort, APortThatCannotBeOpenedSaysWhatToDo) {
    // Permission: the group that owns the device is named (dialout when root owns it).
    QTemporaryDir dir;
    const QString device = dir.filePath(QStringLiteral("ttyFake"));
    QFile(device).open(QIODevice::WriteOnly);
    if (const group* g = ::getgrnam("dialout")) [[maybe_unused]]
        const int r = ::chown(qPrintable(device), uid_t(-1), g->gr_gid);
    QString owner = QFileInfo(device).group();
    if (owner.isEmpty() || owner == QLatin1String("root")) owner = QStringLiteral("dialout");
    const QString denied =
        portOpenProblem(device, QSerialPort::PermissionError, QStringLiteral("Permission denied"));
    EXPECT_TRUE(denied.contains(QStringLiteral("group that owns it (%1)").arg(owner)))
        << denied.toStdString();
    EXPECT_TRUE(denied.contains(QStringLiteral("sudo adduser $USER %1").arg(owner))) << denied.toStdString();
    // Held by another program, whether by a lock or an exclusive open.
    for (const char* words : {"Device or resource busy", "Permission error while locking the device"})
        EXPECT_EQ(portOpenProblem(QStringLiteral("/dev/ttyUSB0"), QSerialPort::PermissionError,
                                  QString::fromLatin1(words)),
                  QStringLiteral(
                      "/dev/ttyUSB0 is in use by another program; close that program and search again."));
    EXPECT_EQ(portOpenProblem(QStringLiteral("/dev/ttyUSB9"), QSerialPort::DeviceNotFoundError,
                              QStringLiteral("x")),
              QStringLiteral("/dev/ttyUSB9 does not exist (was it unplugged?)."));
    // What a session says when it cannot open a missing device.
    TComPort port;
    port.setDeviceName(QStringLiteral("/dev/tq880-no-such-port"));
    try {
        port.open();
        FAIL() << "a missing device opened";
    } catch (const EComError& e) {
        EXPECT_EQ(portOpenProblem(port.deviceName(), e.code(), e.message()),
                  QStringLiteral("/dev/tq880-no-such-port does not exist (was it unplugged?)."));
    }
}
