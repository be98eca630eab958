#pragma once

#include <QByteArray>
#include <climits>
#include <initializer_list>

// Plain POSIX reads and writes on a non-blocking descriptor, for the tests
// that play one end of a pseudo-terminal.

// Writes all bytes, waiting up to timeoutMs whenever the device is full.
void writeAll(int fd, const QByteArray& bytes, int timeoutMs);
// Reads until at least minBytes came or timeoutMs passed, never more than
// maxBytes in all.
QByteArray readFor(int fd, int minBytes, int timeoutMs, int maxBytes = INT_MAX);
// Reads until no byte arrives for quietMs.
QByteArray readUntilQuiet(int fd, int quietMs);

// Bytes from a list of values: bytes({0xEF, 0x41, 0xFE}).
QByteArray bytes(std::initializer_list<int> values);
