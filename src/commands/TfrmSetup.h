#pragma once

#include "SetupGrid.h"

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

struct LoggerLink;
class SetupSession;
class TComPort;

// The logger setup dialog: the logger's clock beside the PC's, the data
// sets in the logger memory, the interval and the unit, and the commands
// that change them. While it is open it has the device to itself through
// its own port Comm3; the setup gate stops the live link before and brings
// it back after.
class TfrmSetup : public QDialog {
    Q_OBJECT
  public:
    // The PC's local time; replaced by tests.
    using Clock = std::function<QDateTime()>;

    // comm1: the live port, closed on start and whose device Comm3 uses.
    TfrmSetup(TComPort& comm1, const LoggerLink& link, QWidget* parent = nullptr, Clock clock = {});
    ~TfrmSetup() override;

    TComPort* Comm3() const { return m_comm3; }
    bool intervalChanged() const { return m_intervalChanged; }
    bool unitChanged() const { return m_unitChanged; }
    // A start or command exchange is running.
    bool busy() const { return m_busy; }

    // The start sequence, run once when the dialog is first shown.
    void FormShow();
    void Timer1Timer();
    void Comm3RxChar();
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
    // Runs command with the port taken from the clock timer and its receive
    // handler, and hands it back afterwards on every path.
    void exchange(int limitMs, const std::function<void(SetupSession&)>& command);
    void takePortForExchange();
    // Back to idle: the receive handler on and the clock timer running.
    void handPortBack(int pauseBeforeOpenMs, int pauseAfterOpenMs);
    void endBusy();

    TComPort& m_comm1;
    const LoggerLink& m_link;
    Clock m_clock;
    TComPort* m_comm3;
    QTimer* m_timer1;

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

    // Data sets the grid shows; -1 until a directory was read.
    int m_dataSets = -1;
    // The directory last read, for the archive's word on Erase.
    QByteArray m_directory;
    bool m_intervalChanged = false;
    bool m_unitChanged = false;
    bool m_timeRequest = false;
    bool m_busy = false;
    bool m_started = false;
    bool m_closeAnswered = false;
};

} // namespace tq
