#include "TfrmExportGraph.h"

#include "ChartExport.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>

namespace tq {

TfrmExportGraph::TfrmExportGraph(const QSize& initial, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmExportGraph"));
    setWindowTitle(QStringLiteral("Export Graph"));
    auto* form = new QFormLayout(this);
    auto spin = [this](const char* name, int value) {
        auto* s = new QSpinBox(this);
        s->setObjectName(QLatin1String(name));
        s->setRange(chartexport::kMinSide, chartexport::kMaxSide);
        s->setSuffix(QStringLiteral(" px"));
        s->setValue(value);
        return s;
    };
    const QSize start = initial.boundedTo(QSize(chartexport::kMaxSide, chartexport::kMaxSide))
                            .expandedTo(QSize(chartexport::kMinSide, chartexport::kMinSide));
    spnWidth = spin("spnWidth", start.width());
    spnHeight = spin("spnHeight", start.height());
    form->addRow(QStringLiteral("Width"), spnWidth);
    form->addRow(QStringLiteral("Height"), spnHeight);
    auto* hint = new QLabel(QStringLiteral("PNG, SVG or PDF: chosen by the file name."), this);
    hint->setEnabled(false);
    form->addRow(hint);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("buttons"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

QSize TfrmExportGraph::chosenSize() const {
    return QSize(spnWidth->value(), spnHeight->value());
}

} // namespace tq
