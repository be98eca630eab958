#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

namespace tq {

class LiveLink;

// The firmware version box (Ctrl+Shift+V): asks the logger on the live
// port's lines as a job of the device session and shows the text in TfrmFV
// (empty when the reply was not 11 bytes). The device stays with the
// command until the box is closed.
class FirmwareCommand : public QObject {
    Q_OBJECT
  public:
    FirmwareCommand(LiveLink& live, QWidget* parent) : m_live(live), m_parent(parent) {}
    void run();
    bool running() const { return m_running; }

  signals:
    void finished();

  private:
    void showBox(const QString& version);

    LiveLink& m_live;
    QPointer<QWidget> m_parent;
    bool m_running = false;
};

} // namespace tq
