// tq880-cli monitor as a process against a simulated logger: the readings
// printed and appended, and a file that stays complete however it ends.

#include "CliRun.h"
#include "IsoCsvFile.h"
#include "LoggerSim.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>

#include <gtest/gtest.h>

#include <memory>

using tq::sim::LoggerSim;

namespace {

std::unique_ptr<LoggerSim> logger(int model) {
    auto sim = std::make_unique<LoggerSim>(model);
    QString error;
    EXPECT_TRUE(sim->start(&error)) << error.toStdString();
    return sim;
}

// Starts monitor and waits until it has printed `readings` lines.
void startMonitor(QProcess& p, const QStringList& args, int readings) {
    p.start(QCoreApplication::applicationDirPath() + QStringLiteral("/tq880-cli"),
            QStringList{QStringLiteral("monitor")} + args);
    ASSERT_TRUE(p.waitForStarted(10000));
    QElapsedTimer waited;
    waited.start();
    QByteArray out;
    while (out.count('\n') < readings && waited.elapsed() < 20000) {
        p.waitForReadyRead(200);
        out += p.readAllStandardOutput();
    }
    ASSERT_GE(out.count('\n'), readings) << p.readAllStandardError().toStdString();
}

// Every line after the header is whole, and the program's readers take the file.
void expectWholeFile(const QString& file, int columns, int atLeast) {
    const QStringList l = lines(fileBytes(file));
    ASSERT_FALSE(l.isEmpty());
    EXPECT_EQ(tq::isocsv::columnsOf(l.first()), columns);
    EXPECT_GE(l.size() - 1, atLeast);
    for (qsizetype i = 1; i < l.size(); ++i)
        EXPECT_TRUE(tq::isocsv::isWholeLine(l[i], columns)) << l[i].toStdString();
    const CliRun opened = cli({"compare", file});
    EXPECT_EQ(opened.status, 0) << opened.err.toStdString();
}

} // namespace

TEST(CliMonitor, PrintsAndAppendsEachReadingForSomeSeconds) {
    QTemporaryDir dir;
    for (const int model : {860, 862}) {
        SCOPED_TRACE(model);
        auto sim = logger(model);
        const QString file = dir.filePath(QStringLiteral("live%1.csv").arg(model));
        const CliRun r =
            cli({"monitor", "--port", sim->devicePath(), "-o", file, "--seconds", "3", "--high", "20"});
        ASSERT_EQ(r.status, 0) << r.err.toStdString();
        const QStringList out = lines(r.out);
        ASSERT_GE(out.size(), 2);
        // The simulated logger shows 23.4 C (and 45.6 %RH): above the limit.
        const QRegularExpression line(model == 862
                                          ? QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d(\\."
                                                           "\\d{3})?[+-]\\d\\d:\\d\\d 23\\.4 C 45\\.6 %RH "
                                                           "dew point 11\\.0 C HIGH$")
                                          : QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d(\\."
                                                           "\\d{3})?[+-]\\d\\d:\\d\\d 23\\.4 C HIGH$"));
        for (const QString& l : out)
            EXPECT_TRUE(line.match(l).hasMatch()) << l.toStdString();
        const QStringList recorded = lines(fileBytes(file));
        EXPECT_EQ(recorded.size(), out.size() + 1);
        EXPECT_TRUE(recorded.last().endsWith(model == 862 ? QStringLiteral(",23.4,45.6,11.0")
                                                          : QStringLiteral(",23.4")))
            << recorded.last().toStdString();
        expectWholeFile(file, model == 862 ? 3 : 1, out.size());
        EXPECT_TRUE(r.err.contains(QStringLiteral("%1 reading(s); 1 excursion(s) beyond the limits, 00:00:")
                                       .arg(out.size())
                                       .toUtf8()))
            << r.err.toStdString();
    }
}

TEST(CliMonitor, SigtermEndsItWithTheFileCompleteAndSigkillLeavesWholeLines) {
    QTemporaryDir dir;
    for (const int model : {860, 862}) {
        SCOPED_TRACE(model);
        auto sim = logger(model);
        const QString file = dir.filePath(QStringLiteral("kill%1.csv").arg(model));
        const QStringList args{"--port", sim->devicePath(), "-o", file};
        // Killed at random moments, appending to the same file each time.
        for (int run = 0; run < 2; ++run) {
            QProcess p;
            startMonitor(p, args, 1);
            QThread::msleep(QRandomGenerator::global()->bounded(50, 1200));
            ::kill(pid_t(p.processId()), SIGKILL);
            ASSERT_TRUE(p.waitForFinished(10000));
            expectWholeFile(file, model == 862 ? 3 : 1, run + 1);
        }
        QProcess p;
        startMonitor(p, args, 2);
        ::kill(pid_t(p.processId()), SIGTERM);
        ASSERT_TRUE(p.waitForFinished(10000));
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), 0);
        EXPECT_TRUE(p.readAllStandardError().contains("reading(s); no limits given"));
        expectWholeFile(file, model == 862 ? 3 : 1, 4);
    }
}

