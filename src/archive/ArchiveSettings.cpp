#include "ArchiveSettings.h"

#include "AppPaths.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace tq::archivesettings {

namespace {
constexpr qint64 kMaxSettingBytes = 4096;
const QString kFileName = QStringLiteral("TQ880-archive.sqlite");
} // namespace

QString settingFile() {
    return AppPaths::settingsFolder() + QStringLiteral("archive.txt");
}

QString defaultUrl(bool homeGiven) {
    if (homeGiven) return AppPaths::programFolder() + kFileName;
    QString folder = AppPaths::dataFolder();
    if (folder.isEmpty()) folder = AppPaths::settleDataFolder();
    if (folder.isEmpty()) folder = AppPaths::programFolder();
    return folder + kFileName;
}

QString configuredUrl(bool homeGiven) {
    QFile file(settingFile());
    if (file.open(QIODevice::ReadOnly)) {
        // One line; a longer file is not a setting this program wrote.
        const QString url =
            QString::fromUtf8(file.read(kMaxSettingBytes)).section(QLatin1Char('\n'), 0, 0).trimmed();
        if (!url.isEmpty()) return url;
    }
    return defaultUrl(homeGiven);
}

bool saveUrl(const QString& url, QString& error) {
    if (!QDir().mkpath(AppPaths::settingsFolder())) {
        error = QStringLiteral("The folder %1 cannot be made.").arg(AppPaths::settingsFolder());
        return false;
    }
    QSaveFile file(settingFile());
    if (!file.open(QIODevice::WriteOnly) || file.write(url.trimmed().toUtf8() + '\n') < 0 || !file.commit()) {
        error = QStringLiteral("%1 cannot be written: %2").arg(settingFile(), file.errorString());
        return false;
    }
    return true;
}

} // namespace tq::archivesettings
