#include "Deadline.h"
#include "LcdTestSupport.h"

#include "PumpingWait.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <gtest/gtest.h>

using namespace tq;
using namespace tq::test;

namespace {

void deleteDeferred() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

TEST(LcdClose, ClosesAtOnceWhenNoFrameIsBeingDecoded) {
    QPointer<TfrmLCD> window = new TfrmLCD;
    bool receiving = false;
    window->setReceivingProbe([&] { return receiving; });
    window->show();
    EXPECT_TRUE(window->close());
    deleteDeferred();
    EXPECT_TRUE(window.isNull()) << "the window frees itself on close";
}

TEST(LcdClose, WaitsForTheFrameToBeDecodedWhileEventsKeepRunning) {
    QPointer<TfrmLCD> window = new TfrmLCD;
    bool receiving = true;
    bool clearedBeforeClose = false;
    window->setReceivingProbe([&] { return receiving; });
    window->show();
    // The decoding ends from the event loop, which must keep running during the wait.
    QTimer::singleShot(150, [&] { receiving = false; });
    QObject::connect(window, &QObject::destroyed, [&] { clearedBeforeClose = !receiving; });

    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(window->close());
    EXPECT_GE(clock.elapsed(), 100);
    EXPECT_FALSE(receiving);
    deleteDeferred();
    EXPECT_TRUE(window.isNull());
    EXPECT_TRUE(clearedBeforeClose);
}

TEST(LcdClose, SecondRequestDuringTheWaitDoesNotCloseEarly) {
    QPointer<TfrmLCD> window = new TfrmLCD;
    bool receiving = true;
    bool stillThereAfterSecond = false;
    window->setReceivingProbe([&] { return receiving; });
    window->show();
    QTimer::singleShot(50, [&] {
        window->close();
        deleteDeferred();
        stillThereAfterSecond = !window.isNull() && window->isVisible();
    });
    QTimer::singleShot(200, [&] { receiving = false; });

    EXPECT_TRUE(window->close());
    EXPECT_TRUE(stillThereAfterSecond);
    deleteDeferred();
    EXPECT_TRUE(window.isNull());
}

TEST(LcdClose, RequestThatOutwaitsTheDecodingIsRepeatedUntilGranted) {
    QPointer<TfrmLCD> window = new TfrmLCD;
    bool receiving = true;
    window->setReceivingProbe([&] { return receiving; });
    window->show();
    // Longer than one wait: the first request gives up and asks again later.
    EXPECT_FALSE(window->close());
    ASSERT_FALSE(window.isNull());
    EXPECT_TRUE(window->isVisible()) << "refused while a frame is being decoded";
    receiving = false;
    EXPECT_TRUE(pumpingWaitWhile([&] { return !window.isNull(); }, kEventDeadlineMs));
    EXPECT_FALSE(receiving);
}

TEST(LcdClose, OwnerLosingTheWindowDuringTheWaitIsSafe) {
    auto* owner = new QWidget;
    QPointer<TfrmLCD> window = new TfrmLCD(owner);
    bool receiving = true;
    window->setReceivingProbe([&] { return receiving; });
    window->show();
    QTimer::singleShot(50, [&] { delete owner; });

    window->close(); // must return without touching the freed window
    EXPECT_TRUE(window.isNull());
}
