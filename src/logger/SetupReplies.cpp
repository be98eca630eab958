#include "SetupReplies.h"

#include "ByteReader.h"
#include "IntervalTable.h"
#include "Protocol.h"

namespace tq {

namespace {
constexpr int kClockReplyLength = 8;
constexpr int kIntervalReplyLength = 4;
} // namespace

std::optional<QDateTime> takeClockReplies(QByteArray& buffer) {
    std::optional<QDateTime> last;
    for (;;) {
        // Bytes before a start mark can never begin a reply: dropped at
        // once, so what waits is the same however the bytes came in.
        const qsizetype start = buffer.indexOf(protocol::kStart);
        if (start < 0) {
            buffer.clear();
            break;
        }
        buffer.remove(0, start);
        if (buffer.size() < kClockReplyLength) break;
        if (buffer.at(kClockReplyLength - 1) != protocol::kEnd) {
            buffer.remove(0, 1);
            continue;
        }
        const ByteReader r(buffer);
        const QDate date(2000 + r.u8At(1), r.u8At(2), r.u8At(3));
        const QTime time(r.u8At(4), r.u8At(5), r.u8At(6));
        buffer.remove(0, kClockReplyLength);
        if (date.isValid() && time.isValid()) last = QDateTime(date, time);
    }
    return last;
}

std::optional<int> intervalSecondsFromReply(const QByteArray& reply) {
    if (reply.size() < kIntervalReplyLength || reply.at(0) != protocol::kStart ||
        reply.at(3) != protocol::kEnd)
        return std::nullopt;
    return ByteReader(reply).u16At(1);
}

std::optional<int> intervalIndexFromReply(const QByteArray& reply) {
    const std::optional<int> seconds = intervalSecondsFromReply(reply);
    if (!seconds) return std::nullopt;
    return intervals::indexOfSeconds(*seconds);
}

bool eraseConfirmed(const QByteArray& reply) {
    return reply.size() >= 2 && reply.at(1) == 'Y';
}

} // namespace tq
