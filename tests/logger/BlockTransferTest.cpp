#include "BlockTransfer.h"
#include "FdIo.h"
#include "LoggerTestSupport.h"

#include <gtest/gtest.h>

using namespace tq;

namespace {

const QByteArray kAccept = bytes({0xEF, 0x79, 0xFE});
const QByteArray kRefuse = bytes({0xEF, 0x6E, 0xFE});

// A machine, its image and a fake clock in milliseconds.
struct Rig {
    MemoryImage image;
    BlockTransfer transfer;
    qint64 now = 0;
    explicit Rig(BlockTransfer::Mode mode = BlockTransfer::Mode::Memory, quint8 fill = 0xFF)
        : transfer(mode, fill, image) {
        transfer.start(now);
    }
    BlockTransfer::Answer at(qint64 ms, const QByteArray& bytes = {}) {
        now = ms;
        return transfer.step(bytes, ms);
    }
    // Block k of memory, arriving after ms more milliseconds.
    BlockTransfer::Answer block(const QByteArray& memory, int k, qint64 afterMs = 40, bool bad = false) {
        return at(now + afterMs, blocks::make(memory.mid(64 * k, 64), bad));
    }
    QByteArray bytesSoFar() const {
        return QByteArray(reinterpret_cast<const char*>(image.data()), image.size());
    }
};

const QByteArray kMemory1024 = memoryWith(0xFF, {{1000}}, 1024);
const QByteArray kMemory5056 = memoryWith(0xFF, {{5000}}, 5056);

} // namespace

TEST(BlockTransfer, AcceptsGoodBlocksLearnsTheTotalAtExactly256AndEndsAfterSilence) {
    Rig rig;
    for (int k = 0; k < 16; ++k) {
        const BlockTransfer::Answer a = rig.block(kMemory1024, k);
        EXPECT_EQ(a.send, kAccept) << "block " << k;
        EXPECT_TRUE(a.blockHandled);
        // The directory is read once, when its last block is accepted.
        EXPECT_EQ(a.totalLearned, k == 3) << "block " << k;
        EXPECT_EQ(rig.transfer.received(), 64 * (k + 1));
    }
    // End address 1000 gives 1024, whole blocks.
    EXPECT_EQ(rig.transfer.total(), 1024);
    EXPECT_EQ(rig.transfer.dataSetCount(), 1);
    EXPECT_EQ(rig.bytesSoFar(), kMemory1024);

    // The loop goes on while less than 3 s passed since the last block.
    const qint64 last = rig.now;
    EXPECT_EQ(rig.transfer.nextDeadlineMs(), last + 3000);
    EXPECT_TRUE(rig.at(last + 2999).send.isEmpty());
    EXPECT_FALSE(rig.transfer.done());
    rig.at(last + 3000);
    EXPECT_TRUE(rig.transfer.done());
    EXPECT_TRUE(rig.transfer.complete());
    // Bytes after the end are not looked at.
    EXPECT_TRUE(rig.at(last + 3001, blocks::make(QByteArray(64, 1))).send.isEmpty());
    EXPECT_EQ(rig.transfer.received(), 1024);
}

TEST(BlockTransfer, BadChecksumInAnyOfTheFirstFourBlocksStillParsesTheDirectoryAt256) {
    for (int bad = 0; bad < 4; ++bad) {
        Rig rig;
        int learned = 0;
        for (int k = 0; k < 4; ++k) {
            if (k == bad) {
                const BlockTransfer::Answer refused = rig.block(kMemory1024, k, 40, true);
                EXPECT_EQ(refused.send, kRefuse);
                EXPECT_FALSE(refused.totalLearned);
                // Rolled back: the bytes of the bad block are gone again.
                EXPECT_EQ(rig.transfer.received(), 64 * k);
                EXPECT_EQ(rig.image.size(), 64 * k);
                EXPECT_EQ(rig.transfer.retries(), 1);
            }
            const BlockTransfer::Answer a = rig.block(kMemory1024, k);
            EXPECT_EQ(a.send, kAccept);
            learned += a.totalLearned;
        }
        EXPECT_EQ(learned, 1) << "bad block " << bad;
        EXPECT_EQ(rig.transfer.total(), 1024);
        EXPECT_EQ(rig.bytesSoFar(), kMemory1024.left(256));
    }
}

