#include "ArchiveTableModel.h"

#include "Archive.h"
#include "Messages.h"
#include "Regional.h"

namespace tq {

namespace {
QString optionalText(const std::optional<double>& v) {
    return v ? valueText(*v, 1) : QString();
}
QVariant optionalSort(const std::optional<double>& v) {
    return v ? QVariant(*v) : QVariant(-1e300);
}
QString firstSeenText(const QString& iso) {
    const QDateTime t = QDateTime::fromString(iso, Qt::ISODateWithMs);
    return t.isValid() ? dateTimeText(toDays(t.toLocalTime())) : iso;
}
} // namespace

void ArchiveTableModel::setRuns(std::vector<ArchivedRun> runs, Archive* archive) {
    beginResetModel();
    m_runs = std::move(runs);
    m_archive = archive;
    endResetModel();
}

int ArchiveTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_runs.size());
}

int ArchiveTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ArchiveTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const ArchivedRun& r = m_runs[size_t(index.row())];
    if (role == IdRole) return r.id;
    const bool sort = role == SortRole;
    if (!sort && role != Qt::DisplayRole && role != Qt::EditRole) return {};
    switch (index.column()) {
    case Model:
        return sort ? QVariant(r.model) : QVariant(r.model ? QString::number(r.model) : QString());
    case Firmware:
        return r.firmware;
    case Start:
        return sort ? QVariant(r.startTime) : QVariant(dateTimeText(r.startTime));
    case End:
        return sort ? QVariant(r.endTime()) : QVariant(dateTimeText(r.endTime()));
    case Interval:
        return sort ? QVariant(r.intervalSeconds) : QVariant(minutesSecondsText(r.intervalSeconds));
    case Count:
        return r.sampleCount;
    case Unit:
        return r.fahrenheit() ? QStringLiteral("F") : QStringLiteral("C");
    case Minimum:
        return sort ? optionalSort(r.minimum) : QVariant(optionalText(r.minimum));
    case Maximum:
        return sort ? optionalSort(r.maximum) : QVariant(optionalText(r.maximum));
    case Average:
        return sort ? optionalSort(r.average) : QVariant(optionalText(r.average));
    case FirstSeen:
        return sort ? QVariant(r.firstSeen) : QVariant(firstSeenText(r.firstSeen));
    case Name:
        return r.name;
    case Note:
        return r.note;
    default:
        return {};
    }
}

QVariant ArchiveTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    static const char* const kHeads[ColumnCount] = {
        "Model",   "Firmware",         "Start", "End", "Interval", "Count", "Unit", "Min", "Max",
        "Average", "First downloaded", "Name",  "Note"};
    return section >= 0 && section < ColumnCount ? QString::fromLatin1(kHeads[section]) : QString();
}

Qt::ItemFlags ArchiveTableModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.column() == Name || index.column() == Note) f |= Qt::ItemIsEditable;
    return f;
}

bool ArchiveTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || !m_archive) return false;
    if (index.column() != Name && index.column() != Note) return false;
    ArchivedRun& r = m_runs[size_t(index.row())];
    const QString name = index.column() == Name ? value.toString() : r.name;
    const QString note = index.column() == Note ? value.toString() : r.note;
    if (!m_archive->setNameAndNote(r.id, name, note)) {
        Messages::error(m_archive->lastError(), QStringLiteral("Archive"));
        return false;
    }
    r.name = name;
    r.note = note;
    emit dataChanged(index, index);
    return true;
}

ArchiveFilter::ArchiveFilter(QObject* parent) : QSortFilterProxyModel(parent) {
    setSortRole(ArchiveTableModel::SortRole);
}

void ArchiveFilter::setDateRange(const QDate& from, const QDate& to) {
    m_from = from;
    m_to = to;
    invalidateFilter();
}

void ArchiveFilter::setText(const QString& text) {
    m_text = text.trimmed();
    invalidateFilter();
}

bool ArchiveFilter::filterAcceptsRow(int row, const QModelIndex& parent) const {
    const auto* model = static_cast<const ArchiveTableModel*>(sourceModel());
    if (!model || parent.isValid()) return true;
    const ArchivedRun& r = model->run(row);
    // A run shows when any part of it lies in the range.
    if (m_from.isValid() && r.endTime() < toDays(m_from, QTime(0, 0))) return false;
    if (m_to.isValid() && r.startTime >= toDays(m_to.addDays(1), QTime(0, 0))) return false;
    if (m_text.isEmpty()) return true;
    for (int c = 0; c < ArchiveTableModel::ColumnCount; ++c)
        if (model->data(model->index(row, c), Qt::DisplayRole)
                .toString()
                .contains(m_text, Qt::CaseInsensitive))
            return true;
    return false;
}

} // namespace tq
