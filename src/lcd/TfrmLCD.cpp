#include "TfrmLCD.h"

#include "LcdGlyphs.h"
#include "LcdImage.h"
#include "LcdInk.h"
#include "LcdLayout.h"
#include "LcdMarks.h"
#include "LcdPanel.h"

#include <QCloseEvent>
#include <QPointer>
#include <QSaveFile>
#include <algorithm>
#include <limits>

namespace tq {

using lcd::LcdImage;

namespace {

constexpr int kFirstDigitCode = 3;
// A 32-bit mask switches at most 32 images.
constexpr int kMaxTag = std::numeric_limits<SegmentMask>::digits;
// How long a close request waits for a frame to be decoded before it asks again.

void showGlyph(LcdImage* cell, int code) {
    cell->setSource([code](qreal ratio) { return lcd::glyph(code, ratio); });
}

} // namespace

TfrmLCD::TfrmLCD(QWidget* owner)
    : QWidget(owner, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint |
                         Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("frmLCD"));
    setWindowTitle(QStringLiteral("LCD"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    setFixedSize(lcd::kClientSize);

    auto* panel = new lcd::LcdPanel(this);
    for (const lcd::IndicatorLayout& item : lcd::kIndicators) {
        auto* image = new LcdImage(item.name, item.tag, item.geometry, panel);
        image->setSource([mark = item.mark, size = item.geometry.size()](qreal ratio) {
            return lcd::drawMark(mark, size, ratio, lcd::inkColor());
        });
        image->hide();
        if (item.tag == 0) m_rs232 = image;
    }
    for (const lcd::CellLayout& item : lcd::kDigitCells)
        new LcdImage(item.name, 0, item.geometry, panel);
}

void TfrmLCD::buildLists(const QString& tagFilePath) {
    m_segments.clear();
    m_cells.clear();

    const QList<LcdImage*> images = findChildren<LcdImage*>();
    int slotCount = 0;
    for (LcdImage* image : images)
        if (image->tag() >= 1 && image->tag() <= kMaxTag) slotCount = std::max(slotCount, image->tag());
    m_segments.assign(static_cast<std::size_t>(slotCount), nullptr);
    for (LcdImage* image : images)
        if (image->tag() >= 1 && image->tag() <= kMaxTag)
            m_segments[static_cast<std::size_t>(image->tag() - 1)] = image;

    for (const lcd::CellLayout& item : lcd::kDigitCells) {
        auto* cell = findChild<LcdImage*>(QString::fromLatin1(item.name));
        showGlyph(cell, kBlankGlyph);
        m_cells.push_back(cell);
    }
    // The cells now show blank, so a later code is compared against blank.
    m_previousCodes.fill(kBlankGlyph);

    writeTagFile(tagFilePath);
}

void TfrmLCD::writeTagFile(const QString& path) const {
    QByteArray text;
    for (std::size_t slot = 0; slot < m_segments.size(); ++slot) {
        if (!m_segments[slot]) continue;
        text += QByteArray::number(static_cast<qulonglong>(slot)) + '\t' +
                m_segments[slot]->objectName().toLatin1() + '\n';
    }
    // Only a record for whoever looks; a folder we cannot write is no error.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return;
    file.write(text);
    file.commit();
}

void TfrmLCD::refresh(const LcdState& state) {
    int changes = 0;
    for (std::size_t slot = 0; slot < m_segments.size(); ++slot) {
        const SegmentMask bit = SegmentMask(1) << slot;
        if (!m_segments[slot] || (state.segmentMask & bit) == (m_previousMask & bit)) continue;
        m_segments[slot]->setVisible((state.segmentMask & bit) != 0);
        ++changes;
    }
    m_previousMask = state.segmentMask;

    for (std::size_t cell = 0; cell < m_cells.size(); ++cell) {
        const std::size_t k = cell + kFirstDigitCode;
        if (state.digitCodes[k] == m_previousCodes[k]) continue;
        showGlyph(m_cells[cell], state.digitCodes[k]);
        m_previousCodes[k] = state.digitCodes[k];
        ++changes;
    }
    m_lastRefreshChanges = changes;
}

void TfrmLCD::setRs232Visible(bool visible) {
    m_rs232->setVisible(visible);
}

void TfrmLCD::placeAtLowerLeft(const QWidget* mainWindow) {
    m_placedBy = mainWindow;
    m_placedOuterHeight = frameGeometry().height();
    moveToLowerLeft(mainWindow);
}

void TfrmLCD::moveToLowerLeft(const QWidget* mainWindow) {
    const QRect main = mainWindow->frameGeometry();
    move(main.left() + 5, main.top() + main.height() - frameGeometry().height() - 30);
}

bool TfrmLCD::event(QEvent* e) {
    // The window manager frames the window after it was placed: once the
    // outer size is known, place it again by that (once; later moves are
    // the user's).
    if ((e->type() == QEvent::Move || e->type() == QEvent::Show) && m_placedBy &&
        frameGeometry().height() != m_placedOuterHeight) {
        const QWidget* mainWindow = m_placedBy;
        m_placedBy = nullptr;
        moveToLowerLeft(mainWindow);
    }
    return QWidget::event(e);
}

} // namespace tq
