#include "PtyPort.h"

#include "FdIo.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

PtyPort::PtyPort(const QString& path) {
    m_fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
}

PtyPort::~PtyPort() {
    close();
}

void PtyPort::close() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}

void PtyPort::send(const QByteArray& data) {
    writeAll(m_fd, data, 2000);
}

QByteArray PtyPort::read(int n, int timeoutMs) {
    return readFor(m_fd, n, timeoutMs, n);
}

QByteArray PtyPort::readUntilQuiet(int quietMs) {
    return ::readUntilQuiet(m_fd, quietMs);
}

bool PtyPort::hungUp(int timeoutMs) {
    pollfd p{m_fd, POLLIN, 0};
    return m_fd >= 0 && ::poll(&p, 1, timeoutMs) > 0 && (p.revents & POLLHUP);
}

QByteArray plain(char letter, const QByteArray& params) {
    return QByteArray(1, char(0xEF)) + letter + params + char(0xFE);
}
