#pragma once

#include "DateTime.h"
#include "DateTimeFormat.h"

#include <QLocale>
#include <QString>
#include <QStringView>

namespace tq {

// The user's regional formats (QLocale() unless a test sets another default).
QString shortDateFormat();
QString longTimeFormat(); // without any time-zone field
QChar decimalSeparator();

// The regional formats of one locale, compiled once: what every list, box
// and text file of the program writes and reads dates, times and values with.
class RegionalFormats {
  public:
    explicit RegionalFormats(const QLocale& locale = QLocale());

    const QLocale& locale() const { return m_locale; }
    QChar decimal() const { return m_decimal; }

    QString date(TDateTime t) const; // short date
    QString time(TDateTime t) const; // long time
    QString dateTime(TDateTime t) const;
    void appendDate(QString& out, TDateTime t) const;
    void appendTime(QString& out, TDateTime t) const;
    // Fixed point with the regional separator and no grouping.
    QString value(double v, int decimals) const;

    // A short date, blanks, a long time (or the date alone). Two-digit
    // years fall in the hundred years from 50 years ago on.
    bool parseDateTime(QStringView text, TDateTime& out) const;
    // A decimal number with the regional separator, blanks around allowed.
    bool parseValue(QStringView text, double& out) const;

  private:
    QLocale m_locale;
    DateTimeFormat m_date;
    DateTimeFormat m_time;
    QChar m_decimal;
    int m_currentYear;
};

QString dateText(TDateTime t);     // short date
QString timeText(TDateTime t);     // long time
QString dateTimeText(TDateTime t); // short date, a space, long time

// Fixed-point value with the regional decimal separator and no grouping,
// e.g. 23.5 (decimals 1) or 23.457 (decimals 3).
QString valueText(double v, int decimals);

// "mm:ss": each part trimmed, prefixed with 0 and cut to its last two digits
// (2 -> 00:02, 90 -> 01:30, 3600 -> 60:00, 8400 -> 40:00).
QString minutesSecondsText(qint64 seconds);

} // namespace tq
