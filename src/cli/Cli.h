#pragma once

#include <QStringList>
#include <QTextStream>

namespace tq::cli {

// Exit status of every command.
enum Status {
    Ok = 0,
    BadArguments = 2,
    CannotRead = 3, // a file that cannot be read; a port that cannot be opened or no logger answers
    NoData = 4,
    DataError = 5,
    ReadError = 6,
    Recording = 7,
};

struct Io {
    QTextStream& out;
    QTextStream& err;
};

// One sub-command: its name, a line of usage, and what runs it with the
// arguments that follow the name.
struct Command {
    const char* name;
    const char* usage;
    int (*run)(const QStringList& args, Io& io);
};

// The commands on files (list, export).
int runList(const QStringList& args, Io& io);
int runExport(const QStringList& args, Io& io);

} // namespace tq::cli
