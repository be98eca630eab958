#pragma once

#include <QList>
#include <QRect>

class QMdiArea;
class QMdiSubWindow;
class QWidget;

namespace tq {

// How the graph windows sit in the main window's work area (an MDI area
// that scrolls). Windows are sized from the area they live in, never below
// what they need to stay usable; where they do not fit, the area scrolls,
// and the main window keeps its size.

// The least size a window keeps: what its contents need, and never less
// than kUsableSize.
QSize usableSize(const QMdiSubWindow* window);
inline constexpr QSize kUsableSize(360, 260);

// n windows side by side: as many columns as leave each at least
// minimum.width() (up to a square grid), rows at least minimum.height();
// the last row shares the width among the windows it holds.
QList<QRect> tileRects(const QSize& area, int n, const QSize& minimum);
// n windows overlapping, each `step` right of and below the one before,
// as large as the area leaves room for, at least minimum.
QList<QRect> cascadeRects(const QSize& area, int n, const QSize& minimum, int step);
// A new window at the top left: its preferred width (the area's when
// fullWidth) as far as the area allows, the area's height less 50 pixels,
// and at least minimum.
QRect newWindowRect(const QSize& area, int preferredWidth, const QSize& minimum, bool fullWidth);

// Puts a window just added to the area (and shown) where newWindowRect says;
// from then on it grows when its contents come to need more room.
void placeNewWindow(QMdiArea* area, QMdiSubWindow* window, int preferredWidth, bool fullWidth);
// Adds widget to the area as a window that is freed when closed, shows it
// and places it as placeNewWindow does.
QMdiSubWindow* addAreaWindow(QMdiArea* area, QWidget* widget, int preferredWidth, bool fullWidth);

// Window > Tile and Window > Cascade over the area's windows that are not
// minimized (maximized ones are restored first).
void tileWindows(QMdiArea* area);
void cascadeWindows(QMdiArea* area);

} // namespace tq
