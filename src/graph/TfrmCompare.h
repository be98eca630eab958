#pragma once

// The compare window: several runs in one chart, by clock or by time since
// each one's start, in one unit, with their statistics side by side (whole
// and between cursors A and B) and, for two of them, their difference.

#include "RunCompare.h"

#include <QWidget>

#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace tq {

class Chart;

class TfrmCompare : public QWidget {
    Q_OBJECT
  public:
    // Where the Add buttons find runs, and where Export writes: set by
    // whoever opens the window (the file dialogs and the archive are not
    // the window's). A source that is not given leaves its button out.
    struct Sources {
        std::function<std::vector<compare::Run>()> files;
        std::function<std::vector<compare::Run>()> collection;
        std::function<std::vector<compare::Run>()> archive;
        // The file to export to (.png, .svg, .pdf or .csv); empty for none.
        std::function<QString()> exportFileName;
    };

    explicit TfrmCompare(Sources sources = {}, QWidget* parent = nullptr);
    ~TfrmCompare() override;

    void addRuns(const std::vector<compare::Run>& runs);
    void removeRun(int index);
    const std::vector<compare::Run>& runs() const { return m_runs; }

    void setAlign(compare::Align align);
    compare::Align align() const { return m_align; }
    void setUnit(TemperatureUnit unit);
    TemperatureUnit unit() const { return m_unit; }
    // The difference of runs a and b (indices), drawn and tabled; off with
    // a or b out of range.
    void setDifference(bool on, int a = 0, int b = 1);
    bool differenceShown() const { return m_difference != nullptr; }
    const compare::Difference* difference() const { return m_difference.get(); }
    void setLimits(const RunLimits& limits);
    // Cursors A and B at drawn X values (day counts, since the start by
    // elapsed time); the table between them follows.
    void setCursors(double a, double b);
    double cursorA() const;
    double cursorB() const;

    // The print dialog, then the chart in colour (its runs are told apart
    // by colour) on the program's printer.
    void print();

    // Writes the chart (.png, .svg, .pdf) or the wide CSV (.csv). Throws
    // UserError naming the file when it cannot be written.
    [[nodiscard]] Outcome exportTo(const QString& fileName);

    Chart* chart() const { return PESGraph1; }

    // The tables, filled after the chart is drawn (or now).
    void refreshTables();
    bool tablesDue() const { return m_tablesDue; }

  private:
    void buildLayout();
    // Chart and tables from the runs and settings; the cursors back at a
    // third and two thirds of the time shown when resetCursors.
    void rebuild(bool resetCursors = true);
    void refreshCursorTable();
    void fillTable(QTableWidget* grid, std::optional<std::pair<double, double>> range);
    void differencePair(int& a, int& b) const;
    void btnRemoveClick();
    void btnExportClick();
    void chkDifferenceClick();
    void limitsChanged();

    Sources m_sources;
    std::vector<compare::Run> m_runs;
    compare::Align m_align = compare::Align::Clock;
    TemperatureUnit m_unit = TemperatureUnit::Celsius;
    RunLimits m_limits;
    std::unique_ptr<compare::Difference> m_difference;
    int m_diffA = 0, m_diffB = 1;
    bool m_tablesDue = false;
    int m_dragged = 0; // cursor line being dragged: 1 (A), 2 (B) or none

    Chart* PESGraph1 = nullptr;
    QComboBox* cmbAlign = nullptr;
    QComboBox* cmbUnit = nullptr;
    QCheckBox* chkDifference = nullptr;
    QLineEdit* txtLow = nullptr;
    QLineEdit* txtHigh = nullptr;
    QPushButton* btnRemove = nullptr;
    QPushButton* UndoZoom = nullptr;
    QTableWidget* gridRuns = nullptr;
    QTableWidget* gridCursor = nullptr;
    QLabel* lblDifference = nullptr;
    QLabel* lblRuns = nullptr;
    QLabel* lblCursor = nullptr;
};

} // namespace tq
