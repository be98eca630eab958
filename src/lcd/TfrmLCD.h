#pragma once

#include "LcdState.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <vector>

namespace tq {

namespace lcd {
class LcdImage;
}

// The always-on-top copy of the logger's display: four digits, decimal
// point, minus sign, unit marks, REC, memory bar, battery gauge and the
// RS232 mark. It frees itself when closed; its owner keeps a QPointer.
class TfrmLCD : public QWidget {
    Q_OBJECT

  public:
    explicit TfrmLCD(QWidget* owner = nullptr);

    // Builds the segment list (slot tag - 1 per tagged image) and the digit
    // cell list, blanks the cells and writes the segment list file to
    // tagFilePath. A file that cannot be written is left alone.
    void buildLists(const QString& tagFilePath);

    // Shows the state; touches only images whose mask bit or digit code
    // changed since the previous state.
    void refresh(const LcdState& state);
    // Images shown, hidden or given a new picture by the last refresh.
    int lastRefreshChanges() const { return m_lastRefreshChanges; }

    void setRs232Visible(bool visible);

    // Lower left of the main window: 5 pixels in, the window's outer bottom
    // 30 pixels above the main window's. Placed again once the window
    // manager has added the frame.
    void placeAtLowerLeft(const QWidget* mainWindow);

  protected:
    bool event(QEvent* e) override;

  private:
    void writeTagFile(const QString& path) const;
    void moveToLowerLeft(const QWidget* mainWindow);

    lcd::LcdImage* m_rs232 = nullptr;
    std::vector<lcd::LcdImage*> m_segments; // slot tag - 1
    std::vector<lcd::LcdImage*> m_cells;    // cell j shows code j + 3
    SegmentMask m_previousMask = 0;
    DigitCodes m_previousCodes = LcdState{}.digitCodes;
    int m_lastRefreshChanges = 0;
    QPointer<const QWidget> m_placedBy; // until the frame is known
    int m_placedOuterHeight = 0;
};

} // namespace tq
