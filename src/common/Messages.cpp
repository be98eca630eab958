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

Messages::Answer Messages::show(Kind kind, const QString& title, const QString& text) {
    if (handler()) return handler()(kind, title, text);
    QWidget* parent = parentWidget() ? parentWidget().data() : QApplication::activeWindow();
    const QString caption = title.isEmpty() ? QApplication::applicationDisplayName() : title;
    switch (kind) {
    case Kind::Information:
        QMessageBox::information(parent, caption, text);
        return Ok;
    case Kind::Warning:
        QMessageBox::warning(parent, caption, text);
        return Ok;
    case Kind::Error:
        QMessageBox::critical(parent, caption, text);
        return Ok;
    case Kind::Question:
        return QMessageBox::question(parent, caption, text, QMessageBox::Yes | QMessageBox::No) ==
                       QMessageBox::Yes
                   ? Yes
                   : No;
    case Kind::QuestionWithCancel:
        switch (QMessageBox::question(parent, caption, text,
                                      QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
        case QMessageBox::Yes:
            return Yes;
        case QMessageBox::No:
            return No;
        default:
            return Cancel;
        }
    }
    return Ok;
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

} // namespace tq
