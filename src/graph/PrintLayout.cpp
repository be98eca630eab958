#include "PrintLayout.h"

namespace tq {

TextPageLayout textPageLayout(int pageHeight, int textHeight) {
    TextPageLayout l;
    l.lineHeight = qMax(1, int(textHeight * 1.5));
    const int fit = qMax(0, pageHeight) / l.lineHeight;
    l.linesPerPage = (fit / 10) * 10;
    if (l.linesPerPage == 0) l.linesPerPage = qMax(1, fit - 1);
    return l;
}

QString dataListLine(const QStringList& cells) {
    QString line;
    for (qsizetype c = 1; c < cells.size(); ++c)
        line += cells[c] + QStringLiteral("      ");
    return line;
}

} // namespace tq
