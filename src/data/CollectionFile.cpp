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

CollectionDecode decodeCollection(const QByteArray& bytes, DataSetCollection& into, int maxDataSets) {
    CollectionDecode out;
    const ByteReader image(bytes);
    out.dataSets = countDataSets(image, 0xFF);
    const int count = maxDataSets >= 0 ? qMin(maxDataSets, out.dataSets) : out.dataSets;
    out.result = decodeMemoryImage(image, image.size(), count, into);
    out.intact = out.result == DownloadResult::DataError ? intactDataSets(image, image.size(), count) : count;
    return out;
}

} // namespace tq::collection
