#pragma once

#include <QIcon>

namespace tq {

// The main window's pictures, drawn by us at every size asked for so they
// stay sharp on any screen.
QIcon appIcon();
QIcon openGlyph();
QIcon saveGlyph();
QIcon printGlyph();
QIcon helpGlyph();
QIcon downloadGlyph();
QIcon setupGlyph();
QIcon searchGlyph();

} // namespace tq
