#include "TfrmSetup.h"

#include "CommandGuard.h"
#include "DateTime.h"
#include "DeviceSession.h"
#include "EraseCheck.h"
#include "IntervalTable.h"
#include "LiveFrameQuery.h"
#include "LoggerLink.h"
#include "MemoryLayout.h"
#include "Messages.h"
#include "ProgramArchive.h"
#include "Protocol.h"
#include "Regional.h"
#include "SetupReplies.h"
#include "SetupSession.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTableWidget>
#include <QTimer>

namespace tq {

namespace {

const QString kCaption = QStringLiteral("LOGGER Setup");
const QString kCloseQuestion =
    QStringLiteral("Something changed and not saved . Do you really want to exit ? ");

// The live link takes the port back after the dialog: 500 ms before the
// port opens, then a second before the link timer starts.
constexpr int kResumeBeforeMs = 500;
constexpr int kResumeAfterMs = 1000;
// The clock is set to whole seconds and read back a moment later.
constexpr qint64 kClockToleranceSeconds = 3;

QString eraseQuestion(int dataSets) {
    if (dataSets < 0)
        return QStringLiteral("Erase the logger memory? Every data set recorded in it will be lost.");
    if (dataSets == 0) return QStringLiteral("Erase the logger memory? It holds no recorded data set.");
    if (dataSets == 1)
        return QStringLiteral("Erase the logger memory? Its 1 recorded data set will be lost.");
    return QStringLiteral("Erase the logger memory? Its %1 recorded data sets will be lost.").arg(dataSets);
}
} // namespace

TfrmSetup::TfrmSetup(DeviceSession& session, const LoggerLink& link, QWidget* parent, Clock clock)
    : QDialog(parent), m_session(session), m_link(link),
      m_clock(clock ? std::move(clock) : Clock([] { return QDateTime::currentDateTime(); })) {
    setObjectName(QStringLiteral("frmSetup"));
    setWindowTitle(kCaption);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    buildLayout();
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    m_clockJob.onTick = [this] { lblPCTime->setText(dateTimeText(toDays(m_clock()))); };
    m_clockJob.onClock = [this](const QDateTime& clock) {
        lblLoggerTime->setText(dateTimeText(toDays(clock)));
    };

    connect(btnAdjustTime, &QPushButton::clicked, this,
            [this] { guarded([this] { btnAdjustTimeClick(); }); });
    connect(btnSetUnit, &QPushButton::clicked, this, [this] { guarded([this] { btnSetUnitClick(); }); });
    connect(Button2, &QPushButton::clicked, this, [this] { guarded([this] { Button2Click(); }); });
    connect(btnErase, &QPushButton::clicked, this, [this] { guarded([this] { btnEraseClick(); }); });
    connect(BitBtn2, &QPushButton::clicked, this, &QWidget::close);
    // Only the user's own changes count, not the dialog's selections.
    connect(cmbInterval, &QComboBox::activated, this, [this] { m_intervalChanged = true; });
    connect(RadioF, &QRadioButton::clicked, this, [this] { m_unitChanged = true; });
}

TfrmSetup::~TfrmSetup() {
    if (m_running) m_session.cancel(m_running);
    m_session.removeIdle(&m_clockJob, kResumeBeforeMs, kResumeAfterMs);
    if (m_busy) QApplication::restoreOverrideCursor();
}

void TfrmSetup::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_started) return;
    m_started = true;
    // After the window is on the screen, not inside its show.
    QTimer::singleShot(0, this, [this] { guarded([this] { FormShow(); }); });
}

void TfrmSetup::fillGrid(const QVector<SetupGridRow>& rows) {
    for (int r = 0; r < rows.size() && r < DataGrid1->rowCount(); ++r) {
        const SetupGridRow& row = rows[r];
        const QString cells[] = {row.date, row.time, row.sampleCount};
        for (int c = 0; c < 3; ++c)
            DataGrid1->setItem(r, c + 1, new QTableWidgetItem(cells[c]));
    }
}

void TfrmSetup::chooseUnitPicture(bool fahrenheit) {
    (fahrenheit ? RadioF : RadioC)->setChecked(true);
    m_unitChanged = true;
}

void TfrmSetup::endBusy() {
    m_busy = false;
    QApplication::restoreOverrideCursor();
    emit idle();
}

void TfrmSetup::FormShow() {
    if (m_busy) return;
    fillGrid(unusedGridRows());
    cmbInterval->setCurrentIndex(intervals::kDefaultIndex);
    (m_link.unitCelsius ? RadioC : RadioF)->setChecked(true);
    // The clock polling follows the start's reads and every command.
    m_session.pushIdle(&m_clockJob);
    // A logger that does not answer leaves the grid "empty" and the list at
    // its default; a port that failed to open gets the same.
    exchange(std::make_unique<SetupStartJob>(), [this](DeviceJob& done) {
        const auto& start = static_cast<SetupStartJob&>(done);
        const QByteArray directory = start.directory();
        if (!directory.isEmpty()) {
            const QVector<SetupGridRow> rows = setupGridRows(directory, m_link.model());
            fillGrid(rows);
            m_dataSets = usedRows(rows);
            m_directory = directory;
        }
        if (const std::optional<int> seconds = start.intervalSeconds())
            cmbInterval->setCurrentIndex(intervals::indexOfSeconds(*seconds));
    });
}

