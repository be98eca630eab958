#include "Messages.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>

namespace tq {

namespace {
Messages::Handler& handler() {
    static Messages::Handler h;
    return h;
}
QPointer<QWidget>& parentWidget() {
    static QPointer<QWidget> p;
    return p;
}
} // namespace

void Messages::setHandler(Handler h) {
    handler() = std::move(h);
}
void Messages::setParent(QWidget* parent) {
    parentWidget() = parent;
}

std::unique_ptr<QMessageBox> Messages::buildBox(Kind kind, const QString& title, const QString& text) {
    // A dialog running modally (Logger Setup) is the one that asked, not
    // the main window behind it.
    QWidget* parent = QApplication::activeModalWidget();
    if (!parent) parent = parentWidget() ? parentWidget().data() : QApplication::activeWindow();
    const QString caption = title.isEmpty() ? QApplication::applicationDisplayName() : title;
    QMessageBox::Icon icon = QMessageBox::Question;
    QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
    QMessageBox::StandardButton byDefault = QMessageBox::Yes;
    switch (kind) {
    case Kind::Information:
        icon = QMessageBox::Information;
        buttons = byDefault = QMessageBox::Ok;
        break;
    case Kind::Warning:
        icon = QMessageBox::Warning;
        buttons = byDefault = QMessageBox::Ok;
        break;
    case Kind::Error:
        icon = QMessageBox::Critical;
        buttons = byDefault = QMessageBox::Ok;
        break;
    case Kind::Question:
        break;
    case Kind::QuestionWithCancel:
        buttons |= QMessageBox::Cancel;
        break;
    case Kind::QuestionDefaultNo:
        byDefault = QMessageBox::No;
        break;
    }
    auto box = std::make_unique<QMessageBox>(icon, caption, text, buttons, parent);
    box->setDefaultButton(byDefault);
    if (kind == Kind::QuestionDefaultNo) box->setEscapeButton(QMessageBox::No);
    // A box under a window that stays on top would open hidden behind it.
    if (parent && parent->window()->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        box->setWindowFlag(Qt::WindowStaysOnTopHint);
    return box;
}

Messages::Answer Messages::show(Kind kind, const QString& title, const QString& text) {
    if (handler()) return handler()(kind, title, text);
    const std::unique_ptr<QMessageBox> box = buildBox(kind, title, text);
    const int pressed = box->exec();
    if (pressed == QMessageBox::Yes) return Yes;
    if (pressed == QMessageBox::No) return No;
    // A question's box closed without a button keeps everything as it was.
    return pressed == QMessageBox::Cancel || kind == Kind::QuestionWithCancel ? Cancel : Ok;
}

void Messages::info(const QString& text, const QString& title) {
    show(Kind::Information, title, text);
}
void Messages::warning(const QString& text, const QString& title) {
    show(Kind::Warning, title, text);
}
void Messages::error(const QString& text, const QString& title) {
    show(Kind::Error, title, text);
}
bool Messages::confirm(const QString& text, const QString& title) {
    return show(Kind::Question, title, text) == Yes;
}
Messages::Answer Messages::ask(const QString& text, const QString& title) {
    return show(Kind::QuestionWithCancel, title, text);
}
bool Messages::confirmDefaultNo(const QString& text, const QString& title) {
    return show(Kind::QuestionDefaultNo, title, text) == Yes;
}

} // namespace tq
