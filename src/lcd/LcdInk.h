#pragma once

#include <QColor>

namespace tq::lcd {

// The panel behind the glass, as the logger's own display looks.
inline QColor panelColor() {
    return QColor(0xE4, 0xE4, 0xE4);
}
// Lit segments: near black with a hint of blue, like a twisted-nematic LCD.
inline QColor inkColor() {
    return QColor(0x1C, 0x20, 0x26);
}
// Unlit segments stay faintly visible on a real LCD.
inline QColor ghostColor() {
    return QColor(0, 0, 0, 15);
}

} // namespace tq::lcd
