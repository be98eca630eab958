#pragma once

#include <QString>

namespace tq::test {

// What poppler-utils tell of a PDF (pdfinfo, pdftotext). Empty when the
// tool could not be run.
QString pdfInfo(const QString& pdf);
QString pdfText(const QString& pdf);
// The "Pages:" and "Page size:" lines of pdfinfo; -1 and an empty string
// when missing.
int pdfPages(const QString& pdf);
QString pdfPageSize(const QString& pdf);

} // namespace tq::test
