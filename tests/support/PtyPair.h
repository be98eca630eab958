#pragma once

#include <QByteArray>
#include <QString>

// A raw pseudo-terminal for tests: the code under test opens slavePath()
// like a serial device; the test plays the device on the master side.
class PtyPair {
  public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool ok() const { return m_master >= 0; }
    QString slavePath() const { return m_path; }

    void send(const QByteArray& bytes);
    // Reads what the device received, waiting up to timeoutMs for at least
    // minBytes.
    QByteArray receive(int minBytes, int timeoutMs);

  private:
    int m_master = -1;
    int m_slave = -1;
    QString m_path;
};
