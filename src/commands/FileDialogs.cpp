#include "FileDialogs.h"

#include "AppPaths.h"
#include "DialogRunner.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>

namespace tq {

namespace {
QFileDialog* makeDialog(QWidget* parent, QFileDialog::AcceptMode mode, const char* name) {
    auto* d = new QFileDialog(parent);
    d->setObjectName(QLatin1String(name));
    d->setAcceptMode(mode);
    // One look on every desktop, and a dialog tests can fill in.
    d->setOption(QFileDialog::DontUseNativeDialog);
    if (mode == QFileDialog::AcceptSave) {
        d->setFileMode(QFileDialog::AnyFile);
        d->setOption(QFileDialog::DontConfirmOverwrite, false);
    } else {
        d->setFileMode(QFileDialog::ExistingFile);
    }
    return d;
}

// The first pattern's extension of a Qt name filter ("... (*.GHF *.ghf)" -> "GHF").
QString filterExtension(const QString& nameFilter) {
    static const QRegularExpression re(QStringLiteral("\\(\\*\\.([^ )*?]+)"));
    const QRegularExpressionMatch m = re.match(nameFilter, nameFilter.lastIndexOf(QLatin1Char('(')));
    return m.hasMatch() ? m.captured(1) : QString();
}
} // namespace

FileDialogs::FileDialogs(QWidget* parent)
    : m_open(makeDialog(parent, QFileDialog::AcceptOpen, "OpenDialog1")),
      m_save(makeDialog(parent, QFileDialog::AcceptSave, "SaveDialog1")) {
    m_open->setDefaultSuffix(QStringLiteral("txt"));
    // A name typed without an extension takes that of the chosen filter
    // entry, before the dialog checks whether it would overwrite a file.
    QObject::connect(m_save, &QFileDialog::filterSelected, m_save, [this](const QString& filter) {
        const QString ext = filterExtension(filter);
        m_save->setDefaultSuffix(ext.isEmpty() ? m_saveExtension : ext);
    });
}

FileDialogs::~FileDialogs() = default; // the dialogs belong to their parent

QString FileDialogs::initialFolder() {
    const QString data = AppPaths::dataFolder();
    return data.isEmpty() ? QCoreApplication::applicationDirPath() : data;
}

QStringList FileDialogs::nameFilters(const QString& described) {
    const QStringList parts = described.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& p : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            patterns << p.toUpper();
            if (p.toLower() != p.toUpper()) patterns << p.toLower();
        }
        const QString own = QStringLiteral("(") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
        // A description that ends with its patterns already is a Qt filter as it stands.
        if (parts[i].endsWith(own))
            out << parts[i];
        else
            out << parts[i] + QLatin1Char(' ') + own;
    }
    return out;
}

void FileDialogs::prepareOpen(const QString& filter, const QString& defaultExtension, const QString& extra) {
    m_openFilter = filter;
    m_open->setDefaultSuffix(defaultExtension);
    m_open->setDirectory(initialFolder());
    m_open->setNameFilters(nameFilters(filter) + nameFilters(extra));
    m_open->selectFile(QString());
}

void FileDialogs::prepareSave(const QString& filter, const QString& defaultExtension, const QString& extra) {
    m_saveFilter = filter;
    m_saveExtra = extra;
    m_saveExtension = defaultExtension;
    m_save->setDirectory(initialFolder());
    m_save->setNameFilters(nameFilters(filter) + nameFilters(extra));
    const QString ext = filterExtension(m_save->selectedNameFilter());
    m_save->setDefaultSuffix(ext.isEmpty() ? defaultExtension : ext);
}

bool FileDialogs::saveChoseExtra() const {
    return !m_saveExtra.isEmpty() && nameFilters(m_saveExtra).contains(m_save->selectedNameFilter());
}

QString FileDialogs::chosen(QFileDialog* dialog) {
    if (runDialog(*dialog) != QDialog::Accepted) return QString();
    const QStringList files = dialog->selectedFiles();
    if (files.isEmpty() || files.first().isEmpty() || QFileInfo(files.first()).isDir()) return QString();
    return files.first();
}

QString FileDialogs::runOpen() {
    return chosen(m_open);
}

QString FileDialogs::runSave() {
    return chosen(m_save);
}

QString FileDialogs::runAppend(const QString& title) {
    // Appending replaces nothing: no question about an existing file.
    const QString before = m_save->windowTitle();
    m_save->setWindowTitle(title);
    m_save->setOption(QFileDialog::DontConfirmOverwrite, true);
    const QString name = chosen(m_save);
    m_save->setOption(QFileDialog::DontConfirmOverwrite, false);
    m_save->setWindowTitle(before);
    return name;
}

} // namespace tq
