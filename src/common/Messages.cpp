#include "Messages.h"

#include <QTextStream>

namespace tq {

namespace {
Messages::Handler& handler() {
    static Messages::Handler h;
    return h;
}
Messages::Handler& presenter() {
    static Messages::Handler h;
    return h;
}
} // namespace

void Messages::setHandler(Handler h) {
    handler() = std::move(h);
}
void Messages::setPresenter(Handler h) {
    presenter() = std::move(h);
}

Messages::Answer Messages::show(Kind kind, const QString& title, const QString& text) {
    if (handler()) return handler()(kind, title, text);
    if (presenter()) return presenter()(kind, title, text);
    // No screen: said on standard error; a question keeps everything as it was.
    QTextStream(stderr) << (title.isEmpty() ? QString() : title + QStringLiteral(": ")) << text << Qt::endl;
    switch (kind) {
    case Kind::Question:
    case Kind::QuestionDefaultNo:
        return No;
    case Kind::QuestionWithCancel:
        return Cancel;
    default:
        return Ok;
    }
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
