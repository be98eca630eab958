#pragma once

#include "Progress.h"

#include <QByteArray>
#include <QDateTime>
#include <QVector>
#include <initializer_list>

// Byte layouts the transfer tests build by hand.
namespace blocks {
// A 67-byte block carrying content (64 bytes); badSum spoils its checksum.
QByteArray make(const QByteArray& content, bool badSum = false);
} // namespace blocks

// A directory (256 bytes) whose records 1... carry these end addresses and
// start dates; the rest is fill.
struct DirectoryEntry {
    qint64 end;
    QDateTime start = QDateTime(QDate(2024, 3, 29), QTime(7, 13, 15));
    int interval = 2;
};
QByteArray directoryWith(quint8 fill, std::initializer_list<DirectoryEntry> records);

// A memory image: the directory, then samples up to size (bytes of value 0x11).
QByteArray memoryWith(quint8 fill, std::initializer_list<DirectoryEntry> records, qsizetype size);

// Records what a transfer reports; asks to cancel once value reaches cancelAt.
class RecordingProgress : public tq::Progress {
  public:
    QVector<qint64> maxima;
    QVector<qint64> values;
    qint64 cancelAt = -1;
    void setMaximum(qint64 m) override { maxima << m; }
    void setValue(qint64 v) override { values << v; }
    bool cancelled() const override {
        return cancelAt >= 0 && !values.isEmpty() && values.last() >= cancelAt;
    }
};
