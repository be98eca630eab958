#pragma once

// The data list of a graph window as a view over the chart's points: a row
// per point, its texts made when the row is painted (running number, date
// and time in the regional formats, the value, and for a model 862 logger
// the second series), so a list of millions of points costs no more than
// the rows on screen.

#include "Regional.h"

#include <QAbstractTableModel>
#include <QStringList>

namespace tq {

class Chart;

class DataListModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    // humidity: the two value columns of a model 862 logger ("HUMIDITY",
    // "Temp") instead of one ("VALUE").
    DataListModel(const Chart& chart, bool humidity, QObject* parent = nullptr);

    // Takes the chart's present point count and the regional formats; the
    // rows show the chart's values as they are when painted. Points the
    // chart no longer has show empty cells until the next refill.
    void refill();

    QStringList headings() const { return m_headings; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The text of a cell; empty outside the list.
    QString text(int row, int column) const;

  private:
    const Chart& m_chart;
    QStringList m_headings;
    int m_rows = 0;
    RegionalFormats m_formats;
};

} // namespace tq
