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

void AppPaths::setHome(const QString& dir) {
    homeOverride() = dir.isEmpty() ? QString() : withSlash(QDir(dir).absolutePath());
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
