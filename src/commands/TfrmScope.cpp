#include "TfrmScope.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

namespace tq {

namespace {
// The window shows a new value at most this often while a job reports.
constexpr qint64 kPumpSliceMs = 30;
} // namespace

TfrmScope::TfrmScope(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmScope"));
    setWindowTitle(QStringLiteral("Print Range"));
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::CustomizeWindowHint);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    GroupBox1 = new QGroupBox(this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    auto* range = new QGridLayout(GroupBox1);
    radAll = new QRadioButton(QStringLiteral("&All"), GroupBox1);
    radAll->setObjectName(QStringLiteral("radAll"));
    radAll->setChecked(true);
    radNo = new QRadioButton(QStringLiteral("&Select"), GroupBox1);
    radNo->setObjectName(QStringLiteral("radNo"));
    edtSelFrom = new QLineEdit(GroupBox1);
    edtSelFrom->setObjectName(QStringLiteral("edtSelFrom"));
    edtSelTo = new QLineEdit(GroupBox1);
    edtSelTo->setObjectName(QStringLiteral("edtSelTo"));
    auto* from = new QLabel(QStringLiteral("&from"), GroupBox1);
    from->setBuddy(edtSelFrom);
    auto* to = new QLabel(QStringLiteral("&to"), GroupBox1);
    to->setBuddy(edtSelTo);
    range->addWidget(radAll, 0, 0, 1, 4);
    range->addWidget(radNo, 1, 0);
    range->addWidget(from, 1, 1);
    range->addWidget(edtSelFrom, 1, 2);
    range->addWidget(to, 1, 3);
    range->addWidget(edtSelTo, 1, 4);
    layout->addWidget(GroupBox1);

    Progress1 = new QProgressBar(this);
    Progress1->setObjectName(QStringLiteral("Progress1"));
    Progress1->setMinimumWidth(300);
    Progress1->setTextVisible(false);
    layout->addWidget(Progress1);

    auto* counts = new QGridLayout;
    SText1 = new QLabel(QStringLiteral("bytes received"), this);
    SText1->setObjectName(QStringLiteral("SText1"));
    SText2 = new QLabel(QStringLiteral("total bytes"), this);
    SText2->setObjectName(QStringLiteral("SText2"));
    lblBytesReceived = new QLabel(this);
    lblBytesReceived->setObjectName(QStringLiteral("lblBytesReceived"));
    lblTotalBytes = new QLabel(this);
    lblTotalBytes->setObjectName(QStringLiteral("lblTotalBytes"));
    for (QLabel* l : {lblBytesReceived, lblTotalBytes}) {
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        l->setMinimumWidth(90);
    }
    counts->addWidget(lblBytesReceived, 0, 0);
    counts->addWidget(SText1, 0, 1);
    counts->addWidget(lblTotalBytes, 1, 0);
    counts->addWidget(SText2, 1, 1);
    layout->addLayout(counts);
    lblTimeLeft = new QLabel(this);
    lblTimeLeft->setObjectName(QStringLiteral("lblTimeLeft"));
    lblTimeLeft->setAlignment(Qt::AlignCenter);
    layout->addWidget(lblTimeLeft);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    BitBtn2 =
        new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), QStringLiteral("Cancel"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    layout->addLayout(buttons);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { press(Ok); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { press(Cancel); });

    for (QWidget* w : std::initializer_list<QWidget*>{GroupBox1, Progress1, SText1, SText2, lblBytesReceived,
                                                      lblTotalBytes, lblTimeLeft, BitBtn1, BitBtn2})
        w->hide();
}

void TfrmScope::showRangeChoice(int pointCount) {
    GroupBox1->show();
    BitBtn1->show();
    BitBtn2->show();
    edtSelFrom->setText(QStringLiteral("1"));
    edtSelTo->setText(QString::number(pointCount));
}

void TfrmScope::startProgress(Display display, bool withCancel, int initialResult) {
    m_display = display;
    m_result = initialResult;
    BitBtn2->setVisible(withCancel);
    BitBtn2->setDefault(withCancel);
    setModal(false);
    show();
    pump(true);
}

void TfrmScope::press(int result) {
    if (isModal() || !isVisible()) {
        done(result);
        return;
    }
    // A progress window stays up; the running job reads the result.
    m_result = result;
    if (result == Cancel) emit cancelRequested();
}

void TfrmScope::reject() {
    if (isModal()) {
        done(Cancel);
        return;
    }
    // Closing a progress window only hides it; the job goes on.
    hide();
}

void TfrmScope::setMaximum(qint64 maximum) {
    Progress1->setMinimum(0);
    Progress1->setMaximum(int(qBound<qint64>(0, maximum, qint64(INT_MAX))));
    if (m_display == Display::Bytes) lblTotalBytes->setText(QString::number(maximum));
    pump(true);
}

void TfrmScope::setValue(qint64 value) {
    m_value = value;
    pump(false);
}

void TfrmScope::keepAlive() {
    pump(false);
}

void TfrmScope::showValue() {
    const int bar = int(qBound<qint64>(0, m_value, qint64(INT_MAX)));
    switch (m_display) {
    case Display::Bar:
        Progress1->setValue(qMin(bar, Progress1->maximum()));
        break;
    case Display::Count:
        SText1->setText(QString::number(m_value));
        break;
    case Display::Bytes:
        lblBytesReceived->setText(QString::number(m_value));
        Progress1->setValue(qMin(bar, Progress1->maximum()));
        break;
    }
}

void TfrmScope::pump(bool now) {
    // The window shows the latest value once a time slice, not after every
    // line: a million lines would otherwise spend seconds on labels alone.
    // A download reports a block at most some 30 times a second: each is shown.
    // The window repaints from the event loop: a download is fed by the
    // device session's events, a file job runs on a worker (FileJob).
    if (!now && m_display != Display::Bytes && m_lastPump.isValid() && m_lastPump.elapsed() < kPumpSliceMs)
        return;
    showValue();
    m_lastPump.start();
}

} // namespace tq
