#include "TfrmMain.h"

#include "AppGlyphs.h"
#include "AppPaths.h"
#include "CommandGuard.h"
#include "CompareCommand.h"
#include "DataLoggerWindow.h"
#include "DeviceSession.h"
#include "DialogRunner.h"
#include "DownloadCommand.h"
#include "ExportGraphCommand.h"
#include "FileDialogs.h"
#include "FirmwareCommand.h"
#include "LiveLink.h"
#include "Messages.h"
#include "NoLoggerBar.h"
#include "OpenCommand.h"
#include "PortNames.h"
#include "PrintCommands.h"
#include "RealTimeCommand.h"
#include "ReportCommand.h"
#include "SaveCommand.h"
#include "SettingsFile.h"
#include "SetupCommand.h"
#include "TComPort.h"
#include "TfrmAbout.h"
#include "TfrmArchive.h"
#include "TfrmGraph.h"
#include "TfrmLCD.h"
#include "WorkArea.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QProcess>
#include <QShortcut>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace tq {

namespace {
QAction* addItem(QMenu* menu, const char* name, const QString& caption) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(QLatin1String(name));
    return a;
}
QAction* addSeparator(QMenu* menu, const char* name) {
    QAction* a = menu->addSeparator();
    a->setObjectName(QLatin1String(name));
    return a;
}
} // namespace

TfrmMain::TfrmMain(const QStringList& ports, QWidget* parent)
    : QMainWindow(parent), m_session(new DeviceSession(this)), m_mdi(new QMdiArea(this)) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Kelvaria TQ880"));
    setWindowIcon(appIcon());

    m_live = new LiveLink(m_session, this, this);

    // The child window area: no border; it scrolls to windows that do not
    // fit rather than growing the main window.
    m_mdi->setObjectName(QStringLiteral("MDIClient"));
    m_mdi->setFrameShape(QFrame::NoFrame);
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setBackground(QColor(171, 171, 171));
    m_mdi->setActivationOrder(QMdiArea::ActivationHistoryOrder);
    // The bar that says what a search found sits above the work area.
    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    m_noLogger = new NoLoggerBar(central);
    column->addWidget(m_noLogger);
    column->addWidget(m_mdi, 1);
    setCentralWidget(central);
    connect(m_noLogger, &NoLoggerBar::searchAgain, this,
            [this] { guarded([this] { SearchAgain1Click(); }); });
    // Child windows carry the program's icon in their title bars.
    connect(m_mdi, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* w) {
        if (w) w->setWindowIcon(windowIcon());
    });

    m_dialogs = std::make_unique<FileDialogs>(this);
    CommandContext commands;
    commands.area = m_mdi;
    commands.dialogs = m_dialogs.get();
    commands.loggerModel = [this] { return m_live->link().model(); };
    commands.mayReplaceDownload = [this] { return m_save->mayReplaceDownload(); };
    m_open = std::make_unique<OpenCommand>(commands);
    m_save = std::make_unique<SaveCommand>(commands);
    m_exportGraph = std::make_unique<ExportGraphCommand>(commands);
    m_report = std::make_unique<ReportCommand>(commands);
    m_download = std::make_unique<DownloadCommand>(commands, *m_live);
    m_setup = std::make_unique<SetupCommand>(*m_live, this);
    m_firmware = std::make_unique<FirmwareCommand>(*m_live, this);
    TfrmGraph::setDataLoggerCloseQuery([this](TfrmGraph& window) { return m_save->closeQuery(window); });

    buildToolBar();
    buildMenus();
    addArchiveCommand(this, commands);
    addCompareCommand(this, commands);
    addRealTimeCommand(this, commands, *m_live, *m_save);
    buildStatusBar();

    m_settingsPath = AppPaths::settingsFile();
    m_settingsExisted = QFileInfo::exists(m_settingsPath);

    m_listPorts = [ports] { return ports; };
    if (m_settingsExisted) m_otherPorts = SettingsFile::readOtherPorts(m_settingsPath);
    fillPortBox(ports);
    if (!ports.isEmpty()) {
        m_portBox->setCurrentIndex(0);
        m_session->setDevice(deviceNameFor(ports.first()));
    }
    if (m_settingsExisted) m_live->link().portIndex = SettingsFile::readPortIndex(m_settingsPath);
}

TfrmMain::~TfrmMain() {
    TfrmGraph::setDataLoggerCloseQuery({});
    // The LCD window is a top-level window of its own.
    delete m_lcd.data();
}

