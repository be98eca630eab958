#include "SetupGrid.h"

#include "ByteReader.h"
#include "DateTime.h"
#include "LoggerModel.h"
#include "MemoryLayout.h"
#include "Regional.h"

#include <algorithm>

namespace tq {

QVector<SetupGridRow> unusedGridRows() {
    SetupGridRow unused;
    unused.date = setupgrid::kEmpty;
    return QVector<SetupGridRow>(setupgrid::kRows, unused);
}

QVector<SetupGridRow> setupGridRows(const QByteArray& directory, const LoggerModel& model) {
    QVector<SetupGridRow> rows = unusedGridRows();
    if (directory.size() < memory::kDirectorySize) return rows;
    const ByteReader r(directory);
    const int used = countDataSets(r, model.fillByte);
    qint64 previousEnd = model.firstDataAddress;
    for (int k = 0; k < used; ++k) {
        SetupGridRow& row = rows[k];
        row.used = true;
        const qint64 end = recordEndAddress(r, k);
        row.sampleCount = QString::number(std::max<qint64>(0, (end - previousEnd) / model.sampleSize));
        previousEnd = end;

        const qsizetype at = memory::recordOffset(k) + memory::kYear;
        TDateTime start = 0;
        if (encodeDateTime(2000 + r.u8At(at), r.u8At(at + 1), r.u8At(at + 2), r.u8At(at + 3), r.u8At(at + 4),
                           r.u8At(at + 5), start)) {
            row.date = dateText(start);
            row.time = timeText(start);
        }
    }
    return rows;
}

int usedRows(const QVector<SetupGridRow>& rows) {
    return int(std::count_if(rows.begin(), rows.end(), [](const SetupGridRow& r) { return r.used; }));
}

} // namespace tq
