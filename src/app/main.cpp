#include "AppGlyphs.h"
#include "AppPaths.h"
#include "CommandLine.h"
#include "LoggerSim.h"
#include "Messages.h"
#include "PortNames.h"
#include "TfrmAbout.h"
#include "TfrmMain.h"

#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTextStream>
#include <memory>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TQ880"));
    QApplication::setApplicationDisplayName(QStringLiteral("Kelvaria TQ880"));
    QApplication::setApplicationVersion(QStringLiteral(TQ880_VERSION));
    QApplication::setWindowIcon(tq::appIcon());

    const tq::CommandLine cmd = tq::CommandLine::parse(QApplication::arguments());
    if (!cmd.error.isEmpty()) {
        QTextStream(stderr) << cmd.error << '\n';
        return cmd.error.startsWith(QLatin1String("Usage")) || cmd.error == QLatin1String(TQ880_VERSION) ? 0
                                                                                                         : 2;
    }
    if (!cmd.home.isEmpty()) tq::AppPaths::setHome(cmd.home);

    QStringList extra = cmd.extraPorts;
    std::unique_ptr<tq::sim::LoggerSim> simulated;
    if (cmd.simulateModel != 0) {
        simulated = std::make_unique<tq::sim::LoggerSim>(cmd.simulateModel);
        simulated->setDataSets(tq::sim::LoggerSim::demoDataSets(3, 600));
        simulated->setLiveDrift(true);
        QString error;
        if (!simulated->start(&error)) {
            QTextStream(stderr) << "Cannot start the simulated logger: " << error << '\n';
            return 1;
        }
        extra.prepend(simulated->devicePath());
    }

    // The about box doubles as the splash window.
    QPointer<tq::TfrmAbout> splash = new tq::TfrmAbout;
    splash->setAttribute(Qt::WA_DeleteOnClose);
    splash->btnOK->hide();
    splash->show();
    splash->repaint();
    QApplication::processEvents();

    tq::TfrmMain main(tq::listPorts(extra, cmd.noSystemPorts));
    tq::Messages::setParent(&main);
    // Without a window manager (a bare X server) maximising does nothing:
    // take the screen's work area first.
    if (QScreen* screen = QGuiApplication::primaryScreen()) main.setGeometry(screen->availableGeometry());
    main.showMaximized();
    main.startUp(splash);
    main.openFiles(cmd.files);
    return app.exec();
}
