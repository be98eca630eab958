#include "CollectionFile.h"

#include "AppPaths.h"
#include "FileAccess.h"
#include "MemoryDecoder.h"
#include "MemoryLayout.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace tq::collection {

namespace {
bool& current() {
    static bool value = true;
    return value;
}

Outcome writeWhole(const QString& fileName, const char* data, qint64 size, const QString& failure) {
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(data, size) != size || !file.commit())
        return Outcome::fail(Outcome::Code::CannotWrite,
                             failure.arg(shownName(fileName), file.errorString()));
    return Outcome::success();
}
} // namespace

QString workingCopyFolder() {
    const QString data = AppPaths::dataFolder();
    return (data.isEmpty() ? AppPaths::programFolder() : data) + QStringLiteral("temp/");
}

QString workingCopyPath() {
    return workingCopyFolder() + QStringLiteral("DataSetsTemp.tmp");
}

Outcome writeWorkingCopy(const void* data, qint64 size) {
    const QString folder = workingCopyFolder();
    current() = false;
    if (!QDir().mkpath(folder))
        return Outcome::fail(Outcome::Code::CannotWrite, QDir::toNativeSeparators(folder));
    const Outcome written =
        writeWhole(workingCopyPath(), static_cast<const char*>(data), size,
                   QStringLiteral("The working copy %1 could not be written: %2. Saving these data sets is "
                                  "refused until a download or an open writes it."));
    current() = written.ok();
    return written;
}

Outcome writeWorkingCopyAhead(const void* data, qint64 size) {
    const bool wasCurrent = current();
    const Outcome written = writeWorkingCopy(data, size);
    if (!written.ok()) current() = wasCurrent && QFile::exists(workingCopyPath());
    return written;
}

bool workingCopyCurrent() {
    return current();
}

Outcome saveWorkingCopyAs(const QString& fileName) {
    const QString source = workingCopyPath();
    const auto refused = [](const QString& text) { return Outcome::fail(Outcome::Code::CannotRead, text); };
    if (!current())
        return refused(QStringLiteral("%1 was not saved: the working copy %2 is older than the data sets "
                                      "shown, because it could not be written.")
                           .arg(shownName(fileName), shownName(source)));
    QFile in(source);
    if (const Outcome opened = openForReading(in); !opened.ok())
        return refused(
            QStringLiteral("%1 was not saved: there is no downloaded or opened memory to save (%2)")
                .arg(shownName(fileName), opened.text));
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError)
        return refused(QStringLiteral("%1 was not saved: cannot read the working copy %2: %3")
                           .arg(shownName(fileName), shownName(source), in.errorString()));
    return writeWhole(fileName, bytes.constData(), bytes.size(), QStringLiteral("Cannot save %1: %2"));
}

Result<QByteArray> readCollectionFile(const QString& fileName) {
    QFile file(fileName);
    if (const Outcome opened = openForReading(file); !opened.ok()) return opened;
    const QString name = shownName(fileName);
    const auto refused = [](const QString& text) { return Outcome::fail(Outcome::Code::CannotRead, text); };
    const qint64 size = file.size();
    if (size == 0) return refused(QStringLiteral("%1 is empty.").arg(name));
    if (size > memory::kMaxMemorySize)
        return refused(
            QStringLiteral("%1 is not a data set collection file: at %2 bytes it is larger than any "
                           "logger memory (%3 bytes).")
                .arg(name)
                .arg(size)
                .arg(memory::kMaxMemorySize));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError || bytes.size() != size)
        return refused(QStringLiteral("Cannot read %1: %2").arg(name, file.errorString()));
    return bytes;
}

bool readCollectionFile(const QString& fileName, QByteArray& bytes, QString& error) {
    Result<QByteArray> read = readCollectionFile(fileName);
    error = read.outcome().text;
    if (read.ok()) bytes = std::move(read).value();
    return read.ok();
}

namespace {
// Where data set k's samples start: after the one before it.
qint64 firstSampleOf(const ByteReader& image, int k) {
    return k == 0 ? memory::kFirstSample : recordEndAddress(image, k - 1);
}
} // namespace

CollectionDecode decodeCollection(const QByteArray& bytes, DataSetCollection& into, int maxDataSets) {
    CollectionDecode out;
    const ByteReader image(bytes);
    out.dataSets = countCollectionDataSets(image);
    const int count = maxDataSets >= 0 ? qMin(maxDataSets, out.dataSets) : out.dataSets;
    out.result = decodeMemoryImage(image, image.size(), count, into);
    out.intact = out.result == DownloadResult::DataError ? intactDataSets(image, image.size(), count) : count;
    // A damaged record's end often lies beyond any memory, with its top byte set.
    if (out.result == DownloadResult::DataError && out.intact < count &&
        image.u8At(memory::recordOffset(out.intact) + memory::kEndAddress + 3) == 0 &&
        recordEndAddress(image, out.intact) <= memory::kMaxMemorySize) {
        const qint64 first = firstSampleOf(image, out.intact);
        if (first >= memory::kFirstSample && first < image.size())
            out.cutSamples = int((image.size() - first) / 2);
    }
    return out;
}

DownloadResult decodeUsable(const QByteArray& bytes, const CollectionDecode& damaged,
                            DataSetCollection& into) {
    if (damaged.cutSamples == 0)
        return damaged.intact > 0 ? decodeCollection(bytes, into, damaged.intact).result
                                  : DownloadResult::NoData;
    // The cut data set ends, in a copy of the directory, after its last whole sample in the file.
    QByteArray patched = bytes;
    const qint64 end = firstSampleOf(ByteReader(bytes), damaged.intact) + 2 * qint64(damaged.cutSamples);
    const qsizetype at = memory::recordOffset(damaged.intact) + memory::kEndAddress;
    for (int b = 0; b < 4; ++b)
        patched[at + b] = char((end >> (8 * b)) & 0xFF);
    return decodeCollection(patched, into, damaged.intact + 1).result;
}

} // namespace tq::collection
