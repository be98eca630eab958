#pragma once

#include "SetupGrid.h"
#include "SetupSession.h"

#include <QDateTime>
#include <QDialog>
#include <functional>

class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTableWidget;
class QTimer;

namespace tq {

class DeviceJob;
class DeviceSession;
struct LoggerLink;

// The logger setup dialog: the logger's clock beside the PC's, the data
// sets in the logger memory, the interval and the unit, and the commands
// that change them. While it is open its clock polling is the device
// session's idle job in place of the live link, and each command is a job
// queued on the session.
class TfrmSetup : public QDialog {
    Q_OBJECT
  public:
    // The PC's local time; replaced by tests.
    using Clock = std::function<QDateTime()>;

    TfrmSetup(DeviceSession& session, const LoggerLink& link, QWidget* parent = nullptr, Clock clock = {});
    ~TfrmSetup() override;

    bool intervalChanged() const { return m_intervalChanged; }
    bool unitChanged() const { return m_unitChanged; }
    // A start or command exchange is running.
    bool busy() const { return m_busy; }

    // The start sequence, run once when the dialog is first shown.
    void FormShow();
    void btnAdjustTimeClick();
    void btnSetUnitClick();
    void Button2Click(); // interval OK
    void btnEraseClick();
    // True when the dialog may close (asks when something was changed).
    bool FormCloseQuery();

    void reject() override; // Escape and the Exit button

  signals:
    // The start sequence or a command exchange is over.
    void idle();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildLayout();
    void fillGrid(const QVector<SetupGridRow>& rows);
    void chooseUnitPicture(bool fahrenheit);
    // Queues job on the session; after runs with it once it is over.
    void exchange(std::unique_ptr<DeviceJob> job, std::function<void(DeviceJob&)> after);
    void endBusy();
    // What a setting's read-back found: shown below the settings, and an
    // error box when the logger did not take it.
    void showResult(bool ok, const QString& text);
    // The job found no port to talk on: said, and true.
    bool portFailed(const DeviceJob& done);

    DeviceSession& m_session;
    const LoggerLink& m_link;
    Clock m_clock;
    // The clock polling while no command runs (`Timer1` and the setup
    // port's receive handler).
    SetupClockJob m_clockJob;
    DeviceJob* m_running = nullptr;
    int m_pending = 0; // jobs queued and not yet over

    QTableWidget* DataGrid1 = nullptr;
    QPushButton* btnErase = nullptr;
    QLabel* lblLoggerTime = nullptr;
    QLabel* lblPCTime = nullptr;
    QPushButton* btnAdjustTime = nullptr;
    QComboBox* cmbInterval = nullptr;
    QPushButton* Button2 = nullptr;
    QRadioButton* RadioC = nullptr;
    QRadioButton* RadioF = nullptr;
    QPushButton* btnSetUnit = nullptr;
    QPushButton* BitBtn2 = nullptr;
    QLabel* lblResult = nullptr;

    // Data sets the grid shows; -1 until a directory was read.
    int m_dataSets = -1;
    // The directory last read, for the archive's word on Erase.
    QByteArray m_directory;
    bool m_intervalChanged = false;
    bool m_unitChanged = false;
    bool m_busy = false;
    bool m_started = false;
    bool m_closeAnswered = false;
};

} // namespace tq
