// The chart's dialogs, printing, images and stored state.

#include "Chart.h"

#include "ChartPrivate.h"
#include "ChartState.h"
#include "CustomizeDialog.h"

#include <QCoreApplication>
#include <QPicture>
#include <QPrintDialog>
#include <QPrinter>

#include <algorithm>

namespace tq {

namespace {

constexpr int kPrintDpi = 96;

QPrinter*& programPrinter() {
    static QPrinter* printer = nullptr;
    return printer;
}

QPrinter* ownPrinter() {
    static QPrinter* printer = [] {
        auto* p = new QPrinter(QPrinter::HighResolution);
        p->setPageOrientation(QPageLayout::Landscape);
        // Freed with the application, while the print system still exists.
        qAddPostRoutine([] { delete ownPrinter(); });
        return p;
    }();
    return printer;
}

} // namespace

void Chart::setDialogHandler(DialogHandler handler) {
    ChartPrivate::dialogHandler() = std::move(handler);
}

bool Chart::customize() {
    CustomizeDialog dialog(d->m, this);
    const bool accepted = d->runDialog(dialog) == QDialog::Accepted;
    if (accepted) {
        const Chart::PlottingMethod before = d->m.plotting;
        dialog.applyTo(d->m);
        if (d->m.plotting != before) d->structureDirty = true;
        d->redraw();
    }
    d->lastDialogResult = accepted;
    emit customizeDlg(accepted);
    return accepted;
}

bool Chart::lastDialogResult() const {
    return d->lastDialogResult;
}

void Chart::setPrintStyle(PrintStyle s) {
    if (s == PrintStyle::Color || s == PrintStyle::Mono) d->m.printStyle = s;
}

Chart::PrintStyle Chart::printStyle() const {
    return d->m.printStyle;
}

QPrinter* Chart::sharedPrinter() {
    return programPrinter() ? programPrinter() : ownPrinter();
}

void Chart::setSharedPrinter(QPrinter* printer) {
    programPrinter() = printer;
}

bool Chart::printDialog() {
    QPrinter* printer = sharedPrinter();
    QPrintDialog dialog(printer, this);
    if (d->runDialog(dialog) != QDialog::Accepted) return false;
    printTo(printer);
    return true;
}

void Chart::printTo(QPrinter* printer) {
    if (!printer) return;
    d->settle();
    // Fonts are sized in points for the device, lines in pixels: at screen
    // resolution both keep the proportions of the screen, and the page
    // stays vector graphics. The printer's own resolution comes back after.
    const int resolution = printer->resolution();
    printer->setResolution(kPrintDpi);
    QCPPainter painter;
    if (painter.begin(printer)) {
        d->mono = d->m.printStyle == PrintStyle::Mono;
        d->applyStyles();
        painter.setMode(QCPPainter::pmVectorized);
        const QRect page = printer->pageLayout().paintRectPixels(kPrintDpi);
        d->plot->toPainter(&painter, page.width(), page.height());
        painter.end();
        d->mono = false;
    }
    printer->setResolution(resolution);
    d->redraw();
}

QImage Chart::renderImage(const QSize& size) {
    QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    d->settle();
    QCPPainter painter(&image);
    d->plot->toPainter(&painter, image.width(), image.height());
    painter.end();
    d->redraw();
    return image;
}

void Chart::render(QPainter& painter, const QRectF& target, const QSize& size) {
    const QSize laid = size.expandedTo(QSize(1, 1));
    d->settle();
    // Recorded once at the layout size, then played into the target: the
    // plot only draws onto its own painter type, and the page keeps vectors.
    QPicture picture;
    QCPPainter recorder;
    if (!recorder.begin(&picture)) return;
    recorder.setMode(QCPPainter::pmVectorized);
    d->plot->toPainter(&recorder, laid.width(), laid.height());
    recorder.end();
    d->redraw();
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(target.width() / laid.width(), target.height() / laid.height());
    painter.setClipRect(QRect(QPoint(0, 0), laid));
    painter.drawPicture(0, 0, picture);
    painter.restore();
}

QByteArray Chart::storeState() const {
    return encodeChartState(d->m);
}

QByteArray Chart::storeStyle() const {
    ChartModel style = d->m; // the point arrays are shared, not copied ...
    style.points = 0;
    for (SeriesModel& s : style.series)
        s.data = {}; // ... and let go of here
    return encodeChartState(style);
}

bool Chart::loadState(const QByteArray& block, QString* error) {
    ChartModel loaded;
    if (!decodeChartState(block, &loaded, error)) return false;
    d->m = std::move(loaded);
    d->structureDirty = true;
    ++d->revision;
    d->zoomed = false;
    d->zoomY.clear();
    d->applyCursor();
    return true;
}

} // namespace tq
