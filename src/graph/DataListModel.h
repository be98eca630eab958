#pragma once

// The data list of a graph window as a view over the chart's points: a
// reading per line, its texts made when the line is painted (running
// number, date and time in the regional formats, the value, and for a model
// 862 logger the second series).
//
// The model's rows are a window of one screenful of readings, moved by the
// list's own scroll bar: an item view keeps bookkeeping per model row, which
// at millions of readings would cost more than the readings themselves.

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
    // The readings counted when the list was last filled.
    int readings() const { return m_rows; }

    // The window: model row r shows reading first() + r. The first reading
    // is clamped so that the window never starts past the last reading.
    int first() const { return m_first; }
    void setWindow(int first, int rows);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The text of a reading's cell; empty outside the list.
    QString text(int reading, int column) const;

  private:
    const Chart& m_chart;
    QStringList m_headings;
    int m_rows = 0;
    int m_first = 0;
    int m_windowRows = 0;
    RegionalFormats m_formats;
};

} // namespace tq
