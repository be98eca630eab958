#include "DataSetList.h"

#include "DataSetCollection.h"
#include "Regional.h"

namespace tq::cli {

void printDataSetList(const DataSetCollection& collection, QTextStream& out) {
    for (int k = 0; k < collection.count(); ++k) {
        const DataSet& s = collection.dataSet(k);
        out << k + 1 << '\t' << dateOf(s.startTime).toString(Qt::ISODate) << '\t'
            << timeOf(s.startTime).toString(QStringLiteral("hh:mm:ss")) << '\t'
            << minutesSecondsText(s.intervalSeconds) << '\t' << s.sampleCount << '\t' << s.unitLetter()
            << '\n';
    }
    out.flush();
}

} // namespace tq::cli
