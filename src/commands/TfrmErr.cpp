#include "TfrmErr.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace tq {

TfrmErr::TfrmErr(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmErr"));
    setWindowTitle(QStringLiteral("Error Message"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);

    m_label = new QLabel(this);
    m_label->setObjectName(QStringLiteral("lblError"));
    m_label->setWordWrap(true);
    m_label->setMinimumHeight(48);

    auto button = [this](const char* name, const QString& caption, int result) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, result] { done(result); });
        return b;
    };
    QPushButton* retry = button("btnTryAgain", QStringLiteral("Try Again"), mrRetry);
    m_fixed = button("btnFixed", QStringLiteral("Fixed the error "), mrOk);
    QPushButton* cancel = button("btnCancel", QStringLiteral("Cancel"), mrCancel);
    retry->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(retry);
    buttons->addWidget(m_fixed);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_label);
    layout->addLayout(buttons);
    setFixedSize(440, 120);
}

QString TfrmErr::textFor(DownloadResult result) {
    switch (result) {
    case DownloadResult::DataError:
        return QStringLiteral(
            "Data error ! Choose Try Again to reload or Fix Error to delete the error data set.");
    case DownloadResult::ReadError:
        return QStringLiteral("There was error when reading data from meter");
    default:
        return QString();
    }
}

void TfrmErr::showResult(DownloadResult result) {
    m_label->setText(textFor(result));
    m_fixed->setVisible(result == DownloadResult::DataError);
}

void TfrmErr::reject() {
    done(mrCancel);
}

void TfrmErr::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Centred on the screen, not on the window behind it.
    if (QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

} // namespace tq
