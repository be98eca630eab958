#pragma once

#include "LoggerModel.h"

#include <QByteArray>

namespace tq {

// The one program-wide state of the serial link.
struct LoggerLink {
    int portIndex = 0;
    // The model's code and live frame length, for their readers; setModel
    // writes them with the model.
    int modelCode = kModel860.code;
    int frameLength = kModel860.frameLength;
    bool connected = false;
    bool recording = false;
    bool unitCelsius = true;
    bool receiving = false;
    bool dataSeen = false;
    int missedTicks = 0;
    QByteArray rxBuffer; // received bytes not yet consumed

    // The model of the logger last found; the 860 before any answered.
    const LoggerModel& model() const { return m_model; }
    void setModel(const LoggerModel& model) {
        m_model = model;
        modelCode = model.code;
        frameLength = model.frameLength;
    }

  private:
    LoggerModel m_model = kModel860;
};

} // namespace tq
