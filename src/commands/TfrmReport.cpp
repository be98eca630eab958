#include "TfrmReport.h"

#include "CommandGuard.h"
#include "Messages.h"
#include "Regional.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>

#include <cmath>

namespace tq {

namespace {
bool readNumber(const QLineEdit* edit, const QString& what, double& out, QString& problem) {
    if (RegionalFormats().parseValue(edit->text(), out) && std::isfinite(out)) return true;
    problem = QStringLiteral("%1 \"%2\" is not a number.").arg(what, edit->text());
    return false;
}
} // namespace

TfrmReport::TfrmReport(bool unitRecorded, TemperatureUnit unit, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmReport"));
    setWindowTitle(QStringLiteral("Report"));
    auto* form = new QFormLayout(this);
    auto limitRow = [&](const char* check, const char* edit, const QString& caption, QCheckBox*& box,
                        QLineEdit*& field) {
        box = new QCheckBox(caption, this);
        box->setObjectName(QLatin1String(check));
        field = new QLineEdit(this);
        field->setObjectName(QLatin1String(edit));
        field->setEnabled(false);
        connect(box, &QCheckBox::toggled, field, &QWidget::setEnabled);
        form->addRow(box, field);
    };
    limitRow("chkLow", "edtLow", QStringLiteral("Lower limit"), chkLow, edtLow);
    limitRow("chkHigh", "edtHigh", QStringLiteral("Upper limit"), chkHigh, edtHigh);
    edtActivation = new QLineEdit(valueText(kDefaultActivationEnergyKJ, 3), this);
    edtActivation->setObjectName(QStringLiteral("edtActivation"));
    form->addRow(QStringLiteral("Activation energy (kJ/mol)"), edtActivation);
    cmbUnit = new QComboBox(this);
    cmbUnit->setObjectName(QStringLiteral("cmbUnit"));
    cmbUnit->addItems(
        {report::unitText(TemperatureUnit::Celsius), report::unitText(TemperatureUnit::Fahrenheit)});
    cmbUnit->setCurrentIndex(unit == TemperatureUnit::Fahrenheit ? 1 : 0);
    // Only a file that does not say lets the user tell.
    cmbUnit->setEnabled(!unitRecorded);
    form->addRow(unitRecorded ? QStringLiteral("Unit") : QStringLiteral("Unit of the values"), cmbUnit);
    chkGraph = new QCheckBox(QStringLiteral("The graph"), this);
    chkGraph->setObjectName(QStringLiteral("chkGraph"));
    chkGraph->setChecked(true);
    chkTable = new QCheckBox(QStringLiteral("The sample table"), this);
    chkTable->setObjectName(QStringLiteral("chkTable"));
    chkTable->setChecked(true);
    auto* contents = new QHBoxLayout;
    contents->addWidget(chkGraph);
    contents->addWidget(chkTable);
    form->addRow(QStringLiteral("Include"), contents);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("buttons"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

Outcome TfrmReport::readChoices(report::Options& options, TemperatureUnit& unit) const {
    QString problem;
    const auto refused = [&problem] { return Outcome::fail(Outcome::Code::BadInput, problem); };
    options.limits = {};
    double v = 0.0;
    if (chkLow->isChecked()) {
        if (!readNumber(edtLow, QStringLiteral("The lower limit"), v, problem)) return refused();
        options.limits.low = v;
    }
    if (chkHigh->isChecked()) {
        if (!readNumber(edtHigh, QStringLiteral("The upper limit"), v, problem)) return refused();
        options.limits.high = v;
    }
    if (!readNumber(edtActivation, QStringLiteral("The activation energy"), options.activationEnergyKJ,
                    problem))
        return refused();
    options.graph = chkGraph->isChecked();
    options.table = chkTable->isChecked();
    unit = cmbUnit->currentIndex() == 1 ? TemperatureUnit::Fahrenheit : TemperatureUnit::Celsius;
    problem = report::checkOptions(options);
    return problem.isEmpty() ? Outcome::success() : refused();
}

void TfrmReport::accept() {
    report::Options options;
    TemperatureUnit unit = TemperatureUnit::Celsius;
    if (!reported(readChoices(options, unit))) return;
    QDialog::accept();
}

} // namespace tq
