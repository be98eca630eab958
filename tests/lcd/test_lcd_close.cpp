#include "LcdTestSupport.h"

#include <QCoreApplication>
#include <QPointer>
#include <gtest/gtest.h>

using namespace tq;
using namespace tq::test;

namespace {

void deleteDeferred() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

TEST(LcdClose, ClosesAtOnceAndFreesItself) {
    QPointer<TfrmLCD> window = new TfrmLCD;
    window->show();
    EXPECT_TRUE(window->close());
    deleteDeferred();
    EXPECT_TRUE(window.isNull()) << "the window frees itself on close";
}
