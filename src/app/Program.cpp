#include "Program.h"

#include "AppGlyphs.h"
#include "AppPaths.h"
#include "CommandLine.h"
#include "LoggerSim.h"
#include "MessageBoxes.h"
#include "Messages.h"
#include "PortNames.h"
#include "ProgramArchive.h"
#include "TfrmAbout.h"
#include "TfrmMain.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QScreen>
#include <QTextStream>
#include <QTimer>
#include <memory>

namespace tq {

int runProgram(const CommandLine& cmd) {
    // No display name: the window system would append it to every caption.
    QApplication::setApplicationName(QStringLiteral("TQ880"));
    QApplication::setApplicationVersion(QStringLiteral(TQ880_VERSION));
    QApplication::setWindowIcon(appIcon());
    ui::installMessageBoxes();

    if (!cmd.home.isEmpty() && !AppPaths::setHome(cmd.home)) {
        QTextStream(stderr) << "Cannot create the folder " << cmd.home << '\n';
        return 1;
    }

    programarchive::configure(cmd.archive, !cmd.home.isEmpty());
    QStringList extra = cmd.extraPorts;
    std::unique_ptr<sim::LoggerSim> simulated;
    if (cmd.simulateModel != 0) {
        simulated = std::make_unique<sim::LoggerSim>(cmd.simulateModel);
        simulated->setDataSets(sim::LoggerSim::demoDataSets(3, 600));
        simulated->setLiveDrift(true);
        QString error;
        if (!simulated->start(&error)) {
            QTextStream(stderr) << "Cannot start the simulated logger: " << error << '\n';
            return 1;
        }
        extra.prepend(simulated->devicePath());
    }

    // The about box doubles as the splash window; the main window frees it
    // after the search.
    auto* splash = new TfrmAbout;
    splash->setAttribute(Qt::WA_DeleteOnClose);
    splash->btnOK->hide();
    splash->show();
    splash->repaint();

    TfrmMain main(listPorts(extra, cmd.noSystemPorts));
    if (simulated) main.markSimulated(simulated->devicePath());
    main.setPortLister([extra, leaveOut = cmd.noSystemPorts] { return listPorts(extra, leaveOut); });
    ui::setBoxParent(&main);
    // Without a window manager (a bare X server) maximising does nothing:
    // take the screen's work area first.
    if (QScreen* screen = QGuiApplication::primaryScreen()) main.setGeometry(screen->availableGeometry());
    main.showMaximized();
    const QStringList files = cmd.files;
    const bool realTime = cmd.realTimeGraph;
    QObject::connect(&main, &TfrmMain::startUpFinished, &main, [&main, files, realTime] {
        // An archive that cannot be opened is named now, not at the first download.
        if (!main.ending()) programarchive::archive();
        if (!main.ending()) main.openFiles(files);
        if (auto* item = main.findChild<QAction*>(QStringLiteral("RealTimeGraph1"));
            item && realTime && !main.ending())
            item->trigger();
    });
    main.startUp(splash);
    return QApplication::exec();
}

} // namespace tq
