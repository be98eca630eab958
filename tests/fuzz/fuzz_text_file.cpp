// Reading a .txt or .csv file: the first pass (readings and time scale)
// and the second pass (points), in the regional formats of two locales or
// as the self-describing CSV. Input: option byte (bit 0: de_DE, else en_US;
// bit 1: comma separator, else TAB; bit 2: the self-describing CSV), then
// the file's bytes.

#include "FuzzSupport.h"
#include "IsoCsvFile.h"
#include "Progress.h"
#include "Regional.h"
#include "TextFile.h"

#include <QBuffer>

#include <cmath>

using namespace tq;

namespace {
// The points must come in order, each X before its Y, none past the limit.
class CheckedSink : public PointSink {
  public:
    explicit CheckedSink(qint64 limit) : m_limit(limit) {}
    void setX(qint64 i, double x) override {
        FUZZ_CHECK(i == m_next && i < m_limit);
        FUZZ_CHECK(std::isfinite(x));
    }
    void setY(qint64 i, float y) override {
        FUZZ_CHECK(i == m_next && i < m_limit);
        FUZZ_CHECK(std::isfinite(y));
        ++m_next;
    }
    qint64 points() const { return m_next; }

  private:
    qint64 m_limit;
    qint64 m_next = 0;
};

const RegionalFormats& formats(bool german) {
    static const RegionalFormats english{QLocale(QLocale::English, QLocale::UnitedStates)};
    static const RegionalFormats deutsch{QLocale(QLocale::German, QLocale::Germany)};
    return german ? deutsch : english;
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::silenceQtMessages();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    const quint8 options = in.option();
    const RegionalFormats& regional = formats(options & 1);
    const QChar separator = (options & 2) ? textfile::kComma : textfile::kTab;
    const QByteArray bytes(in.rest(), qsizetype(in.restSize()));
    NoProgress progress;
    // The live CSV's columns (1 or 3), read at column 0 ... 2, with the
    // check of an unended last line.
    const int columns = (options & 8) ? 3 : 1;
    const int column = (options >> 4) % columns;
    const LineReading reading = (options & 4)   ? isocsv::columnReading(columns, column)
                                : (options & 8) ? LineReading(isocsv::readLine)
                                                : regionalLineReading(separator, regional);
    std::function<bool(QStringView)> whole;
    if (options & 4) whole = [columns](QStringView line) { return isocsv::isWholeLine(line, columns); };

    QBuffer first;
    first.setData(bytes);
    first.open(QIODevice::ReadOnly);
    const TextScan scan = scanTextLines(first, reading, progress, whole);
    FUZZ_CHECK(scan.lines >= 0 && scan.lines <= bytes.size());
    FUZZ_CHECK(std::isfinite(scan.t1) && std::isfinite(scan.t2));

    // As the graph window sizes itself: one point a reading.
    const qint64 n = scan.lines;
    QBuffer second;
    second.setData(bytes);
    second.open(QIODevice::ReadOnly);
    CheckedSink sink(n);
    const TextRead read = readTextPoints(second, reading, n, sink, progress);
    FUZZ_CHECK(read.points == sink.points() && read.points == n);
    return 0;
}
