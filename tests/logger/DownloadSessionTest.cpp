#include "DownloadSession.h"
#include "CommandGuard.h"
#include "DataSetCollection.h"
#include "LoggerSim.h"
#include "LoggerTestSupport.h"
#include "MemoryDecoder.h"
#include "Messages.h"
#include "TComPort.h"

#include <gtest/gtest.h>

using namespace tq;
using tq::sim::LoggerSim;

namespace {

// A simulated logger and the download port on its device, with the
// program's error handler (every port error a silent abort).
struct DownloadRig {
    LoggerSim sim;
    TComPort port;
    MemoryImage image;
    RecordingProgress progress;
    explicit DownloadRig(int model) : sim(model) {
        QString error;
        EXPECT_TRUE(sim.start(&error)) << error.toStdString();
        port.setDeviceName(sim.devicePath());
        port.setOnError(TComPort::abortSilently);
    }
    DownloadResult download(DownloadSession& session) { return session.downloadMemory(image, progress); }
    QByteArray bytes() const { return QByteArray(reinterpret_cast<const char*>(image.data()), image.size()); }
    // What the decoder makes of the image, as the command will call it.
    DownloadResult decode(const DownloadSession& session) {
        DataSetCollection collection;
        return decodeMemoryImage(image.reader(), session.total(), session.dataSetCount(), collection);
    }
};

QVector<tq::sim::SimDataSet> threeSets() {
    return LoggerSim::demoDataSets(3, 150);
}

} // namespace

TEST(DownloadSession, OkForBothModelsWithTheirFillBytes) {
    for (int model : {860, 862}) {
        DownloadRig rig(model);
        rig.sim.setDataSets(threeSets());
        const QByteArray memory = rig.sim.memoryImage();
        DownloadSession session(rig.port, model);
        ASSERT_EQ(rig.download(session), DownloadResult::Ok) << model;
        EXPECT_EQ(rig.bytes(), memory);
        EXPECT_EQ(session.total(), memory.size());
        EXPECT_EQ(session.received(), memory.size());
        EXPECT_EQ(session.dataSetCount(), 3);
        EXPECT_EQ(session.retries(), 0);
        EXPECT_EQ(rig.decode(session), DownloadResult::Ok);
        // The download port's own lines, and the request it sent first.
        EXPECT_FALSE(rig.port.dtrOn());
        EXPECT_TRUE(rig.port.rtsOn());
        EXPECT_EQ(rig.sim.receivedCommands().first(), QByteArray("\xEF\x44\xFE", 3));
        // Progress: maximum unknown, then the total; values rise to it.
        EXPECT_EQ(rig.progress.maxima, (QVector<qint64>{0, memory.size()}));
        EXPECT_EQ(rig.progress.values.first(), 0);
        EXPECT_EQ(rig.progress.values.last(), memory.size());
        EXPECT_TRUE(std::is_sorted(rig.progress.values.begin(), rig.progress.values.end()));
    }
}

TEST(DownloadSession, EmptyDirectoryAndADataErrorComeOutOfTheDecoder) {
    DownloadRig rig(862);
    DownloadSession session(rig.port, 862);
    // Erased: the directory alone, total 0; the decoder finds no data.
    ASSERT_EQ(rig.download(session), DownloadResult::Ok);
    EXPECT_EQ(session.total(), 0);
    EXPECT_EQ(session.received(), 256);
    EXPECT_EQ(rig.decode(session), DownloadResult::NoData);

    // The first record ends beyond the memory the last one announces.
    rig.port.close();
    rig.sim.setMemoryImage(memoryWith(0x00, {{5000}, {1000}}, 1024));
    ASSERT_EQ(rig.download(session), DownloadResult::Ok);
    EXPECT_EQ(session.total(), 1024);
    EXPECT_EQ(session.dataSetCount(), 2);
    EXPECT_EQ(rig.decode(session), DownloadResult::DataError);
}

