#include "CustomizeDialog.h"

#include "LineStyles.h"

#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tq {

namespace {

QLineEdit* edit(const QString& name, const QString& text) {
    auto* e = new QLineEdit(text);
    e->setObjectName(name);
    return e;
}

void paintSwatch(QPushButton* button, const QColor& color) {
    QPixmap swatch(32, 14);
    swatch.fill(color);
    button->setIcon(QIcon(swatch));
    button->setIconSize(swatch.size());
}

} // namespace

CustomizeDialog::CustomizeDialog(const ChartModel& model, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ChartCustomizeDialog"));
    setWindowTitle(tr("Graph Customization"));

    auto* texts = new QGroupBox(tr("Titles and axes"));
    auto* form = new QFormLayout(texts);
    m_mainTitle = edit(QStringLiteral("mainTitle"), model.mainTitle);
    m_subTitle = edit(QStringLiteral("subTitle"), model.subTitle);
    m_xLabel = edit(QStringLiteral("xAxisLabel"), model.xLabel);
    form->addRow(tr("Main title"), m_mainTitle);
    form->addRow(tr("Subtitle"), m_subTitle);
    form->addRow(tr("X axis label"), m_xLabel);
    for (int a = 0; a < model.axisCount(); ++a) {
        const AxisModel* axis = model.axisOrNull(a);
        auto* e = edit(QStringLiteral("yAxisLabel%1").arg(a), axis ? axis->yLabel : QString());
        m_yLabels.append(e);
        form->addRow(model.axisCount() > 1 ? tr("Y axis %1 label").arg(a + 1) : tr("Y axis label"), e);
    }

    auto* seriesBox = new QGroupBox(tr("Series"));
    auto* grid = new QGridLayout(seriesBox);
    grid->addWidget(new QLabel(tr("Label")), 0, 0);
    grid->addWidget(new QLabel(tr("Colour")), 0, 1);
    grid->addWidget(new QLabel(tr("Line")), 0, 2);
    const QStringList lineNames = lineTypeNames();
    for (int s = 0; s < model.subsets(); ++s) {
        const SeriesModel& series = model.series[s];
        auto* label = edit(QStringLiteral("seriesLabel%1").arg(s), series.label);
        auto* color = new QPushButton;
        color->setObjectName(QStringLiteral("seriesColor%1").arg(s));
        auto* line = new QComboBox;
        line->setObjectName(QStringLiteral("seriesLineType%1").arg(s));
        line->addItems(lineNames);
        // A code of our own list's range shows its name; any other stays as it is.
        if (series.lineType >= 0 && series.lineType < kLineTypeCount)
            line->setCurrentIndex(series.lineType);
        else {
            line->addItem(tr("Type %1").arg(series.lineType), series.lineType);
            line->setCurrentIndex(line->count() - 1);
        }
        m_labels.append(label);
        m_colorButtons.append(color);
        m_colors.append(series.color);
        m_lineTypes.append(line);
        paintSwatch(color, series.color);
        connect(color, &QPushButton::clicked, this, [this, s] { chooseColor(s); });
        grid->addWidget(label, s + 1, 0);
        grid->addWidget(color, s + 1, 1);
        grid->addWidget(line, s + 1, 2);
    }

    auto* look = new QGroupBox(tr("Look"));
    auto* lookForm = new QFormLayout(look);
    m_plotting = new QComboBox;
    m_plotting->setObjectName(QStringLiteral("plottingMethod"));
    m_plotting->addItems(
        {tr("Line"), tr("Spline"), tr("Points"), tr("Points + line"), tr("Bar"), tr("Area")});
    m_plotting->setCurrentIndex(static_cast<int>(model.plotting));
    m_grid = new QComboBox;
    m_grid->setObjectName(QStringLiteral("gridStyle"));
    m_grid->addItems({tr("Dot"), tr("Solid"), tr("Dash"), tr("None")});
    m_grid->setCurrentIndex(static_cast<int>(model.grid));
    lookForm->addRow(tr("Plotting method"), m_plotting);
    lookForm->addRow(tr("Grid"), m_grid);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(texts);
    layout->addWidget(seriesBox);
    layout->addWidget(look);
    layout->addWidget(buttons);
}

void CustomizeDialog::chooseColor(int subset) {
    const QColor c = QColorDialog::getColor(m_colors[subset], this, tr("Series colour"));
    if (c.isValid()) setSeriesColor(subset, c);
}

QColor CustomizeDialog::seriesColor(int subset) const {
    return m_colors.value(subset);
}

void CustomizeDialog::setSeriesColor(int subset, const QColor& color) {
    if (subset < 0 || subset >= m_colors.size() || !color.isValid()) return;
    m_colors[subset] = color;
    paintSwatch(m_colorButtons[subset], color);
}

void CustomizeDialog::applyTo(ChartModel& model) const {
    model.mainTitle = m_mainTitle->text();
    model.subTitle = m_subTitle->text();
    model.xLabel = m_xLabel->text();
    for (int a = 0; a < m_yLabels.size(); ++a)
        model.axis(a).yLabel = m_yLabels[a]->text();
    for (int s = 0; s < m_labels.size() && s < model.subsets(); ++s) {
        SeriesModel& series = model.series[s];
        series.label = m_labels[s]->text();
        series.color = m_colors[s];
        const QVariant code = m_lineTypes[s]->currentData();
        series.lineType = code.isValid() ? code.toInt() : m_lineTypes[s]->currentIndex();
    }
    model.plotting = static_cast<Chart::PlottingMethod>(m_plotting->currentIndex());
    model.grid = static_cast<Chart::GridStyle>(m_grid->currentIndex());
}

} // namespace tq
