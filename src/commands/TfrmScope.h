#pragma once

#include "Progress.h"

#include <QDialog>
#include <QElapsedTimer>

class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace tq {

// The range and progress window: every control hidden until a use shows
// the ones it needs. Modal, it asks for a range of points (OK 1, Cancel 2);
// shown without waiting, it is the progress window of a long job, whose
// result becomes 2 when the user presses Cancel.
class TfrmScope : public QDialog, public Progress {
    Q_OBJECT
  public:
    enum Result { Ok = 1, Cancel = 2 };
    // What setValue shows: the bar, the count in SText1 (reading a file), or
    // the byte count in lblBytesReceived and the bar (a download).
    enum class Display { Bar, Count, Bytes };

    explicit TfrmScope(QWidget* parent = nullptr);

    // The range choice (saving text): GroupBox1 with OK and Cancel.
    void showRangeChoice(int pointCount);
    // Shown without waiting, with this display, the Cancel button when asked, result as given.
    void startProgress(Display display, bool withCancel, int initialResult);
    int progressResult() const { return m_result; }

    // Progress: the window follows the job once a time slice.
    void setMaximum(qint64 maximum) override;
    void setValue(qint64 value) override;
    bool cancelled() const override { return m_result == Cancel; }
    void keepAlive() override;

    void reject() override;

    QGroupBox* GroupBox1 = nullptr;
    QRadioButton* radAll = nullptr;
    QRadioButton* radNo = nullptr;
    QLineEdit* edtSelFrom = nullptr;
    QLineEdit* edtSelTo = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;
    QProgressBar* Progress1 = nullptr;
    QLabel* SText1 = nullptr;
    QLabel* SText2 = nullptr;
    QLabel* lblBytesReceived = nullptr;
    QLabel* lblTotalBytes = nullptr;
    QLabel* lblTimeLeft = nullptr; // a download's estimate

  signals:
    // Cancel was pressed in a progress window.
    void cancelRequested();

  private:
    void press(int result);
    void showValue();
    void pump(bool now);

    Display m_display = Display::Bar;
    int m_result = 0;
    qint64 m_value = 0;
    QElapsedTimer m_lastPump;
};

} // namespace tq
