#pragma once

#include "RecordingReport.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace tq {

// Report...: the limits (each optional), the activation energy of the mean
// kinetic temperature, whether the graph and the sample table go in, and
// the unit of the values where the run does not record it. Numbers are
// typed with the regional decimal separator.
class TfrmReport : public QDialog {
    Q_OBJECT
  public:
    explicit TfrmReport(bool unitRecorded, TemperatureUnit unit, QWidget* parent = nullptr);

    // The choices as report options (limits, energy, graph, table) and
    // unit; refused (BadInput) with the problem in a sentence when a number
    // is not one or the choices do not fit together.
    Outcome readChoices(report::Options& options, TemperatureUnit& unit) const;

    void accept() override; // stays open, saying why, while readChoices fails

    QCheckBox* chkLow = nullptr;
    QLineEdit* edtLow = nullptr;
    QCheckBox* chkHigh = nullptr;
    QLineEdit* edtHigh = nullptr;
    QLineEdit* edtActivation = nullptr;
    QComboBox* cmbUnit = nullptr;
    QCheckBox* chkGraph = nullptr;
    QCheckBox* chkTable = nullptr;
};

} // namespace tq