void TfrmMain::buildToolBar() {
    auto* bar = new QToolBar(QStringLiteral("Tools"), this);
    bar->setObjectName(QStringLiteral("Panel1"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(24, 24));
    bar->setFixedHeight(37);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    addToolBar(Qt::TopToolBarArea, bar);

    auto button = [&](const char* name, const QIcon& icon, const QString& caption, const QString& hint) {
        auto* b = new QToolButton(bar);
        b->setObjectName(QLatin1String(name));
        b->setAutoRaise(true);
        b->setIcon(icon);
        b->setText(caption);
        b->setToolTip(hint);
        b->setToolButtonStyle(caption.isEmpty() ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextBesideIcon);
        bar->addWidget(b);
        return b;
    };
    auto* open = button("btnOpen", openGlyph(), QString(), QStringLiteral("Open File"));
    connect(open, &QToolButton::clicked, this, [this] { guarded([this] { Open1Click(); }); });
    auto* save = button("btnSave", saveGlyph(), QString(), QStringLiteral("Save To File"));
    connect(save, &QToolButton::clicked, this, [this] { guarded([this] { Save1Click(); }); });
    auto* print = button("btnPrint", printGlyph(), QString(), QStringLiteral("Print"));
    connect(print, &QToolButton::clicked, this, [this] { guarded([this] { btnPrintClick(); }); });
    bar->addSeparator();
    m_btnDataLogger =
        button("btnDataLogger", downloadGlyph(), QStringLiteral("Download"), QStringLiteral("Load Data"));
    connect(m_btnDataLogger, &QToolButton::clicked, this,
            [this] { guarded([this] { btnDataLoggerClick(); }); });
    auto* setup =
        button("btnSetup", setupGlyph(), QStringLiteral("Logger Setup"), QStringLiteral("Setup Meter"));
    connect(setup, &QToolButton::clicked, this, [this] { guarded([this] { btnSetupClick(); }); });
    bar->addSeparator();
    auto* help = button("btnHelp", helpGlyph(), QString(), QStringLiteral("Help"));
    connect(help, &QToolButton::clicked, this, [this] { guarded([this] { Contents1Click(); }); });
    bar->addSeparator();

    m_portBox = new QComboBox(bar);
    m_portBox->setObjectName(QStringLiteral("ComboBoxDeviceName"));
    m_portBox->setPlaceholderText(QStringLiteral("ComPort"));
    m_portBox->setMinimumContentsLength(14);
    m_portBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    bar->addWidget(m_portBox);
    connect(m_portBox, &QComboBox::activated, this, [this](int index) {
        guarded([&] {
            if (index == portCount())
                OtherPortClick();
            else
                m_live->ComboBoxDeviceNameChange(index);
        });
    });
    auto* search = button("btnSearch", searchGlyph(), QStringLiteral("Search"),
                          QStringLiteral("Search the serial ports for the logger again"));
    connect(search, &QToolButton::clicked, this, [this] { guarded([this] { SearchAgain1Click(); }); });
}

void TfrmMain::buildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));

    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("File1"));
    QAction* open = addItem(file, "Open1", QStringLiteral("&Open"));
    open->setIcon(openGlyph());
    connect(open, &QAction::triggered, this, [this] { guarded([this] { Open1Click(); }); });
    QAction* save = addItem(file, "Save1", QStringLiteral("&Save"));
    save->setIcon(saveGlyph());
    connect(save, &QAction::triggered, this, [this] { guarded([this] { Save1Click(); }); });
    addSeparator(file, "N1");
    QAction* print = addItem(file, "Print1", QStringLiteral("&Print"));
    print->setIcon(printGlyph());
    connect(print, &QAction::triggered, this, [this] { guarded([this] { btnPrintClick(); }); });
    QAction* exportGraph = addItem(file, "ExportGraph1", QStringLiteral("&Export Graph..."));
    connect(exportGraph, &QAction::triggered, this, [this] { guarded([this] { ExportGraph1Click(); }); });
    QAction* report = addItem(file, "Report1", QStringLiteral("&Report..."));
    connect(report, &QAction::triggered, this, [this] { guarded([this] { Report1Click(); }); });
    QAction* printerSetup = addItem(file, "PrinterSetup1", QStringLiteral("&Printer Setup"));
    connect(printerSetup, &QAction::triggered, this, [this] { guarded([this] { PrinterSetup1Click(); }); });
    addSeparator(file, "N2");
    QAction* exit = addItem(file, "Exit1", QStringLiteral("E&xit"));
    connect(exit, &QAction::triggered, this, [this] { Exit1Click(); });

    m_dataLogger1 = bar->addAction(QStringLiteral("&DataLogger"));
    m_dataLogger1->setObjectName(QStringLiteral("DataLogger1"));
    connect(m_dataLogger1, &QAction::triggered, this, [this] { guarded([this] { btnDataLoggerClick(); }); });
    QAction* option = bar->addAction(QStringLiteral("&Setup"));
    option->setObjectName(QStringLiteral("Option1"));
    connect(option, &QAction::triggered, this, [this] { guarded([this] { btnSetupClick(); }); });

    QMenu* com = bar->addMenu(QStringLiteral("&COM Port"));
    com->setObjectName(QStringLiteral("COMPort1"));
    auto* comGroup = new QActionGroup(com);
    for (int k = 1; k <= 8; ++k) {
        QAction* a = com->addAction(QStringLiteral("Com%1").arg(k));
        a->setObjectName(QStringLiteral("Com") + QString::number(k) + QLatin1Char('1'));
        a->setCheckable(true);
        a->setActionGroup(comGroup);
        a->setEnabled(false); // never enabled: the port chooser does this job
        connect(a, &QAction::triggered, this, [this, a, k] {
            a->setChecked(true);
            guarded([&] { m_live->comPortMenu(k); });
        });
    }

    addSeparator(com, "N5");
    QAction* searchAgain = addItem(com, "SearchAgain1", QStringLiteral("&Search Again"));
    connect(searchAgain, &QAction::triggered, this, [this] { guarded([this] { SearchAgain1Click(); }); });
    QAction* other = addItem(com, "OtherPort1", QStringLiteral("&Other Port..."));
    connect(other, &QAction::triggered, this, [this] { guarded([this] { OtherPortClick(); }); });

    QMenu* baud = bar->addMenu(QStringLiteral("&Baudrate"));
    baud->setObjectName(QStringLiteral("Baudrate1"));
    baud->menuAction()->setVisible(false);
    auto* baudGroup = new QActionGroup(baud);
    struct Rate {
        const char* name;
        int baud;
        int waitMs;
    };
    for (const Rate& r : {Rate{"N96001", 9600, 300}, Rate{"N192001", 19200, 300}, Rate{"N384001", 38400, 0},
                          Rate{"N576001", 57600, 300}}) {
        QAction* a = addItem(baud, r.name, QString::number(r.baud));
        a->setCheckable(true);
        a->setActionGroup(baudGroup);
        a->setChecked(r.baud == 19200);
        connect(a, &QAction::triggered, this, [this, a, r] {
            guarded([&] { m_live->changeBaudRate(r.baud, r.waitMs); });
            a->setChecked(true);
        });
    }

    QMenu* view = bar->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("View1"));
    addItem(view, "RealTimeGraph1", QStringLiteral("Real Time &Graph"))->setVisible(false);
    QAction* lcd = addItem(view, "LCD1", QStringLiteral("&LCD"));
    connect(lcd, &QAction::triggered, this, [this] { guarded([this] { LCD1Click(); }); });

    m_windowMenu = bar->addMenu(QStringLiteral("&Window"));
    m_windowMenu->setObjectName(QStringLiteral("Window1"));
    connect(m_windowMenu, &QMenu::aboutToShow, this, &TfrmMain::fillWindowMenu);
    fillWindowMenu();

    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("Help1"));
    QAction* contents = addItem(help, "Contents1", QStringLiteral("&Contents"));
    contents->setIcon(helpGlyph());
    connect(contents, &QAction::triggered, this, [this] { guarded([this] { Contents1Click(); }); });
    addSeparator(help, "N4");
    QAction* about = addItem(help, "AboutTQ8801", QStringLiteral("&About TQ880"));
    connect(about, &QAction::triggered, this, [this] { guarded([this] { AboutTQ8801Click(); }); });
    QAction* fv = addItem(help, "FirmwareVersion1", QStringLiteral("Firmware Version"));
    fv->setVisible(false);
    connect(fv, &QAction::triggered, this, [this] { guarded([this] { FirmwareVersion1Click(); }); });
    // The item stays hidden, and a hidden item's own shortcut does not
    // work: the window's shortcut is how a user reaches it.
    auto* fvKey = new QShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+V")), this);
    fvKey->setObjectName(QStringLiteral("FirmwareVersionShortcut"));
    connect(fvKey, &QShortcut::activated, fv, &QAction::trigger);

    QAction* compare = bar->addAction(QStringLiteral("Data Compare"));
    compare->setObjectName(QStringLiteral("DataCompare1"));
    compare->setVisible(false);
}

