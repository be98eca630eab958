#include "EraseCheck.h"

#include "Archive.h"
#include "ByteReader.h"
#include "LoggerModel.h"
#include "MemoryDecoder.h"
#include "MemoryLayout.h"

namespace tq::erasecheck {

std::vector<DataSet> directoryDataSets(const QByteArray& directory, quint8 fillByte) {
    const ByteReader image(directory);
    const int count = countDataSets(image, fillByte);
    std::vector<DataSet> sets;
    qint64 first = memory::kFirstSample;
    for (int k = 0; k < count; ++k) {
        // An impossible start matches no archived run.
        sets.push_back(directoryRecord(image, k, first, 0.0));
        first = recordEndAddress(image, k);
    }
    return sets;
}

QString archivedText(int archived, int total) {
    if (total <= 0) return {};
    if (archived >= total)
        return total == 1 ? QStringLiteral("the data set is in the archive")
                          : QStringLiteral("all %1 data sets are in the archive").arg(total);
    const int missing = total - archived;
    return QStringLiteral("%1 of %2 data sets %3 never been downloaded")
        .arg(missing)
        .arg(total)
        .arg(missing == 1 ? QStringLiteral("has") : QStringLiteral("have"));
}

QString eraseNote(Archive* archive, const QByteArray& directory, const LoggerModel& model) {
    if (directory.size() < memory::kDirectorySize) return {};
    const std::vector<DataSet> sets = directoryDataSets(directory, model.fillByte);
    if (sets.empty()) return {};
    int archived = 0;
    if (!archive || !archive->countArchived(sets, archived))
        return QStringLiteral("The archive cannot be read, so it cannot tell whether these data sets were "
                              "downloaded.");
    QString text = archivedText(archived, int(sets.size()));
    text[0] = text[0].toUpper();
    return text + QLatin1Char('.');
}

QString questionNote(Archive* archive, const QByteArray& directory, const LoggerModel& model) {
    const QString note = eraseNote(archive, directory, model);
    return note.isEmpty() ? note : QStringLiteral("\n\n") + note;
}

} // namespace tq::erasecheck
