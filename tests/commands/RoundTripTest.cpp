// Every type the Save command writes, opened again by the Open command,
// gives back the readings and times that were saved.

#include "Chart.h"
#include "CommandsFixture.h"
#include "OpenCommand.h"
#include "RunStatistics.h"
#include "SaveCommand.h"
#include "TextFile.h"
#include "TimeZone.h"

#include <QtEndian>

#include <cmath>
#include <vector>

using namespace tq;

namespace {

// A chart's series 0 as readings: times to the millisecond (what every
// file holds; the logger's times are whole seconds), marks all alike.
struct Readings {
    std::vector<qint64> ms;
    std::vector<float> values;
    bool operator==(const Readings&) const = default;
};
Readings readingsOf(const Chart& c) {
    Readings r;
    for (int i = 0; i < c.points(); ++i) {
        r.ms.push_back(std::llround(c.x(0, i) * kSecondsPerDay * 1000.0));
        const float y = c.y(0, i);
        r.values.push_back(isReading(y) ? y : textfile::kNullValue);
    }
    return r;
}

// A model 860 memory of one data set: 1800 s apart from start (hour, minute
// on the given day of 2024), the counts of tenths given.
QByteArray memoryFrom(int month, int day, int hour, const std::vector<qint16>& tenths) {
    QByteArray m(256, char(0xFF));
    char* r = m.data() + 16;
    std::fill(r, r + 16, char(0));
    qToLittleEndian<quint16>(1800, r + 2);
    r[4] = 24, r[5] = char(month), r[6] = char(day), r[7] = char(hour);
    qToLittleEndian<quint32>(quint32(256 + 2 * tenths.size()), r + 12);
    for (qint16 t : tenths) {
        char b[2];
        qToLittleEndian<qint16>(t, b);
        m.append(b, 2);
    }
    return m;
}

class RoundTripTest : public CommandsFixture {
  protected:
    TfrmGraph* activeDataLogger(int k) {
        TfrmGraph* w = TfrmGraph::dataLoggerWindow();
        if (!w) return nullptr;
        w->showDataSetWithList(k, true);
        area.setActiveSubWindow(qobject_cast<QMdiSubWindow*>(w->parentWidget()));
        return w;
    }
    // Saves data set k of the collection file `from` as every type and
    // opens each again.
    void roundTrip(const QString& from, int k) {
        OpenCommand open(context);
        SaveCommand save(context);
        ASSERT_TRUE(open.openCollectionFile(from));
        TfrmGraph* w = activeDataLogger(k);
        ASSERT_NE(w, nullptr);
        const Readings saved = readingsOf(*w->chart());
        ASSERT_GT(saved.ms.size(), 0u);
        const QString all = QString::number(saved.ms.size());

        const QString collection = path(QStringLiteral("again.880"));
        answers = {choose(TfrmOpenSave::Collection), file(collection)};
        EXPECT_TRUE(waitSaved(save));
        ASSERT_TRUE(open.openCollectionFile(collection));
        w = activeDataLogger(k);
        EXPECT_TRUE(readingsOf(*w->chart()) == saved) << ".880";

        for (const char* type : {"ghf", "txt", "csv", "iso"}) {
            SCOPED_TRACE(type);
            const bool iso = QLatin1String(type) == QLatin1String("iso");
            const QString name = path(QStringLiteral("again.") + (iso ? QStringLiteral("iso.csv") : type));
            area.setActiveSubWindow(qobject_cast<QMdiSubWindow*>(w->parentWidget()));
            answers = {choose(TfrmOpenSave::SingleSet), iso ? extraEntry(name) : file(name)};
            if (QLatin1String(type) != QLatin1String("ghf"))
                answers.push_back(range(QStringLiteral("1"), all));
            EXPECT_TRUE(waitSaved(save));
            TfrmGraph* opened = open.openSingleFile(name);
            ASSERT_NE(opened, nullptr);
            EXPECT_TRUE(readingsOf(*opened->chart()) == saved);
            EXPECT_EQ(bytesOf(name).startsWith("time,temperature_"), iso);
        }
        EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('|')).toStdString();
    }
};

} // namespace

TEST_F(RoundTripTest, EverySaveTypeOpensToTheSameReadingsAndTimes) {
    // The regional .csv is offered with a decimal point only.
    const QLocale old;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    // Marks, both units, negative values and 500 samples.
    roundTrip(golden(QStringLiteral("collections/fill-ff-three-sets.880")), 0);
    roundTrip(golden(QStringLiteral("collections/fill-ff-three-sets.880")), 1);
    roundTrip(golden(QStringLiteral("collections/one-set-500-samples.880")), 0);

    // Across both changes of the clocks in two zones: the logger's times
    // come back as recorded, the hour the clocks skip and the one they repeat included.
    struct Change {
        const char* zone;
        int month, day;
    };
    for (const Change& c : {Change{"Europe/Berlin", 3, 31}, Change{"Europe/Berlin", 10, 27},
                            Change{"America/New_York", 3, 10}, Change{"America/New_York", 11, 3}}) {
        SCOPED_TRACE(std::string(c.zone) + " " + std::to_string(c.month));
        const tq::test::InZone zone(c.zone);
        const QString name = path(QStringLiteral("change.880"));
        QFile f(name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(memoryFrom(c.month, c.day, 0, {-55, 0, 12, 235, 1000, -2001, 41, 42}));
        f.close();
        roundTrip(name, 0);
    }
    QLocale::setDefault(old);
}
