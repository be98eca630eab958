#include "FileFilters.h"

#include "Regional.h"

namespace tq::filters {

bool csvOffered() {
    return decimalSeparator() != QLatin1Char(',');
}

QString singleFile() {
    QString f =
        QStringLiteral("Graph file(*.ghf,only for TQ880)|*.GHF|TXT file(*.txt,data seperated by tab)|*.TXT");
    if (csvOffered()) f += QStringLiteral("|EXCEL file format(*.CSV,seperated by comma)|*.CSV");
    return f;
}

QString collectionSave() {
    return QStringLiteral("Data Set Collection file(*.880,only for TQ880)|*.880");
}

QString collectionOpen() {
    return QStringLiteral("Data Sets Collection (*.880)|*.880");
}

QString openSingleCaption() {
    return csvOffered() ? QStringLiteral("Open single data file(*.TXT,*.CSV,*.GHF)")
                        : QStringLiteral("Open single data flle(*.TXT,*.GHF)");
}

QString isoCsv() {
    return QStringLiteral("CSV with ISO times(*.csv,time and value with a point, for scripts)|*.CSV");
}

QString pictures() {
    return QStringLiteral("PNG picture(*.png)|*.PNG|SVG drawing(*.svg)|*.SVG|PDF document(*.pdf)|*.PDF");
}

QString report() {
    return QStringLiteral("PDF document(*.pdf)|*.PDF");
}

} // namespace tq::filters
