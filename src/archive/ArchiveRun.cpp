#include "ArchiveRun.h"

#include "ByteReader.h"
#include "DataSetCollection.h"
#include "MemoryDecoder.h"

#include <QCryptographicHash>
#include <QtEndian>

#include <cmath>

namespace tq {

TDateTime ArchivedRun::endTime() const {
    if (sampleCount <= 0) return startTime;
    return startTime + double(sampleCount - 1) * intervalSeconds / kSecondsPerDay;
}

namespace archiverun {

std::vector<RunReadings> runsOf(const ByteReader& image, const DataSetCollection& decoded) {
    std::vector<RunReadings> runs;
    runs.reserve(size_t(decoded.count()));
    for (int k = 0; k < decoded.count(); ++k) {
        const DataSet& s = decoded.dataSet(k);
        RunReadings run;
        run.startTime = s.startTime;
        run.intervalSeconds = s.intervalSeconds;
        run.flags = s.flags;
        run.counts.resize(size_t(s.sampleCount));
        // Read as the decoder reads: a byte past the memory counts as 0.
        for (int j = 0; j < s.sampleCount; ++j)
            run.counts[size_t(j)] = image.i16At(qsizetype(s.firstOffset) + 2 * qsizetype(j));
        runs.push_back(std::move(run));
    }
    return runs;
}

QByteArray blobOf(const std::vector<qint16>& counts) {
    QByteArray blob(qsizetype(counts.size()) * 2, Qt::Uninitialized);
    auto* p = reinterpret_cast<uchar*>(blob.data());
    for (size_t i = 0; i < counts.size(); ++i)
        qToLittleEndian<qint16>(counts[i], p + 2 * i);
    return blob;
}

bool countsOf(const QByteArray& blob, std::vector<qint16>& counts) {
    if (blob.size() % 2 != 0 || blob.size() / 2 > kMaxReadings) return false;
    counts.resize(size_t(blob.size() / 2));
    // The length is checked above, so the whole blob converts in one pass.
    qFromLittleEndian<qint16>(blob.constData(), qsizetype(counts.size()), counts.data());
    return true;
}

QString readingsHash(const QByteArray& blob) {
    return QString::fromLatin1(QCryptographicHash::hash(blob, QCryptographicHash::Sha256).toHex());
}

QString contentKey(const RunReadings& run, const QByteArray& blob) {
    // Whole seconds: a start read back from a double must give the same key.
    const qint64 start = std::llround(run.startTime * kSecondsPerDay);
    uchar head[8 + 4 + 1 + 4];
    qToLittleEndian<qint64>(start, head);
    qToLittleEndian<qint32>(run.intervalSeconds, head + 8);
    head[12] = run.flags;
    qToLittleEndian<qint32>(qint32(run.counts.size()), head + 13);
    QCryptographicHash h(QCryptographicHash::Sha256);
    h.addData(QByteArrayView("tq880-run\0", 10));
    h.addData(QByteArrayView(reinterpret_cast<const char*>(head), sizeof head));
    h.addData(blob);
    return QString::fromLatin1(h.result().toHex());
}

DataSet dataSetOf(const RunReadings& run) {
    DataSet s;
    s.startTime = run.startTime;
    s.intervalSeconds = run.intervalSeconds;
    s.flags = run.flags;
    s.sampleCount = int(run.counts.size());
    return s;
}

void samplesOf(const RunReadings& run, std::vector<float>& values, std::vector<double>& times) {
    // Every count's value, worked out once: a full memory has millions of readings.
    static const std::vector<float> table = [] {
        std::vector<float> t(65536);
        for (int c = -32768; c <= 32767; ++c)
            t[size_t(c + 32768)] = sampleValue(qint16(c));
        return t;
    }();
    values.resize(run.counts.size());
    times.resize(run.counts.size());
    for (size_t j = 0; j < run.counts.size(); ++j) {
        values[j] = table[size_t(run.counts[j] + 32768)];
        // The decoder's own arithmetic, so an archived run graphs the same times.
        times[j] = run.startTime + double(j) * run.intervalSeconds / kSecondsPerDay;
    }
}

std::shared_ptr<RunSamples> sharedSamplesOf(const RunReadings& run) {
    auto samples = std::make_shared<RunSamples>();
    samplesOf(run, samples->values, samples->times);
    return samples;
}

} // namespace archiverun
} // namespace tq