void TfrmSetup::exchange(std::unique_ptr<DeviceJob> job, std::function<void(DeviceJob&)> after) {
    // A read-back queued by the command before it keeps the dialog busy.
    if (m_pending++ == 0) {
        m_busy = true;
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    const QPointer<TfrmSetup> self(this);
    m_running = m_session.queue(std::move(job), [self, after = std::move(after)](DeviceJob& done) {
        if (!self) return;
        self->m_running = nullptr;
        --self->m_pending;
        if (done.outcome().code != JobOutcome::Code::Cancelled) guarded([&] { after(done); });
        if (self && self->m_pending == 0) self->endBusy();
    });
}

bool TfrmSetup::portFailed(const DeviceJob& done) {
    const JobOutcome::Code code = done.outcome().code;
    if (code != JobOutcome::Code::CannotOpen && code != JobOutcome::Code::DeviceRemoved) return false;
    showResult(false, QStringLiteral("The logger could not be reached: %1").arg(done.outcome().text));
    return true;
}

void TfrmSetup::showResult(bool ok, const QString& text) {
    lblResult->setText(text);
    lblResult->setStyleSheet(ok ? QString() : QStringLiteral("color: #b00000;"));
    if (!ok) Messages::error(text, kCaption);
}

// Each setting is read back from the logger, and the dialog says whether it took it.
void TfrmSetup::btnAdjustTimeClick() {
    if (m_busy) return;
    exchange(SetupCommandJob::setClock(m_clock()), [this](DeviceJob& set) {
        if (portFailed(set)) return;
        exchange(SetupCommandJob::readClock(), [this](DeviceJob& done) {
            if (portFailed(done)) return;
            QByteArray reply = static_cast<SetupCommandJob&>(done).reply();
            const std::optional<QDateTime> clock = takeClockReplies(reply);
            if (clock && qAbs(m_clock().secsTo(*clock)) <= kClockToleranceSeconds)
                showResult(true,
                           QStringLiteral("The logger's clock is set: %1").arg(dateTimeText(toDays(*clock))));
            else
                showResult(false, QStringLiteral("The logger did not take the PC's time: its clock reads %1.")
                                      .arg(clock ? dateTimeText(toDays(*clock)) : QStringLiteral("nothing")));
        });
    });
}

void TfrmSetup::btnSetUnitClick() {
    if (m_busy) return;
    m_unitChanged = false;
    const bool fahrenheit = !RadioC->isChecked();
    exchange(SetupCommandJob::setUnit(fahrenheit), [this, fahrenheit](DeviceJob& set) {
        if (portFailed(set)) return;
        // The live reading shows the unit the logger now uses.
        exchange(std::make_unique<LiveFrameQuery>(m_link.model()), [this, fahrenheit](DeviceJob& done) {
            if (portFailed(done)) return;
            const auto& live = static_cast<LiveFrameQuery&>(done);
            const QString unit = fahrenheit ? QStringLiteral("°F") : QStringLiteral("°C");
            if (live.seen() && live.link().unitCelsius != fahrenheit)
                showResult(true, QStringLiteral("The logger shows %1 now.").arg(unit));
            else if (live.seen())
                showResult(false, QStringLiteral("The logger did not take the unit: it still shows %1.")
                                      .arg(fahrenheit ? QStringLiteral("°C") : QStringLiteral("°F")));
            else
                showResult(false, QStringLiteral("The logger sent no reading to show its unit."));
        });
    });
}

void TfrmSetup::Button2Click() {
    if (m_busy) return;
    m_intervalChanged = false;
    const int index = cmbInterval->currentIndex();
    if (index < 0) return;
    exchange(SetupCommandJob::setInterval(index), [this, index](DeviceJob& set) {
        if (portFailed(set)) return;
        exchange(SetupCommandJob::readInterval(), [this, index](DeviceJob& done) {
            if (portFailed(done)) return;
            const std::optional<int> seconds =
                intervalSecondsFromReply(static_cast<SetupCommandJob&>(done).reply());
            if (seconds == intervals::kSeconds[size_t(index)])
                showResult(true,
                           QStringLiteral("The logger records every %1 now.").arg(intervals::text(index)));
            else
                showResult(false, QStringLiteral("The logger did not take the interval: it reports %1.")
                                      .arg(seconds ? QStringLiteral("%1 s").arg(*seconds)
                                                   : QStringLiteral("nothing")));
        });
    });
}

void TfrmSetup::btnEraseClick() {
    if (m_busy) return;
    // Erasing cannot be undone: the user confirms first, knowing what goes.
    const QString archived = erasecheck::questionNote(programarchive::archive(), m_directory, m_link.model());
    if (!Messages::confirmDefaultNo(eraseQuestion(m_dataSets) + archived, kCaption)) return;
    exchange(SetupCommandJob::erase(), [this](DeviceJob& done) {
        if (portFailed(done)) return;
        if (!eraseConfirmed(static_cast<SetupCommandJob&>(done).reply())) return;
        fillGrid(unusedGridRows());
        m_dataSets = 0;
        m_directory.clear();
    });
}

bool TfrmSetup::FormCloseQuery() {
    if (!m_intervalChanged && !m_unitChanged) return true;
    return Messages::confirm(kCloseQuestion, kCaption);
}

void TfrmSetup::closeEvent(QCloseEvent* event) {
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    // QDialog's close goes through reject(); the question was answered.
    m_closeAnswered = true;
    QDialog::closeEvent(event);
    m_closeAnswered = false;
}

void TfrmSetup::reject() {
    if (!m_closeAnswered && !FormCloseQuery()) return;
    QDialog::reject();
}

} // namespace tq
