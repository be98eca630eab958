#pragma once

#include "PortLease.h"

class QWidget;

namespace tq {

class LiveLink;

// The firmware version box (Ctrl+Shift+V): asks the logger over the live
// port, borrowed from the live link and polled, and shows the text in
// TfrmFV (empty when the reply was not 11 bytes).
class FirmwareCommand {
  public:
    static constexpr int kOpenPauseMs = 200;
    // The pauses around reopening the live port after the box.
    static constexpr PortLease::Resume kResume{200, 0, 500};

    FirmwareCommand(LiveLink& live, QWidget* parent) : m_live(live), m_parent(parent) {}
    void run();

  private:
    LiveLink& m_live;
    QWidget* m_parent;
};

} // namespace tq
