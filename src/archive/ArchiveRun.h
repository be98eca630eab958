#pragma once

#include "DataSet.h"
#include "DateTime.h"

#include <QString>
#include <memory>
#include <optional>
#include <vector>

namespace tq {

class ByteReader;
class DataSetCollection;

// One recording run as the archive keeps it: what the directory said of it
// and the recorded 16-bit counts, exactly as the logger stored them.
struct RunReadings {
    TDateTime startTime = 0.0;
    int intervalSeconds = 0;
    quint8 flags = 0; // bit 0: Fahrenheit
    std::vector<qint16> counts;
};

// What the archive lists of a run (never its readings).
struct ArchivedRun {
    qint64 id = 0;
    int model = 0;    // 860 or 862; 0 when not known (an opened file)
    QString firmware; // empty unless it was read
    TDateTime startTime = 0.0;
    int intervalSeconds = 0;
    quint8 flags = 0;
    int sampleCount = 0;
    std::optional<double> minimum, maximum, average; // none without a reading
    QString firstSeen;                               // ISO 8601, UTC
    QString lastSeen;
    int seenCount = 1;
    QString name;
    QString note;
    QString readingsSha256; // hex, of the readings blob
    bool deleted = false;

    TDateTime endTime() const;
    bool fahrenheit() const { return (flags & 0x01) != 0; }
};

namespace archiverun {
// No logger memory holds more readings than this; a row claiming more is damaged.
constexpr int kMaxReadings = 8 * 1024 * 1024;

// The runs of a decoded memory: each data set's counts read from the image
// at its own offsets.
std::vector<RunReadings> runsOf(const ByteReader& image, const DataSetCollection& decoded);

// The readings as stored: little-endian 16-bit counts, two bytes each.
QByteArray blobOf(const std::vector<qint16>& counts);
// Back from a stored blob; false for a blob that is not whole counts or
// holds more than kMaxReadings.
bool countsOf(const QByteArray& blob, std::vector<qint16>& counts);

// Hex SHA-256 of the readings blob.
QString readingsHash(const QByteArray& blob);
// Hex SHA-256 of what makes a run the same run: start (whole seconds),
// interval, flags and readings.
QString contentKey(const RunReadings& run, const QByteArray& blob);

// A run made into the data set and the values and times a graph shows.
DataSet dataSetOf(const RunReadings& run);
void samplesOf(const RunReadings& run, std::vector<float>& values, std::vector<double>& times);
// The same, held once for a chart to keep (a run can hold millions of readings).
struct RunSamples {
    std::vector<float> values;
    std::vector<double> times;
};
std::shared_ptr<RunSamples> sharedSamplesOf(const RunReadings& run);
} // namespace archiverun

} // namespace tq
