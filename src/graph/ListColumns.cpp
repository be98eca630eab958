#include "ListColumns.h"

#include <QDate>
#include <QHeaderView>
#include <QLocale>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTableView>

#include <algorithm>

namespace tq {

namespace {
// What the item delegate asks the style for a cell showing text.
QSize cellSize(const QTableView& view, const QString& text) {
    QStyleOptionViewItem option;
    option.initFrom(&view);
    option.font = view.font();
    option.fontMetrics = QFontMetrics(option.font);
    option.features = QStyleOptionViewItem::HasDisplay;
    option.text = text;
    option.displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    option.textElideMode = view.textElideMode();
    const QSize size = view.style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), &view);
    const int grid = view.showGrid() ? 1 : 0;
    return size + QSize(grid, grid);
}
} // namespace

int cellWidth(const QTableView& view, const QString& text) {
    return cellSize(view, text).width();
}

int cellHeight(const QTableView& view) {
    return cellSize(view, QStringLiteral("Xg0")).height();
}

void fitColumn(QTableView& view, int column, int least, const QStringList& texts) {
    int width = std::max(least, view.horizontalHeader()->sectionSizeHint(column));
    for (const QString& text : texts)
        width = std::max(width, cellWidth(view, text));
    if (view.columnWidth(column) < width) view.setColumnWidth(column, width);
}

void fitRows(QTableView& view, int least) {
    // Setting it walks every row of the list, even when nothing changes.
    const int height = std::max(least, cellHeight(view));
    if (view.verticalHeader()->defaultSectionSize() != height)
        view.verticalHeader()->setDefaultSectionSize(height);
}

QStringList widestDates(const QLocale& locale, const QString& format) {
    QStringList dates;
    // Two-digit days and months; names of every month and weekday where
    // the format spells them out.
    for (int month = 1; month <= 12; ++month)
        dates << locale.toString(QDate(2024, month, 28), format);
    for (int day = 23; day <= 29; ++day)
        dates << locale.toString(QDate(2024, 12, day), format);
    return dates;
}

QStringList widestTimes(const QLocale& locale, const QString& format) {
    QStringList times;
    for (int hour = 0; hour < 24; ++hour)
        times << locale.toString(QTime(hour, 58, 58), format);
    return times;
}

QStringList widestNumbers(qint64 largest) {
    const qsizetype digits = QString::number(std::max<qint64>(largest, 1)).size();
    QStringList numbers;
    for (char d = '0'; d <= '9'; ++d)
        numbers << QString(digits, QLatin1Char(d));
    return numbers;
}

} // namespace tq
