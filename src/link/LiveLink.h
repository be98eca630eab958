#pragma once

#include "LcdState.h"
#include "LoggerLink.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>

namespace tq {

class LinkView;
class RxPort;
class TComPort;

// The live link on Comm1: finding the logger, the receive handler that cuts
// and decodes live frames, the one-second link timer with its watchdog, and
// the port changes. It also holds the download port Comm2, which commands
// borrow with the device through a PortLease. Runs wholly on the
// user-interface thread; the busy flags guard the handlers that can run
// inside another one's pumping wait.
class LiveLink : public QObject {
    Q_OBJECT
  public:
    LiveLink(TComPort* comm1, LinkView* view, QObject* parent = nullptr);

    LoggerLink& link() { return m_link; }
    const LoggerLink& link() const { return m_link; }
    const LcdState& lcdState() const { return m_lcd; }
    TComPort* comm1() const { return m_comm1; }
    // The download port: DTR off, RTS on; every port error a silent abort.
    TComPort* comm2() const { return m_comm2; }
    QTimer* MainTimer() const { return m_timer; }

    // Start-up: search every listed port, then open the live port with the
    // receive handler, send the first (checksummed) live request and start
    // the link timer.
    void searchLogger();
    void startLink();

    // The program is ending: the timer stops, a running search or command
    // gives up at its next wait, and nothing of the link starts again. A
    // wait cut short by the program quitting has the same effect.
    void endLink();
    bool ended() const { return m_ended; }
    // A command has borrowed the device (a PortLease is held).
    bool lent() const { return m_lent; }

    // The receive handler of Comm1; receive() is its body over any port.
    void Comm1RxChar();
    void receive(RxPort& port);
    void MainTimerTimer();

    void ComboBoxDeviceNameChange(int index);
    void comPortMenu(int k); // COM Port menu item k = 1..8
    void changeBaudRate(int baud, int waitBeforeOpenMs);

    // A pumping wait of the link's steps and of the commands that borrow
    // the port: throws a silent abort once the program is ending.
    void pause(int ms);

    // Next timer interval so tick starts stay one second apart (500 ms floor).
    static int correctedInterval(int currentMs, qint64 sinceLastTickMs);

    static constexpr int kBusyWaitMs = 3000;

  private:
    friend class PortLease;

    // A pumping wait; false (and the link ended) when the program is ending.
    bool waitUnlessEnded(int ms);
    // Bounded waits (3 s each) for a running tick and a running receive
    // handler, with the link timer stopped in between.
    void suspendForCommand();
    void attachReceiveHandler();
    void restartTimer();
    void switchToPendingPort();
    // A port picked while the device was lent is switched to now.
    void switchAfterLoan();
    void declareConnected();
    void sendLiveRequest();
    bool attempt(const std::function<void()>& step);

    TComPort* m_comm1;
    TComPort* m_comm2;
    LinkView* m_view;
    QTimer* m_timer;
    LoggerLink m_link;
    LcdState m_lcd;
    QElapsedTimer m_lastTick;
    bool m_resetPeriod = true;
    bool m_ended = false;
    bool m_lent = false;
    int m_pendingPort = -1; // picked during a tick or a loan; switched to after it
};

} // namespace tq
