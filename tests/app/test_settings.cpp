#include "AppPaths.h"
#include "CommandLine.h"
#include "SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tq;

namespace {
QString writeFile(const QTemporaryDir& dir, const QByteArray& content) {
    const QString path = dir.filePath(QStringLiteral("TQ880.ini"));
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(content);
    return path;
}
} // namespace

TEST(SettingsFile, ReadsThePortIndexOrFallsBackToZero) {
    QTemporaryDir dir;
    EXPECT_EQ(SettingsFile::readPortIndex(dir.filePath(QStringLiteral("missing.ini"))), 0);
    EXPECT_EQ(SettingsFile::readPortIndex(writeFile(dir, "")), 0);
    EXPECT_EQ(SettingsFile::readPortIndex(writeFile(dir, "[COM PORT]\n")), 0);
    EXPECT_EQ(SettingsFile::readPortIndex(writeFile(dir, "[COM PORT]")), 0);
    EXPECT_EQ(SettingsFile::readPortIndex(writeFile(dir, "[COM PORT]\nabc\n")), 0);
    EXPECT_EQ(SettingsFile::readPortIndex(writeFile(dir, "[COM PORT]\n2\n")), 2);
    EXPECT_EQ(SettingsFile::readPortIndex(writeFile(dir, "[COM PORT]\r\n3\r\n")), 3);
    EXPECT_EQ(SettingsFile::readPortIndex(writeFile(dir, "anything\n7")), 7); // section line not checked
    EXPECT_EQ(SettingsFile::readPortIndex(writeFile(dir, "[COM PORT]\n2x\n")), 0);
    EXPECT_EQ(SettingsFile::readPortIndex(writeFile(dir, "[COM PORT]\n-4\n")), 0);
    EXPECT_EQ(SettingsFile::readPortIndex(writeFile(dir, "[COM PORT]\n99999999999999\n")), 0);
    // Binary junk and a very long first line: still no crash, still a number or 0.
    EXPECT_EQ(SettingsFile::readPortIndex(writeFile(dir, QByteArray(100000, '\xFF') + "\n5\n")), 5);
    EXPECT_EQ(SettingsFile::readPortIndex(writeFile(dir, QByteArray("\x00\x01\x02\n\x00", 5))), 0);
    // A second line longer than the line limit is cut to 79 characters.
    EXPECT_EQ(SettingsFile::readPortIndex(writeFile(dir, "[COM PORT]\n" + QByteArray(78, ' ') + "12\n")), 1);
    // A folder where the file should be is unreadable: 0.
    QDir(dir.path()).mkdir(QStringLiteral("ini.d"));
    EXPECT_EQ(SettingsFile::readPortIndex(dir.filePath(QStringLiteral("ini.d"))), 0);
}

TEST(SettingsFile, WritesExactlyTwoLinesAndReportsAMissingFolder) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("ini/"));
    QString error;
    ASSERT_TRUE(SettingsFile::write(folder, 3, &error)) << error.toStdString();
    QFile f(folder + QStringLiteral("TQ880.ini"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("[COM PORT]\n3\n"));
    f.close();
    EXPECT_EQ(SettingsFile::readPortIndex(f.fileName()), 3);

    // Only one folder level is created.
    const QString deep = dir.filePath(QStringLiteral("no/such/ini/"));
    EXPECT_FALSE(SettingsFile::write(deep, 1, &error));
    EXPECT_EQ(error, QStringLiteral("Cannot create ") + deep + QStringLiteral(" directory."));
}

TEST(CommandLine, Options) {
    auto c =
        CommandLine::parse({QStringLiteral("tq880"), QStringLiteral("--port"), QStringLiteral("/dev/a"),
                            QStringLiteral("--port"), QStringLiteral("/dev/b"),
                            QStringLiteral("--no-system-ports"), QStringLiteral("--home"),
                            QStringLiteral("/tmp/x"), QStringLiteral("--simulate"), QStringLiteral("862")});
    EXPECT_TRUE(c.error.isEmpty());
    EXPECT_EQ(c.extraPorts, QStringList({QStringLiteral("/dev/a"), QStringLiteral("/dev/b")}));
    EXPECT_TRUE(c.noSystemPorts);
    EXPECT_EQ(c.home, QStringLiteral("/tmp/x"));
    EXPECT_EQ(c.simulateModel, 862);
    c = CommandLine::parse({QStringLiteral("tq880"), QStringLiteral("--simulate"), QStringLiteral("999")});
    EXPECT_FALSE(c.error.isEmpty());
    c = CommandLine::parse({QStringLiteral("tq880"), QStringLiteral("--bogus")});
    EXPECT_FALSE(c.error.isEmpty());
}
