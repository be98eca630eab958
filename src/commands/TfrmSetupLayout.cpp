// The controls of the setup dialog and their places.

#include "IntervalTable.h"
#include "TfrmSetup.h"
#include "UnitPicture.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tq {

namespace {
const QString kTimePlaceholder = QStringLiteral("yyyy/mm/dd hh:mm:ss");

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

QLabel* makeTimeLabel(QWidget* parent, const char* name) {
    auto* l = new QLabel(kTimePlaceholder, parent);
    l->setObjectName(QLatin1String(name));
    l->setAlignment(Qt::AlignCenter);
    l->setMinimumWidth(190);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    return l;
}

QGroupBox* group(QWidget* parent, const char* name, const QString& title) {
    auto* g = new QGroupBox(title, parent);
    g->setObjectName(QLatin1String(name));
    return g;
}
} // namespace

void TfrmSetup::buildLayout() {
    // DATA: the data sets in the logger memory, and Erase.
    QGroupBox* data = group(this, "GroupBox1", QStringLiteral("DATA"));
    DataGrid1 = new QTableWidget(setupgrid::kRows, 4, data);
    DataGrid1->setObjectName(QStringLiteral("DataGrid1"));
    DataGrid1->setHorizontalHeaderLabels(
        {QStringLiteral("Set"), QStringLiteral("Date"), QStringLiteral("Time"), QStringLiteral("Num.")});
    DataGrid1->verticalHeader()->hide();
    DataGrid1->verticalHeader()->setDefaultSectionSize(19);
    DataGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DataGrid1->setSelectionMode(QAbstractItemView::NoSelection);
    DataGrid1->setFocusPolicy(Qt::NoFocus);
    DataGrid1->setColumnWidth(0, 38);
    DataGrid1->setColumnWidth(1, 88);
    DataGrid1->setColumnWidth(2, 96);
    DataGrid1->setColumnWidth(3, 64);
    DataGrid1->horizontalHeader()->setStretchLastSection(true);
    DataGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    DataGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The set numbers form a fixed first column.
    for (int r = 0; r < setupgrid::kRows; ++r) {
        auto* item = new QTableWidgetItem(QString::number(r + 1));
        item->setTextAlignment(Qt::AlignCenter);
        item->setBackground(palette().button());
        DataGrid1->setItem(r, 0, item);
    }
    DataGrid1->setFixedSize(310,
                            19 * setupgrid::kRows + DataGrid1->horizontalHeader()->sizeHint().height() + 4);
    btnErase = makeButton(data, "btnErase", QStringLiteral("Erase"));
    auto* dataLayout = new QVBoxLayout(data);
    dataLayout->addWidget(DataGrid1);
    auto* eraseRow = new QHBoxLayout;
    eraseRow->addStretch();
    eraseRow->addWidget(btnErase);
    dataLayout->addLayout(eraseRow);

    // Clock Setup: the logger's clock and the PC's, and the button that
    // sets the one to the other.
    QGroupBox* clock = group(this, "GroupBox2", QStringLiteral("Clock Setup"));
    QGroupBox* logger = group(clock, "GroupBox3", QStringLiteral("LOGGER "));
    lblLoggerTime = makeTimeLabel(logger, "lblLoggerTime");
    (new QVBoxLayout(logger))->addWidget(lblLoggerTime);
    QGroupBox* pc = group(clock, "GroupBox4", QStringLiteral("PC "));
    lblPCTime = makeTimeLabel(pc, "lblPCTime");
    (new QVBoxLayout(pc))->addWidget(lblPCTime);
    btnAdjustTime = makeButton(clock, "btnAdjustTime", QStringLiteral("Adjust to PC time"));
    auto* clockLayout = new QVBoxLayout(clock);
    clockLayout->addWidget(logger);
    clockLayout->addWidget(pc);
    auto* adjustRow = new QHBoxLayout;
    adjustRow->addStretch();
    adjustRow->addWidget(btnAdjustTime);
    clockLayout->addLayout(adjustRow);

    // Interval.
    QGroupBox* interval = group(this, "GroupBox5", QStringLiteral("Interval"));
    cmbInterval = new QComboBox(interval);
    cmbInterval->setObjectName(QStringLiteral("cmbInterval"));
    for (int i = 0; i < intervals::kCount; ++i)
        cmbInterval->addItem(intervals::text(i));
    cmbInterval->setMaxVisibleItems(intervals::kCount);
    auto* mmss = new QLabel(QStringLiteral("(mm:ss)"), interval);
    mmss->setObjectName(QStringLiteral("Label1"));
    Button2 = makeButton(interval, "Button2", QStringLiteral("OK"));
    auto* intervalLayout = new QHBoxLayout(interval);
    intervalLayout->addWidget(cmbInterval);
    intervalLayout->addWidget(mmss);
    intervalLayout->addStretch();
    intervalLayout->addWidget(Button2);

    // UNIT: each radio button followed by a picture of its unit.
    QGroupBox* unit = group(this, "GroupBox6", QStringLiteral("UNIT"));
    RadioC = new QRadioButton(unit);
    RadioC->setObjectName(QStringLiteral("RadioC"));
    RadioC->setChecked(true);
    auto* imageC = new UnitPicture(QStringLiteral("C"), unit);
    imageC->setObjectName(QStringLiteral("ImageC"));
    RadioF = new QRadioButton(unit);
    RadioF->setObjectName(QStringLiteral("RadioF"));
    auto* imageF = new UnitPicture(QStringLiteral("F"), unit);
    imageF->setObjectName(QStringLiteral("ImageF"));
    btnSetUnit = makeButton(unit, "btnSetUnit", QStringLiteral("OK"));
    auto* unitLayout = new QHBoxLayout(unit);
    unitLayout->addWidget(RadioC);
    unitLayout->addWidget(imageC);
    unitLayout->addSpacing(16);
    unitLayout->addWidget(RadioF);
    unitLayout->addWidget(imageF);
    unitLayout->addStretch();
    unitLayout->addWidget(btnSetUnit);

    BitBtn2 = makeButton(this, "BitBtn2", QStringLiteral("Exit "));
    BitBtn2->setToolTip(QStringLiteral("Exit without saving "));

    auto* right = new QVBoxLayout;
    right->addWidget(clock);
    right->addWidget(interval);
    right->addWidget(unit);
    right->addStretch();
    lblResult = new QLabel(this);
    lblResult->setObjectName(QStringLiteral("lblResult"));
    lblResult->setWordWrap(true);
    lblResult->setMaximumWidth(360);
    right->addWidget(lblResult);
    auto* exitRow = new QHBoxLayout;
    exitRow->addStretch();
    exitRow->addWidget(BitBtn2);
    right->addLayout(exitRow);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(data);
    layout->addLayout(right);

    connect(imageC, &UnitPicture::clicked, this, [this] { chooseUnitPicture(false); });
    connect(imageF, &UnitPicture::clicked, this, [this] { chooseUnitPicture(true); });
}

} // namespace tq