void TfrmMain::fillWindowMenu() {
    m_windowMenu->clear();
    QAction* cascade = addItem(m_windowMenu, "Cascade1", QStringLiteral("&Cascade"));
    connect(cascade, &QAction::triggered, this, &TfrmMain::Cascade1Click);
    QAction* tile = addItem(m_windowMenu, "Tile1", QStringLiteral("&Tile"));
    connect(tile, &QAction::triggered, this, &TfrmMain::Tile1Click);
    // The frame's window list follows the two commands.
    const auto windows = m_mdi->subWindowList(QMdiArea::CreationOrder);
    if (!windows.isEmpty()) m_windowMenu->addSeparator();
    int n = 0;
    for (QMdiSubWindow* w : windows) {
        QAction* a = m_windowMenu->addAction(QStringLiteral("&%1 %2").arg(++n).arg(w->windowTitle()));
        a->setCheckable(true);
        a->setChecked(w == m_mdi->activeSubWindow());
        connect(a, &QAction::triggered, this, [this, w] { m_mdi->setActiveSubWindow(w); });
    }
}

void TfrmMain::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(true);
    m_panel0 = new QLabel(bar);
    m_panel0->setObjectName(QStringLiteral("StatusPanel0"));
    m_panel1 = new QLabel(bar);
    m_panel1->setObjectName(QStringLiteral("StatusPanel1"));
    // What was found: the model and its port, once connected.
    m_foundPanel = new QLabel(bar);
    m_foundPanel->setObjectName(QStringLiteral("StatusLogger"));
    m_foundPanel->hide();
    for (QLabel* l : {m_panel0, m_panel1, m_foundPanel}) {
        l->setMinimumWidth(50);
        l->setFrameShape(QFrame::StyledPanel);
        l->setFrameShadow(QFrame::Sunken);
        l->setContentsMargins(4, 0, 4, 0);
        bar->addWidget(l);
    }
}

