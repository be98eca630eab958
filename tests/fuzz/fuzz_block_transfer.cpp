// The block transfer step machine of the download and the setup dialog's
// directory read: what arrives in which step and how much time passes in
// between, then the silence that must end it; a complete memory goes on to
// the decoder, as after a download.
// Input: option byte (bit 0: directory read, else the memory; bit 1: model
// 862's fill byte 00, else FF), then steps: a time byte (16 ms each), a
// length byte and that many received bytes.

#include "BlockTransfer.h"
#include "DataSetCollection.h"
#include "FuzzSupport.h"
#include "MemoryDecoder.h"
#include "MemoryImage.h"
#include "MemoryLayout.h"
#include "Protocol.h"

using namespace tq;

namespace {

void checkAnswer(const BlockTransfer& t, const MemoryImage& image, const BlockTransfer::Answer& a,
                 bool directoryMode) {
    static const QByteArray accept = protocol::plainCommand(protocol::kAccept);
    static const QByteArray refuse = protocol::plainCommand(protocol::kRefuse);
    FUZZ_CHECK(a.send.isEmpty() || a.send == accept || a.send == refuse);
    // Something is sent exactly when a block was taken or a partial one dropped.
    FUZZ_CHECK(a.blockHandled == !a.send.isEmpty());
    FUZZ_CHECK(t.received() == image.size());
    FUZZ_CHECK(t.received() % BlockTransfer::kPayload == 0);
    FUZZ_CHECK(t.received() <= memory::kMaxMemorySize);
    FUZZ_CHECK(t.retries() <= BlockTransfer::kMaxRetries + 1);
    FUZZ_CHECK(t.total() >= 0 && t.total() <= memory::kMaxMemorySize);
    FUZZ_CHECK(t.dataSetCount() >= 0 && t.dataSetCount() <= memory::kMaxDataSets);
    if (a.totalLearned) FUZZ_CHECK(!directoryMode && t.received() == memory::kDirectorySize);
    if (directoryMode) FUZZ_CHECK(t.received() <= memory::kDirectorySize);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    const quint8 options = in.option();
    const bool directoryMode = options & 1;
    const quint8 fill = (options & 2) ? 0x00 : 0xFF;
    MemoryImage image;
    image.append(0x55); // the machine empties it
    BlockTransfer t(directoryMode ? BlockTransfer::Mode::Directory : BlockTransfer::Mode::Memory, fill,
                    image);
    FUZZ_CHECK(image.size() == 0);

    qint64 now = 1000;
    t.start(now);
    const char* rest = in.rest();
    size_t left = in.restSize();
    while (left >= 2 && !t.done()) {
        now += 16 * quint8(rest[0]);
        const size_t n = qMin<size_t>(quint8(rest[1]), left - 2);
        const QByteArray arrived(rest + 2, qsizetype(n));
        rest += 2 + n;
        left -= 2 + n;
        const qint64 deadline = t.nextDeadlineMs();
        checkAnswer(t, image, t.step(arrived, now), directoryMode);
        FUZZ_CHECK(t.nextDeadlineMs() >= qMin(deadline, now));
    }

    // The line goes quiet: the transfer must end by itself within its
    // deadlines, each refused partial block counting as a retry.
    for (int quiet = 0; !t.done(); ++quiet) {
        FUZZ_CHECK(quiet <= BlockTransfer::kMaxRetries + 3);
        const qint64 deadline = t.nextDeadlineMs();
        FUZZ_CHECK(deadline > now - BlockTransfer::kSilenceMs);
        now = qMax(now, deadline);
        checkAnswer(t, image, t.step({}, now), directoryMode);
    }
    FUZZ_CHECK(t.step(QByteArray(70, '\0'), now + 1).send.isEmpty());

    if (t.complete() && !directoryMode) {
        FUZZ_CHECK(t.received() >= t.total());
        DataSetCollection sets;
        const DownloadResult result =
            decodeMemoryImage(image.reader(), t.total(), t.dataSetCount(), sets, 45000.5);
        if (result == DownloadResult::Ok)
            FUZZ_CHECK(sets.count() == t.dataSetCount());
        else
            FUZZ_CHECK(sets.count() == 0);
    }
    return 0;
}
