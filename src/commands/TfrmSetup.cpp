#include "TfrmSetup.h"

#include "CommandGuard.h"
#include "DateTime.h"
#include "EraseCheck.h"
#include "IntervalTable.h"
#include "LoggerLink.h"
#include "MemoryLayout.h"
#include "Messages.h"
#include "ProgramArchive.h"
#include "Protocol.h"
#include "PumpingWait.h"
#include "Regional.h"
#include "SetupReplies.h"
#include "SetupSession.h"
#include "TComPort.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTableWidget>
#include <QTimer>

namespace tq {

namespace {
constexpr int kClockTickMs = 500;
constexpr int kMaxReadPerEvent = 32;

const QString kCaption = QStringLiteral("LOGGER Setup");
const QString kCloseQuestion =
    QStringLiteral("Something changed and not saved . Do you really want to exit ? ");

// What the setup port received and no clock reply has used yet; it lives
// as long as the program, across openings of the dialog.
QByteArray& clockReplyBuffer() {
    static QByteArray buffer;
    return buffer;
}

// A port step whose failure is ignored (every port error is a silent abort).
bool attempt(const std::function<void()>& step) {
    try {
        step();
        return true;
    } catch (const SilentAbort&) {
    } catch (const EComError&) {
    }
    return false;
}

QString eraseQuestion(int dataSets) {
    if (dataSets < 0)
        return QStringLiteral("Erase the logger memory? Every data set recorded in it will be lost.");
    if (dataSets == 0) return QStringLiteral("Erase the logger memory? It holds no recorded data set.");
    if (dataSets == 1)
        return QStringLiteral("Erase the logger memory? Its 1 recorded data set will be lost.");
    return QStringLiteral("Erase the logger memory? Its %1 recorded data sets will be lost.").arg(dataSets);
}
} // namespace

TfrmSetup::TfrmSetup(TComPort& comm1, const LoggerLink& link, QWidget* parent, Clock clock)
    : QDialog(parent), m_comm1(comm1), m_link(link),
      m_clock(clock ? std::move(clock) : Clock([] { return QDateTime::currentDateTime(); })),
      m_comm3(new TComPort(this)), m_timer1(new QTimer(this)) {
    setObjectName(QStringLiteral("frmSetup"));
    setWindowTitle(kCaption);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    buildLayout();
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    m_comm3->setObjectName(QStringLiteral("Comm3"));
    SetupSession::configurePort(*m_comm3);
    m_comm3->setOnError(TComPort::abortSilently);

    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(kClockTickMs);
    connect(m_timer1, &QTimer::timeout, this, [this] { guarded([this] { Timer1Timer(); }); });

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
    m_timer1->stop();
    attempt([this] { m_comm3->close(); });
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
    m_busy = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto done = qScopeGuard([this] { endBusy(); });

    fillGrid(unusedGridRows());
    cmbInterval->setCurrentIndex(intervals::kDefaultIndex);

    attempt([this] { m_comm1.close(); });
    m_comm3->setOnRxChar({});
    attempt([this] { m_comm3->setDeviceName(m_comm1.deviceName()); });
    pumpingWait(200);
    attempt([this] { m_comm3->open(); });
    m_comm3->purgeInput();

    (m_link.unitCelsius ? RadioC : RadioF)->setChecked(true);

    m_timer1->stop();
    // A logger that does not answer leaves the grid "empty" and the list at
    // its default; a port that failed to open gets the same.
    attempt([this] {
        SetupSession session(*m_comm3);
        QByteArray directory;
        if (session.readDirectory(directory) == memory::kDirectorySize) {
            const QVector<SetupGridRow> rows = setupGridRows(directory, m_link.modelCode);
            fillGrid(rows);
            m_dataSets = usedRows(rows);
            m_directory = directory;
        }
        if (const std::optional<int> index = session.readInterval()) cmbInterval->setCurrentIndex(*index);
    });
    handPortBack(0, 100);
}

void TfrmSetup::handPortBack(int pauseBeforeOpenMs, int pauseAfterOpenMs) {
    attempt([this] { m_comm3->close(); });
    m_comm3->setOnRxChar([this] { Comm3RxChar(); });
    if (pauseBeforeOpenMs > 0) pumpingWait(pauseBeforeOpenMs);
    attempt([this] { m_comm3->open(); });
    m_comm3->purgeInput();
    if (pauseAfterOpenMs > 0) pumpingWait(pauseAfterOpenMs);
    m_timer1->start();
}

void TfrmSetup::Timer1Timer() {
    m_timeRequest = true;
    const auto clear = qScopeGuard([this] { m_timeRequest = false; });
    if (m_comm3->active()) m_comm3->write(protocol::plainCommand(protocol::kReadClock));
    lblPCTime->setText(dateTimeText(toDays(m_clock())));
}

void TfrmSetup::Comm3RxChar() {
    QByteArray& buffer = clockReplyBuffer();
    buffer.append(m_comm3->read(qMin(m_comm3->inputCount(), kMaxReadPerEvent)));
    if (const std::optional<QDateTime> clock = takeClockReplies(buffer))
        lblLoggerTime->setText(dateTimeText(toDays(*clock)));
}

void TfrmSetup::takePortForExchange() {
    m_timer1->stop();
    attempt([this] { m_comm3->close(); });
    m_comm3->setOnRxChar({});
    pumpingWait(200);
    attempt([this] { m_comm3->open(); });
    m_comm3->purgeInput();
}

void TfrmSetup::exchange(int limitMs, const std::function<void(SetupSession&)>& command) {
    m_busy = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto done = qScopeGuard([this] { endBusy(); });
    boundedWait([this] { return m_timeRequest; }, limitMs);
    takePortForExchange();
    // A port error ends the command, silently; the dialog still goes back
    // to showing the clock.
    attempt([&] {
        SetupSession session(*m_comm3);
        command(session);
    });
    handPortBack(200, 0);
}

void TfrmSetup::btnAdjustTimeClick() {
    if (m_busy) return;
    exchange(SetupSession::kReplyLimitMs, [this](SetupSession& s) { s.setClock(m_clock()); });
}

void TfrmSetup::btnSetUnitClick() {
    if (m_busy) return;
    m_unitChanged = false;
    const bool fahrenheit = !RadioC->isChecked();
    exchange(SetupSession::kReplyLimitMs, [fahrenheit](SetupSession& s) { s.setUnit(fahrenheit); });
}

void TfrmSetup::Button2Click() {
    if (m_busy) return;
    m_intervalChanged = false;
    const int index = cmbInterval->currentIndex();
    if (index < 0) return;
    exchange(SetupSession::kReplyLimitMs, [index](SetupSession& s) { s.setInterval(index); });
}

void TfrmSetup::btnEraseClick() {
    if (m_busy) return;
    // Erasing cannot be undone: the user confirms first, knowing what goes.
    const QString archived =
        erasecheck::questionNote(programarchive::archive(), m_directory, m_link.modelCode);
    if (!Messages::confirmDefaultNo(eraseQuestion(m_dataSets) + archived, kCaption)) return;
    exchange(SetupSession::kEraseLimitMs, [this](SetupSession& s) {
        if (!s.erase()) return;
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
