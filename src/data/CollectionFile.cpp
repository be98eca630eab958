#include "CollectionFile.h"

#include "AppPaths.h"
#include "CommandGuard.h"
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

void writeWhole(const QString& fileName, const char* data, qint64 size, const QString& failure) {
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw UserError(failure.arg(shownName(fileName), file.errorString()));
    if (file.write(data, size) != size || !file.commit())
        throw UserError(failure.arg(shownName(fileName), file.errorString()));
}
} // namespace

QString workingCopyFolder() {
    const QString data = AppPaths::dataFolder();
    return (data.isEmpty() ? AppPaths::programFolder() : data) + QStringLiteral("temp/");
}

QString workingCopyPath() {
    return workingCopyFolder() + QStringLiteral("DataSetsTemp.tmp");
}

void writeWorkingCopy(const void* data, qint64 size) {
    const QString folder = workingCopyFolder();
    if (!QDir().mkpath(folder)) {
        current() = false;
        throw UserError(QDir::toNativeSeparators(folder));
    }
    current() = false;
    writeWhole(workingCopyPath(), static_cast<const char*>(data), size,
               QStringLiteral("The working copy %1 could not be written: %2. Saving these data sets is "
                              "refused until a download or an open writes it."));
    current() = true;
}

void writeWorkingCopyAhead(const void* data, qint64 size) {
    const bool wasCurrent = current();
    try {
        writeWorkingCopy(data, size);
    } catch (const UserError&) {
        current() = wasCurrent && QFile::exists(workingCopyPath());
        throw;
    }
}

bool workingCopyCurrent() {
    return current();
}

void saveWorkingCopyAs(const QString& fileName) {
    const QString source = workingCopyPath();
    if (!current())
        throw UserError(QStringLiteral("%1 was not saved: the working copy %2 is older than the data sets "
                                       "shown, because it could not be written.")
                            .arg(shownName(fileName), shownName(source)));
    QFile in(source);
    QString error;
    if (!openForReading(in, error))
        throw UserError(
            QStringLiteral("%1 was not saved: there is no downloaded or opened memory to save (%2)")
                .arg(shownName(fileName), error));
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError)
        throw UserError(QStringLiteral("%1 was not saved: cannot read the working copy %2: %3")
                            .arg(shownName(fileName), shownName(source), in.errorString()));
    writeWhole(fileName, bytes.constData(), bytes.size(), QStringLiteral("Cannot save %1: %2"));
}

bool readCollectionFile(const QString& fileName, QByteArray& bytes, QString& error) {
    QFile file(fileName);
    if (!openForReading(file, error)) return false;
    const QString name = shownName(fileName);
    const qint64 size = file.size();
    if (size == 0) {
        error = QStringLiteral("%1 is empty.").arg(name);
        return false;
    }
    if (size > memory::kMaxMemorySize) {
        error = QStringLiteral("%1 is not a data set collection file: at %2 bytes it is larger than any "
                               "logger memory (%3 bytes).")
                    .arg(name)
                    .arg(size)
                    .arg(memory::kMaxMemorySize);
        return false;
    }
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError || bytes.size() != size) {
        error = QStringLiteral("Cannot read %1: %2").arg(name, file.errorString());
        return false;
    }
    return true;
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
