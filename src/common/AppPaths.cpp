#include "AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace tq {

namespace {
QString& homeOverride() {
    static QString s;
    return s;
}
QString& dataFolderValue() {
    static QString s;
    return s;
}
QString withSlash(QString p) {
    if (!p.isEmpty() && !p.endsWith(QLatin1Char('/'))) p += QLatin1Char('/');
    return p;
}
} // namespace

bool AppPaths::setHome(const QString& dir) {
    if (dir.isEmpty()) {
        homeOverride().clear();
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
        return true;
    }
    const QString folder = QDir(dir).absolutePath();
    // The folders inside it (ini/, template/, temp/) are created one level
    // at a time later on, so the home itself must exist.
    if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder)) return false;
    homeOverride() = withSlash(folder);
    // Qt's own settings (the file dialog's history) go there too.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, homeOverride() + QStringLiteral("ini"));
    return true;
}

bool AppPaths::hasHome() {
    return !homeOverride().isEmpty();
}

QString AppPaths::userFolder() {
    // One folder for the program and tq880-cli alike, whatever each is called.
    const QString user = withSlash(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)) +
                         QStringLiteral("TQ880/");
    QDir().mkpath(user);
    return user;
}

QString AppPaths::programFolder() {
    if (!homeOverride().isEmpty()) return homeOverride();
    static const QString folder = [] {
        const QString exeDir = QCoreApplication::applicationDirPath();
        if (installedDataFolder(exeDir).isEmpty() && QFileInfo(exeDir).isWritable()) return withSlash(exeDir);
        return userFolder();
    }();
    return folder;
}

QString AppPaths::dataPathFromBin() {
    return QStringLiteral(TQ880_DATA_FROM_BIN);
}

QString AppPaths::installedDataFolder(const QString& exeDir) {
    const QString data = QDir::cleanPath(withSlash(exeDir) + dataPathFromBin());
    // The help page is installed there and nowhere in a build tree.
    return QFileInfo::exists(data + QStringLiteral("/TQ880HELP.htm")) ? withSlash(data) : QString();
}

QString AppPaths::helpFile() {
    const QString exeDir = QCoreApplication::applicationDirPath();
    const QString installed = installedDataFolder(exeDir);
    return (installed.isEmpty() ? withSlash(exeDir) : installed) + QStringLiteral("TQ880HELP.htm");
}

QString AppPaths::segmentListFile() {
    return (hasHome() ? homeOverride() : withSlash(QDir::currentPath())) + QStringLiteral("lcdtag.txt");
}

QString AppPaths::settleDataFolder() {
    if (hasHome()) {
        dataFolderValue() = homeOverride();
        return dataFolderValue();
    }
    const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QString folder;
    if (!docs.isEmpty()) {
        const QString mine = withSlash(docs) + QStringLiteral("TQ880/");
        folder = QDir().mkpath(mine) ? mine : withSlash(docs);
    }
    dataFolderValue() = folder;
    return folder;
}

QString AppPaths::dataFolder() {
    return dataFolderValue();
}
void AppPaths::setDataFolder(const QString& folder) {
    dataFolderValue() = withSlash(folder);
}

} // namespace tq
