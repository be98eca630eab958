#include "GraphStatistics.h"

#include "Regional.h"

namespace tq {

QString rangedValueText(float v) {
    return isOutOfRange(v) ? QStringLiteral("OL") : valueText(v, 1);
}

QString noAverageText() {
    return QStringLiteral("****");
}

int clampIndex(int i, int points) {
    if (points <= 0 || i < 0) return 0;
    return i < points ? i : points - 1;
}

qint64 samplingRateSeconds(const OverallStatistics& s) {
    if (s.points <= 0) return 0;
    const double rate = (s.last - s.first) / s.points * kSecondsPerDay + 0.5;
    // Garbage X values must not overflow the conversion.
    if (!(rate >= 0.0)) return 0;
    if (rate > 1e12) return qint64(1e12);
    return qint64(rate);
}

OverallTexts emptyOverallTexts() {
    OverallTexts t;
    t.samplingRate = QStringLiteral("00:02");
    t.dataNo = QStringLiteral("0");
    t.max = t.min = t.avg = QStringLiteral("***.* ");
    return t;
}

OverallTexts overallTexts(const OverallStatistics& s) {
    if (s.points <= 0) {
        OverallTexts t = emptyOverallTexts();
        t.samplingRate = minutesSecondsText(0);
        t.avg = noAverageText();
        return t;
    }
    OverallTexts t;
    t.startTime = dateTimeText(s.first);
    t.samplingRate = minutesSecondsText(samplingRateSeconds(s));
    t.dataNo = QString::number(s.points);
    auto extreme = [](float v, TDateTime when) {
        return isOutOfRange(v) ? QStringLiteral("OL")
                               : valueText(v, 1) + QLatin1Char('@') + dateTimeText(when);
    };
    t.max = extreme(s.max, s.maxTime);
    t.min = extreme(s.min, s.minTime);
    t.avg = s.count > 0 ? valueText(s.sum / s.count, 3) : noAverageText();
    return t;
}

} // namespace tq
