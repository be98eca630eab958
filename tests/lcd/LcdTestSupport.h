#pragma once

#include "LcdImage.h"
#include "LcdState.h"
#include "TfrmLCD.h"

#include <QImage>
#include <QStringList>
#include <QWidget>

namespace tq::test {

// The indicator images in tag order (tag = index + 1), as the logger's display has them.
inline const QStringList kTaggedNames{
    "imgMCell0", "imgMCell1",   "imgMCell2",  "imgMCell3", "imgMCell4", "imgMCell5",  "imgMCell6",
    "imgMCell7", "imgMEM",      "imgT1Minus", "imgINTV",   "imgRec",    "imgMPoint4", "imgC",
    "imgF",      "imgBATEmpty", "imgBCell4",  "imgBCell3", "imgBCell2", "imgBCell1",  "imgBCell0"};

inline const QStringList kCellNames{"MainD2", "MainD3", "MainD4", "MainD5"};

// 23.4 C, three battery steps, two memory steps, not recording.
inline LcdState workedState() {
    LcdState state;
    state.segmentMask = 0x1CB103;
    state.digitCodes = {11, 11, 0, 11, 2, 3, 4};
    return state;
}

inline lcd::LcdImage* image(const TfrmLCD& window, const QString& name) {
    return window.findChild<lcd::LcdImage*>(name);
}

// Names of the indicator images (tagged ones and imgRS232) currently shown.
inline QStringList shownIndicators(const TfrmLCD& window) {
    QStringList shown;
    for (const QString& name : kTaggedNames + QStringList{"imgRS232"})
        if (!image(window, name)->isHidden()) shown << name;
    return shown;
}

// Pixels drawn in ink rather than ghost or background.
inline bool isInk(const QImage& img, int x, int y) {
    return qAlpha(img.pixel(x, y)) > 128;
}

inline int inkCount(const QImage& img) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += isInk(img, x, y);
    return n;
}

} // namespace tq::test
