// The live link's receive path: bytes arrive in pieces of any size through
// the real receive handler, which cuts out every complete frame and decodes
// it into the LCD state.
// Input: option byte (bit 0: model 862), four bytes seeding the piece
// sizes, then the received bytes.

#include "DeviceSession.h"
#include "FakeLinkView.h"
#include "FrameCutter.h"
#include "FuzzSupport.h"
#include "LiveDecoder.h"
#include "LiveLink.h"
#include "LoggerLink.h"

#include <QCoreApplication>

using namespace tq;

namespace {

// Every state the handler shows is checked as it is shown.
class CheckedView : public FakeLinkView {
  public:
    void refreshLcd(const LcdState& lcd) override {
        FakeLinkView::refreshLcd(lcd);
        for (quint8 code : lcd.digitCodes)
            FUZZ_CHECK(code <= 15);
    }
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::silenceQtMessages();
    new QCoreApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    const int model = (in.option() & 1) ? 862 : 860;
    DeviceSession session;
    CheckedView view;
    LiveLink live(&session, &view);
    LoggerLink& link = live.link();
    link.setModel(*findLoggerModel(model));
    fuzz::Pieces pieces(in.option32(), 3 * link.frameLength);
    const QByteArray stream(in.rest(), qsizetype(in.restSize()));

    for (qsizetype at = 0; at < stream.size();) {
        const qsizetype n = qMin<qsizetype>(pieces.next(), stream.size() - at);
        // One receive event per piece.
        live.Comm1RxChar(QByteArray(stream.constData() + at, n));
        at += n;
        FUZZ_CHECK(!link.receiving);
        // Whatever stays waits for more bytes: never a whole frame's worth.
        FUZZ_CHECK(link.rxBuffer.size() < link.frameLength);
    }

    // However the bytes were cut into pieces, the same frames come out, each
    // decoded once, and the same start of a frame waits (bytes before a
    // start mark are dropped with the next scan, whenever that is).
    QByteArray whole = stream;
    const QList<QByteArray> frames = cutFrames(whole, link.frameLength);
    FUZZ_CHECK(view.lcdRefreshes == frames.size());
    FUZZ_CHECK(link.connected == !frames.isEmpty());
    const auto waiting = [](const QByteArray& rest) {
        const qsizetype start = rest.indexOf(char(0xEF));
        return start < 0 ? QByteArray() : rest.mid(start);
    };
    FUZZ_CHECK(waiting(whole) == waiting(link.rxBuffer));

    // The handler shows what the frames decoded in order, without it, show.
    if (!frames.isEmpty()) {
        LcdState alone;
        LoggerLink fresh;
        fresh.setModel(link.model());
        for (const QByteArray& payload : frames)
            decodeLiveFrame(payload, alone, fresh);
        FUZZ_CHECK(alone.digitCodes == live.lcdState().digitCodes);
        FUZZ_CHECK(alone.segmentMask == live.lcdState().segmentMask);
    }
    return 0;
}
