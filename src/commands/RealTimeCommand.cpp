#include "RealTimeCommand.h"

#include "DeviceSession.h"
#include "FileDialogs.h"
#include "FileFilters.h"
#include "LiveLink.h"
#include "LiveValues.h"
#include "SaveCommand.h"
#include "TfrmRealTime.h"
#include "WorkArea.h"

#include "CommandGuard.h"

#include <QAction>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPointer>

namespace tq::realtime {

namespace {
QPointer<TfrmRealTime> g_window;
constexpr int kPreferredWidth = 1000;

void tellLogger(TfrmRealTime& window, const LiveLink& live) {
    window.setLogger(live.link().model(), !live.link().unitCelsius);
    window.setSourceText(live.link().connected
                             ? QStringLiteral("a reading a second from %1").arg(live.session().deviceName())
                             : QStringLiteral("no logger connected"));
}
} // namespace

void feed(TfrmRealTime& window, LiveLink& live) {
    QPointer<TfrmRealTime> target(&window);
    tellLogger(window, live);
    QObject::connect(&live, &LiveLink::reading, &window, [target, &live] {
        const LiveReading& r = live.lastReading();
        const LoggerLink& link = live.link();
        tellLogger(*target, live);
        target->addSample(liveSample(nowDays(), link.model().code, r.primary, r.secondary, !link.unitCelsius),
                          link.model());
    });
    QObject::connect(&live, &LiveLink::linkLost, &window, [target, &live] {
        tellLogger(*target, live);
        target->addGap(nowDays(), QStringLiteral("Link lost: the logger has not answered for three seconds"));
    });
    QObject::connect(&live.session(), &DeviceSession::busyChanged, &window, [target](bool busy) {
        if (busy) target->addGap(nowDays(), QStringLiteral("The logger is busy with a command"));
    });
}

TfrmRealTime* window() {
    return g_window;
}

bool mayEnd() {
    return !g_window || g_window->mayClose();
}

TfrmRealTime* open(const CommandContext& context, LiveLink& live, SaveCommand& save) {
    if (g_window) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(g_window->parentWidget())) {
            sub->showNormal();
            if (context.area) context.area->setActiveSubWindow(sub);
        }
        g_window->raise();
        return g_window;
    }
    auto* window = new TfrmRealTime;
    g_window = window;
    FileDialogs* dialogs = context.dialogs;
    window->setRecordFileChooser([dialogs]() -> QString {
        if (!dialogs) return {};
        dialogs->prepareSave(filters::isoCsv(), QStringLiteral("csv"));
        return dialogs->runAppend(QStringLiteral("Record to file"));
    });
    QObject::connect(window, &TfrmRealTime::saveRequested, window, [&save, window] { save.run(*window); });
    feed(*window, live);
    if (context.area)
        addAreaWindow(context.area, window, kPreferredWidth, true);
    else {
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
    }
    return window;
}

} // namespace tq::realtime

namespace tq {

void addRealTimeCommand(QMainWindow* main, const CommandContext& context, LiveLink& live, SaveCommand& save) {
    QAction* action = main->menuBar()->findChild<QAction*>(QStringLiteral("RealTimeGraph1"));
    if (!action) return;
    action->setVisible(true);
    QObject::connect(action, &QAction::triggered, main,
                     [context, &live, &save] { guarded([&] { realtime::open(context, live, save); }); });
}

} // namespace tq