TComPort* TfrmMain::Comm1() const {
    return &m_session->port();
}

TfrmLCD* TfrmMain::lcdWindow() const {
    return m_lcd.data();
}

// --- LinkView -----------------------------------------------------------------

void TfrmMain::showStatus(const QString& device, const QString& state) {
    m_panel0->setText(device);
    m_panel1->setText(state);
    // The link reports the model it found before it reports the connection.
    QString found;
    if (state == QLatin1String("On Connection")) {
        found = QStringLiteral("Model %1 on %2").arg(m_live->link().model().code).arg(device);
        if (m_simulated.contains(device)) found += QStringLiteral(" (simulated)");
    }
    m_foundPanel->setText(found);
    // A logger that answers later (plugged in, switched on) ends the bar's story.
    if (!found.isEmpty() && !m_searching) m_noLogger->hide();
    m_foundPanel->setVisible(!found.isEmpty());
}
void TfrmMain::setDownloadEnabled(bool on) {
    m_btnDataLogger->setEnabled(on);
}
void TfrmMain::setDataLoggerMenuEnabled(bool on) {
    m_dataLogger1->setEnabled(on);
}
void TfrmMain::setRs232Mark(bool visible) {
    if (m_lcd) m_lcd->setRs232Visible(visible);
}
void TfrmMain::refreshLcd(const LcdState& state) {
    if (m_lcd) m_lcd->refresh(state);
}
void TfrmMain::showSearchProgress(const QString& text) {
    if (m_splash) m_splash->setStatus(text);
    static const QString kPrefix = QStringLiteral("Search Logger On ");
    if (!m_splash && text.startsWith(kPrefix)) m_noLogger->showSearching(text.mid(kPrefix.size()));
}
int TfrmMain::portCount() const {
    // The last entry names a device that is not listed.
    return qMax(0, m_portBox->count() - 1);
}
QString TfrmMain::portText(int index) const {
    // A marked entry keeps its device path beside the text shown.
    const QVariant device = m_portBox->itemData(index);
    return device.isValid() ? device.toString() : m_portBox->itemText(index);
}
void TfrmMain::markSimulated(const QString& device) {
    m_simulated << device;
    const int index = m_portBox->findText(device);
    if (index < 0) return;
    m_portBox->setItemData(index, device);
    m_portBox->setItemText(index, device + QStringLiteral(" (simulated)"));
}
void TfrmMain::selectPort(int index) {
    m_portBox->setCurrentIndex(index);
}
void TfrmMain::removePort(int index) {
    m_portBox->removeItem(index);
}

