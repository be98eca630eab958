#pragma once

#include <QString>
#include <QStringList>

class QFileDialog;
class QWidget;

namespace tq {

// The main window's one open dialog and one save dialog. Each command sets
// their filter and default extension before use; filters are written as
// the program has always described them ("Text|*.EXT|Text|*.EXT").
class FileDialogs {
  public:
    explicit FileDialogs(QWidget* parent);
    ~FileDialogs();

    // The data folder, or the program's folder when there is none.
    static QString initialFolder();
    // "Graph file(*.ghf,...)|*.GHF|..." as Qt name filters, each pattern
    // in both cases so a file system that tells them apart shows both.
    static QStringList nameFilters(const QString& described);

    // Initial folder, filter and default extension; the open dialog's file
    // name is cleared, the save dialog's kept. Either dialog may offer
    // entries of our own after the described filter.
    void prepareOpen(const QString& filter, const QString& defaultExtension,
                     const QString& extra = QString());
    void prepareSave(const QString& filter, const QString& defaultExtension,
                     const QString& extra = QString());
    QString openFilter() const { return m_openFilter; }
    QString saveFilter() const { return m_saveFilter; } // the described entries
    QString saveExtraFilter() const { return m_saveExtra; }
    // After runSave: whether the entry chosen was one of the extra ones.
    bool saveChoseExtra() const;
    QString saveDefaultExtension() const { return m_saveExtension; }

    // The chosen file, or an empty string when the user cancelled. A name
    // typed without an extension in the save dialog takes that of the
    // chosen filter entry, or the default extension.
    QString runOpen();
    QString runSave();
    // The save dialog for a file that is appended to, titled title.
    QString runAppend(const QString& title);

    QFileDialog* openDialog() const { return m_open; }
    QFileDialog* saveDialog() const { return m_save; }

  private:
    static QString chosen(QFileDialog* dialog);

    QFileDialog* m_open;
    QFileDialog* m_save;
    QString m_openFilter, m_saveFilter, m_saveExtra;
    QString m_saveExtension;
};

} // namespace tq
