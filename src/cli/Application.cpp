#include "Cli.h"

#include <QApplication>

#include <cstring>

namespace tq::cli {

std::unique_ptr<QCoreApplication> makeApplication(int& argc, char** argv, bool drawsCharts) {
    if (!drawsCharts) return std::make_unique<QCoreApplication>(argc, argv);
    bool platformGiven = qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
    for (int i = 1; i < argc && !platformGiven; ++i)
        platformGiven = std::strcmp(argv[i], "-platform") == 0;
    if (!platformGiven) qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QApplication>(argc, argv);
}

} // namespace tq::cli
