#include "MessageBoxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>

namespace tq::ui {

namespace {
QPointer<QWidget>& parentWidget() {
    static QPointer<QWidget> p;
    return p;
}

Messages::Answer showBox(Messages::Kind kind, const QString& title, const QString& text) {
    const std::unique_ptr<QMessageBox> box = buildBox(kind, title, text);
    const int pressed = box->exec();
    if (pressed == QMessageBox::Yes) return Messages::Yes;
    if (pressed == QMessageBox::No) return Messages::No;
    // A question's box closed without a button keeps everything as it was.
    return pressed == QMessageBox::Cancel || kind == Messages::Kind::QuestionWithCancel ? Messages::Cancel
                                                                                        : Messages::Ok;
}
} // namespace

void setBoxParent(QWidget* parent) {
    parentWidget() = parent;
}

void installMessageBoxes() {
    Messages::setPresenter(showBox);
}

std::unique_ptr<QMessageBox> buildBox(Messages::Kind kind, const QString& title, const QString& text) {
    // A dialog running modally (Logger Setup) is the one that asked, not
    // the main window behind it.
    QWidget* parent = QApplication::activeModalWidget();
    if (!parent) parent = parentWidget() ? parentWidget().data() : QApplication::activeWindow();
    const QString caption = title.isEmpty() ? QApplication::applicationDisplayName() : title;
    QMessageBox::Icon icon = QMessageBox::Question;
    QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
    QMessageBox::StandardButton byDefault = QMessageBox::Yes;
    switch (kind) {
    case Messages::Kind::Information:
        icon = QMessageBox::Information;
        buttons = byDefault = QMessageBox::Ok;
        break;
    case Messages::Kind::Warning:
        icon = QMessageBox::Warning;
        buttons = byDefault = QMessageBox::Ok;
        break;
    case Messages::Kind::Error:
        icon = QMessageBox::Critical;
        buttons = byDefault = QMessageBox::Ok;
        break;
    case Messages::Kind::Question:
        break;
    case Messages::Kind::QuestionWithCancel:
        buttons |= QMessageBox::Cancel;
        break;
    case Messages::Kind::QuestionDefaultNo:
        byDefault = QMessageBox::No;
        break;
    }
    auto box = std::make_unique<QMessageBox>(icon, caption, text, buttons, parent);
    box->setDefaultButton(byDefault);
    if (kind == Messages::Kind::QuestionDefaultNo) box->setEscapeButton(QMessageBox::No);
    // A box under a window that stays on top would open hidden behind it.
    if (parent && parent->window()->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        box->setWindowFlag(Qt::WindowStaysOnTopHint);
    return box;
}

} // namespace tq::ui
