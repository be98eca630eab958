#include "Regional.h"

#include <QRegularExpression>

namespace tq {

QString shortDateFormat() {
    return QLocale().dateFormat(QLocale::ShortFormat);
}

QString longTimeFormat() {
    QString f = QLocale().timeFormat(QLocale::LongFormat);
    // Drop the zone field ("t", "tt", ...) and the blank in front of it.
    static const QRegularExpression zone(QStringLiteral("\\s*t+\\s*"));
    f.remove(zone);
    return f.trimmed();
}

QChar decimalSeparator() {
    return QLocale().decimalPoint().at(0);
}

QString dateText(TDateTime t) {
    return QLocale().toString(dateOf(t), shortDateFormat());
}

QString timeText(TDateTime t) {
    return QLocale().toString(timeOf(t), longTimeFormat());
}

QString dateTimeText(TDateTime t) {
    return dateText(t) + QLatin1Char(' ') + timeText(t);
}

QString valueText(double v, int decimals) {
    QString s = QString::number(v, 'f', decimals);
    const QChar sep = decimalSeparator();
    if (sep != QLatin1Char('.')) s.replace(QLatin1Char('.'), sep);
    return s;
}

QString minutesSecondsText(qint64 seconds) {
    auto part = [](qint64 n) { return (QLatin1Char('0') + QString::number(n)).right(2); };
    return part(seconds / 60) + QLatin1Char(':') + part(seconds % 60);
}

} // namespace tq
