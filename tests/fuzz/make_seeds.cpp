// Writes the seed corpus of the graph_file harness: graph files as the
// program saves them (a fresh window of each model, a filled chart of each
// model with titles, cursors, annotations and split axes, and the graph
// template). Run it again when the chart's stored state changes:
//   fuzz_make_seeds tests/fuzz/corpus/graph_file

#include "AppPaths.h"
#include "Chart.h"
#include "DateTime.h"
#include "GraphFile.h"
#include "TfrmGraph.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

using namespace tq;

namespace {
// The harness's option byte selects the window's model.
bool writeSeed(const QDir& folder, const char* name, int modelCode, const QByteArray& stateBlock) {
    QTemporaryDir scratch;
    const QString ghf = scratch.filePath(QStringLiteral("seed.ghf"));
    if (!writeGraphFile(ghf, stateBlock).ok()) return false;
    QFile in(ghf);
    QFile out(folder.filePath(QLatin1String(name)));
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly)) return false;
    out.putChar(modelCode == 862 ? 1 : 0);
    return out.write(in.readAll()) > 0;
}

void fill(TfrmGraph& window, int points, double start) {
    Chart& c = *window.chart();
    const int series = c.subsets();
    window.prepareGraph(series, points, start, start + points * 60 * kOneSecond);
    for (int i = 0; i < points; ++i) {
        c.setX(0, i, start + i * 60 * kOneSecond);
        c.setY(0, i, i % 7 == 3 ? Chart::kNullY : 20.0f + float(i % 11) / 10);
        if (series > 1) c.setY(1, i, 40.0f + float(i % 5));
    }
    c.setMainTitle(QStringLiteral("Cellar"));
    c.setSubTitle(QStringLiteral("March"));
    c.setVertLine(0, start + 5 * 60 * kOneSecond);
    c.setVertLineText(0, QStringLiteral("7:15:15 AM 20.2"));
    c.setGraphAnnotation(4, start + kOneSecond, 21.5, Chart::AnnotCross, QString(), Qt::black);
    c.setGraphAnnotation(5, start + 2 * kOneSecond, 22.5, Chart::AnnotText, QStringLiteral("door"), Qt::red);
    if (series > 1) {
        c.setMultiAxesSubsets({1, 1});
        c.setMultiAxesProportions({0.25, 0.25});
    }
}
} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    QTemporaryDir home;
    AppPaths::setHome(home.path());
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    bool ok = true;
    for (int model : {860, 862}) {
        TfrmGraph fresh(*findLoggerModel(model));
        fresh.prepareGraph(fresh.model().seriesCount, 4, 0.0, 0.0);
        ok = ok &&
             writeSeed(folder, model == 862 ? "fresh-862" : "fresh-860", model, fresh.chart()->storeState());
        TfrmGraph filled(*findLoggerModel(model));
        filled.prepareGraph(model == 862 ? 2 : 1, 4, 0.0, 0.0);
        fill(filled, 40, 45000.25);
        ok = ok && writeSeed(folder, model == 862 ? "filled-862" : "filled-860", model,
                             filled.chart()->storeState());
        ok = ok &&
             writeSeed(folder, model == 862 ? "style-862" : "style-860", model, filled.chart()->storeStyle());
    }
    return ok ? 0 : 1;
}
