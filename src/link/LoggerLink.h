#pragma once

#include "LoggerModel.h"

#include <QByteArray>

namespace tq {

// The one program-wide state of the serial link.
struct LoggerLink {
    int portIndex = 0;
    int modelCode = 860;
    int frameLength = 8;
    bool connected = false;
    bool recording = false;
    bool unitCelsius = true;
    bool receiving = false;
    bool dataSeen = false;
    int missedTicks = 0;
    QByteArray rxBuffer; // received bytes not yet consumed

    // Model table: frame length of each model's live frame.
    static int frameLengthFor(int model) { return loggerModel(model).frameLength; }
};

} // namespace tq
