#include "DataSetList.h"

#include "ByteReader.h"
#include "DataSetCollection.h"
#include "MemoryLayout.h"
#include "Regional.h"

#include <optional>

namespace tq::cli {

namespace {
void printLine(int number, std::optional<TDateTime> start, int intervalSeconds, qint64 samples, QChar unit,
               QTextStream& out) {
    out << number << '\t';
    if (start)
        out << dateOf(*start).toString(Qt::ISODate) << '\t'
            << timeOf(*start).toString(QStringLiteral("hh:mm:ss"));
    else
        out << "-\t-";
    out << '\t' << minutesSecondsText(intervalSeconds) << '\t' << samples << '\t' << unit << '\n';
}
} // namespace

void printDataSetList(const DataSetCollection& collection, QTextStream& out) {
    for (int k = 0; k < collection.count(); ++k) {
        const DataSet& s = collection.dataSet(k);
        printLine(k + 1, s.startTime, s.intervalSeconds, s.sampleCount, s.unitLetter(), out);
    }
    out.flush();
}

int printDirectoryList(const QByteArray& directory, quint8 fillByte, QTextStream& out) {
    const ByteReader r(directory);
    const int count = countDataSets(r, fillByte);
    qint64 first = memory::kFirstSample;
    for (int k = 0; k < count; ++k) {
        const qsizetype at = memory::recordOffset(k);
        const qint64 end = recordEndAddress(r, k);
        TDateTime start = 0;
        const bool possible =
            encodeDateTime(2000 + r.u8At(at + memory::kYear), r.u8At(at + memory::kYear + 1),
                           r.u8At(at + memory::kYear + 2), r.u8At(at + memory::kYear + 3),
                           r.u8At(at + memory::kYear + 4), r.u8At(at + memory::kYear + 5), start);
        const bool fahrenheit = r.u8At(at + memory::kFlags) & 1;
        printLine(k + 1, possible ? std::optional<TDateTime>(start) : std::nullopt,
                  r.u16At(at + memory::kInterval), end > first ? (end - first) / 2 : 0,
                  fahrenheit ? QLatin1Char('F') : QLatin1Char('C'), out);
        first = end;
    }
    out.flush();
    return count;
}

} // namespace tq::cli
