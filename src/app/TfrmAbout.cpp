#include "TfrmAbout.h"

#include "AppGlyphs.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>

namespace tq {

TfrmAbout::TfrmAbout(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Kelvaria for Temperature DataLogger"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint |
                   Qt::MSWindowsFixedSizeDialogHint);

    auto* icon = new QLabel(this);
    icon->setPixmap(appIcon().pixmap(64, 64));
    icon->setAlignment(Qt::AlignTop);

    auto* title = new QLabel(QStringLiteral("Kelvaria TQ880"), this);
    title->setObjectName(QStringLiteral("lblTitle"));
    QFont f = title->font();
    f.setBold(true);
    f.setItalic(true);
    f.setPointSizeF(f.pointSizeF() * 1.8);
    title->setFont(f);
    title->setStyleSheet(QStringLiteral("color: #0000FF;"));

    auto* version = new QLabel(QStringLiteral("Version:  ") + versionText(), this);
    version->setObjectName(QStringLiteral("lblVersion"));
    auto* purpose = new QLabel(QStringLiteral("Temperature / humidity data logger companion"), this);

    Label4 = new QLabel(this);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setVisible(false);
    // The status never changes the box's size: a window resized while the
    // window manager is still framing it can land anywhere (often at the
    // top left, title bar off screen). Its room is kept while it is hidden,
    // and a long device name is shortened instead of widening the box.
    QSizePolicy keep(QSizePolicy::Ignored, QSizePolicy::Preferred);
    keep.setRetainSizeWhenHidden(true);
    Label4->setSizePolicy(keep);

    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);

    auto* text = new QVBoxLayout;
    text->addWidget(title);
    text->addWidget(purpose);
    text->addWidget(version);
    text->addSpacing(8);
    text->addWidget(Label4);
    text->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addSpacing(12);
    top->addLayout(text, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    auto* all = new QVBoxLayout(this);
    all->addLayout(top);
    all->addLayout(buttons);
    all->setSizeConstraint(QLayout::SetFixedSize);
    setMinimumWidth(380);
}

void TfrmAbout::showEvent(QShowEvent* event) {
    // Centred on its final size (the splash hides its button), before the
    // window system shows it.
    if (!event->spontaneous()) {
        adjustSize();
        if (QScreen* s = QGuiApplication::primaryScreen())
            move(s->availableGeometry().center() - rect().center());
    }
    QDialog::showEvent(event);
}

void TfrmAbout::setStatus(const QString& text) {
    Label4->setText(Label4->fontMetrics().elidedText(text, Qt::ElideMiddle, Label4->width()));
    Label4->setToolTip(text);
    Label4->setVisible(!text.isEmpty());
    repaint();
}

QString TfrmAbout::versionText() {
    return QStringLiteral(TQ880_VERSION);
}

} // namespace tq