TEST(DownloadSession, RefusedDirectoryBlockIsResentAndTheTotalRoundsUp) {
    DownloadRig rig(860);
    const QByteArray memory = memoryWith(0xFF, {{1000}}, 1024);
    rig.sim.setMemoryImage(memory);
    rig.sim.setBadChecksumBlock(3);
    DownloadSession session(rig.port, 860);
    ASSERT_EQ(rig.download(session), DownloadResult::Ok);
    EXPECT_EQ(session.retries(), 1);
    EXPECT_EQ(session.total(), 1024);
    EXPECT_EQ(rig.progress.maxima.last(), 1024);
    EXPECT_EQ(rig.bytes(), memory);
}

TEST(DownloadSession, The21stRetryEndsInAReadError) {
    DownloadRig rig(860);
    rig.sim.setDataSets(threeSets());
    DownloadSession session(rig.port, 860);
    // Twenty-one refusals of one block.
    rig.sim.setBadChecksumBlock(5, LoggerSim::kAlways);
    EXPECT_EQ(rig.download(session), DownloadResult::ReadError);
    EXPECT_EQ(session.retries(), 21);
    EXPECT_EQ(session.received(), 5 * 64);

    // A partial-block time-out and twenty refusals elsewhere add up the same.
    rig.port.close();
    rig.sim.setBadChecksumBlock(6, 20);
    rig.sim.setTruncatedBlock(2);
    EXPECT_EQ(rig.download(session), DownloadResult::ReadError);
    EXPECT_EQ(session.retries(), 21);
    EXPECT_EQ(session.received(), 6 * 64);
}

TEST(DownloadSession, SilenceMidTransferIsAReadErrorAndTryingAgainWorks) {
    DownloadRig rig(862);
    rig.sim.setDataSets(threeSets());
    rig.sim.setSilentAfterBlock(6);
    DownloadSession session(rig.port, 862);
    EXPECT_EQ(rig.download(session), DownloadResult::ReadError);
    EXPECT_EQ(session.received(), 7 * 64);
    EXPECT_LT(session.received(), session.total());

    // Try Again: a fresh transfer from the request, into an emptied image.
    rig.sim.setSilentAfterBlock(-1);
    rig.port.close();
    EXPECT_EQ(rig.download(session), DownloadResult::Ok);
    EXPECT_EQ(rig.bytes(), rig.sim.memoryImage());
}

TEST(DownloadSession, DeviceRemovedMidTransferIsASilentAbort) {
    DownloadRig rig(860);
    rig.sim.setDataSets(threeSets());
    rig.sim.setUnplugAfterBlock(5);
    DownloadSession session(rig.port, 860);
    int boxes = 0;
    Messages::setHandler([&](Messages::Kind, const QString&, const QString&) {
        ++boxes;
        return Messages::Ok;
    });
    EXPECT_FALSE(guarded([&] { rig.download(session); }));
    Messages::setHandler({});
    EXPECT_EQ(boxes, 0);
    EXPECT_FALSE(rig.port.active());
    EXPECT_EQ(session.received(), 6 * 64);
}

TEST(DownloadSession, CancelEndsTheTransferAsAReadError) {
    DownloadRig rig(860);
    rig.sim.setDataSets(LoggerSim::dataSetsFilling(64 * 1024));
    rig.progress.cancelAt = 640;
    DownloadSession session(rig.port, 860);
    EXPECT_EQ(rig.download(session), DownloadResult::ReadError);
    EXPECT_TRUE(session.cancelled());
    EXPECT_GE(session.received(), 640);
    EXPECT_LT(session.received(), 64 * 1024);
}

TEST(DownloadSession, LoggerThatNeverAnswers) {
    DownloadRig rig(860);
    rig.sim.setSilent(true);
    DownloadSession session(rig.port, 860);
    // Nothing announced and nothing received: the decoder reports no data.
    EXPECT_EQ(rig.download(session), DownloadResult::Ok);
    EXPECT_EQ(session.received(), 0);
    EXPECT_EQ(rig.decode(session), DownloadResult::NoData);
}
