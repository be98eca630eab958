// The main window's work area with several graph windows, at the sizes of
// small screens (QT_SCALE_FACTOR=2 on a 1600x1000 screen leaves an 800x500
// main window in the program's own pixels).

#include "AppPaths.h"
#include "Chart.h"
#include "DataLoggerWindow.h"
#include "TfrmGraph.h"
#include "TfrmMain.h"
#include "WorkArea.h"

#include <QCoreApplication>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QToolBar>
#include <gtest/gtest.h>

using namespace tq;

namespace {

struct Home {
    QTemporaryDir dir;
    Home() { AppPaths::setHome(dir.path()); }
    ~Home() { AppPaths::setHome(QString()); }
};

// The main window at `size` with the DataLogger window and `others` more
// graph windows, as start-up and File > Open place them.
void fill(TfrmMain& w, const QSize& size, int others) {
    w.resize(size);
    w.show();
    QCoreApplication::processEvents();
    createDataLoggerWindow(w.mdiArea(), kModel862, false);
    for (int k = 0; k < others; ++k) {
        auto* g = new TfrmGraph(kModel860);
        g->setWindowTitle(QStringLiteral("run%1.ghf").arg(k));
        addGraphWindow(w.mdiArea(), g, true);
    }
    QCoreApplication::processEvents();
}

int chartHeight(QMdiSubWindow* sub) {
    return sub->widget()->findChild<Chart*>(QStringLiteral("PESGraph1"))->height();
}

// Where a control of a window lies in the work area's scrollable extent.
QRect inArea(QWidget* control, QMdiArea* area) {
    return QRect(control->mapTo(area->viewport(), QPoint(0, 0)), control->size());
}

} // namespace

TEST(WorkArea, TileAndCascadeOfFiveWindowsKeepTheMainWindowAndUsableWindows) {
    Home home;
    for (const QSize& size : {QSize(1600, 1000), QSize(800, 500)}) {
        TfrmMain w({});
        fill(w, size, 4);
        QMdiArea* area = w.mdiArea();
        const QSize mainSize = w.size();
        for (const bool tile : {true, false}) {
            SCOPED_TRACE(QStringLiteral("%1 at %2x%3")
                             .arg(tile ? "Tile" : "Cascade")
                             .arg(size.width())
                             .arg(size.height())
                             .toStdString());
            tile ? w.Tile1Click() : w.Cascade1Click();
            QCoreApplication::processEvents();
            EXPECT_EQ(w.size(), mainSize);
            const auto windows = area->subWindowList();
            ASSERT_EQ(windows.size(), 5);
            int lowest = 0;
            for (QMdiSubWindow* sub : windows) {
                EXPECT_GE(sub->width(), usableSize(sub).width());
                EXPECT_GE(sub->height(), usableSize(sub).height());
                EXPECT_GE(chartHeight(sub), 150);
                lowest = qMax(lowest, sub->geometry().bottom());
                if (tile) {
                    for (QMdiSubWindow* other : windows)
                        EXPECT_TRUE(other == sub || !other->geometry().intersects(sub->geometry()));
                }
            }
            // What does not fit is reached by scrolling the area.
            if (lowest >= area->viewport()->height()) {
                EXPECT_GT(area->verticalScrollBar()->maximum(), 0);
            }
        }
    }
}

TEST(WorkArea, TheDataLoggerWindowFitsSmallMainWindowsWithItsControlsReachable) {
    Home home;
    for (const QSize& size : {QSize(800, 500), QSize(800, 600), QSize(640, 480)}) {
        SCOPED_TRACE(QStringLiteral("%1x%2").arg(size.width()).arg(size.height()).toStdString());
        TfrmMain w({});
        fill(w, size, 0);
        QMdiArea* area = w.mdiArea();
        QMdiSubWindow* sub = area->subWindowList().first();
        EXPECT_EQ(w.size(), size);
        // Not past the main window's side; as high as it needs to stay usable.
        EXPECT_LE(sub->geometry().right(), area->viewport()->width() - 1);
        EXPECT_GE(sub->height(), usableSize(sub).height());
        EXPECT_GE(chartHeight(sub), 150);
        const int reach = area->viewport()->height() + area->verticalScrollBar()->maximum();
        for (const char* name :
             {"ToolButton1", "UndoZoom", "Button1", "chkSplit", "chkTextList", "Grid2", "txtCursorBTime"}) {
            auto* control = sub->widget()->findChild<QWidget*>(QLatin1String(name));
            ASSERT_NE(control, nullptr) << name;
            // A tool bar too narrow for its buttons offers the rest behind
            // its extension button.
            if (auto* bar = qobject_cast<QToolBar*>(control->parentWidget()); bar && !control->isVisible())
                control = bar->findChild<QWidget*>(QStringLiteral("qt_toolbar_ext_button"));
            ASSERT_NE(control, nullptr) << name;
            EXPECT_TRUE(control->isVisible()) << name;
            const QRect r = inArea(control, area);
            EXPECT_LE(r.bottom(), reach) << name;
            // Sideways within the window, or within a statistics panel that
            // scrolls to it.
            int across = area->viewport()->width();
            for (QWidget* p = control; p; p = p->parentWidget())
                if (auto* panel = qobject_cast<QScrollArea*>(p))
                    across += panel->horizontalScrollBar()->maximum();
            EXPECT_LE(r.right(), across) << name;
        }
        // The statistics panels' captions and boxes keep their room.
        for (const char* name : {"pnlGraphStatistic", "pnlStatistic"}) {
            auto* panel = sub->widget()->findChild<QScrollArea*>(QLatin1String(name));
            ASSERT_NE(panel, nullptr) << name;
            const auto parts = panel->widget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
            for (int i = 0; i < parts.size(); ++i)
                for (int j = i + 1; j < parts.size(); ++j)
                    EXPECT_FALSE(parts[i]->geometry().intersects(parts[j]->geometry()))
                        << name << " " << i << " " << j;
        }
    }
}