TEST(BlockTransfer, OnlyTheFirst67WaitingBytesAreExamined) {
    Rig rig;
    // A block in two pieces is taken once whole.
    const QByteArray b0 = blocks::make(kMemory1024.left(64));
    EXPECT_TRUE(rig.at(10, b0.left(30)).send.isEmpty());
    EXPECT_EQ(rig.at(20, b0.mid(30)).send, kAccept);
    // A block with trailing garbage: the garbage is dropped with it, so the
    // next block is read from its own start.
    EXPECT_EQ(rig.at(60, blocks::make(kMemory1024.mid(64, 64)) + bytes({0x12, 0x34, 0xEF})).send, kAccept);
    EXPECT_EQ(rig.at(100, blocks::make(kMemory1024.mid(128, 64))).send, kAccept);
    EXPECT_EQ(rig.bytesSoFar(), kMemory1024.left(192));
    // The lead and trail bytes are not examined.
    QByteArray odd = blocks::make(kMemory1024.mid(192, 64));
    odd[0] = 'x';
    odd[66] = 'y';
    EXPECT_EQ(rig.at(140, odd).send, kAccept);
    EXPECT_EQ(rig.transfer.total(), 1024);
}

TEST(BlockTransfer, IncompleteBlockIsRefusedAfterMoreThan1500Ms) {
    Rig rig;
    EXPECT_TRUE(rig.at(100, QByteArray(30, char(0x55))).send.isEmpty());
    // With bytes waiting the machine must look again just past 1.5 s.
    EXPECT_EQ(rig.transfer.nextDeadlineMs(), 1501);
    EXPECT_TRUE(rig.at(1500).send.isEmpty());
    const BlockTransfer::Answer a = rig.at(1501);
    EXPECT_EQ(a.send, kRefuse);
    EXPECT_TRUE(a.blockHandled);
    EXPECT_EQ(rig.transfer.retries(), 1);
    EXPECT_EQ(rig.transfer.received(), 0);
    // The dropped bytes do not mix with the resent block, and the time-out
    // counts as block activity for the silence limit.
    EXPECT_EQ(rig.at(1540, blocks::make(kMemory1024.left(64))).send, kAccept);
    EXPECT_EQ(rig.bytesSoFar(), kMemory1024.left(64));

    Rig quiet;
    quiet.at(10, bytes({0xEF}));
    quiet.at(1501);
    EXPECT_EQ(quiet.transfer.retries(), 1);
    quiet.at(4500);
    EXPECT_FALSE(quiet.transfer.done());
    quiet.at(4501);
    EXPECT_TRUE(quiet.transfer.done());
}

TEST(BlockTransfer, SilenceFromTheStartEndsAfter3sAsComplete) {
    Rig rig;
    EXPECT_EQ(rig.transfer.nextDeadlineMs(), 3000);
    rig.at(2999);
    EXPECT_FALSE(rig.transfer.done());
    rig.at(3000);
    EXPECT_TRUE(rig.transfer.done());
    // Nothing announced, nothing missing: the decoder then finds no data.
    EXPECT_TRUE(rig.transfer.complete());
    EXPECT_EQ(rig.transfer.total(), 0);
}

TEST(BlockTransfer, TransferCutInsideTheDirectoryIsNotComplete) {
    Rig rig;
    rig.block(kMemory1024, 0);
    rig.block(kMemory1024, 1);
    rig.at(rig.now + 3000);
    EXPECT_TRUE(rig.transfer.done());
    EXPECT_EQ(rig.transfer.received(), 128);
    EXPECT_FALSE(rig.transfer.complete());
}

TEST(BlockTransfer, TransferCutAfterTheDirectoryIsShortOfTheTotal) {
    Rig rig;
    for (int k = 0; k < 10; ++k)
        rig.block(kMemory1024, k);
    rig.at(rig.now + 3000);
    EXPECT_TRUE(rig.transfer.done());
    EXPECT_EQ(rig.transfer.received(), 640);
    EXPECT_FALSE(rig.transfer.complete());
}

