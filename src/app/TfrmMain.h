#pragma once

#include "LinkView.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QMdiArea;
class QMenu;
class QToolButton;

namespace tq {

class DownloadCommand;
class ExportGraphCommand;
class FileDialogs;
class DeviceSession;
class FirmwareCommand;
class LiveLink;
class OpenCommand;
class ReportCommand;
class SaveCommand;
class SetupCommand;
class TComPort;
class TfrmAbout;
class TfrmLCD;

// The frame of the whole program: tool bar, menus, status bar, port chooser
// and the area holding the graph windows. It wires commands to the parts
// that carry them out.
class TfrmMain : public QMainWindow, public LinkView {
    Q_OBJECT
  public:
    // ports: the port chooser's entries in order.
    explicit TfrmMain(const QStringList& ports, QWidget* parent = nullptr);
    ~TfrmMain() override;

    // The start-up steps that follow showing the window: data folder, LCD
    // window, then (as events come) the logger search and link start,
    // splash closing and the DataLogger window, and startedUp. Frees the
    // splash (which may be null) when the search is done.
    void startUp(TfrmAbout* splash);
    bool startedUp() const { return m_startedUp; }
    static constexpr int kStartPauseMs = 300;

    // Closed or left (File > Exit): the program is ending, also when that
    // happened inside start-up.
    bool ending() const { return m_ending; }

    LiveLink* liveLink() const { return m_live; }
    TComPort* Comm1() const;
    DeviceSession* session() const { return m_session; }
    QMdiArea* mdiArea() const { return m_mdi; }
    TfrmLCD* lcdWindow() const; // null once the user closed it
    QString settingsPath() const { return m_settingsPath; }
    bool settingsFileExisted() const { return m_settingsExisted; }
    // The port chooser entry of a simulated logger says so, and so does the
    // status bar once it answers.
    void markSimulated(const QString& device);

    // LinkView
    void showStatus(const QString& device, const QString& state) override;
    void setDownloadEnabled(bool on) override;
    void setDataLoggerMenuEnabled(bool on) override;
    void setRs232Mark(bool visible) override;
    void refreshLcd(const LcdState& state) override;
    void showSearchProgress(const QString& text) override;
    int portCount() const override;
    QString portText(int index) const override;
    void selectPort(int index) override;
    void removePort(int index) override;

    // Files named on the command line, opened as File > Open would.
    void openFiles(const QStringList& files);
    FileDialogs* fileDialogs() const { return m_dialogs.get(); }

    // Command handlers (also reached by tests through the actions).
    void Open1Click();
    void Save1Click();
    void Exit1Click();
    void Contents1Click();
    // Shows the LCD window, opening it again once it was closed.
    void LCD1Click();
    void AboutTQ8801Click();
    void FirmwareVersion1Click();
    // Search again (COM Port menu, tool button, the no-logger bar): the
    // ports listed afresh and searched as at start-up.
    void SearchAgain1Click();
    // "Other port...": a serial device that is not listed, named by the user
    // and remembered.
    void OtherPortClick();
    // How the ports are listed again for Search again.
    void setPortLister(std::function<QStringList()> lister) { m_listPorts = std::move(lister); }
    void btnSetupClick();
    void btnDataLoggerClick();
    void btnPrintClick();
    void ExportGraph1Click();
    void Report1Click();
    void PrinterSetup1Click();
    void Cascade1Click();
    void Tile1Click();

  signals:
    // The search is over and the DataLogger window is open.
    void startUpFinished();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void startUpDone();
    // A search is over: the bar says what it found when no logger answered.
    void searchDone();
    // The chooser's entries: these ports, the devices the user named, and
    // the entry for naming another.
    void fillPortBox(const QStringList& ports);

    void buildToolBar();
    void buildMenus();
    void buildStatusBar();
    void fillWindowMenu();
    void openDataLoggerWindow();
    void endProgram();

    DeviceSession* m_session;
    LiveLink* m_live;
    QMdiArea* m_mdi;
    std::unique_ptr<FileDialogs> m_dialogs;
    std::unique_ptr<OpenCommand> m_open;
    std::unique_ptr<SaveCommand> m_save;
    std::unique_ptr<ExportGraphCommand> m_exportGraph;
    std::unique_ptr<ReportCommand> m_report;
    std::unique_ptr<DownloadCommand> m_download;
    std::unique_ptr<SetupCommand> m_setup;
    std::unique_ptr<FirmwareCommand> m_firmware;
    QComboBox* m_portBox = nullptr;
    QLabel* m_panel0 = nullptr;
    QLabel* m_panel1 = nullptr;
    QLabel* m_foundPanel = nullptr;
    QStringList m_simulated;
    QToolButton* m_btnDataLogger = nullptr;
    QAction* m_dataLogger1 = nullptr;
    QMenu* m_windowMenu = nullptr;
    QPointer<TfrmLCD> m_lcd;
    QPointer<TfrmAbout> m_splash;
    QString m_settingsPath;
    bool m_settingsExisted = false;
    bool m_ending = false;
    bool m_startedUp = false;
    bool m_searching = true;
    class NoLoggerBar* m_noLogger = nullptr;
    std::function<QStringList()> m_listPorts;
    QStringList m_otherPorts; // devices named with "Other port...", remembered in the settings
};

} // namespace tq
