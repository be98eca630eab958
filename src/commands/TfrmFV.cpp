#include "TfrmFV.h"

#include <QLabel>

namespace tq {

TfrmFV::TfrmFV(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmFV"));
    setWindowTitle(QStringLiteral("Firmware Version"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(416, 94);

    auto* caption = new QLabel(QStringLiteral("Firmware Version:"), this);
    QFont f = caption->font();
    f.setBold(true);
    f.setItalic(true);
    caption->setFont(f);
    caption->move(16, 32);
    caption->adjustSize();

    m_value = new QLabel(this);
    m_value->setObjectName(QStringLiteral("lblVersion"));
    QFont v = m_value->font();
    v.setBold(true);
    m_value->setFont(v);
    m_value->setGeometry(212, 33, 181, caption->height());
}

void TfrmFV::setVersion(const QString& text) {
    m_value->setText(text);
}
QString TfrmFV::version() const {
    return m_value->text();
}

} // namespace tq
