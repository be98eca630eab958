#pragma once

class QWidget;

namespace tq {

class LiveLink;

// Logger Setup (the btnSetup tool button and the "&Setup" item): the gate
// in front of the setup dialog. It refuses without a connection and while
// the logger records; otherwise the dialog has the device for as long as it
// is open, and the live link takes it back after.
class SetupCommand {
  public:
    SetupCommand(LiveLink& live, QWidget* parent) : m_live(live), m_parent(parent) {}
    void run();

  private:
    LiveLink& m_live;
    QWidget* m_parent;
};

} // namespace tq
