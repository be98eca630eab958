#pragma once

#include "Chart.h"

#include <DateTime.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

#include <cmath>
#include <vector>

namespace tq::testing {

// Midnight of 14 March 2024 as a day count.
inline double dayStart() {
    return toDays(QDate(2024, 3, 14), QTime(0, 0));
}

// A day of 2-second samples in series 0 (a slow sine around 20).
inline void fillDay(Chart& chart, int n = 43200) {
    chart.setPoints(n);
    std::vector<double> x(n);
    std::vector<float> y(n);
    for (int i = 0; i < n; ++i) {
        x[i] = dayStart() + i * 2.0 / 86400.0;
        y[i] = 20.0f + 5.0f * float(std::sin(i / 3000.0));
    }
    chart.setXData(x.data(), n);
    chart.setYData(y.data(), n);
}

// A chart on screen (offscreen platform) with its layout settled.
inline void showChart(Chart& chart, QSize size = QSize(900, 500)) {
    chart.resize(size);
    chart.show();
    chart.redraw();
    QApplication::processEvents();
}

// The events a real double click brings: QTest::mouseDClick alone sends
// only the double-click event and leaves the button down.
inline void doubleClick(QWidget* w, const QPoint& pos) {
    QTest::mousePress(w, Qt::LeftButton, {}, pos);
    QTest::mouseRelease(w, Qt::LeftButton, {}, pos);
    QTest::mouseDClick(w, Qt::LeftButton, {}, pos);
    QTest::mouseRelease(w, Qt::LeftButton, {}, pos);
}

// A pointer move with no button down (QTest moves the system cursor for
// that, which the offscreen platform does not report).
inline void hover(QWidget* w, const QPoint& pos) {
    QMouseEvent move(QEvent::MouseMove, QPointF(pos), QPointF(w->mapToGlobal(pos)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}

} // namespace tq::testing
