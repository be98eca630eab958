#include "TfrmPrintOption.h"

#include "GraphArtwork.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace tq {

TfrmPrintOption::TfrmPrintOption(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmPrintOption"));
    setWindowTitle(QStringLiteral("Print Option"));
    setWindowFlag(Qt::WindowStaysOnTopHint);

    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(24);
    auto* graphPicture = new QLabel(this);
    graphPicture->setPixmap(printGraphPicture());
    graphPicture->setAlignment(Qt::AlignCenter);
    auto* textPicture = new QLabel(this);
    textPicture->setPixmap(printTextPicture());
    textPicture->setAlignment(Qt::AlignCenter);
    grid->addWidget(graphPicture, 0, 0);
    grid->addWidget(textPicture, 0, 1);

    auto* btnGraph = new QPushButton(QStringLiteral("Print Graph"), this);
    btnGraph->setObjectName(QStringLiteral("btnPrintGraph"));
    auto* btnText = new QPushButton(QStringLiteral("Print Text"), this);
    btnText->setObjectName(QStringLiteral("btnPrintText"));
    grid->addWidget(btnGraph, 1, 0);
    grid->addWidget(btnText, 1, 1);

    auto* btnCancel = new QPushButton(cancelIcon(), QStringLiteral("Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(btnCancel);
    row->addStretch();
    grid->addLayout(row, 2, 0, 1, 2);

    connect(btnGraph, &QPushButton::clicked, this, [this] { done(PrintGraph); });
    connect(btnText, &QPushButton::clicked, this, [this] { done(PrintText); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { done(Cancelled); });
    btnGraph->setDefault(true);
}

} // namespace tq
