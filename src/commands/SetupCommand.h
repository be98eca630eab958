#pragma once

#include "PortLease.h"

class QWidget;

namespace tq {

class LiveLink;

// Logger Setup (the btnSetup tool button and the "&Setup" item): the gate
// in front of the setup dialog. It refuses without a connection and while
// the logger records; otherwise it borrows the device from the live link
// for as long as the dialog is open.
class SetupCommand {
  public:
    // The pauses around reopening the live port after the dialog.
    static constexpr PortLease::Resume kResume{500, 500, 500};

    SetupCommand(LiveLink& live, QWidget* parent) : m_live(live), m_parent(parent) {}
    void run();

  private:
    LiveLink& m_live;
    QWidget* m_parent;
};

} // namespace tq
