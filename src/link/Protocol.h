#pragma once

#include <QByteArray>

namespace tq::protocol {

constexpr char kStart = char(0xEF);
constexpr char kEnd = char(0xFE);
constexpr char kWake = char(0x00);

// Command letters (case matters).
constexpr char kSearch = 'M';
constexpr char kLive = 'A';
constexpr char kFirmware = 'V';
constexpr char kDownload = 'D';
constexpr char kAccept = 'y';
constexpr char kRefuse = 'n';
constexpr char kReadClock = 'T';
constexpr char kSetClock = 't';
constexpr char kReadInterval = 'I';
constexpr char kSetUnit = 'S';
constexpr char kReadDirectory = 'd';
constexpr char kErase = 'e';
constexpr char kSetInterval = 'i';

// EF letter params FE
QByteArray plainCommand(char letter, const QByteArray& params = {});
// 02 letter params (sum | 0x80) 03
QByteArray checksummedCommand(char letter, const QByteArray& params = {});

} // namespace tq::protocol
