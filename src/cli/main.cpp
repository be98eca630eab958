// tq880-cli: the program's data, files and logger without a window.

#include "Cli.h"
#include "LoggerPort.h"

#include "AppPaths.h"

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
    {"compare",
     "compare RUN... [--align clock|elapsed] [--unit C|F] [--difference] [--low L] [--high H] "
     "[-o OUT.png|.svg|.pdf|.csv] [--archive URL] [--home DIR]   (RUN: FILE.880:K, FILE.ghf|.txt|.csv, "
     "archive:ID)",
     tq::cli::runCompare, true},
    {"paths", "paths [--home DIR]", tq::cli::runPaths},
    {"ports", "ports [--port PATH ...] [--no-system-ports]", tq::cli::runPorts},
    {"download",
     "download --port PATH -o FILE.880 [--keep-partial] [--no-archive] [--archive URL] [--home DIR]",
     tq::cli::runDownload},
    {"info", "info --port PATH", tq::cli::runInfo},
    {"set-clock", "set-clock --port PATH", tq::cli::runSetClock},
    {"set-unit", "set-unit C|F --port PATH", tq::cli::runSetUnit},
    {"set-interval", "set-interval MM:SS --port PATH", tq::cli::runSetInterval},
    {"erase", "erase --port PATH --yes", tq::cli::runErase},
    {"monitor", "monitor --port PATH [-o LIVE.csv] [--seconds N] [--low L] [--high H]", tq::cli::runMonitor},
    {"archive",
     "archive list|show ID|export ID --format txt|csv|iso-csv [-o OUT]|import FILE.880 ...|verify|delete ID "
     "[--archive URL] [--home DIR]",
     tq::cli::runArchive},
};

void usage(QTextStream& err) {
    err << "usage: tq880-cli COMMAND ... [--home DIR]\n";
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
    // --home DIR, as the program takes it: its files and folders, and the
    // data folder, all inside DIR.
    for (qsizetype i = 0; i < args.size(); ++i) {
        QString home;
        if (args[i] == QLatin1String("--home") && i + 1 < args.size())
            home = args.takeAt(i + 1);
        else if (args[i].startsWith(QLatin1String("--home=")))
            home = args[i].mid(7);
        else
            continue;
        args.removeAt(i--);
        if (home.isEmpty() || !tq::AppPaths::setHome(home)) {
            err << "--home: cannot use or create the folder \"" << home << "\"" << Qt::endl;
            return tq::cli::BadArguments;
        }
    }
    for (const auto& c : kCommands) {
        if (name != QLatin1String(c.name)) continue;
        if (args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"))) {
            out << "usage: tq880-cli " << c.usage << Qt::endl;
            return tq::cli::Ok;
        }
        const int status = c.run(args, io);
        // Whatever a command made of the cancelled exchange, the user stopped it.
        if (tq::cli::LoggerPort::interrupted()) {
            if (status != tq::cli::Interrupted) err << "interrupted" << Qt::endl;
            return tq::cli::Interrupted;
        }
        return status;
    }
    err << "unknown command \"" << name << "\"\n";
    usage(err);
    return tq::cli::BadArguments;
}
