// The setup dialog's clock replies (EF yy mm dd hh mi ss FE) cut out of
// what its port received, bytes arriving in pieces of any size.
// Input: four bytes seeding the piece sizes, then the received bytes.

#include "FuzzSupport.h"
#include "SetupReplies.h"

using namespace tq;

namespace {
void checkClock(const std::optional<QDateTime>& clock) {
    if (!clock) return;
    FUZZ_CHECK(clock->isValid());
    FUZZ_CHECK(clock->date().year() >= 2000 && clock->date().year() <= 2255);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    fuzz::Pieces pieces(in.option32(), 24);
    const QByteArray stream(in.rest(), qsizetype(in.restSize()));

    QByteArray buffer;
    std::optional<QDateTime> last;
    for (qsizetype at = 0; at < stream.size();) {
        const qsizetype n = qMin<qsizetype>(pieces.next(), stream.size() - at);
        buffer.append(stream.constData() + at, n);
        at += n;
        const std::optional<QDateTime> clock = takeClockReplies(buffer);
        checkClock(clock);
        if (clock) last = clock;
        // The buffer never grows: at most a reply's worth minus one waits.
        FUZZ_CHECK(buffer.size() <= 7);
    }

    // Cut into pieces or read at once, the stream shows the same last clock
    // and leaves the same bytes waiting.
    QByteArray whole = stream;
    const std::optional<QDateTime> once = takeClockReplies(whole);
    checkClock(once);
    FUZZ_CHECK(once == last);
    FUZZ_CHECK(whole == buffer);
    return 0;
}
