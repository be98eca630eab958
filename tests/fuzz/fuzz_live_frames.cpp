// The live link's receive path: bytes arrive in pieces of any size, every
// complete frame is cut out and decoded into the LCD state.
// Input: option byte (bit 0: model 862), four bytes seeding the piece
// sizes, then the received bytes.

#include "FrameCutter.h"
#include "FuzzSupport.h"
#include "LiveDecoder.h"
#include "LoggerLink.h"

using namespace tq;

namespace {
void checkLcd(const LcdState& lcd) {
    for (quint8 code : lcd.digitCodes)
        FUZZ_CHECK(code <= 15);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    LoggerLink link;
    link.modelCode = (in.option() & 1) ? 862 : 860;
    link.frameLength = LoggerLink::frameLengthFor(link.modelCode);
    fuzz::Pieces pieces(in.option32(), 3 * link.frameLength);
    const QByteArray stream(in.rest(), qsizetype(in.restSize()));

    LcdState lcd;
    QList<QByteArray> frames;
    for (qsizetype at = 0; at < stream.size();) {
        const qsizetype n = qMin<qsizetype>(pieces.next(), stream.size() - at);
        link.rxBuffer.append(stream.constData() + at, n);
        at += n;
        const QList<QByteArray> cut = cutFrames(link.rxBuffer, link.frameLength);
        // Whatever stays waits for more bytes: never a whole frame's worth.
        FUZZ_CHECK(link.rxBuffer.size() < link.frameLength);
        for (const QByteArray& payload : cut) {
            FUZZ_CHECK(payload.size() == link.frameLength - 2);
            decodeLiveFrame(payload, lcd, link);
            checkLcd(lcd);
            frames.append(payload);
        }
    }

    // However the bytes were cut into pieces, the same frames come out and
    // the same start of a frame waits (bytes before a start mark are
    // dropped with the next scan, whenever that is).
    QByteArray whole = stream;
    FUZZ_CHECK(cutFrames(whole, link.frameLength) == frames);
    const auto waiting = [](const QByteArray& rest) {
        const qsizetype start = rest.indexOf(char(0xEF));
        return start < 0 ? QByteArray() : rest.mid(start);
    };
    FUZZ_CHECK(waiting(whole) == waiting(link.rxBuffer));
    return 0;
}