// --- start-up and shutdown --------------------------------------------------------

void TfrmMain::startUp(TfrmAbout* splash) {
    m_splash = splash;
    AppPaths::settleDataFolder();

    LCD1Click();

    if (m_splash) {
        m_splash->raise(); // above the main window even without a window manager
        m_splash->setStatus(QStringLiteral("Initializing COM Port ..."));
    }
    // The search starts once the window is on the screen, after the
    // port's settling time; closing the window meanwhile ends it.
    QTimer::singleShot(kStartPauseMs, this, [this] {
        if (m_ending) return;
        m_live->searchLogger([this] { startUpDone(); });
    });
}

void TfrmMain::startUpDone() {
    if (m_splash) {
        m_splash->setStatus(QString());
        m_splash->hide();
        delete m_splash.data();
    }
    if (m_ending) return;
    searchDone();
    guarded([this] { openDataLoggerWindow(); });
    m_startedUp = true;
    emit startUpFinished();
}

void TfrmMain::searchDone() {
    m_searching = false;
    if (m_live->link().connected)
        m_noLogger->hide();
    else
        m_noLogger->showResult(m_live->lastSearch());
}

void TfrmMain::SearchAgain1Click() {
    // The device is busy with a command or a search already runs.
    if (m_searching || !m_startedUp || m_live->lent() || m_ending) return;
    m_searching = true;
    const QString current = m_portBox->currentIndex() >= 0 ? portText(m_portBox->currentIndex()) : QString();
    fillPortBox(m_listPorts());
    if (const int index = m_portBox->findData(current); index >= 0 && index < portCount())
        m_portBox->setCurrentIndex(index);
    m_noLogger->showSearching(portCount() > 0 ? portText(0) : QStringLiteral("no port"));
    m_live->searchLogger([this] {
        if (!m_ending) searchDone();
    });
}

void TfrmMain::fillPortBox(const QStringList& ports) {
    m_portBox->clear();
    QStringList all = ports;
    for (const QString& other : m_otherPorts)
        if (!all.contains(other)) all << other;
    for (const QString& port : all) {
        const bool simulated = m_simulated.contains(port);
        m_portBox->addItem(simulated ? port + QStringLiteral(" (simulated)") : port, port);
    }
    m_portBox->addItem(QStringLiteral("Other port..."));
    // Without a port the chooser shows its placeholder, not the naming entry.
    if (all.isEmpty()) m_portBox->setCurrentIndex(-1);
}

void TfrmMain::OtherPortClick() {
    const int previous = m_live->link().portIndex;
    if (m_searching || m_live->lent()) {
        m_portBox->setCurrentIndex(qBound(0, previous, qMax(0, portCount() - 1)));
        return;
    }
    bool ok = false;
    const QString path = QInputDialog::getText(this, QStringLiteral("Other Port"),
                                               QStringLiteral("The serial device the logger is on "
                                                              "(for example /dev/ttyUSB0):"),
                                               QLineEdit::Normal, QStringLiteral("/dev/"), &ok)
                             .trimmed();
    if (!ok || path.isEmpty() || path == QLatin1String("/dev/")) {
        m_portBox->setCurrentIndex(qBound(0, previous, qMax(0, portCount() - 1)));
        return;
    }
    const QString device = deviceNameFor(path);
    int index = m_portBox->findData(device);
    if (index < 0 || index >= portCount()) {
        m_portBox->insertItem(portCount(), device, device);
        index = portCount() - 1;
        if (!m_otherPorts.contains(device)) m_otherPorts << device;
        // Remembered at once: the next start lists it too.
        QString error;
        if (!SettingsFile::write(AppPaths::settingsFolder(), m_live->link().portIndex, &error, m_otherPorts))
            Messages::error(error);
    }
    m_portBox->setCurrentIndex(index);
    // The handshake on that device tells its model.
    m_searching = true;
    m_live->searchPort(index, [this] {
        if (!m_ending) searchDone();
    });
}

