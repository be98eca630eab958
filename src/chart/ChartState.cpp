#include "ChartState.h"

#include "ByteReader.h"
#include "ChartModel.h"

#include <QtEndian>

#include <cmath>
#include <cstring>
#include <stdexcept>

namespace tq {

namespace {

// Layout: magic "TQCS", u16 version, u16 zero, u32 body length, body.
// All numbers little-endian.
constexpr char kMagic[4] = {'T', 'Q', 'C', 'S'};
constexpr quint16 kVersion = 1;
constexpr int kHeaderSize = 12;
constexpr quint32 kMaxStringBytes = 64 * 1024;

class Writer {
  public:
    void u8(quint8 v) { m_out.append(static_cast<char>(v)); }
    void u16(quint16 v) { raw(qToLittleEndian(v)); }
    void u32(quint32 v) { raw(qToLittleEndian(v)); }
    void i32(qint32 v) { raw(qToLittleEndian(v)); }
    void f32(float v) {
        quint32 bits;
        std::memcpy(&bits, &v, 4);
        u32(bits);
    }
    void f64(double v) {
        quint64 bits;
        std::memcpy(&bits, &v, 8);
        raw(qToLittleEndian(bits));
    }
    void flag(bool v) { u8(v ? 1 : 0); }
    void color(const QColor& c) { u32(c.rgba()); }
    void str(const QString& s) {
        const QByteArray utf8 = s.toUtf8().left(kMaxStringBytes);
        u32(static_cast<quint32>(utf8.size()));
        m_out.append(utf8);
    }
    QByteArray& bytes() { return m_out; }

  private:
    template <typename T> void raw(T v) { m_out.append(reinterpret_cast<const char*>(&v), sizeof(v)); }
    QByteArray m_out;
};

struct BadBlock : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The checks of our own fields over the shared bounded reader; a short body
// surfaces as ByteReadError, every other fault as BadBlock.
class Reader {
  public:
    Reader(const char* data, qsizetype size) : m_in(data, size) {}

    qsizetype left() const { return m_in.left(); }

    quint8 u8(const char* what) { return m_in.u8(what); }
    quint32 u32(const char* what) { return m_in.u32(what); }
    qint32 i32(const char* what) { return m_in.i32(what); }
    float f32(const char* what) { return m_in.f32(what); }
    double f64(const char* what) { return m_in.f64(what); }
    double finite(const char* what) {
        const double v = f64(what);
        if (!std::isfinite(v)) fail("bad value for", what);
        return v;
    }
    bool flag(const char* what) {
        const quint8 v = u8(what);
        if (v > 1) fail("bad value for", what);
        return v == 1;
    }
    QColor color(const char* what) { return QColor::fromRgba(u32(what)); }
    int ranged(const char* what, int lo, int hi) {
        const qint32 v = i32(what);
        if (v < lo || v > hi) fail("bad value for", what);
        return v;
    }
    QString str(const char* what) {
        const quint32 n = u32(what);
        if (n > kMaxStringBytes || n > static_cast<quint64>(left())) fail("bad length for", what);
        return QString::fromUtf8(m_in.bytes(qsizetype(n), what), static_cast<qsizetype>(n));
    }
    // A count of records of at least recordBytes each; never more than the
    // bytes left could hold, so nothing is allocated on a lie.
    int count(const char* what, quint32 max, quint64 recordBytes) {
        const quint32 n = u32(what);
        if (n > max || n * recordBytes > static_cast<quint64>(left())) fail("bad count for", what);
        return static_cast<int>(n);
    }
    template <typename T> void array(T* dst, int n, const char* what) { m_in.array(dst, n, what); }
    [[noreturn]] static void fail(const char* why, const char* what) {
        throw BadBlock(QStringLiteral("%1 %2").arg(QLatin1String(why), QLatin1String(what)).toStdString());
    }

