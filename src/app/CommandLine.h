#pragma once

#include <QStringList>

namespace tq {

struct CommandLine {
    QStringList extraPorts;     // --port PATH, repeatable, listed first
    bool noSystemPorts = false; // --no-system-ports
    QString home;               // --home DIR: program folder
    int simulateModel = 0;      // --simulate 860|862
    QStringList files;          // files to open after start-up, in order
    QString error;              // set when the arguments cannot be used

    static CommandLine parse(const QStringList& arguments);
};

} // namespace tq
