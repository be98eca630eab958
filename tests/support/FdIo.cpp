#include "FdIo.h"

#include <QElapsedTimer>
#include <algorithm>
#include <poll.h>
#include <unistd.h>

namespace {
// Waits up to ms for input; false on time-out.
bool waitReadable(int fd, qint64 ms) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, int(std::max<qint64>(ms, 0))) > 0 && (p.revents & POLLIN);
}
} // namespace

void writeAll(int fd, const QByteArray& bytes, int timeoutMs) {
    qsizetype done = 0;
    while (fd >= 0 && done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0) {
            done += n;
            continue;
        }
        pollfd p{fd, POLLOUT, 0};
        if (::poll(&p, 1, timeoutMs) <= 0) return;
    }
}

QByteArray readFor(int fd, int minBytes, int timeoutMs, int maxBytes) {
    QByteArray out;
    QElapsedTimer clock;
    clock.start();
    while (fd >= 0 && out.size() < minBytes && out.size() < maxBytes &&
           waitReadable(fd, timeoutMs - clock.elapsed())) {
        char buf[4096];
        const size_t room = std::min<qint64>(sizeof buf, qint64(maxBytes) - out.size());
        const ssize_t got = ::read(fd, buf, room);
        if (got <= 0) break;
        out.append(buf, got);
    }
    return out;
}

QByteArray readUntilQuiet(int fd, int quietMs) {
    QByteArray out;
    while (fd >= 0 && waitReadable(fd, quietMs)) {
        char buf[4096];
        const ssize_t got = ::read(fd, buf, sizeof buf);
        if (got <= 0) break;
        out.append(buf, got);
    }
    return out;
}

QByteArray bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}
