#include "AppPaths.h"
#include "CommandLine.h"
#include "SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
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
    EXPECT_TRUE(c.output.isEmpty());
    // Help or version is the answer whatever else the line holds.
    c = CommandLine::parse({QStringLiteral("tq880"), QStringLiteral("--bogus"), QStringLiteral("-v")});
    EXPECT_EQ(c.output, QStringLiteral("tq880 " TQ880_VERSION "\n"));
    // Qt's own options have a single dash.
    EXPECT_TRUE(CommandLine::mayHoldQtOptions(
        {QStringLiteral("tq880"), QStringLiteral("-platform"), QStringLiteral("offscreen")}));
    EXPECT_FALSE(CommandLine::mayHoldQtOptions(
        {QStringLiteral("tq880"), QStringLiteral("--bogus"), QStringLiteral("-h"), QStringLiteral("value")}));
}

namespace {
struct Outcome {
    int code = -1;
    bool crashed = true;
    QString out, err;
};

// The real program, with no display of any kind to talk to.
Outcome runWithoutDisplay(const QStringList& arguments) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QLatin1String(name));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(TQ880_PROGRAM), arguments);
    Outcome o;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return o;
    }
    o.crashed = p.exitStatus() != QProcess::NormalExit;
    o.code = p.exitCode();
    o.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    o.err = QString::fromLocal8Bit(p.readAllStandardError());
    return o;
}
} // namespace

TEST(CommandLine, HelpVersionAndBadOptionsNeedNoDisplay) {
    Outcome help = runWithoutDisplay({QStringLiteral("--help")});
    EXPECT_FALSE(help.crashed) << help.err.toStdString();
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(help.out.startsWith(QStringLiteral("Usage: tq880 [options]"))) << help.out.toStdString();
    for (const char* option :
         {"--port <PATH>", "--no-system-ports", "--home <DIR>", "--simulate <MODEL>", "--version"})
        EXPECT_TRUE(help.out.contains(QLatin1String(option))) << option;

    Outcome version = runWithoutDisplay({QStringLiteral("--version")});
    EXPECT_FALSE(version.crashed);
    EXPECT_EQ(version.code, 0);
    EXPECT_EQ(version.out, QStringLiteral("tq880 " TQ880_VERSION "\n"));

    Outcome bad = runWithoutDisplay({QStringLiteral("--bogus")});
    EXPECT_FALSE(bad.crashed);
    EXPECT_EQ(bad.code, 2);
    EXPECT_TRUE(bad.err.contains(QStringLiteral("Unknown option 'bogus'."))) << bad.err.toStdString();
    Outcome model = runWithoutDisplay({QStringLiteral("--simulate"), QStringLiteral("999")});
    EXPECT_EQ(model.code, 2);
    EXPECT_TRUE(model.err.contains(QStringLiteral("--simulate takes 860 or 862"))) << model.err.toStdString();
}

TEST(SettingsFile, DevicesNamedByTheUserFollowThePortIndex) {
    QTemporaryDir dir;
    QString error;
    ASSERT_TRUE(SettingsFile::write(dir.path(), 3, &error, {"/dev/ttyUSB7", "/dev/serial/by-id/logger"}));
    const QString path = dir.filePath(QStringLiteral("TQ880.ini"));
    // The two lines a reader of the port index alone expects come first.
    EXPECT_EQ(SettingsFile::readPortIndex(path), 3);
    EXPECT_EQ(SettingsFile::readOtherPorts(path), QStringList({"/dev/ttyUSB7", "/dev/serial/by-id/logger"}));
    // Without the section, none; a hostile file gives at most the limit of printable lines.
    EXPECT_TRUE(SettingsFile::readOtherPorts(writeFile(dir, "[COM PORT]\n1\n")).isEmpty());
    QByteArray many = "[COM PORT]\n0\n[OTHER PORTS]\n\x01\x02\n";
    for (int i = 0; i < 40; ++i)
        many += "/dev/x" + QByteArray::number(i) + "\n";
    EXPECT_EQ(SettingsFile::readOtherPorts(writeFile(dir, many)).size(), SettingsFile::kMaxOtherPorts);
}
