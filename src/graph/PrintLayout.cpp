#include "PrintLayout.h"

namespace tq {

TextPageLayout textPageLayout(int pageHeight, int textHeight) {
    TextPageLayout l;
    l.lineHeight = qMax(1, int(textHeight * 1.5));
    // The first line stands one line height below the top; count only the
    // lines whose text ends on the page, or a page that holds a round number
    // of line heights would lose its last row below the edge.
    const int fit = qMax(0, pageHeight - qMax(0, textHeight)) / l.lineHeight;
    l.linesPerPage = (fit / 10) * 10;
    if (l.linesPerPage == 0) l.linesPerPage = qMax(1, fit);
    return l;
}

QString dataListLine(const QStringList& cells) {
    QString line;
    for (qsizetype c = 1; c < cells.size(); ++c)
        line += cells[c] + QStringLiteral("      ");
    return line;
}

} // namespace tq
