#include "PtyPort.h"

#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {
qint64 nowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Waits up to ms for input; false on time-out.
bool waitReadable(int fd, qint64 ms) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, int(std::max<qint64>(ms, 0))) > 0 && (p.revents & POLLIN);
}
} // namespace

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
    qsizetype done = 0;
    while (m_fd >= 0 && done < data.size()) {
        const ssize_t n = ::write(m_fd, data.constData() + done, size_t(data.size() - done));
        if (n > 0) {
            done += n;
        } else {
            pollfd p{m_fd, POLLOUT, 0};
            if (::poll(&p, 1, 2000) <= 0) return;
        }
    }
}

QByteArray PtyPort::read(int n, int timeoutMs) {
    QByteArray out;
    const qint64 deadline = nowMs() + timeoutMs;
    while (m_fd >= 0 && out.size() < n && waitReadable(m_fd, deadline - nowMs())) {
        char buf[4096];
        const ssize_t got = ::read(m_fd, buf, std::min<size_t>(sizeof buf, size_t(n - out.size())));
        if (got <= 0) break;
        out.append(buf, got);
    }
    return out;
}

QByteArray PtyPort::readUntilQuiet(int quietMs) {
    QByteArray out;
    while (m_fd >= 0 && waitReadable(m_fd, quietMs)) {
        char buf[4096];
        const ssize_t got = ::read(m_fd, buf, sizeof buf);
        if (got <= 0) break;
        out.append(buf, got);
    }
    return out;
}

QByteArray plain(char letter, const QByteArray& params) {
    return QByteArray(1, char(0xEF)) + letter + params + char(0xFE);
}

QByteArray bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}
