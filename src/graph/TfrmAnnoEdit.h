#pragma once

#include <QDialog>
#include <optional>

class QLineEdit;

namespace tq {

// Asks for the text of a text annotation: one edit box, OK and Cancel.
class TfrmAnnoEdit : public QDialog {
    Q_OBJECT
  public:
    explicit TfrmAnnoEdit(QWidget* parent = nullptr);

    QLineEdit* Edit1 = nullptr;

    // Runs the dialog (through the dialog runner); the text on OK, nothing
    // on Cancel.
    static std::optional<QString> ask(QWidget* parent);
};

} // namespace tq
