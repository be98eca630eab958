#include "AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
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
        return true;
    }
    const QString folder = QDir(dir).absolutePath();
    // The folders inside it (ini/, template/, temp/) are created one level
    // at a time later on, so the home itself must exist.
    if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder)) return false;
    homeOverride() = withSlash(folder);
    return true;
}

QString AppPaths::programFolder() {
    if (!homeOverride().isEmpty()) return homeOverride();
    static const QString folder = [] {
        const QString exeDir = QCoreApplication::applicationDirPath();
        if (QFileInfo(exeDir).isWritable()) return withSlash(exeDir);
        QString user = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        QDir().mkpath(user);
        return withSlash(user);
    }();
    return folder;
}

QString AppPaths::helpFile() {
    return withSlash(QCoreApplication::applicationDirPath()) + QStringLiteral("TQ880HELP.htm");
}

QString AppPaths::settleDataFolder() {
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
