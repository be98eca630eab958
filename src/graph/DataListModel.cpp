#include "DataListModel.h"

#include "Chart.h"
#include "DateTime.h"
#include "GraphStatistics.h"
#include "Regional.h"

#include <algorithm>

namespace tq {

DataListModel::DataListModel(const Chart& chart, bool humidity, QObject* parent)
    : QAbstractTableModel(parent),
      m_chart(chart), m_headings{QStringLiteral("No"), QStringLiteral("DATE"), QStringLiteral("TIME")} {
    if (humidity)
        m_headings << QStringLiteral("HUMIDITY") << QStringLiteral("Temp");
    else
        m_headings << QStringLiteral("VALUE");
}

void DataListModel::refill() {
    beginResetModel();
    m_rows = m_chart.points();
    m_first = 0;
    m_formats = RegionalFormats();
    endResetModel();
}

void DataListModel::setWindow(int first, int rows) {
    rows = std::max(0, rows);
    first = std::clamp(first, 0, std::max(0, m_rows - 1));
    const int before = rowCount();
    const int after = std::clamp(m_rows - first, 0, rows);
    const bool moved = first != m_first;
    const auto apply = [&] {
        m_first = first;
        m_windowRows = rows;
    };
    // Rows come and go at the end only, so the view keeps its columns and
    // its per-row state stays small.
    if (after > before) {
        beginInsertRows({}, before, after - 1);
        apply();
        endInsertRows();
    } else if (after < before) {
        beginRemoveRows({}, after, before - 1);
        apply();
        endRemoveRows();
    } else {
        apply();
    }
    const int kept = std::min(before, after);
    if (moved && kept > 0)
        emit dataChanged(index(0, 0), index(kept - 1, columnCount() - 1), {Qt::DisplayRole});
}

int DataListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : std::clamp(m_rows - m_first, 0, m_windowRows);
}

int DataListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_headings.size());
}

QString DataListModel::text(int row, int column) const {
    // The chart may have been prepared again with fewer points since the
    // list was filled: such readings stay empty rather than read past the data.
    if (row < 0 || row >= m_rows || row >= m_chart.points()) return {};
    switch (column) {
    case 0:
        return QString::number(row + 1);
    case 1:
        // Calendar fields, not a zoned date-time: a sample taken in a
        // daylight-saving gap keeps its time.
        return m_formats.date(m_chart.x(0, row));
    case 2:
        return m_formats.time(m_chart.x(0, row));
    case 3:
        return rangedValueText(m_chart.y(0, row));
    case 4:
        // The second series is never recorded: its null value reads "OL" like any mark.
        return m_headings.size() > 4 ? rangedValueText(m_chart.y(1, row)) : QString();
    default:
        return {};
    }
}

QVariant DataListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    return text(m_first + index.row(), index.column());
}

QVariant DataListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= m_headings.size()) return {};
    if (role == Qt::DisplayRole) return m_headings[section];
    return {};
}

Qt::ItemFlags DataListModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

} // namespace tq
