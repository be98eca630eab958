#include "DataListPrinter.h"

#include "PrintLayout.h"

#include <QAbstractItemModel>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>

namespace tq {

namespace {
QFont printFont() {
    const QString family = QStringLiteral("FixedSys");
    QFont font = QFontDatabase::hasFamily(family) ? QFont(family)
                                                  : QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(8);
    return font;
}

QStringList rowCells(const QAbstractItemModel& list, int row) {
    QStringList cells;
    for (int c = 0; c < list.columnCount(); ++c) {
        if (row == 0)
            cells << list.headerData(c, Qt::Horizontal).toString();
        else
            cells << list.index(row - 1, c).data().toString();
    }
    return cells;
}
} // namespace

TextPageLayout dataListLayout(QPrinter& printer) {
    const QFontMetrics metrics(printFont(), &printer);
    return textPageLayout(printer.height(), metrics.size(0, QStringLiteral("String Grid Printout")).height());
}

bool printDataList(QPrinter& printer, const QAbstractItemModel& list) {
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    painter.setFont(printFont());
    const QFontMetrics metrics(painter.font(), &printer);
    const TextPageLayout layout = dataListLayout(printer);
    // Rows are counted with the header as row 0.
    const int rows = list.rowCount() + 1;
    for (int r = 0; r < rows; ++r) {
        if (r != 0 && r % layout.linesPerPage == 0) printer.newPage();
        painter.drawText(1, yOfRow(r, layout) + metrics.ascent(), dataListLine(rowCells(list, r)));
    }
    return painter.end();
}

} // namespace tq
