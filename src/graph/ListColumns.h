#pragma once

// Widths and heights that let the lists of a graph window show their texts
// whole at the font in use. The described widths stay the least widths.

#include <QStringList>

class QLocale;
class QTableView;

namespace tq {

// The width a cell of the view needs to show text whole, grid line included.
int cellWidth(const QTableView& view, const QString& text);
// The row height the view's font needs, grid line included.
int cellHeight(const QTableView& view);

// Widens column to hold its heading and the widest of texts; never below
// least, never narrower than it already is (a column the user widened stays).
void fitColumn(QTableView& view, int column, int least, const QStringList& texts = {});
// Rows at least `least` high and as high as the font needs.
void fitRows(QTableView& view, int least);

// Texts at their widest in the regional formats: a date of every month and
// weekday, a time of every hour, every digit at the length of `largest`.
QStringList widestDates(const QLocale& locale, const QString& format);
QStringList widestTimes(const QLocale& locale, const QString& format);
QStringList widestNumbers(qint64 largest);

} // namespace tq
