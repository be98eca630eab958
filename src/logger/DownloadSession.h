#pragma once

#include "DownloadResult.h"
#include "MemoryImage.h"

#include <QtGlobal>

namespace tq {

class Progress;
class TComPort;

// The memory download over the download port (Comm2): the request, then the
// block protocol until the logger falls silent. Everything runs on the
// calling thread; between blocks it sleeps in the port's wait for input.
// A port error raises through the port's OnError (a silent abort with the
// program's handler) and leaves what arrived so far in the image.
class DownloadSession {
  public:
    // Longest sleep without a look at the progress and its Cancel.
    static constexpr int kPollSliceMs = 100;

    DownloadSession(TComPort& port, int modelCode);

    // The download port's own modem lines: DTR off, RTS on.
    static void configurePort(TComPort& port);

    // Opens the port if it is closed (without a receive handler), pulls the
    // memory into image and answers Ok or ReadError (fewer bytes than the
    // directory announced, the retry limit, or Cancel). progress gets the
    // total once the directory is in, and the bytes received after every
    // block and at least every kPollSliceMs.
    DownloadResult downloadMemory(MemoryImage& image, Progress& progress);

    qint64 received() const { return m_received; }
    qint64 total() const { return m_total; }
    int dataSetCount() const { return m_dataSetCount; }
    int retries() const { return m_retries; }
    bool cancelled() const { return m_cancelled; }

  private:
    TComPort& m_port;
    int m_modelCode;
    qint64 m_received = 0;
    qint64 m_total = 0;
    int m_dataSetCount = 0;
    int m_retries = 0;
    bool m_cancelled = false;
};

} // namespace tq
