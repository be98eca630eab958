// Recording archive timings on a SQLite file: archiving a full 16 MiB
// download, listing 10,000 runs, opening an archived run of 8 million
// readings into a graph window (and the archive's share of that), and the
// file's size per reading. Each time
// is the median of five runs.

#include "Archive.h"
#include "ByteReader.h"
#include "Chart.h"
#include "CommandContext.h"
#include "DataSetCollection.h"
#include "MemoryDecoder.h"
#include "ProgramArchive.h"
#include "TfrmArchive.h"
#include "TfrmGraph.h"

#include "BenchSupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

using namespace tq::bench;

namespace {

// A full memory: 15 data sets filling 16 MiB, readings wandering like a
// fridge's, every image different from the others by its seed.
QByteArray fullMemory(int seed) {
    constexpr qint64 kEnd = 16 * 1024 * 1024 - 64;
    QByteArray m(kEnd, Qt::Uninitialized);
    std::fill(m.begin(), m.begin() + 256, char(0xFF));
    const qint64 per = ((kEnd - 256) / 15) & ~qint64(1);
    for (int k = 0; k < 15; ++k) {
        char* r = m.data() + 16 * (k + 1);
        std::fill(r, r + 16, char(0));
        r[2] = 60;
        r[4] = 25, r[5] = char(1 + k % 12), r[6] = char(1 + seed % 28), r[7] = 8, r[8] = 0, r[9] = char(k);
        const qint64 end = k == 14 ? kEnd : 256 + per * (k + 1);
        for (int b = 0; b < 3; ++b)
            r[12 + b] = char((end >> (8 * b)) & 0xFF);
    }
    quint32 x = 12345u + quint32(seed);
    for (qint64 i = 256; i + 1 < kEnd; i += 2) {
        x = x * 1664525u + 1013904223u;
        const qint16 v = qint16(40 + int((x >> 24) % 31));
        m[i] = char(v & 0xFF);
        m[i + 1] = char((v >> 8) & 0xFF);
    }
    return m;
}

qint64 fileSize(const QString& name) {
    return QFileInfo(name).size() + QFileInfo(name + "-wal").size();
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    QString error;

    std::vector<double> archiving;
    qint64 readings = 0;
    qint64 size = 0;
    for (int i = 0; i < 5; ++i) {
        const QByteArray memory = fullMemory(i);
        tq::DataSetCollection decoded;
        if (decodeMemoryImage(tq::ByteReader(memory), memory.size(), 15, decoded) != tq::DownloadResult::Ok)
            return 1;
        const QString file = dir.filePath(QStringLiteral("download%1.sqlite").arg(i));
        auto a = tq::Archive::open(file, error);
        if (!a) return 1;
        QElapsedTimer t;
        t.start();
        std::vector<tq::Archive::Added> added;
        if (!a->addRuns(tq::archiverun::runsOf(tq::ByteReader(memory), decoded), {860, {}, "bench"}, added))
            return 1;
        archiving.push_back(t.nsecsElapsed() / 1e9);
        a.reset();
        readings = qint64(decoded.values().size());
        size = fileSize(file);
    }
    std::printf("archiving a full 16 MiB download (%lld readings): %.3f s\n", readings, median(archiving));
    std::printf("archive size: %lld bytes, %.3f bytes a reading\n", size, double(size) / double(readings));

    const QString many = dir.filePath(QStringLiteral("many.sqlite"));
    {
        auto a = tq::Archive::open(many, error);
        std::vector<tq::RunReadings> runs(10000);
        for (int i = 0; i < 10000; ++i) {
            runs[size_t(i)].startTime = 45000.0 + i * 0.5;
            runs[size_t(i)].intervalSeconds = 60;
            runs[size_t(i)].counts.assign(100, qint16(i % 300));
        }
        std::vector<tq::Archive::Added> added;
        if (!a || !a->addRuns(runs, {}, added)) return 1;
    }
    std::vector<double> listing;
    {
        auto a = tq::Archive::open(many, error);
        for (int i = 0; i < 5; ++i) {
            QElapsedTimer t;
            t.start();
            std::vector<tq::ArchivedRun> listed;
            if (!a->list(listed) || listed.size() != 10000) return 1;
            listing.push_back(t.nsecsElapsed() / 1e9);
        }
    }
    std::printf("listing 10,000 runs: %.1f ms\n", median(listing) * 1e3);

    const QString big = dir.filePath(QStringLiteral("big.sqlite"));
    qint64 id = 0;
    {
        auto a = tq::Archive::open(big, error);
        tq::RunReadings run;
        run.startTime = 46000.0;
        run.intervalSeconds = 1;
        run.counts.resize(8000000);
        for (size_t j = 0; j < run.counts.size(); ++j)
            run.counts[j] = qint16(50 + int(j % 97));
        std::vector<tq::Archive::Added> added;
        if (!a || !a->addRuns({run}, {860, {}, "bench"}, added)) return 1;
        id = added[0].id;
    }
    // The archive's share of opening: the readings back as values and times.
    std::vector<double> reading;
    {
        auto a = tq::Archive::open(big, error);
        for (int i = 0; i < 5; ++i) {
            QElapsedTimer t;
            t.start();
            tq::RunReadings run;
            std::vector<float> values;
            std::vector<double> times;
            if (!a || !a->readings(id, run)) return 1;
            tq::archiverun::samplesOf(run, values, times);
            reading.push_back(t.nsecsElapsed() / 1e9);
        }
    }
    std::printf("reading that run back as values and times: %.3f s\n", median(reading));
    tq::programarchive::configure(big, false);
    tq::CommandContext context;
    tq::TfrmArchive window(context);
    std::vector<double> opening;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer t;
        t.start();
        std::unique_ptr<tq::TfrmGraph> graph(window.openRun(id));
        if (!graph || graph->chart()->points() != 8000000) return 1;
        opening.push_back(t.nsecsElapsed() / 1e9);
    }
    std::printf("opening an archived run of 8,000,000 readings into a graph window: %.3f s\n",
                median(opening));
    tq::programarchive::close();
    return 0;
}
