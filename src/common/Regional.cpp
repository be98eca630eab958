#include "Regional.h"

#include <QRegularExpression>

#include <charconv>
#include <cmath>

namespace tq {

namespace {
QString timeFormatWithoutZone(const QLocale& locale) {
    QString f = locale.timeFormat(QLocale::LongFormat);
    // Drop the zone field ("t", "tt", ...) and the blank in front of it.
    static const QRegularExpression zone(QStringLiteral("\\s*t+\\s*"));
    f.remove(zone);
    return f.trimmed();
}
} // namespace

QString shortDateFormat() {
    return QLocale().dateFormat(QLocale::ShortFormat);
}

QString longTimeFormat() {
    return timeFormatWithoutZone(QLocale());
}

QChar decimalSeparator() {
    return QLocale().decimalPoint().at(0);
}

RegionalFormats::RegionalFormats(const QLocale& locale)
    : m_locale(locale), m_date(locale.dateFormat(QLocale::ShortFormat), locale),
      m_time(timeFormatWithoutZone(locale), locale), m_decimal(locale.decimalPoint().at(0)),
      m_currentYear(QDate::currentDate().year()) {}

void RegionalFormats::appendDate(QString& out, TDateTime t) const {
    m_date.appendDate(out, dateOf(t));
}

void RegionalFormats::appendTime(QString& out, TDateTime t) const {
    m_time.appendTime(out, timeOf(t));
}

QString RegionalFormats::date(TDateTime t) const {
    QString s;
    appendDate(s, t);
    return s;
}

QString RegionalFormats::time(TDateTime t) const {
    QString s;
    appendTime(s, t);
    return s;
}

QString RegionalFormats::dateTime(TDateTime t) const {
    QString s;
    appendDate(s, t);
    s += QLatin1Char(' ');
    appendTime(s, t);
    return s;
}

namespace {
QString fixedPoint(double v, int decimals, QChar separator) {
    QString s = QString::number(v, 'f', decimals);
    if (separator != QLatin1Char('.')) s.replace(QLatin1Char('.'), separator);
    return s;
}
} // namespace

QString RegionalFormats::value(double v, int decimals) const {
    return fixedPoint(v, decimals, m_decimal);
}

bool RegionalFormats::parseDateTime(QStringView text, TDateTime& out) const {
    text = text.trimmed();
    qsizetype pos = 0;
    DateTimeFormat::Fields d, t;
    if (!m_date.parse(text, pos, d)) return false;
    if (pos < text.size()) {
        if (!text[pos].isSpace()) return false;
        while (pos < text.size() && text[pos].isSpace())
            ++pos;
        if (!m_time.parse(text, pos, t) || pos != text.size()) return false;
    }
    int year = d.year;
    if (d.twoDigitYear) year = expandTwoDigitYear(year, m_currentYear);
    int hour = qMax(t.hour, 0);
    if (t.ampm >= 0) {
        if (hour < 1 || hour > 12) return false;
        hour = hour % 12 + (t.ampm == 1 ? 12 : 0);
    }
    const QDate date(year, d.month, d.day);
    const QTime time(hour, qMax(t.minute, 0), qMax(t.second, 0), qMax(t.msec, 0));
    if (!date.isValid() || !time.isValid()) return false;
    out = toDays(date, time);
    return true;
}

bool RegionalFormats::parseValue(QStringView text, double& out) const {
    text = text.trimmed();
    if (text.startsWith(QLatin1Char('+'))) text = text.mid(1);
    if (text.isEmpty() || text.size() > 64) return false;
    char buf[65];
    qsizetype n = 0;
    for (const QChar c : text) {
        char b;
        if (c == m_decimal)
            b = '.';
        else if (c == QLatin1Char('.'))
            return false; // a point where the regional separator is another one
        else if (c.unicode() < 128)
            b = char(c.unicode());
        else
            return false;
        buf[n++] = b;
    }
    double v = 0;
    const auto [end, ec] = std::from_chars(buf, buf + n, v);
    if (ec != std::errc() || end != buf + n || !std::isfinite(v)) return false;
    out = v;
    return true;
}

QString dateText(TDateTime t) {
    return RegionalFormats().date(t);
}

QString timeText(TDateTime t) {
    return RegionalFormats().time(t);
}

QString dateTimeText(TDateTime t) {
    return RegionalFormats().dateTime(t);
}

QString valueText(double v, int decimals) {
    return fixedPoint(v, decimals, decimalSeparator());
}

QString minutesSecondsText(qint64 seconds) {
    auto part = [](qint64 n) { return (QLatin1Char('0') + QString::number(n)).right(2); };
    return part(seconds / 60) + QLatin1Char(':') + part(seconds % 60);
}

} // namespace tq
