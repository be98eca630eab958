#include "GraphFile.h"
#include "Chart.h"
#include "CommandGuard.h"
#include "DateTime.h"
#include "GraphTestSupport.h"
#include "LoggerModel.h"
#include "PrepareGraph.h"

#include <QDir>
#include <QFile>
#include <QtEndian>

#include <cstring>

using namespace tq;

namespace {
class GraphFileTest : public GraphFixture {
  protected:
    QString path(const char* name) const { return home.filePath(QLatin1String(name)); }

    void writeRaw(const QString& name, const QByteArray& bytes) {
        QFile f(name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    static QByteArray lengthField(quint32 n) {
        QByteArray b(4, '\0');
        qToLittleEndian<quint32>(n, b.data());
        return b;
    }

    // A chart carrying one of every item a graph window relies on.
    void fillChart(Chart& c) {
        prepareChart(c, 2, 6, 45000.0, 45000.0 + 6 * 60 * kOneSecond, kModel862);
        for (int i = 0; i < 6; ++i) {
            c.setX(0, i, 45000.0 + i * 60 * kOneSecond);
            c.setY(0, i, 20.0f + float(i) / 10);
            c.setY(1, i, 55.5f);
        }
        c.setY(0, 3, Chart::kNullY);
        c.setMainTitle(QStringLiteral("Cellar"));
        c.setSubTitle(QStringLiteral("March"));
        c.setSubsetColor(1, QColor(10, 20, 30));
        c.setVertLine(0, 45000.0 + 120 * kOneSecond);
        c.setVertLineText(0, QStringLiteral("7:15:15 AM 20.2"));
        c.setGraphAnnotation(4, 45000.001, 21.5, Chart::AnnotCross, QString(), Qt::black);
        c.setGraphAnnotation(5, 45000.002, 22.5, Chart::AnnotText, QStringLiteral("door open"), Qt::black);
    }
};
} // namespace

TEST_F(GraphFileTest, RoundTripBringsBackEveryItem) {
    Chart original;
    fillChart(original);
    const QString file = path("cellar.ghf");
    ASSERT_TRUE(SaveGraphFile(original, file).ok());

    QFile raw(file);
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    const QByteArray bytes = raw.readAll();
    ASSERT_GE(bytes.size(), 4);
    EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData()), quint32(bytes.size() - 4));

    Chart loaded;
    ASSERT_TRUE(LoadGraphFile(loaded, file).ok());
    EXPECT_EQ(loaded.subsets(), 2);
    EXPECT_EQ(loaded.points(), 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_DOUBLE_EQ(loaded.x(0, i), original.x(0, i));
        EXPECT_FLOAT_EQ(loaded.y(0, i), original.y(0, i));
        EXPECT_FLOAT_EQ(loaded.y(1, i), 55.5f);
    }
    EXPECT_FLOAT_EQ(loaded.y(0, 3), Chart::kNullY);
    EXPECT_FLOAT_EQ(loaded.nullValueY(), Chart::kNullY);
    EXPECT_EQ(loaded.subsetLabel(0), QStringLiteral("Humidity"));
    EXPECT_EQ(loaded.subsetLabel(1), QStringLiteral("Temperature"));
    EXPECT_EQ(loaded.subsetColor(1), QColor(10, 20, 30));
    EXPECT_EQ(loaded.mainTitle(), QStringLiteral("Cellar"));
    EXPECT_EQ(loaded.subTitle(), QStringLiteral("March"));
    EXPECT_EQ(loaded.xAxisLabel(), QStringLiteral("Time"));
    EXPECT_EQ(loaded.axisCount(), 2);
    EXPECT_DOUBLE_EQ(loaded.multiAxesProportion(0), original.multiAxesProportion(0));
    EXPECT_NE(loaded.multiAxesProportion(0), 1.0);
    EXPECT_TRUE(loaded.manualX());
    EXPECT_DOUBLE_EQ(loaded.manualMinX(), 45000.0);
    loaded.setWorkingAxis(1);
    EXPECT_DOUBLE_EQ(loaded.manualMinY(), -30.0);
    EXPECT_DOUBLE_EQ(loaded.manualMaxY(), 100.0);
    for (int line = 0; line < 3; ++line) {
        EXPECT_DOUBLE_EQ(loaded.vertLine(line), original.vertLine(line)) << line;
        EXPECT_EQ(loaded.vertLineColor(line), original.vertLineColor(line)) << line;
        EXPECT_EQ(loaded.vertLineText(line), original.vertLineText(line)) << line;
        EXPECT_EQ(loaded.vertLineType(line), original.vertLineType(line)) << line;
    }
    EXPECT_EQ(loaded.graphAnnotationType(4), int(Chart::AnnotCross));
    EXPECT_DOUBLE_EQ(loaded.graphAnnotationX(4), 45000.001);
    EXPECT_EQ(loaded.graphAnnotationType(5), int(Chart::AnnotText));
    EXPECT_EQ(loaded.graphAnnotationText(5), QStringLiteral("door open"));
    EXPECT_DOUBLE_EQ(loaded.graphAnnotationY(5), 22.5);
}

