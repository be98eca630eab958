#pragma once

// Where the lines of a printed data list go. Lengths in printer device units.

#include <QString>
#include <QStringList>

namespace tq {

struct TextPageLayout {
    int lineHeight = 1;   // h
    int linesPerPage = 1; // L
};

// h = text height x 1.5 (at least 1); L = the number of lines whose text
// ends on the page (the first one one line height below the top), rounded
// down to a multiple of 10. A page too short for ten lines takes the lines
// that fit, at least 1, so nothing divides by zero.
TextPageLayout textPageLayout(int pageHeight, int textHeight);

// Grid row r (0 = the header row) goes on page r / L (0-based) ...
inline int pageOfRow(int row, const TextPageLayout& l) {
    return row / l.linesPerPage;
}
// ... at this y (top of the line).
inline int yOfRow(int row, const TextPageLayout& l) {
    return (row % l.linesPerPage) * l.lineHeight + l.lineHeight;
}
inline int pageCount(int rows, const TextPageLayout& l) {
    return rows <= 0 ? 0 : (rows - 1) / l.linesPerPage + 1;
}

// Every cell from column 1 on, each followed by six spaces.
QString dataListLine(const QStringList& cells);

} // namespace tq
