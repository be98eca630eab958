#include "TfrmOpenSave.h"

#include <QPushButton>
#include <QVBoxLayout>

namespace tq {

TfrmOpenSave::TfrmOpenSave(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmOpenSave"));
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::CustomizeWindowHint);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(10);
    auto button = [&](const char* name, const QString& caption, int result) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setMinimumHeight(30);
        connect(b, &QPushButton::clicked, this, [this, result] { done(result); });
        layout->addWidget(b);
        return b;
    };
    btnOpenSets = button(
        "btnOpenSets", QStringLiteral("Save all data sets to a data set collection file(*.880)"), Collection);
    btnOpenSingleSet =
        button("btnOpenSingleSet", QStringLiteral("Save single selected  data set to a  file"), SingleSet);
    Button1 = button("Button1", QStringLiteral("Cancel"), Cancel);
    // The first choice has the focus, so Enter takes it.
    btnOpenSets->setFocus();
    setMinimumWidth(380);
}

} // namespace tq
