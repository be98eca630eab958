#include "DataListPrinter.h"

#include "DataListModel.h"
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

QStringList rowCells(const QStringList& headings, const ListCell& cell, int row) {
    if (row == 0) return headings;
    QStringList cells;
    for (int c = 0; c < headings.size(); ++c)
        cells << cell(row - 1, c);
    return cells;
}
} // namespace

TextPageLayout dataListLayout(QPrinter& printer) {
    const QFontMetrics metrics(printFont(), &printer);
    return textPageLayout(printer.height(), metrics.size(0, QStringLiteral("String Grid Printout")).height());
}

bool printDataList(QPrinter& printer, const QAbstractItemModel& list) {
    QStringList headings;
    for (int c = 0; c < list.columnCount(); ++c)
        headings << list.headerData(c, Qt::Horizontal).toString();
    return printDataList(printer, headings, list.rowCount(),
                         [&list](int row, int column) { return list.index(row, column).data().toString(); });
}

bool printDataList(QPrinter& printer, const DataListModel& list) {
    return printDataList(printer, list.headings(), list.readings(),
                         [&list](int row, int column) { return list.text(row, column); });
}

bool printDataList(QPrinter& printer, const QStringList& headings, int rows, const ListCell& cell) {
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    painter.setFont(printFont());
    const QFontMetrics metrics(painter.font(), &printer);
    const TextPageLayout layout = dataListLayout(printer);
    // Lines are counted with the header as line 0.
    const int lines = rows + 1;
    for (int r = 0; r < lines; ++r) {
        if (r != 0 && r % layout.linesPerPage == 0) printer.newPage();
        painter.drawText(1, yOfRow(r, layout) + metrics.ascent(), dataListLine(rowCells(headings, cell, r)));
    }
    return painter.end();
}

} // namespace tq
