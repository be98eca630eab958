#include "CommandLine.h"
#include "Program.h"

#include <QApplication>
#include <QTextStream>

int main(int argc, char** argv) {
    // Help, version and unusable options need no window: answered before
    // the window system is touched, so they work without a display.
    const QStringList arguments = tq::CommandLine::argumentsOf(argc, argv);
    const tq::CommandLine early = tq::CommandLine::parse(arguments);
    if (!early.output.isEmpty()) {
        QTextStream(stdout) << early.output;
        return 0;
    }
    if (!early.error.isEmpty() && !tq::CommandLine::mayHoldQtOptions(arguments)) {
        QTextStream(stderr) << early.error << '\n';
        return 2;
    }

    // Qt takes its own options (-platform, -style, ...) off the line here.
    QApplication app(argc, argv);
    const tq::CommandLine cmd = tq::CommandLine::parse(QApplication::arguments());
    if (!cmd.error.isEmpty()) {
        QTextStream(stderr) << cmd.error << '\n';
        return 2;
    }
    return tq::runProgram(cmd);
}
