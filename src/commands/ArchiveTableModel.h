#pragma once

#include "ArchiveRun.h"

#include <QAbstractTableModel>
#include <QDate>
#include <QSortFilterProxyModel>
#include <vector>

namespace tq {

class Archive;

// The archive's runs as the archive window lists them. Name and note are
// edited in place and written to the archive at once.
class ArchiveTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column {
        Model,
        Firmware,
        Start,
        End,
        Interval,
        Count,
        Unit,
        Minimum,
        Maximum,
        Average,
        FirstSeen,
        Name,
        Note,
        ColumnCount
    };
    // What a column sorts by (numbers and day counts, not their texts).
    static constexpr int SortRole = Qt::UserRole;
    static constexpr int IdRole = Qt::UserRole + 1;

    explicit ArchiveTableModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    void setRuns(std::vector<ArchivedRun> runs, Archive* archive);
    const ArchivedRun& run(int row) const { return m_runs.at(size_t(row)); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

  private:
    std::vector<ArchivedRun> m_runs;
    Archive* m_archive = nullptr;
};

// Runs that overlap a date range (when set) and whose texts hold the filter text.
class ArchiveFilter : public QSortFilterProxyModel {
    Q_OBJECT
  public:
    explicit ArchiveFilter(QObject* parent = nullptr);
    // An invalid date leaves that side open.
    void setDateRange(const QDate& from, const QDate& to);
    void setText(const QString& text);

  protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override;

  private:
    QDate m_from, m_to;
    QString m_text;
};

} // namespace tq
