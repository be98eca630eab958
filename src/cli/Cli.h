#pragma once

#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>

#include <memory>

namespace tq::cli {

// Exit status of every command.
enum Status {
    Ok = 0,
    BadArguments = 2,
    CannotRead = 3, // a file that cannot be read or written; a port that cannot be opened or fails, no
                    // logger answers, or it does not take a setting
    NoData = 4,     // no data sets, or the one asked for holds no samples
    DataError = 5,
    ReadError = 6,
    Recording = 7,
    Interrupted = 8, // Ctrl+C or SIGTERM ended it
};

struct Io {
    QTextStream& out;
    QTextStream& err;
};

// One sub-command: its name, a line of usage, what runs it with the
// arguments that follow the name, and whether it draws with the chart (a
// widget: it then runs under a QApplication, offscreen unless a platform
// is given).
struct Command {
    const char* name;
    const char* usage;
    int (*run)(const QStringList& args, Io& io);
    bool drawsCharts = false;
};

// The commands on files (list, export).
int runList(const QStringList& args, Io& io);
int runExport(const QStringList& args, Io& io);
// Where the program keeps its files (paths).
int runPaths(const QStringList& args, Io& io);
// The commands that talk to a logger (ports, download, info, set-clock,
// set-unit, set-interval, erase).
int runPorts(const QStringList& args, Io& io);
int runDownload(const QStringList& args, Io& io);
int runInfo(const QStringList& args, Io& io);
int runSetClock(const QStringList& args, Io& io);
int runSetUnit(const QStringList& args, Io& io);
int runSetInterval(const QStringList& args, Io& io);
int runErase(const QStringList& args, Io& io);
// The live reading, printed and appended to a file as it arrives (monitor).
int runMonitor(const QStringList& args, Io& io);
// The recording archive (archive list|show|export|import|verify|delete).
int runArchive(const QStringList& args, Io& io);
// The commands that draw (plot, report).
int runPlot(const QStringList& args, Io& io);
int runReport(const QStringList& args, Io& io);
// Runs side by side (compare): their statistics table, the chart or the wide CSV.
int runCompare(const QStringList& args, Io& io);

// The application a command runs under: a QCoreApplication, or for one
// that draws charts a QApplication on the offscreen platform when no
// platform is given (no display needed).
std::unique_ptr<QCoreApplication> makeApplication(int& argc, char** argv, bool drawsCharts);

} // namespace tq::cli
