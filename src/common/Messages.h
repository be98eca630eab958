#pragma once

#include <QString>
#include <functional>
#include <memory>

class QMessageBox;
class QWidget;

namespace tq {

// Every message box of the program goes through here, so tests can answer
// them without a screen and the program carries no test switches.
class Messages {
  public:
    enum class Kind { Information, Warning, Error, Question, QuestionWithCancel, QuestionDefaultNo };
    enum Answer { Ok, Yes, No, Cancel };

    static void info(const QString& text, const QString& title = QString());
    static void warning(const QString& text, const QString& title = QString());
    static void error(const QString& text, const QString& title = QString());
    // Yes/No question; true for Yes.
    static bool confirm(const QString& text, const QString& title = QString());
    // Yes/No/Cancel question: Yes, No or Cancel.
    static Answer ask(const QString& text, const QString& title = QString());
    // Yes/No question about something that cannot be undone: Enter alone
    // answers No. True for Yes.
    static bool confirmDefaultNo(const QString& text, const QString& title = QString());

    // The box the real handler runs: above the window that asked (a modal
    // dialog, even one that stays on top), with its default button.
    static std::unique_ptr<QMessageBox> buildBox(Kind kind, const QString& title, const QString& text);

    // A handler replaces the real boxes (tests). It receives every box and
    // returns the answer to give; reset with an empty function.
    using Handler = std::function<Answer(Kind, const QString& title, const QString& text)>;
    static void setHandler(Handler h);

    // The window boxes are centred on; defaults to the active window.
    static void setParent(QWidget* parent);

  private:
    static Answer show(Kind kind, const QString& title, const QString& text);
};

} // namespace tq
