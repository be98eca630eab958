#include "DownloadJob.h"
#include "DataSetCollection.h"
#include "DeviceSession.h"
#include "JobRunner.h"
#include "LoggerSim.h"
#include "LoggerTestSupport.h"
#include "MemoryDecoder.h"
#include "TComPort.h"

#include <gtest/gtest.h>

using namespace tq;
using tq::sim::LoggerSim;

namespace {

// What a finished download job left, as the command sees it.
struct Downloaded {
    DownloadResult result = DownloadResult::ReadError;
    JobOutcome outcome;
    qint64 total = 0, received = 0;
    int dataSetCount = 0, retries = 0;
    bool downloadLines = false;
};

// A simulated logger and a device session on its device.
struct DownloadRig {
    LoggerSim sim;
    DeviceSession session;
    MemoryImage image;
    QVector<qint64> maxima, values;
    qint64 cancelAt = -1;
    explicit DownloadRig(int model) : sim(model) {
        QString error;
        EXPECT_TRUE(sim.start(&error)) << error.toStdString();
        session.setDevice(sim.devicePath());
    }
    Downloaded download(int model) {
        Downloaded d;
        auto job = std::make_unique<DownloadJob>(*findLoggerModel(model));
        DeviceJob* raw = job.get();
        job->onProgress = [&, raw](qint64 received, qint64 total) {
            if (maxima.isEmpty() || maxima.last() != total) maxima << total;
            values << received;
            if (cancelAt >= 0 && received >= cancelAt) session.cancel(raw);
        };
        d.outcome = tq::testing::runJob<DownloadJob>(session, std::move(job), [&](DownloadJob& j) {
            image = std::move(j.image());
            d = {j.result(),
                 j.outcome(),
                 j.total(),
                 j.received(),
                 j.dataSetCount(),
                 j.retries(),
                 !session.port().dtrOn() && session.port().rtsOn()};
        });
        return d;
    }
    QByteArray bytes() const { return QByteArray(reinterpret_cast<const char*>(image.data()), image.size()); }
    // What the decoder makes of the image, as the command will call it.
    DownloadResult decode(const Downloaded& d) {
        DataSetCollection collection;
        return decodeMemoryImage(image.reader(), d.total, d.dataSetCount, collection);
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
        const Downloaded session = rig.download(model);
        ASSERT_EQ(session.result, DownloadResult::Ok) << model;
        EXPECT_EQ(rig.bytes(), memory);
        EXPECT_EQ(session.total, memory.size());
        EXPECT_EQ(session.received, memory.size());
        EXPECT_EQ(session.dataSetCount, 3);
        EXPECT_EQ(session.retries, 0);
        EXPECT_EQ(rig.decode(session), DownloadResult::Ok);
        // The download port's own lines, and the request it sent first.
        EXPECT_TRUE(session.downloadLines);
        EXPECT_EQ(rig.sim.receivedCommands().first(), QByteArray("\xEF\x44\xFE", 3));
        // Progress: maximum unknown, then the total; values rise to it.
        EXPECT_EQ(rig.maxima, (QVector<qint64>{0, memory.size()}));
        EXPECT_EQ(rig.values.first(), 0);
        EXPECT_EQ(rig.values.last(), memory.size());
        EXPECT_TRUE(std::is_sorted(rig.values.begin(), rig.values.end()));
    }
}

TEST(DownloadSession, EmptyDirectoryAndADataErrorComeOutOfTheDecoder) {
    DownloadRig rig(862);
    // Erased: the directory alone, total 0; the decoder finds no data.
    Downloaded session = rig.download(862);
    ASSERT_EQ(session.result, DownloadResult::Ok);
    EXPECT_EQ(session.total, 0);
    EXPECT_EQ(session.received, 256);
    EXPECT_EQ(rig.decode(session), DownloadResult::NoData);

    // The first record ends beyond the memory the last one announces.
    rig.sim.setMemoryImage(memoryWith(0x00, {{5000}, {1000}}, 1024));
    session = rig.download(862);
    ASSERT_EQ(session.result, DownloadResult::Ok);
    EXPECT_EQ(session.total, 1024);
    EXPECT_EQ(session.dataSetCount, 2);
    EXPECT_EQ(rig.decode(session), DownloadResult::DataError);
}

TEST(DownloadSession, RefusedDirectoryBlockIsResentAndTheTotalRoundsUp) {
    DownloadRig rig(860);
    const QByteArray memory = memoryWith(0xFF, {{1000}}, 1024);
    rig.sim.setMemoryImage(memory);
    rig.sim.setBadChecksumBlock(3);
    const Downloaded session = rig.download(860);
    ASSERT_EQ(session.result, DownloadResult::Ok);
    EXPECT_EQ(session.retries, 1);
    EXPECT_EQ(session.total, 1024);
    EXPECT_EQ(rig.maxima.last(), 1024);
    EXPECT_EQ(rig.bytes(), memory);
}

TEST(DownloadSession, The21stRetryEndsInAReadError) {
    DownloadRig rig(860);
    rig.sim.setDataSets(threeSets());
    // Twenty-one refusals of one block.
    rig.sim.setBadChecksumBlock(5, LoggerSim::kAlways);
    Downloaded session = rig.download(860);
    EXPECT_EQ(session.result, DownloadResult::ReadError);
    EXPECT_EQ(session.retries, 21);
    EXPECT_EQ(session.received, 5 * 64);

    // A partial-block time-out and twenty refusals elsewhere add up the same.
    rig.sim.setBadChecksumBlock(6, 20);
    rig.sim.setTruncatedBlock(2);
    session = rig.download(860);
    EXPECT_EQ(session.result, DownloadResult::ReadError);
    EXPECT_EQ(session.retries, 21);
    EXPECT_EQ(session.received, 6 * 64);
}

TEST(DownloadSession, SilenceMidTransferIsAReadErrorAndTryingAgainWorks) {
    DownloadRig rig(862);
    rig.sim.setDataSets(threeSets());
    rig.sim.setSilentAfterBlock(6);
    Downloaded session = rig.download(862);
    EXPECT_EQ(session.result, DownloadResult::ReadError);
    EXPECT_EQ(session.received, 7 * 64);
    EXPECT_LT(session.received, session.total);

    // Try Again: a fresh transfer from the request, into an emptied image.
    rig.sim.setSilentAfterBlock(-1);
    EXPECT_EQ(rig.download(862).result, DownloadResult::Ok);
    EXPECT_EQ(rig.bytes(), rig.sim.memoryImage());
}

TEST(DownloadSession, DeviceRemovedMidTransferEndsTheJobWithWhatArrived) {
    DownloadRig rig(860);
    rig.sim.setDataSets(threeSets());
    rig.sim.setUnplugAfterBlock(5);
    const Downloaded session = rig.download(860);
    EXPECT_EQ(session.result, DownloadResult::ReadError);
    EXPECT_EQ(session.outcome.code, JobOutcome::Code::DeviceRemoved);
    EXPECT_FALSE(session.outcome.text.isEmpty());
    EXPECT_FALSE(rig.session.port().active());
    EXPECT_EQ(session.received, 6 * 64);
    EXPECT_EQ(rig.image.size(), 6 * 64);
}

TEST(DownloadSession, CancelEndsTheTransferAsAReadError) {
    DownloadRig rig(860);
    rig.sim.setDataSets(LoggerSim::dataSetsFilling(64 * 1024));
    rig.cancelAt = 640;
    const Downloaded session = rig.download(860);
    EXPECT_EQ(session.result, DownloadResult::ReadError);
    EXPECT_EQ(session.outcome.code, JobOutcome::Code::Cancelled);
    EXPECT_GE(session.received, 640);
    EXPECT_LT(session.received, 64 * 1024);
}

TEST(DownloadSession, LoggerThatNeverAnswers) {
    DownloadRig rig(860);
    rig.sim.setSilent(true);
    // Nothing announced and nothing received: the decoder reports no data.
    const Downloaded session = rig.download(860);
    EXPECT_EQ(session.result, DownloadResult::Ok);
    EXPECT_EQ(session.received, 0);
    EXPECT_EQ(rig.decode(session), DownloadResult::NoData);
}

TEST(DownloadSession, ThePortThatCannotBeOpenedSaysWhy) {
    DeviceSession session;
    session.setDevice(QStringLiteral("/dev/tq880-no-such-port"));
    const JobOutcome outcome = tq::testing::runJob(session, std::make_unique<DownloadJob>(kModel860));
    EXPECT_EQ(outcome.code, JobOutcome::Code::CannotOpen);
    EXPECT_FALSE(outcome.text.isEmpty());
}