void TfrmMain::openDataLoggerWindow() {
    createDataLoggerWindow(m_mdi, m_live->link().model(), false);
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    if (m_ending) {
        event->accept();
        return;
    }
    bool goOn = false;
    guarded([&] { goOn = m_save->mayReplaceDownload() && realtime::mayEnd(); });
    if (!goOn) {
        event->ignore();
        return;
    }
    // Whatever job has the device stops now; the port closes.
    m_live->endLink();
    QString error;
    if (!SettingsFile::write(AppPaths::settingsFolder(), m_live->link().portIndex, &error, m_otherPorts)) {
        Messages::error(error);
        // Without its folder the window stays open (the ports stay closed).
        if (!QDir(AppPaths::settingsFolder()).exists()) {
            event->ignore();
            return;
        }
    }
    event->accept();
    endProgram();
}

void TfrmMain::endProgram() {
    m_ending = true;
    m_live->endLink();
    // Ends the main loop wherever the close came from (start-up, a
    // command's dialog); the splash or the LCD window left on screen must
    // not keep the program alive.
    QCoreApplication::exit(0);
}

// --- commands ---------------------------------------------------------------------

void TfrmMain::Open1Click() {
    m_open->run();
}

void TfrmMain::Save1Click() {
    m_save->run();
}

void TfrmMain::openFiles(const QStringList& files) {
    m_open->openFiles(files);
}

void TfrmMain::Exit1Click() {
    bool goOn = false;
    guarded([&] { goOn = m_save->mayReplaceDownload() && realtime::mayEnd(); });
    // Then ends at once: no close handler, so the settings file stays as it was.
    if (goOn) endProgram();
}

void TfrmMain::LCD1Click() {
    if (m_lcd) {
        m_lcd->show();
        m_lcd->raise();
        return;
    }
    auto* lcd = new TfrmLCD(this);
    m_lcd = lcd;
    lcd->placeAtLowerLeft(this);
    lcd->show();
    lcd->buildLists(AppPaths::segmentListFile());
    // A window opened again shows the last reading at once, not blanks
    // until the next frame.
    if (m_live->link().connected) lcd->refresh(m_live->lcdState());
}

void TfrmMain::Contents1Click() {
    const QString page = AppPaths::helpFile();
    const QString where = QDir::toNativeSeparators(page);
    if (!QFileInfo::exists(page)) {
        Messages::error(QStringLiteral("The help page is missing: it should be at %1.").arg(where));
        return;
    }
    const QString failed =
        QStringLiteral("The help page could not be opened: no program to show it was found. It is at %1.")
            .arg(where);
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // xdg-open starts whatever shows web pages and says whether there was
    // one; Qt only says whether xdg-open itself started.
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (!opener.isEmpty()) {
        auto* run = new QProcess(this);
        run->setProcessChannelMode(QProcess::ForwardedChannels);
        connect(run, &QProcess::finished, this, [run, failed](int code, QProcess::ExitStatus status) {
            if (status != QProcess::NormalExit || code != 0) Messages::error(failed);
            run->deleteLater();
        });
        connect(run, &QProcess::errorOccurred, this, [run, failed](QProcess::ProcessError error) {
            if (error != QProcess::FailedToStart) return;
            Messages::error(failed);
            run->deleteLater();
        });
        run->start(opener, {QUrl::fromLocalFile(page).toString()});
        return;
    }
#endif
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(page))) Messages::error(failed);
}

void TfrmMain::AboutTQ8801Click() {
    TfrmAbout about(this);
    runDialog(about);
}

void TfrmMain::FirmwareVersion1Click() {
    m_firmware->run();
}

void TfrmMain::btnSetupClick() {
    m_setup->run();
}

void TfrmMain::btnDataLoggerClick() {
    m_download->run();
}

void TfrmMain::btnPrintClick() {
    printCommand(m_mdi);
}
void TfrmMain::ExportGraph1Click() {
    m_exportGraph->run();
}
void TfrmMain::Report1Click() {
    m_report->run();
}
void TfrmMain::PrinterSetup1Click() {
    printerSetupCommand(this);
}
void TfrmMain::Cascade1Click() {
    cascadeWindows(m_mdi);
}
void TfrmMain::Tile1Click() {
    tileWindows(m_mdi);
}

} // namespace tq
