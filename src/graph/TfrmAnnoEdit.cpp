#include "TfrmAnnoEdit.h"

#include "DialogRunner.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QVBoxLayout>

namespace tq {

TfrmAnnoEdit::TfrmAnnoEdit(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAnnoEdit"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setWindowTitle(QStringLiteral("Text"));
    auto* layout = new QVBoxLayout(this);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMinimumWidth(260);
    layout->addWidget(Edit1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

std::optional<QString> TfrmAnnoEdit::ask(QWidget* parent) {
    TfrmAnnoEdit dialog(parent);
    if (runDialog(dialog) != QDialog::Accepted) return std::nullopt;
    return dialog.Edit1->text();
}

} // namespace tq
