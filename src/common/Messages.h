#pragma once

#include <QString>
#include <functional>

namespace tq {

// Every message box of the program goes through here, so tests can answer
// them without a screen and the program carries no test switches. The boxes
// themselves are the windows library's (installed by the program); without
// them a message goes to standard error and a question is answered No.
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

    // A handler receives every box and returns the answer to give.
    using Handler = std::function<Answer(Kind, const QString& title, const QString& text)>;
    // The real boxes, shown on the screen.
    static void setPresenter(Handler h);
    // Replaces the presenter (tests); reset with an empty function.
    static void setHandler(Handler h);

  private:
    static Answer show(Kind kind, const QString& title, const QString& text);
};

} // namespace tq
