#include "WorkArea.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QStyle>
#include <cmath>
#include <functional>

namespace tq {

namespace {
QList<QMdiSubWindow*> arrangeable(QMdiArea* area, QMdiArea::WindowOrder order) {
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* w : area->subWindowList(order)) {
        if (!w->isVisible() || w->isMinimized()) continue;
        if (w->isMaximized()) w->showNormal();
        windows << w;
    }
    return windows;
}

QSize largestUsable(const QList<QMdiSubWindow*>& windows) {
    QSize size = kUsableSize;
    for (const QMdiSubWindow* w : windows)
        size = size.expandedTo(usableSize(w));
    return size;
}

} // namespace

QSize usableSize(const QMdiSubWindow* window) {
    return window->minimumSizeHint().expandedTo(window->minimumSize()).expandedTo(kUsableSize);
}

QList<QRect> tileRects(const QSize& area, int n, const QSize& minimum) {
    QList<QRect> rects;
    if (n <= 0) return rects;
    int columns = int(std::ceil(std::sqrt(double(n))));
    while (columns > 1 && area.width() / columns < minimum.width())
        --columns;
    const int rows = (n + columns - 1) / columns;
    const int height = qMax(area.height() / rows, minimum.height());
    for (int r = 0; r < rows; ++r) {
        const int inRow = r == rows - 1 ? n - columns * (rows - 1) : columns;
        const bool fits = area.width() / inRow >= minimum.width();
        for (int c = 0; c < inRow; ++c) {
            // Spread the pixels left over by the division over the row.
            const int left = fits ? c * area.width() / inRow : c * minimum.width();
            const int right = fits ? (c + 1) * area.width() / inRow : left + minimum.width();
            rects << QRect(left, r * height, right - left, height);
        }
    }
    return rects;
}

QList<QRect> cascadeRects(const QSize& area, int n, const QSize& minimum, int step) {
    QList<QRect> rects;
    if (n <= 0) return rects;
    const int offset = step * (n - 1);
    const QSize size = QSize(area.width() - offset, area.height() - offset).expandedTo(minimum);
    for (int k = 0; k < n; ++k)
        rects << QRect(QPoint(k * step, k * step), size);
    return rects;
}

QRect newWindowRect(const QSize& area, int preferredWidth, const QSize& minimum, bool fullWidth) {
    const int width = fullWidth ? area.width() : qMin(preferredWidth, area.width());
    return QRect(QPoint(0, 0), QSize(width, area.height() - 50).expandedTo(minimum));
}

namespace {
using RectsFor = std::function<QList<QRect>(QSize usable, QSize client)>;

// The room the area leaves beside the scroll bars these windows need.
QSize roomBeside(QMdiArea* area, const QSize& whole, const QList<QRect>& rects) {
    QRect extent;
    for (const QRect& r : rects)
        extent |= r;
    const int bar = area->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, area);
    bool vertical = extent.bottom() >= whole.height();
    const bool horizontal = extent.right() >= whole.width() - (vertical ? bar : 0);
    vertical = vertical || (horizontal && extent.bottom() >= whole.height() - bar);
    return QSize(whole.width() - (vertical ? bar : 0), whole.height() - (horizontal ? bar : 0));
}

// Windows placed from the area's origin, not from wherever it was scrolled
// to. Further passes follow what the first changed: a narrower window can
// need more height (its panels gain scroll bars), and windows that do not
// fit leave less room beside the area's scroll bars.
void arrange(QMdiArea* area, const QList<QMdiSubWindow*>& windows, const RectsFor& rectsFor) {
    area->horizontalScrollBar()->setValue(0);
    area->verticalScrollBar()->setValue(0);
    const QSize whole = area->contentsRect().size();
    QSize usable = largestUsable(windows);
    QSize client = whole;
    for (int pass = 0; pass < 3; ++pass) {
        const QList<QRect> rects = rectsFor(usable, client);
        for (int k = 0; k < windows.size(); ++k)
            windows[k]->setGeometry(rects[k]);
        // A panel's new needs reach the window through posted layout requests.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        const QSize usableAfter = largestUsable(windows);
        const QSize clientAfter = roomBeside(area, whole, rects);
        if (usableAfter == usable && clientAfter == client) break;
        usable = usableAfter;
        client = clientAfter;
    }
}
} // namespace

namespace {
// Grows a window whose contents came to need more room than it has (a panel
// shown, a narrower panel gaining its scroll bar) instead of letting its
// layout squeeze them over each other.
class KeepUsable : public QObject {
  public:
    explicit KeepUsable(QMdiSubWindow* window) : QObject(window), m_window(window) {
        window->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_window && event->type() == QEvent::LayoutRequest && !m_window->isMaximized() &&
            !m_window->isMinimized()) {
            const QSize usable = usableSize(m_window);
            if (m_window->width() < usable.width() || m_window->height() < usable.height())
                m_window->resize(m_window->size().expandedTo(usable));
        }
        return false;
    }

  private:
    QMdiSubWindow* m_window;
};
} // namespace

void placeNewWindow(QMdiArea* area, QMdiSubWindow* window, int preferredWidth, bool fullWidth) {
    new KeepUsable(window);
    arrange(area, {window}, [&](QSize usable, QSize client) {
        return QList<QRect>{newWindowRect(client, preferredWidth, usable, fullWidth)};
    });
}

QMdiSubWindow* addAreaWindow(QMdiArea* area, QWidget* widget, int preferredWidth, bool fullWidth) {
    QMdiSubWindow* sub = area->addSubWindow(widget);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    // Shown first: the size it needs follows its layout.
    sub->showNormal();
    placeNewWindow(area, sub, preferredWidth, fullWidth);
    return sub;
}

void tileWindows(QMdiArea* area) {
    const QList<QMdiSubWindow*> windows = arrangeable(area, QMdiArea::CreationOrder);
    arrange(area, windows,
            [&](QSize usable, QSize client) { return tileRects(client, int(windows.size()), usable); });
}

void cascadeWindows(QMdiArea* area) {
    // In their stacking order, so the window on top stays on top, last.
    const QList<QMdiSubWindow*> windows = arrangeable(area, QMdiArea::StackingOrder);
    if (windows.isEmpty()) return;
    const QStyle* style = windows.first()->style();
    const int step = style->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, windows.first()) +
                     style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, windows.first());
    arrange(area, windows, [&](QSize usable, QSize client) {
        return cascadeRects(client, int(windows.size()), usable, step);
    });
    for (QMdiSubWindow* w : windows)
        w->raise();
}

} // namespace tq
