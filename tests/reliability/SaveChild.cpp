// The child of the kill test: makes one version of a large file's content
// in memory, says "S" on stdout, saves it with the program's own writer,
// says "D" and ends. The parent kills it at any moment after the "S".
//   tq880_save_child KIND VERSION HOME [TARGET]
// KIND: working-copy (HOME/data/temp/DataSetsTemp.tmp), collection (the
// working copy, which must exist, copied to TARGET), graph (SaveGraphFile),
// text (WriteTextFile), settings (HOME/ini/TQ880.ini).

#include "AppPaths.h"
#include "Chart.h"
#include "CollectionFile.h"
#include "CommandGuard.h"
#include "DateTime.h"
#include "GraphFile.h"
#include "GraphTextFile.h"
#include "Progress.h"
#include "SettingsFile.h"
#include "TextFile.h"

#include <QApplication>
#include <QByteArray>
#include <QDir>

#include <cstdio>
#include <vector>

using namespace tq;

namespace {
// A logger memory of the largest size, every byte depending on the version.
constexpr int kImageSize = 16 * 1024 * 1024;
// Enough points that writing them takes a while.
constexpr int kGraphPoints = 600000;
constexpr int kTextPoints = 150000;

void say(const char* word) {
    std::fputs(word, stdout);
    std::fputs("\n", stdout);
    std::fflush(stdout);
}

QByteArray image(int version) {
    QByteArray bytes(kImageSize, Qt::Uninitialized);
    for (int i = 0; i < kImageSize; ++i)
        bytes[i] = char((i * 31 + version * 7) >> 3);
    return bytes;
}

void fill(Chart& chart, int series, int points, int version) {
    chart.setSubsets(series);
    chart.setPoints(points);
    std::vector<double> x(static_cast<size_t>(points));
    std::vector<float> y(static_cast<size_t>(points));
    for (int i = 0; i < points; ++i) {
        x[size_t(i)] = 45000.0 + version + i * kOneSecond;
        y[size_t(i)] = float((i + version * 13) % 4000) / 10.0f - 100.0f;
    }
    chart.setXData(x.data(), points);
    chart.setYData(y.data(), points);
}

int run(const QString& kind, int version, const QString& home, const QString& target) {
    AppPaths::setHome(home);
    AppPaths::setDataFolder(home + QStringLiteral("/data/"));
    if (kind == QLatin1String("working-copy")) {
        const QByteArray bytes = image(version);
        say("S");
        if (const Outcome o = collection::writeWorkingCopy(bytes.constData(), bytes.size()); !o.ok())
            throw UserError(o.text);
    } else if (kind == QLatin1String("collection")) {
        say("S");
        if (const Outcome o = collection::saveWorkingCopyAs(target); !o.ok()) throw UserError(o.text);
    } else if (kind == QLatin1String("graph")) {
        Chart chart;
        fill(chart, 2, kGraphPoints, version);
        say("S");
        if (const Outcome o = SaveGraphFile(chart, target); !o.ok()) throw UserError(o.text);
    } else if (kind == QLatin1String("text")) {
        Chart chart;
        fill(chart, 1, kTextPoints, version);
        NoProgress progress;
        say("S");
        WriteTextFile(chart, target, textfile::kTab, 1, kTextPoints, progress);
    } else if (kind == QLatin1String("settings")) {
        say("S");
        QString error;
        if (!SettingsFile::write(AppPaths::settingsFolder(), version, &error)) throw UserError(error);
    } else {
        std::fprintf(stderr, "unknown kind %s\n", qPrintable(kind));
        return 2;
    }
    say("D");
    return 0;
}
} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4) {
        std::fprintf(stderr, "usage: tq880_save_child KIND VERSION HOME [TARGET]\n");
        return 2;
    }
    try {
        return run(args[1], args[2].toInt(), args[3], args.value(4));
    } catch (const UserError& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.text()));
        return 1;
    }
}