TEST(CliMonitor, ALostLinkIsAGapInTheFileAndTheReadingsComeBack) {
    QTemporaryDir dir;
    auto sim = logger(862);
    const QString file = dir.filePath(QStringLiteral("lost.csv"));
    QProcess p;
    startMonitor(p, {"--port", sim->devicePath(), "-o", file}, 1);
    sim->setSilent(true);
    QElapsedTimer waited;
    waited.start();
    QByteArray err;
    while (!err.contains("the logger stopped answering") && waited.elapsed() < 15000) {
        p.waitForReadyRead(200);
        err += p.readAllStandardError();
    }
    ASSERT_TRUE(err.contains("the logger stopped answering")) << err.toStdString();
    sim->setSilent(false);
    const qsizetype before = lines(fileBytes(file)).size();
    while (lines(fileBytes(file)).size() < before + 2 && waited.elapsed() < 25000)
        p.waitForReadyRead(200);
    ::kill(pid_t(p.processId()), SIGTERM);
    ASSERT_TRUE(p.waitForFinished(10000));
    EXPECT_EQ(p.exitCode(), 0);
    const QStringList recorded = lines(fileBytes(file));
    ASSERT_GE(recorded.size(), 4);
    // Readings, the gap (time and empty values), readings again.
    EXPECT_FALSE(recorded[1].endsWith(QLatin1String(",,,")));
    qsizetype gap = 0;
    for (qsizetype i = 1; i < recorded.size(); ++i)
        if (recorded[i].endsWith(QLatin1String(",,,"))) gap = i;
    EXPECT_GT(gap, 1);
    EXPECT_LT(gap, recorded.size() - 1);
    expectWholeFile(file, 3, 3);
}

TEST(CliMonitor, AChangeOfUnitEndsTheRecordingRatherThanMixingUnits) {
    QTemporaryDir dir;
    auto sim = logger(860);
    const QString file = dir.filePath(QStringLiteral("unit.csv"));
    QProcess p;
    startMonitor(p, {"--port", sim->devicePath(), "-o", file}, 1);
    tq::sim::LiveState state = sim->liveState();
    state.status = tq::sim::status::kFahrenheit;
    sim->setLiveState(state);
    ASSERT_TRUE(p.waitForFinished(15000));
    EXPECT_EQ(p.exitCode(), 3);
    EXPECT_TRUE(p.readAllStandardError().contains("not written under the wrong unit"));
    EXPECT_TRUE(fileBytes(file).startsWith("time,temperature_C\r\n"));
    expectWholeFile(file, 1, 1);
}

TEST(CliMonitor, NoLoggerAndBadArguments) {
    auto quiet = logger(860);
    quiet->setSilent(true);
    const CliRun silent = cli({"monitor", "--port", quiet->devicePath(), "--seconds", "2"});
    EXPECT_EQ(silent.status, 3);
    EXPECT_TRUE(silent.err.contains("no logger answers on")) << silent.err.toStdString();
    EXPECT_TRUE(silent.out.isEmpty());
    EXPECT_EQ(cli({"monitor", "--port", "/dev/tq880-missing"}).status, 3);
    // Stopped while it still looks for the logger: ended as asked.
    QProcess stopped;
    stopped.start(QCoreApplication::applicationDirPath() + QStringLiteral("/tq880-cli"),
                  {"monitor", "--port", quiet->devicePath()});
    ASSERT_TRUE(stopped.waitForStarted(10000));
    QThread::msleep(300);
    ::kill(pid_t(stopped.processId()), SIGTERM);
    ASSERT_TRUE(stopped.waitForFinished(10000));
    EXPECT_EQ(stopped.exitCode(), 0) << stopped.readAllStandardError().toStdString();
    EXPECT_EQ(cli({"monitor"}).status, 2);
    EXPECT_EQ(cli({"monitor", "--port", quiet->devicePath(), "--seconds", "0"}).status, 2);
    EXPECT_EQ(cli({"monitor", "--port", quiet->devicePath(), "--low", "5", "--high", "4"}).status, 2);

    // A file of something else is refused before anything is read.
    QTemporaryDir dir;
    const QString other = dir.filePath(QStringLiteral("other.csv"));
    QFile f(other);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("time,temperature_F\r\n");
    f.close();
    auto sim = logger(860);
    const CliRun refused = cli({"monitor", "--port", sim->devicePath(), "-o", other, "--seconds", "2"});
    EXPECT_EQ(refused.status, 3);
    EXPECT_TRUE(refused.err.contains("holds readings of another kind")) << refused.err.toStdString();
}
