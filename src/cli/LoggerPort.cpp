#include "LoggerPort.h"

#include "DownloadSession.h"
#include "FirmwareQuery.h"
#include "FrameCutter.h"
#include "LcdState.h"
#include "LiveDecoder.h"
#include "LoggerLink.h"
#include "LoggerSearch.h"
#include "PortNames.h"
#include "Protocol.h"
#include "PumpingWait.h"
#include "SetupSession.h"

#include <QElapsedTimer>

namespace tq::cli {

namespace {
// A live frame is answered at once; this allows for a slow adapter.
constexpr int kLiveFrameWaitMs = 2000;
// The program's pauses between the live port's closing and another port's
// opening on the same device.
constexpr int kClosePauseMs = 200;
constexpr int kOpenPauseMs = 300;
} // namespace

void pause(int ms) {
    pumpingWait(ms);
}

LoggerPort::LoggerPort(const QString& path, Io& io) : m_io(io) {
    m_port.setDeviceName(deviceNameFor(path));
    m_port.setBaudRate(19200);
}

void LoggerPort::reopen(Lines lines) {
    if (m_lines == lines && m_port.active()) return;
    if (m_port.active()) {
        m_port.close();
        pause(kClosePauseMs);
    }
    if (lines == Lines::Live) {
        m_port.setDtrControl(TComPort::DtrControl::Enable);
        m_port.setRtsControl(TComPort::RtsControl::Disable);
    } else {
        SetupSession::configurePort(m_port);
    }
    m_lines = lines;
    m_port.open();
    m_port.purgeInput();
}

bool LoggerPort::identify() {
    m_port.setDtrControl(TComPort::DtrControl::Enable);
    m_port.setRtsControl(TComPort::RtsControl::Disable);
    LoggerSearch search(m_port, pause);
    switch (search.probe()) {
    case LoggerSearch::Outcome::CannotOpen:
        m_io.err << "cannot open " << path() << ": " << search.openError() << Qt::endl;
        return false;
    case LoggerSearch::Outcome::NoLogger:
        m_io.err << "no logger answers on " << path() << Qt::endl;
        return false;
    case LoggerSearch::Outcome::Found:
        break;
    }
    m_lines = Lines::Live;
    m_model = search.model();
    return true;
}

bool LoggerPort::readLiveFrame() {
    reopen(Lines::Live);
    m_port.purgeInput();
    m_port.write(protocol::plainCommand(protocol::kLive));
    LoggerLink link;
    link.modelCode = m_model;
    link.frameLength = LoggerLink::frameLengthFor(m_model);
    QByteArray buffer;
    QElapsedTimer clock;
    clock.start();
    for (qint64 left = kLiveFrameWaitMs; left > 0; left = kLiveFrameWaitMs - clock.elapsed()) {
        if (const int waiting = m_port.waitForInput(int(left))) buffer += m_port.read(waiting);
        const QList<QByteArray> frames = cutFrames(buffer, link.frameLength);
        if (frames.isEmpty()) continue;
        LcdState lcd;
        decodeLiveFrame(frames.first(), lcd, link);
        m_recording = link.recording;
        m_fahrenheit = !link.unitCelsius;
        return true;
    }
    m_io.err << "the logger on " << path() << " sent no live reading" << Qt::endl;
    return false;
}

int LoggerPort::readyForCommand() {
    if (!identify() || !readLiveFrame()) return CannotRead;
    if (m_recording) {
        m_io.err << "the logger is recording; stop the recording first" << Qt::endl;
        return Recording;
    }
    return Ok;
}

std::optional<QString> LoggerPort::firmware() {
    reopen(Lines::Live);
    return FirmwareQuery(m_port, pause).run();
}

TComPort& LoggerPort::setupPort() {
    reopen(Lines::Setup);
    m_port.purgeInput();
    return m_port;
}

TComPort& LoggerPort::downloadPort() {
    if (m_port.active()) m_port.close();
    pause(kClosePauseMs);
    DownloadSession::configurePort(m_port);
    pause(kOpenPauseMs);
    m_lines = Lines::None;
    return m_port;
}

} // namespace tq::cli
