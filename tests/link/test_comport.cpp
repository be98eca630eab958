#include "CommandGuard.h"
#include "Deadline.h"
#include "PtyPair.h"
#include "PumpingWait.h"
#include "TComPort.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <ctime>
#include <gtest/gtest.h>
#include <memory>
#include <thread>

using namespace tq;

namespace {
// The main window's handlers: every port error is a silent abort.
void abortOnError(TComPort& port) {
    port.setOnError(TComPort::abortSilently);
}
} // namespace

TEST(TComPort, OpenReadWriteAndCountWithoutEvents) {
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
    // No event processing: the count must still see the bytes.
    QElapsedTimer t;
    t.start();
    int n = 0;
    while ((n = port.inputCount()) < 5 && t.elapsed() < kEventDeadlineMs)
        QThread::msleep(5);
    EXPECT_EQ(n, 5);
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
    QElapsedTimer t;
    t.start();
    while (port.inputCount() < 7 && t.elapsed() < kEventDeadlineMs)
        QThread::msleep(5);
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

namespace {
qint64 threadCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return qint64(ts.tv_sec) * 1000 + ts.tv_nsec / 1'000'000;
}
} // namespace

TEST(TComPort, WaitForInputSleepsUntilBytesOrTheTimeLimit) {
    auto pty = std::make_unique<PtyPair>();
    TComPort port;
    abortOnError(port);
    port.setDeviceName(pty->slavePath());
    port.open();

    // Silence: the whole limit passes, asleep.
    QElapsedTimer clock;
    clock.start();
    const qint64 cpuBefore = threadCpuMs();
    EXPECT_EQ(port.waitForInput(400), 0);
    EXPECT_GE(clock.elapsed(), 395);
    EXPECT_LT(threadCpuMs() - cpuBefore, 100);

    // Bytes sent from another thread end the wait long before its limit.
    std::thread device([&] {
        QThread::msleep(100);
        pty->send("ab");
    });
    clock.start();
    EXPECT_GE(port.waitForInput(20000), 1);
    EXPECT_LT(clock.elapsed(), 15000);
    device.join();
    EXPECT_GE(port.inputCount(), 1);
    // Bytes already waiting answer at once, without events having run.
    QThread::msleep(50);
    EXPECT_GE(port.waitForInput(0), 1);
    EXPECT_EQ(port.read(port.inputCount()), QByteArray("ab"));

    // The device going away mid-wait ends it silently and closes the port.
    std::thread unplug([&] {
        QThread::msleep(100);
        pty.reset();
    });
    EXPECT_THROW(port.waitForInput(20000), SilentAbort);
    unplug.join();
    EXPECT_FALSE(port.active());
    EXPECT_THROW(port.waitForInput(10), SilentAbort); // closed port
}
