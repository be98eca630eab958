#pragma once

#include "LcdState.h"

#include <QString>

namespace tq {

// What the link shows and touches in the main window: status panels, the
// Download button and "&DataLogger" item, the LCD window, the splash and the
// port chooser. The main window implements it; tests fake it.
class LinkView {
  public:
    virtual ~LinkView() = default;

    virtual void showStatus(const QString& device, const QString& state) = 0;
    virtual void setDownloadEnabled(bool on) = 0;
    virtual void setDataLoggerMenuEnabled(bool on) = 0;
    virtual void setRs232Mark(bool visible) = 0; // nothing when the LCD window is gone
    virtual void refreshLcd(const LcdState& state) = 0;
    virtual void showSearchProgress(const QString& text) = 0;

    virtual int portCount() const = 0;
    virtual QString portText(int index) const = 0;
    virtual void selectPort(int index) = 0;
    virtual void removePort(int index) = 0;
};

} // namespace tq
