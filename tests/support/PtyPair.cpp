#include "PtyPair.h"

#include "FdIo.h"
#include "PtyNumbers.h"

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

PtyPair::PtyPair() {
    char name[256] = {};
    if (openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0) {
        m_master = m_slave = -1;
        return;
    }
    termios tio{};
    tcgetattr(m_slave, &tio);
    cfmakeraw(&tio);
    tcsetattr(m_slave, TCSANOW, &tio);
    fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
    m_path = QString::fromLocal8Bit(name);
}

PtyPair::~PtyPair() {
    if (m_master >= 0) ::close(m_master);
    tq::sim::holdPtyNumber(m_slave);
}

void PtyPair::send(const QByteArray& bytes) {
    writeAll(m_master, bytes, 1000);
}

QByteArray PtyPair::receive(int minBytes, int timeoutMs) {
    return readFor(m_master, minBytes, timeoutMs);
}
