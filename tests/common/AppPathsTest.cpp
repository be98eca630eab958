#include "AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using tq::AppPaths;

TEST(AppPaths, AnInstalledLayoutIsToldByWhereTheExecutableSits) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString bin = root.filePath(QStringLiteral("usr/bin"));
    const QString data = QDir::cleanPath(bin + QLatin1Char('/') + AppPaths::dataPathFromBin());
    ASSERT_TRUE(QDir().mkpath(bin));
    ASSERT_TRUE(QDir().mkpath(data));
    // A writable folder is not taken for a build tree just because it can
    // be written (an install as root).
    EXPECT_EQ(AppPaths::installedDataFolder(bin), QString());
    QFile help(data + QStringLiteral("/TQ880HELP.htm"));
    ASSERT_TRUE(help.open(QIODevice::WriteOnly));
    help.close();
    EXPECT_EQ(AppPaths::installedDataFolder(bin), data + QLatin1Char('/'));
    EXPECT_EQ(AppPaths::installedDataFolder(bin + QLatin1Char('/')), data + QLatin1Char('/'));
    // The folder above holds no program.
    EXPECT_EQ(AppPaths::installedDataFolder(root.path()), QString());
}

TEST(AppPaths, TheBuildTreeKeepsItsFoldersBesideTheExecutable) {
    const QString exeDir = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    ASSERT_EQ(AppPaths::installedDataFolder(exeDir), QString());
    EXPECT_EQ(AppPaths::programFolder(), exeDir);
    EXPECT_EQ(AppPaths::settingsFile(), exeDir + QStringLiteral("ini/TQ880.ini"));
    EXPECT_EQ(AppPaths::helpFile(), exeDir + QStringLiteral("TQ880HELP.htm"));
    EXPECT_EQ(AppPaths::segmentListFile(), QDir::currentPath() + QStringLiteral("/lcdtag.txt"));
    // --home wins over both, and takes the data folder and the segment list in too.
    QTemporaryDir home;
    AppPaths::setHome(home.path());
    const QString inside = home.path() + QLatin1Char('/');
    EXPECT_EQ(AppPaths::programFolder(), inside);
    EXPECT_EQ(AppPaths::settleDataFolder(), inside);
    EXPECT_EQ(AppPaths::dataFolder(), inside);
    EXPECT_EQ(AppPaths::segmentListFile(), inside + QStringLiteral("lcdtag.txt"));
    // Qt's own settings too (the file dialog keeps its history there).
    EXPECT_TRUE(QSettings(QSettings::UserScope, QStringLiteral("QtProject")).fileName().startsWith(inside));
    AppPaths::setHome(QString());
    EXPECT_FALSE(QSettings(QSettings::UserScope, QStringLiteral("QtProject")).fileName().startsWith(inside));
    AppPaths::setDataFolder(QString());
    // The per-user folder, shared by the program and tq880-cli.
    QStandardPaths::setTestModeEnabled(true);
    const QString user = AppPaths::userFolder();
    EXPECT_TRUE(user.endsWith(QStringLiteral("/TQ880/"))) << user.toStdString();
    EXPECT_TRUE(QFileInfo(user).isDir());
    QStandardPaths::setTestModeEnabled(false);
}