TEST_F(GraphFileTest, HostileFilesAreRefusedAndLeaveTheChartAlone) {
    Chart chart;
    fillChart(chart);
    const QByteArray before = chart.storeState();

    struct Case {
        const char* name;
        QByteArray bytes;
        const char* expected;
    };
    const QByteArray garbage = QByteArray(300, '\x5a');
    const Case cases[] = {
        {"empty.ghf", QByteArray(), "too short"},
        {"short.ghf", QByteArray("\x01\x02", 2), "too short"},
        // A length far beyond the file: an error, never a 4 GB allocation.
        {"huge.ghf", lengthField(0xFFFFFFF0u) + QByteArray(10, '\0'), "ends before"},
        {"cut.ghf", lengthField(500) + garbage, "ends before"},
        {"garbage.ghf", lengthField(quint32(garbage.size())) + garbage, "not a valid graph file"},
        {"zero.ghf", lengthField(0), "not a valid graph file"},
    };
    for (const Case& c : cases) {
        const QString file = path(c.name);
        writeRaw(file, c.bytes);
        const Outcome refused = LoadGraphFile(chart, file);
        EXPECT_EQ(refused.code, Outcome::Code::CannotRead) << c.name << " was accepted";
        EXPECT_TRUE(refused.text.contains(QLatin1String(c.expected)))
            << c.name << ": " << refused.text.toStdString();
        EXPECT_TRUE(refused.text.contains(QLatin1String(c.name))) << refused.text.toStdString();
        EXPECT_EQ(chart.storeState(), before) << c.name;
    }
    const Outcome missing = LoadGraphFile(chart, path("missing.ghf"));
    EXPECT_EQ(missing.code, Outcome::Code::CannotRead);
    EXPECT_FALSE(missing.text.isEmpty());
    EXPECT_EQ(chart.storeState(), before);

    // Bytes after the block are not read.
    writeRaw(path("tail.ghf"), lengthField(quint32(before.size())) + before + QByteArray("trailing"));
    Chart other;
    ASSERT_TRUE(LoadGraphFile(other, path("tail.ghf")).ok());
    EXPECT_EQ(other.mainTitle(), QStringLiteral("Cellar"));
}

namespace {
// A device of unknown size (a pipe, a socket): only reading tells how much
// there is.
class SequentialBytes : public QIODevice {
  public:
    explicit SequentialBytes(QByteArray bytes) : m_bytes(std::move(bytes)) { open(QIODevice::ReadOnly); }
    bool isSequential() const override { return true; }

  protected:
    qint64 readData(char* data, qint64 maxSize) override {
        const qint64 n = qMin<qint64>(maxSize, m_bytes.size());
        std::memcpy(data, m_bytes.constData(), size_t(n));
        m_bytes.remove(0, qsizetype(n));
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

  private:
    QByteArray m_bytes;
};
} // namespace

TEST_F(GraphFileTest, ReadsFromADeviceWithoutTrustingTheLength) {
    const QByteArray block("a chart state");
    SequentialBytes whole(lengthField(quint32(block.size())) + block + "more");
    EXPECT_EQ(readGraphFile(whole, QStringLiteral("pipe.ghf")), block);

    // A length of almost 4 GB on a device that cannot say its size: the
    // bytes run out first, and only they were ever held.
    SequentialBytes lying(lengthField(0xFFFFFFF0u) + block);
    try {
        readGraphFile(lying, QStringLiteral("pipe.ghf"));
        ADD_FAILURE() << "accepted";
    } catch (const UserError& e) {
        EXPECT_EQ(e.text(), QStringLiteral("pipe.ghf is damaged: it ends before its graph data."));
    }
    SequentialBytes empty(QByteArray("\x01", 1));
    EXPECT_THROW(readGraphFile(empty, QStringLiteral("pipe.ghf")), UserError);
}

TEST_F(GraphFileTest, FailedWritesKeepThePreviousFile) {
    const QString file = path("keep.ghf");
    ASSERT_TRUE(writeGraphFile(file, QByteArray("first")).ok());
    EXPECT_EQ(readGraphFile(file), QByteArray("first"));

    EXPECT_EQ(writeGraphFile(path("no/such/folder/x.ghf"), QByteArray("x")).code, Outcome::Code::CannotWrite);
    // The target is a folder: the write fails and nothing is replaced.
    ASSERT_TRUE(QDir(home.path()).mkdir(QStringLiteral("folder.ghf")));
    EXPECT_EQ(writeGraphFile(path("folder.ghf"), QByteArray("x")).code, Outcome::Code::CannotWrite);
    EXPECT_EQ(readGraphFile(file), QByteArray("first"));

    ASSERT_TRUE(writeGraphFile(file, QByteArray()).ok());
    EXPECT_EQ(readGraphFile(file), QByteArray());
}