  private:
    ByteReader m_in;
};

template <typename E> E enumValue(Reader& r, const char* what, int last) {
    const quint8 v = r.u8(what);
    if (v > last) Reader::fail("bad value for", what);
    return static_cast<E>(v);
}

void writeBody(Writer& w, const ChartModel& m) {
    w.f32(m.nullY);
    w.u32(static_cast<quint32>(m.subsets()));
    w.u32(static_cast<quint32>(m.points));
    for (const SeriesModel& s : m.series) {
        w.str(s.label);
        w.color(s.color);
        w.i32(s.lineType);
        for (int i = 0; i < s.data.size(); ++i)
            w.f64(s.data.xAt(i));
        for (int i = 0; i < s.data.size(); ++i)
            w.f32(s.data.yAt(i));
    }
    w.u8(static_cast<quint8>(m.plotting));
    w.u8(static_cast<quint8>(m.grid));
    w.u8(static_cast<quint8>(m.zooming));
    w.u8(static_cast<quint8>(m.printStyle));
    w.str(m.mainTitle);
    w.str(m.subTitle);
    w.str(m.xLabel);
    w.u32(static_cast<quint32>(m.workingAxis));
    w.u32(static_cast<quint32>(m.axes.size()));
    for (const AxisModel& a : m.axes) {
        w.str(a.yLabel);
        w.flag(a.manualY);
        w.f64(a.minY);
        w.f64(a.maxY);
    }
    w.flag(m.manualX);
    w.f64(m.minX);
    w.f64(m.maxX);
    w.u32(static_cast<quint32>(m.multiSubsets.size()));
    for (int n : m.multiSubsets)
        w.i32(n);
    w.u32(static_cast<quint32>(m.proportions.size()));
    for (double p : m.proportions)
        w.f64(p);
    w.flag(m.separators);
    w.flag(m.showVertLines);
    w.i32(m.lineTextSize);
    w.u32(static_cast<quint32>(m.vertLines.size()));
    for (const auto& [index, line] : m.vertLines) {
        w.i32(index);
        w.f64(line.x);
        w.i32(line.type);
        w.color(line.color);
        w.str(line.text);
    }
    w.flag(m.showGraphAnnotations);
    w.i32(m.annotationTextSize);
    w.u32(static_cast<quint32>(m.annotations.size()));
    for (const auto& [index, a] : m.annotations) {
        w.i32(index);
        w.f64(a.x);
        w.f64(a.y);
        w.i32(a.type);
        w.color(a.color);
        w.str(a.text);
    }
    w.flag(m.allowDataHotSpots);
    w.flag(m.allowVertLineHotSpots);
    w.flag(m.allowGraphAnnotHotSpots);
    // A custom pointer is a live object; the stored state keeps the plain shapes.
    w.i32(m.arrowCursor == Chart::ArrowText ? Chart::ArrowText : Chart::ArrowNormal);
}

void readBody(Reader& r, ChartModel& m) {
    m.nullY = r.f32("null value");
    const int subsets = static_cast<int>(r.u32("series count"));
    if (subsets < 1 || subsets > kMaxSubsets) Reader::fail("bad value for", "series count");
    const quint32 points = r.u32("point count");
    // Each point of each series takes 12 bytes: refuse before allocating.
    if (points > quint32(kMaxPoints) || quint64(points) * 12u * quint64(subsets) > quint64(r.left()))
        Reader::fail("bad value for", "point count");
    m.points = static_cast<int>(points);
    m.series.resize(subsets);
    for (SeriesModel& s : m.series) {
        s.label = r.str("series label");
        s.color = r.color("series colour");
        s.lineType = r.i32("line type");
        s.data.resize(m.points, m.nullY);
        r.array(s.data.writableX(), m.points, "X values");
        r.array(s.data.writableY(), m.points, "Y values");
    }
    m.plotting = enumValue<Chart::PlottingMethod>(r, "plotting method", 5);
    m.grid = enumValue<Chart::GridStyle>(r, "grid style", 3);
    m.zooming = enumValue<Chart::Zooming>(r, "zooming", 3);
    m.printStyle = enumValue<Chart::PrintStyle>(r, "print style", 1);
    m.mainTitle = r.str("main title");
    m.subTitle = r.str("subtitle");
    m.xLabel = r.str("X axis label");
    const quint32 working = r.u32("working axis");
    if (working >= quint32(kMaxAxes)) Reader::fail("bad value for", "working axis");
    m.workingAxis = static_cast<int>(working);
    const int axes = r.count("axis count", kMaxAxes, 4 + 1 + 16);
    if (axes < 1) Reader::fail("bad count for", "axis count");
    m.axes.resize(axes);
    for (AxisModel& a : m.axes) {
        a.yLabel = r.str("Y axis label");
        a.manualY = r.flag("manual Y");
        a.minY = r.finite("manual Y minimum");
        a.maxY = r.finite("manual Y maximum");
    }
    m.manualX = r.flag("manual X");
    m.minX = r.finite("manual X minimum");
    m.maxX = r.finite("manual X maximum");
    m.multiSubsets.resize(r.count("multi-axis list", kMaxAxes * 4, 4));
    for (int& n : m.multiSubsets)
        n = r.ranged("multi-axis entry", -1, kMaxSubsets);
    m.proportions.resize(r.count("proportion list", kMaxAxes * 4, 8));
    for (double& p : m.proportions)
        p = r.finite("axis proportion");
    m.separators = r.flag("separators");
    m.showVertLines = r.flag("vertical line switch");
    m.lineTextSize = r.ranged("line text size", kMinTextSize, kMaxTextSize);
    const int lines = r.count("vertical line count", kMaxAnnotationIndex, 4 + 8 + 4 + 4 + 4);
    int previous = -1;
    for (int i = 0; i < lines; ++i) {
        const int index = r.ranged("vertical line index", previous + 1, kMaxAnnotationIndex - 1);
        VertLineModel line;
        line.x = r.f64("vertical line position");
        line.type = r.i32("vertical line type");
        line.color = r.color("vertical line colour");
        line.text = r.str("vertical line text");
        m.vertLines[index] = line;
        previous = index;
    }
    m.showGraphAnnotations = r.flag("graph annotation switch");
    m.annotationTextSize = r.ranged("annotation text size", kMinTextSize, kMaxTextSize);
    const int annotations = r.count("graph annotation count", kMaxAnnotationIndex, 4 + 16 + 4 + 4 + 4);
    previous = -1;
    for (int i = 0; i < annotations; ++i) {
        const int index = r.ranged("graph annotation index", previous + 1, kMaxAnnotationIndex - 1);
        GraphAnnotationModel a;
        a.x = r.f64("graph annotation X");
        a.y = r.f64("graph annotation Y");
        a.type = r.i32("graph annotation type");
        a.color = r.color("graph annotation colour");
        a.text = r.str("graph annotation text");
        m.annotations[index] = a;
        previous = index;
    }
    m.allowDataHotSpots = r.flag("data hot spot switch");
    m.allowVertLineHotSpots = r.flag("vertical line hot spot switch");
    m.allowGraphAnnotHotSpots = r.flag("graph annotation hot spot switch");
    m.arrowCursor = r.ranged("pointer shape", Chart::ArrowNormal, Chart::ArrowText);
    if (r.left() != 0) Reader::fail("unexpected bytes after", "the last field");
}

} // namespace

QByteArray encodeChartState(const ChartModel& model) {
    Writer body;
    writeBody(body, model);
    Writer out;
    out.bytes().append(kMagic, 4);
    out.u16(kVersion);
    out.u16(0);
    out.u32(static_cast<quint32>(body.bytes().size()));
    out.bytes().append(body.bytes());
    return out.bytes();
}

bool decodeChartState(const QByteArray& block, ChartModel* out, QString* error) {
    auto failWith = [error](const QString& text) {
        if (error) *error = QStringLiteral("Bad chart state: ") + text + QLatin1Char('.');
        return false;
    };
    if (block.size() < kHeaderSize) return failWith(QStringLiteral("block too short"));
    if (std::memcmp(block.constData(), kMagic, 4) != 0) return failWith(QStringLiteral("not a chart state"));
    const ByteReader header(block);
    const quint16 version = header.u16At(4);
    if (version != kVersion) return failWith(QStringLiteral("unsupported version %1").arg(version));
    const quint32 length = header.u32At(8);
    if (quint64(length) != quint64(block.size() - kHeaderSize))
        return failWith(QStringLiteral("length field does not match the block"));
    ChartModel model;
    try {
        Reader r(block.constData() + kHeaderSize, length);
        readBody(r, model);
    } catch (const BadBlock& e) {
        return failWith(QString::fromStdString(e.what()));
    } catch (const ByteReadError& e) {
        return failWith(QString::fromStdString(e.what()));
    } catch (const std::bad_alloc&) {
        return failWith(QStringLiteral("out of memory"));
    }
    if (model.workingAxis >= model.axes.size()) model.axes.resize(model.workingAxis + 1);
    *out = std::move(model);
    return true;
}

} // namespace tq
