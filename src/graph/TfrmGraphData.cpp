// Filling a graph window: chart preparation, overall statistics, data list.

#include "TfrmGraph.h"

#include "Chart.h"
#include "GraphStatistics.h"
#include "PrepareGraph.h"
#include "Regional.h"

#include <QLineEdit>
#include <QTableWidget>

namespace tq {

namespace {
// The date and time columns of a long list: the regional formats looked up
// once and the date text reused within a day. Plain calendar fields, not a
// zoned date-time: a sample taken in a daylight-saving gap keeps its time.
class ListDateTimeTexts {
  public:
    void format(TDateTime t, QString& date, QString& time) {
        const QDate day = dateOf(t);
        if (day != m_day || m_dateText.isNull()) {
            m_day = day;
            m_dateText = m_locale.toString(m_day, m_dateFormat);
        }
        date = m_dateText;
        time = m_locale.toString(timeOf(t), m_timeFormat);
    }

  private:
    const QLocale m_locale;
    const QString m_dateFormat = shortDateFormat();
    const QString m_timeFormat = longTimeFormat();
    QDate m_day;
    QString m_dateText;
};
} // namespace

void TfrmGraph::prepareGraph(int n, int p, double xMin, double xMax) {
    prepareChart(*PESGraph1, n, p, xMin, xMax, m_modelCode);
    updateToolAvailability();
}

void TfrmGraph::setOverallTexts(const OverallTexts& t) {
    txtStartTime->setText(t.startTime);
    txtSamplingRate->setText(t.samplingRate);
    txtDataNo->setText(t.dataNo);
    txtT1Max->setText(t.max);
    txtT1Min->setText(t.min);
    txtT1Avg->setText(t.avg);
}

void TfrmGraph::refreshStatistics() {
    const Chart& c = *PESGraph1;
    const OverallStatistics s = overallStatistics(
        c.points(), [&c](int i) { return c.x(0, i); }, [&c](int i) { return c.y(0, i); });
    setOverallTexts(overallTexts(s));
}

void TfrmGraph::fillDataList() {
    const Chart& c = *PESGraph1;
    const int points = c.points();
    const bool humidity = Grid3->columnCount() == 5;
    Grid3->setUpdatesEnabled(false);
    Grid3->clearContents();
    Grid3->setRowCount(points);
    ListDateTimeTexts texts;
    QString date;
    QString time;
    for (int i = 0; i < points; ++i) {
        texts.format(c.x(0, i), date, time);
        Grid3->setItem(i, 0, new QTableWidgetItem(QString::number(i + 1)));
        Grid3->setItem(i, 1, new QTableWidgetItem(date));
        Grid3->setItem(i, 2, new QTableWidgetItem(time));
        Grid3->setItem(i, 3, new QTableWidgetItem(rangedValueText(c.y(0, i))));
        if (humidity) Grid3->setItem(i, 4, new QTableWidgetItem(valueText(c.y(1, i), 1)));
    }
    Grid3->setUpdatesEnabled(true);
}

} // namespace tq
