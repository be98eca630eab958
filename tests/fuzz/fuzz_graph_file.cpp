// Opening a graph file (.ghf): the framing, the chart's saved state and
// what a graph window does with a loaded chart (statistics, data list,
// cursors). A state that is refused must leave the chart as it was; one
// that loads must store and load again to the same bytes.
// Input: option byte (bit 0: a window of model 862, else 860), then the
// file's bytes.

#include "Chart.h"
#include "CommandGuard.h"
#include "FuzzSupport.h"
#include "GraphFile.h"
#include "TfrmGraph.h"

#include <QApplication>
#include <QBuffer>

using namespace tq;

namespace {
struct Window {
    TfrmGraph* graph;
    QByteArray baseline; // the chart each input starts from
};
Window windows[2];
} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    fuzz::silenceQtMessages();
    new QApplication(*argc, *argv);
    const LoggerModel models[2] = {kModel860, kModel862};
    for (int i = 0; i < 2; ++i) {
        windows[i].graph = new TfrmGraph(models[i]);
        windows[i].baseline = windows[i].graph->chart()->storeState();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    Window& window = windows[in.option() & 1];
    Chart& chart = *window.graph->chart();
    FUZZ_CHECK(chart.loadState(window.baseline));

    QBuffer file;
    file.setData(in.rest(), qsizetype(in.restSize()));
    file.open(QIODevice::ReadOnly);
    QByteArray block;
    try {
        block = readGraphFile(file, QStringLiteral("fuzz.ghf"));
    } catch (const UserError&) {
        return 0;
    }
    QString why;
    if (!chart.loadState(block, &why)) {
        FUZZ_CHECK(!why.isEmpty());
        FUZZ_CHECK(chart.storeState() == window.baseline);
        return 0;
    }
    const QByteArray stored = chart.storeState();
    FUZZ_CHECK(chart.loadState(stored));
    FUZZ_CHECK(chart.storeState() == stored);
    window.graph->showLoadedFile();
    return 0;
}
