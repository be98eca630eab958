#pragma once

#include <QByteArray>
#include <QDateTime>
#include <optional>

namespace tq {

// The logger's replies to the setup commands, read from plain bytes.

// Cuts clock replies (EF yy mm dd hh mi ss FE) out of buffer, which holds
// what the setup port received so far; at most 7 bytes, from a start mark,
// stay behind for the next call. Garbage before a start mark is dropped, a
// start mark without its end mark 7 bytes on is dropped on its own, and a
// reply whose date or time cannot exist is dropped with its 8 bytes.
// Answers the last possible clock found, if any.
std::optional<QDateTime> takeClockReplies(QByteArray& buffer);

// The seconds of a read-interval reply (EF lo hi FE, little-endian). Empty
// when the reply is shorter than 4 bytes or not framed by EF ... FE.
std::optional<int> intervalSecondsFromReply(const QByteArray& reply);

// The interval list entry a read-interval reply (EF lo hi FE, seconds)
// selects: the table entry of those seconds, 0 when the table lacks them.
// Empty when the reply is shorter than 4 bytes or not framed by EF ... FE,
// so the list keeps what it shows.
std::optional<int> intervalIndexFromReply(const QByteArray& reply);

// Erase succeeded: byte 1 of the reply is 'Y'.
bool eraseConfirmed(const QByteArray& reply);

} // namespace tq
