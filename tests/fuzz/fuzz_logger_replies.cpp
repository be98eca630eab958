// The logger's short replies, each read from the same bytes: the search
// reply naming the model, the firmware version, the read-interval reply and
// the erase confirmation. Input: the reply.

#include "FirmwareQuery.h"
#include "FuzzSupport.h"
#include "IntervalTable.h"
#include "LoggerSearch.h"
#include "SetupReplies.h"

using namespace tq;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray reply(reinterpret_cast<const char*>(data), qsizetype(size));

    const std::optional<LoggerModel> model = modelFromSearchReply(reply);
    if (model)
        FUZZ_CHECK(findLoggerModel(model->code) == model && reply.size() >= LoggerSearch::kReplyLength);
    // Only the first five bytes name the model.
    FUZZ_CHECK(modelFromSearchReply(reply.left(LoggerSearch::kReplyLength)) == model);

    const std::optional<QString> firmware = firmwareFromReply(reply);
    FUZZ_CHECK(firmware.has_value() == (reply.size() == FirmwareQuery::kReplyLength));
    if (firmware) FUZZ_CHECK(firmware->size() == FirmwareQuery::kReplyLength - 2);

    const std::optional<int> seconds = intervalSecondsFromReply(reply);
    if (seconds) FUZZ_CHECK(*seconds >= 0 && *seconds <= 65535);
    const std::optional<int> index = intervalIndexFromReply(reply);
    FUZZ_CHECK(index.has_value() == seconds.has_value());
    if (index) {
        FUZZ_CHECK(*index >= 0 && *index < intervals::kCount);
        if (*index > 0) FUZZ_CHECK(intervals::kSeconds[size_t(*index)] == *seconds);
    }

    // Any reply is read without reading past its end.
    (void)eraseConfirmed(reply);
    return 0;
}
