#pragma once

#include "DeviceJob.h"
#include "LcdState.h"
#include "LiveDecoder.h"
#include "LoggerLink.h"
#include "LoggerSearch.h"

#include <QObject>
#include <functional>

namespace tq {

class DeviceSession;
class LinkView;

// The live link: the search for the logger at start-up, and the live
// polling that is the device session's idle job. Once a second (the link
// timer `MainTimer`, kept one second apart by the period correction) it
// asks for a live frame, and its watchdog declares the link lost after three
// ticks without data; the receive handler `Comm1RxChar` cuts and decodes the
// frames and declares the link back on the first. Commands that need the
// device queue their own jobs on the session, which stops the live polling
// for them and resumes it afterwards.
class LiveLink : public QObject, public DeviceJob {
    Q_OBJECT
  public:
    LiveLink(DeviceSession* session, LinkView* view, QObject* parent = nullptr);
    ~LiveLink() override;

    LoggerLink& link() { return m_link; }
    const LoggerLink& link() const { return m_link; }
    const LcdState& lcdState() const { return m_lcd; }
    // The last decoded live frame (what reading() announced).
    const LiveReading& lastReading() const { return m_lastReading; }
    DeviceSession& session() const { return *m_session; }

    // Start-up: search every port of the chooser, one after the other; done
    // runs once the search is over (found or not), with the live link started.
    void searchLogger(std::function<void()> done = {});
    // The same handshake on one entry of the chooser only (a device the user
    // named); it stays in the list whatever it answers.
    void searchPort(int index, std::function<void()> done = {});
    // What the last search found on each port.
    const QList<LoggerSearch::Probe>& lastSearch() const { return m_probes; }
    // The live polling takes the port: the port is opened after 500 ms, the
    // first (checksummed) live request goes 400 ms later, and the link timer
    // starts with it.
    void startLink();

    // The program is ending: every job stops and nothing starts again.
    void endLink();
    bool ended() const;
    // A command has the device.
    bool lent() const;
    // The live polling has the port.
    bool ticking() const;

    // The receive handler's body: the bytes that arrived on the live port.
    void Comm1RxChar(const QByteArray& bytes);
    // One tick of the link timer at nowMs (watchdog, then the poll); what
    // to send now. A wake byte is followed by the request 200 ms later.
    QByteArray MainTimerTimer(qint64 nowMs, bool portOpen);

    void ComboBoxDeviceNameChange(int index);
    void comPortMenu(int k); // COM Port menu item k = 1..8
    void changeBaudRate(int baud, int waitBeforeOpenMs);

    // Next timer interval so tick starts stay one second apart (500 ms floor).
    static int correctedInterval(int currentMs, qint64 sinceLastTickMs);

    static constexpr int kTickMs = 1000;
    static constexpr int kWakeMs = 200;
    static constexpr int kStartOpenMs = 500;
    static constexpr int kStartRequestMs = 400;

    // The live polling as the session's idle job.
    PortRole role() const override { return PortRole::Live; }
    JobStep start(const Outcome& open, qint64 nowMs) override;
    JobStep step(const QByteArray& arrived, qint64 nowMs) override;

  signals:
    // A live frame was decoded (the LCD state and the link fields are new).
    void reading();
    // The watchdog declared the link lost (three ticks without data).
    void linkLost();

  private:
    void search(int first, int count, std::function<void()> done);
    // first: the chooser entry of the search's first device.
    void applySearch(const LoggerSearch& search, int first, bool dropUnopenable);
    void declareConnected();
    JobStep next(QByteArray send) const;

    DeviceSession* m_session;
    LinkView* m_view;
    LoggerLink m_link;
    LcdState m_lcd;
    LiveReading m_lastReading;
    QList<LoggerSearch::Probe> m_probes;
    int m_intervalMs = kTickMs;
    qint64 m_lastTickMs = -1;
    qint64 m_nextTickMs = 0;
    qint64 m_requestAtMs = -1; // the request after a wake byte
    bool m_firstRequest = false;
};

} // namespace tq
