#pragma once

#include "CommandContext.h"

#include <QWidget>
#include <vector>

class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QMainWindow;
class QPushButton;
class QTableView;

namespace tq {

class ArchiveFilter;
class ArchiveTableModel;
class TfrmGraph;

// The Archive window: every archived run, sorted and filtered by date range
// and text, with its name and note editable; runs open in graph windows;
// deleting asks first and can be undone until the program ends.
class TfrmArchive : public QWidget {
    Q_OBJECT
  public:
    explicit TfrmArchive(CommandContext context, QWidget* parent = nullptr);

    // The one Archive window, made or brought forward in the main window's area.
    static TfrmArchive* showArchive(const CommandContext& context);
    static TfrmArchive* instance();

    // Lists the runs again from the archive.
    void reload();
    // Archive ids of the selected rows, in the order shown.
    std::vector<qint64> selectedIds() const;
    // The selected runs, each in a graph window of its own.
    void btnOpenClick();
    void btnCompareClick();
    // Opens one run in a new graph window; null (after a message) when it cannot be read.
    TfrmGraph* openRun(qint64 id);
    void btnDeleteClick();
    void btnUndoClick();
    void btnUseArchiveClick();
    void applyFilter();

    QTableView* gridRuns = nullptr;
    QCheckBox* chkDates = nullptr;
    QDateEdit* dtFrom = nullptr;
    QDateEdit* dtTo = nullptr;
    QLineEdit* txtFilter = nullptr;
    QPushButton* btnOpen = nullptr;
    QPushButton* btnCompare = nullptr;
    QPushButton* btnDelete = nullptr;
    QPushButton* btnUndo = nullptr;
    QLineEdit* txtArchive = nullptr;
    QPushButton* btnUseArchive = nullptr;
    QLabel* lblStatus = nullptr;

  private:
    void buildLayout();

    CommandContext m_context;
    ArchiveTableModel* m_model;
    ArchiveFilter* m_filter;
};

// The menu entry and the tool button that show the Archive window.
void addArchiveCommand(QMainWindow* main, const CommandContext& context);

} // namespace tq
