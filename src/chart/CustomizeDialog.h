#pragma once

// The chart's own customisation dialog: titles, axis labels, and per series
// its label, colour and line type; plotting method and grid style.

#include "ChartModel.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace tq {

class CustomizeDialog : public QDialog {
    Q_OBJECT
  public:
    CustomizeDialog(const ChartModel& model, QWidget* parent = nullptr);

    // Writes the dialog's fields into model.
    void applyTo(ChartModel& model) const;

    QColor seriesColor(int subset) const;
    void setSeriesColor(int subset, const QColor& color);

  private:
    void chooseColor(int subset);

    QLineEdit* m_mainTitle;
    QLineEdit* m_subTitle;
    QLineEdit* m_xLabel;
    QVector<QLineEdit*> m_yLabels;
    QVector<QLineEdit*> m_labels;
    QVector<QPushButton*> m_colorButtons;
    QVector<QColor> m_colors;
    QVector<QComboBox*> m_lineTypes;
    QComboBox* m_plotting;
    QComboBox* m_grid;
};

} // namespace tq
