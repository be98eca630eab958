// tq880-cli: the program's data, files and logger without a window.

#include "Cli.h"

#include <QCoreApplication>

#include <cstring>

namespace {

const tq::cli::Command kCommands[] = {
    {"list", "list FILE.880 [--intact]", tq::cli::runList},
    {"export", "export FILE.880 --set K --format txt|csv|iso-csv [--locale NAME] [-o OUT] [--intact]",
     tq::cli::runExport},
    {"plot", "plot FILE.880 --set K -o OUT.png|svg|pdf [--size WxH] [--model 860|862] [--intact]",
     tq::cli::runPlot, true},
    {"report",
     "report FILE.880 --set K [--low L] [--high H] [--no-table] [--no-graph] [--activation-energy KJ] "
     "[--locale NAME] [--model 860|862] -o OUT.pdf [--intact]",
     tq::cli::runReport, true},
    {"paths", "paths", tq::cli::runPaths},
    {"ports", "ports [--port PATH ...] [--no-system-ports]", tq::cli::runPorts},
    {"download",
     "download --port PATH -o FILE.880 [--keep-partial] [--no-archive] [--archive URL] [--home DIR]",
     tq::cli::runDownload},
    {"info", "info --port PATH", tq::cli::runInfo},
    {"set-clock", "set-clock --port PATH", tq::cli::runSetClock},
    {"set-unit", "set-unit C|F --port PATH", tq::cli::runSetUnit},
    {"set-interval", "set-interval MM:SS --port PATH", tq::cli::runSetInterval},
    {"erase", "erase --port PATH --yes", tq::cli::runErase},
    {"archive",
     "archive list|show ID|export ID --format txt|csv|iso-csv [-o OUT]|import FILE.880 ...|verify|delete ID "
     "[--archive URL] [--home DIR]",
     tq::cli::runArchive},
};

void usage(QTextStream& err) {
    err << "usage: tq880-cli COMMAND ...\n";
    for (const auto& c : kCommands)
        err << "  tq880-cli " << c.usage << '\n';
    err.flush();
}

} // namespace

int main(int argc, char** argv) {
    bool drawsCharts = false;
    for (const auto& c : kCommands)
        if (argc > 1 && std::strcmp(argv[1], c.name) == 0) drawsCharts = c.drawsCharts;
    const auto app = tq::cli::makeApplication(argc, argv, drawsCharts);
    QCoreApplication::setApplicationName(QStringLiteral("tq880-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TQ880_VERSION));
    QTextStream out(stdout);
    QTextStream err(stderr);
    tq::cli::Io io{out, err};
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty() || args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h")) {
        usage(err);
        return args.isEmpty() ? tq::cli::BadArguments : tq::cli::Ok;
    }
    if (args.first() == QLatin1String("--version")) {
        out << TQ880_VERSION << Qt::endl;
        return tq::cli::Ok;
    }
    const QString name = args.takeFirst();
    for (const auto& c : kCommands)
        if (name == QLatin1String(c.name)) return c.run(args, io);
    err << "unknown command \"" << name << "\"\n";
    usage(err);
    return tq::cli::BadArguments;
}
