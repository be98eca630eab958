// The simulated logger's command parser: bytes from the PC in pieces of
// any size, with pauses between them that may or may not drop an
// unfinished command.
// Input: four bytes seeding the piece sizes and pauses, then the bytes.

#include "CommandParser.h"
#include "FuzzSupport.h"

using namespace tq::sim;

namespace {
void checkCommand(const Command& c) {
    const int k = CommandParser::paramCount(c.letter);
    FUZZ_CHECK(c.params.size() == (c.kind == Command::Kind::Wake ? 0 : k));
    switch (c.kind) {
    case Command::Kind::Wake:
        FUZZ_CHECK(c.raw == QByteArray(1, '\0'));
        break;
    case Command::Kind::Plain:
        FUZZ_CHECK(c.raw.size() == 3 + k && c.raw.front() == char(0xEF) && c.raw.back() == char(0xFE));
        break;
    case Command::Kind::Checksummed: {
        FUZZ_CHECK(c.raw.size() == 4 + k && c.raw.front() == 0x02 && c.raw.back() == 0x03);
        quint8 sum = quint8(c.letter);
        for (char p : c.params)
            sum = quint8(sum + quint8(p));
        FUZZ_CHECK(quint8(c.raw.at(c.raw.size() - 2)) == quint8(sum | 0x80));
        break;
    }
    }
    if (c.kind != Command::Kind::Wake) FUZZ_CHECK(c.raw.at(1) == c.letter && c.raw.mid(2, k) == c.params);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    tq::fuzz::Input in(data, size);
    tq::fuzz::Pieces pieces(in.option32(), 16);
    const char* bytes = in.rest();
    const qsizetype total = qsizetype(in.restSize());

    CommandParser parser;
    qint64 nowMs = 0;
    for (qsizetype at = 0; at < total;) {
        const qsizetype n = qMin<qsizetype>(pieces.next(), total - at);
        nowMs += pieces.next() * 20; // 20 ... 320 ms: some pauses are long enough to drop a command
        for (const Command& c : parser.feed(QByteArray(bytes + at, n), nowMs))
            checkCommand(c);
        at += n;
        // The longest command is ten bytes; less than that can wait.
        FUZZ_CHECK(parser.pendingBytes() < 10);
    }
    return 0;
}
