#pragma once

#include <QByteArray>
#include <QString>

#include "FdIo.h" // bytes()

// The PC's end of a simulated logger, in plain POSIX calls.
class PtyPort {
  public:
    explicit PtyPort(const QString& path);
    ~PtyPort();
    PtyPort(const PtyPort&) = delete;
    PtyPort& operator=(const PtyPort&) = delete;

    bool isOpen() const { return m_fd >= 0; }
    void close();
    void send(const QByteArray& bytes);
    // Reads until n bytes came or timeoutMs passed.
    QByteArray read(int n, int timeoutMs = 2000);
    // Reads until no byte arrives for quietMs.
    QByteArray readUntilQuiet(int quietMs);
    // The other end is gone (the line hung up), waiting up to timeoutMs.
    bool hungUp(int timeoutMs);

  private:
    int m_fd = -1;
};

QByteArray plain(char letter, const QByteArray& params = {});
