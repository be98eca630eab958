#pragma once

#include "DownloadResult.h"
#include "Outcome.h"

#include <QByteArray>
#include <QString>

namespace tq {

class DataSetCollection;

// A data set collection file (.880) is the logger memory byte for byte:
// the 256-byte directory, then the samples; nothing added. The working copy
// (temp/DataSetsTemp.tmp in the data folder) holds the memory of the last
// successful download or open until the user saves it under a name.
namespace collection {
// The folder of the working copy: data folder + "temp/", or the program
// folder's when there is no data folder. Ends with '/'.
QString workingCopyFolder();
QString workingCopyPath();

// Writes the working copy through a temporary file, so a failure leaves
// the previous copy whole. A failure (CannotWrite) says the folder's path
// when it cannot be made, otherwise that the copy could not be written.
[[nodiscard]] Outcome writeWorkingCopy(const void* data, qint64 size);
// The same for data sets not shown yet, which replace those shown only once
// their copy is written (a download): a failed write leaves the copy as
// current as it was, unless the folder, and so the copy, is gone.
[[nodiscard]] Outcome writeWorkingCopyAhead(const void* data, qint64 size);
// False after a write of the working copy failed: it then holds an older
// memory than the data sets shown. True again after the next good write.
bool workingCopyCurrent();

// Copies the working copy to fileName, replacing it only once the copy is
// complete. A failure names what failed (no working copy, an outdated one,
// the target not writable).
[[nodiscard]] Outcome saveWorkingCopyAs(const QString& fileName);

// Reads a collection file whole. Refused with a sentence naming the file:
// one that cannot be read, an empty one, and one larger than any logger
// memory. (Shorter than a directory is not refused here: it holds no data
// sets, which the caller reports.)
Result<QByteArray> readCollectionFile(const QString& fileName);
// The same as a bool, the sentence in error.
bool readCollectionFile(const QString& fileName, QByteArray& bytes, QString& error);

// Decodes a collection file's bytes into the collection: the directory
// scanned with either model's end mark (FF or 00), the file length as
// the memory size. NoData for a file shorter than a directory or without
// records. With maxDataSets >= 0 only that many leading data sets are
// decoded. On DataError, intact tells how many leading data sets lie
// inside the file, and cutSamples how many whole samples of the next one
// do when the file's end cut it off (a transfer that broke off: its end
// address lies within a logger memory and leaves the top byte 0, unlike a
// damaged record's).
struct CollectionDecode {
    DownloadResult result = DownloadResult::NoData;
    int dataSets = 0;   // directory records found
    int intact = 0;     // leading data sets inside the file
    int cutSamples = 0; // samples inside the file of data set `intact`
};
CollectionDecode decodeCollection(const QByteArray& bytes, DataSetCollection& into, int maxDataSets = -1);
// What a damaged file holds whole, after decodeCollection said DataError:
// its intact data sets, then the one the file's end cut off with the
// samples inside the file. NoData when there are none.
DownloadResult decodeUsable(const QByteArray& bytes, const CollectionDecode& damaged,
                            DataSetCollection& into);
} // namespace collection

} // namespace tq
