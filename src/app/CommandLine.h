#pragma once

#include <QStringList>

namespace tq {

struct CommandLine {
    QStringList extraPorts;     // --port PATH, repeatable, listed first
    bool noSystemPorts = false; // --no-system-ports
    QString home;               // --home DIR: program folder
    QString archive;            // --archive URL: the recording archive
    int simulateModel = 0;      // --simulate 860|862
    bool realTimeGraph = false; // --real-time-graph
    QStringList files;          // files to open after start-up, in order
    QString output;             // --help or --version: print this and end
    QString error;              // set when the arguments cannot be used

    // Needs no application object, so it can run before the window system
    // is touched.
    static CommandLine parse(const QStringList& arguments);
    static QStringList argumentsOf(int argc, char** argv);
    // Qt's own options (-platform, -style, ...) take a single dash; ours two.
    static bool mayHoldQtOptions(const QStringList& arguments);
};

} // namespace tq
