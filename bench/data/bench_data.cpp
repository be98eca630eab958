// Recorded data timings: decoding a full 16 MiB memory image, and writing
// and reading (both passes) a text file of a million lines, in the regional
// formats of en_US. Each figure is the median of five runs.

#include "ByteReader.h"
#include "DataSetCollection.h"
#include "MemoryDecoder.h"
#include "MemoryLayout.h"
#include "Progress.h"
#include "Regional.h"
#include "TextFile.h"

#include "BenchSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace tq::bench;

namespace {

template <typename F> double timed(F f) {
    std::vector<double> runs;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer t;
        t.start();
        f();
        runs.push_back(t.nsecsElapsed() / 1e9);
    }
    return median(runs);
}

struct Series : tq::PointSource, tq::PointSink {
    std::vector<double> xs;
    std::vector<float> ys;
    double x(qint64 i) const override { return xs[size_t(i)]; }
    float y(qint64 i) const override { return ys[size_t(i)]; }
    void setX(qint64 i, double v) override { xs[size_t(i)] = v; }
    void setY(qint64 i, float v) override { ys[size_t(i)] = v; }
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QLocale::setDefault(QLocale(QStringLiteral("en_US")));

    // 15 data sets filling 16 MiB less the directory.
    std::vector<quint8> image(size_t(tq::memory::kMaxMemorySize), 0xFF);
    // The last end address must fit the three low bytes.
    const qint64 per = (tq::memory::kMaxMemorySize - 258) / 15 / 2 * 2;
    for (int k = 0; k < 15; ++k) {
        quint8* r = image.data() + tq::memory::recordOffset(k);
        const qint64 end = 256 + per * (k + 1);
        r[1] = 0;
        r[2] = 2;
        r[3] = 0;
        r[4] = 24, r[5] = 3, r[6] = 1 + k, r[7] = 8, r[8] = 0, r[9] = 0;
        r[12] = quint8(end), r[13] = quint8(end >> 8), r[14] = quint8(end >> 16), r[15] = 0;
    }
    for (size_t i = 256; i < image.size(); i += 2) {
        const qint16 raw = qint16(200 + (i / 2) % 300);
        image[i] = quint8(raw);
        image[i + 1] = quint8(raw >> 8);
    }
    const tq::ByteReader reader(image.data(), qsizetype(image.size()));
    tq::DataSetCollection collection;
    const double decode = timed([&] {
        if (tq::decodeMemoryImage(reader, reader.size(), 15, collection) != tq::DownloadResult::Ok)
            std::abort();
    });
    std::printf("decode 16 MiB memory (%zu samples): %.3f s (target < 0.3 s)\n", collection.values().size(),
                decode);

    const int n = 1000000;
    Series s;
    const double start = tq::toDays(QDate(2024, 3, 14), QTime(0, 0));
    for (int i = 0; i < n; ++i) {
        s.xs.push_back(start + i * 2 * tq::kOneSecond);
        s.ys.push_back(float(20.0 + (i % 100) * 0.1));
    }
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("million.txt"));
    tq::NoProgress none;
    const tq::RegionalFormats formats;
    const double write = timed([&] {
        QSaveFile out(file);
        out.open(QIODevice::WriteOnly);
        tq::writeTextLines(out, s, tq::textfile::kTab, 1, n, none, formats, file);
        out.commit();
    });
    std::printf("write 1,000,000-line .txt: %.3f s (target < 2 s)\n", write);

    Series back;
    back.xs.resize(size_t(n));
    back.ys.resize(size_t(n));
    const double read = timed([&] {
        QFile a(file);
        a.open(QIODevice::ReadOnly);
        const tq::TextScan scan = tq::scanTextLines(a, tq::textfile::kTab, none, formats);
        QFile b(file);
        b.open(QIODevice::ReadOnly);
        if (tq::readTextPoints(b, tq::textfile::kTab, scan.lines, back, none, formats).points != n)
            std::abort();
    });
    std::printf("read 1,000,000-line .txt (both passes): %.3f s (target < 3 s)\n", read);
    return 0;
}