TEST(BlockTransfer, The21stRefusalOrPartialTimeOutEndsTheTransfer) {
    // Consecutive refusals of one block.
    {
        Rig rig;
        for (int i = 1; i <= 20; ++i) {
            EXPECT_EQ(rig.block(kMemory1024, 0, 40, true).send, kRefuse);
            EXPECT_FALSE(rig.transfer.done()) << "refusal " << i;
        }
        EXPECT_EQ(rig.block(kMemory1024, 0, 40, true).send, kRefuse);
        EXPECT_TRUE(rig.transfer.done());
        EXPECT_EQ(rig.transfer.retries(), 21);
        EXPECT_TRUE(rig.block(kMemory1024, 0).send.isEmpty()); // over: no more answers
    }
    // Spread over the transfer, refusals and partial time-outs together.
    {
        Rig rig;
        int k = 0;
        for (int i = 1; i <= 21; ++i) {
            EXPECT_FALSE(rig.transfer.done()) << "before retry " << i;
            if (i % 2) {
                rig.block(kMemory5056, k, 40, true);
            } else {
                rig.at(rig.now + 10, QByteArray(20, char(0x33)));
                EXPECT_EQ(rig.at(rig.now + 1491).send, kRefuse);
            }
            EXPECT_EQ(rig.block(kMemory5056, k).send.isEmpty(), i == 21);
            ++k;
        }
        EXPECT_TRUE(rig.transfer.done());
        EXPECT_EQ(rig.transfer.retries(), 21);
        EXPECT_EQ(rig.transfer.received(), 64 * 20);
        EXPECT_FALSE(rig.transfer.complete());
    }
}

TEST(BlockTransfer, FillBytePerModelAndTheEmptyDirectory) {
    // Model 862 marks unused records with 00: one data set here, where the
    // other models' FF mark would count fifteen.
    const QByteArray memory862 = memoryWith(0x00, {{700}}, 704);
    {
        Rig rig(BlockTransfer::Mode::Memory, 0x00);
        for (int k = 0; k < 4; ++k)
            rig.block(memory862, k);
        EXPECT_EQ(rig.transfer.dataSetCount(), 1);
        EXPECT_EQ(rig.transfer.total(), 704);
    }
    {
        Rig rig(BlockTransfer::Mode::Memory, 0xFF);
        for (int k = 0; k < 4; ++k)
            rig.block(memory862, k);
        EXPECT_EQ(rig.transfer.dataSetCount(), 15);
    }
    // An empty directory: total 0, the transfer is complete with it.
    for (quint8 fill : {quint8(0x00), quint8(0xFF)}) {
        const QByteArray empty(256, char(fill));
        Rig rig(BlockTransfer::Mode::Memory, fill);
        for (int k = 0; k < 4; ++k)
            rig.block(empty, k);
        EXPECT_EQ(rig.transfer.dataSetCount(), 0);
        EXPECT_EQ(rig.transfer.total(), 0);
        rig.at(rig.now + 3000);
        EXPECT_TRUE(rig.transfer.complete());
    }
}

TEST(BlockTransfer, DirectoryModeStopsOnceTheDirectoryIsAccepted) {
    Rig rig(BlockTransfer::Mode::Directory);
    for (int k = 0; k < 3; ++k)
        rig.block(kMemory1024, k);
    EXPECT_EQ(rig.block(kMemory1024, 3, 40, true).send, kRefuse);
    EXPECT_FALSE(rig.transfer.done());
    const BlockTransfer::Answer last = rig.block(kMemory1024, 3);
    EXPECT_EQ(last.send, kAccept);
    EXPECT_FALSE(last.totalLearned);
    EXPECT_TRUE(rig.transfer.done());
    EXPECT_EQ(rig.transfer.received(), 256);
    EXPECT_EQ(rig.bytesSoFar(), kMemory1024.left(256));
}

TEST(BlockTransfer, ADeviceThatNeverStopsIsCutOffAt16MiB) {
    Rig rig;
    const QByteArray block = blocks::make(QByteArray(64, char(0x01)));
    qint64 blocksSent = 0;
    while (!rig.transfer.done() && blocksSent < 300000) {
        rig.at(rig.now + 1, block);
        ++blocksSent;
    }
    EXPECT_TRUE(rig.transfer.done());
    EXPECT_EQ(rig.transfer.received(), 16 * 1024 * 1024);
    EXPECT_EQ(rig.image.size(), 16 * 1024 * 1024);
}
