// tq880-sim: a simulated logger on a pseudo-terminal, for trying the program
// or driving it by hand. Prints the device path, then serves until stopped.

#include "LoggerSim.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
}

int intOption(const QCommandLineParser& parser, const QString& name, int fallback) {
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    return ok ? value : fallback;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tq880-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Simulated TQ880 data logger on a pseudo-terminal."));
    parser.addHelpOption();
    parser.addOption({QStringLiteral("model"), QStringLiteral("Logger model, 860 or 862."),
                      QStringLiteral("model"), QStringLiteral("860")});
    parser.addOption({QStringLiteral("data-sets"), QStringLiteral("Recorded data sets in memory (0-15)."),
                      QStringLiteral("count"), QStringLiteral("3")});
    parser.addOption({QStringLiteral("samples"), QStringLiteral("Samples in each data set."),
                      QStringLiteral("count"), QStringLiteral("500")});
    parser.addOption({QStringLiteral("memory-bytes"),
                      QStringLiteral("Fill a memory of this many bytes instead (up to 16777216)."),
                      QStringLiteral("bytes")});
    parser.addOption({QStringLiteral("paced"), QStringLiteral("Send at the real line rate of 19200 baud.")});
    parser.addOption({QStringLiteral("silent"), QStringLiteral("Answer nothing, like an unplugged logger.")});
    parser.addOption({QStringLiteral("bad-checksum-block"),
                      QStringLiteral("Send block K of every transfer with a wrong checksum, every time."),
                      QStringLiteral("K")});
    parser.addOption({QStringLiteral("silent-after-block"),
                      QStringLiteral("Fall silent after block K of a transfer."), QStringLiteral("K")});
    parser.process(app);

    const int model = intOption(parser, QStringLiteral("model"), 0);
    if (model != 860 && model != 862) {
        std::fprintf(stderr, "tq880-sim: --model must be 860 or 862\n");
        return 2;
    }

    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        std::perror("tq880-sim: pipe");
        return 1;
    }
    QSocketNotifier notifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    tq::sim::LoggerSim sim(model);
    if (parser.isSet(QStringLiteral("memory-bytes"))) {
        bool ok = false;
        const qint64 bytes = parser.value(QStringLiteral("memory-bytes")).toLongLong(&ok);
        if (!ok || bytes < 0 || bytes > tq::sim::SimDevice::kMaxMemory) {
            std::fprintf(stderr, "tq880-sim: --memory-bytes must be 0 to 16777216\n");
            return 2;
        }
        sim.setDataSets(tq::sim::LoggerSim::dataSetsFilling(bytes));
    } else {
        sim.setDataSets(tq::sim::LoggerSim::demoDataSets(intOption(parser, QStringLiteral("data-sets"), 3),
                                                         intOption(parser, QStringLiteral("samples"), 500)));
    }
    sim.setLiveDrift(true);
    sim.setPacing(parser.isSet(QStringLiteral("paced")));
    sim.setSilent(parser.isSet(QStringLiteral("silent")));
    if (parser.isSet(QStringLiteral("bad-checksum-block")))
        sim.setBadChecksumBlock(intOption(parser, QStringLiteral("bad-checksum-block"), -1),
                                tq::sim::LoggerSim::kAlways);
    if (parser.isSet(QStringLiteral("silent-after-block")))
        sim.setSilentAfterBlock(intOption(parser, QStringLiteral("silent-after-block"), -1));
    QString error;
    if (!sim.start(&error)) {
        std::fprintf(stderr, "tq880-sim: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("%s\n", qPrintable(sim.devicePath()));
    std::fflush(stdout);

    const int code = app.exec();
    sim.stop();
    return code;
}
