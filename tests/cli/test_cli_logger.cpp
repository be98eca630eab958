// The logger commands of tq880-cli, run as processes against a simulated
// logger on a pseudo-terminal.

#include "CliRun.h"
#include "LoggerSim.h"
#include "MemoryImages.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <csignal>

#include <gtest/gtest.h>

#include <memory>

using tq::sim::LoggerSim;
using tq::testing::memoryEndingAt;

namespace {

const QByteArray kDownload("\xEF\x44\xFE", 3);

std::unique_ptr<LoggerSim> logger(int model) {
    auto sim = std::make_unique<LoggerSim>(model);
    QString error;
    EXPECT_TRUE(sim->start(&error)) << error.toStdString();
    return sim;
}

QStringList withPort(QStringList args, const LoggerSim& sim) {
    return args << QStringLiteral("--port") << sim.devicePath();
}

} // namespace

TEST(CliLogger, PortsNameTheModelFoundOnEach) {
    auto a = logger(860);
    auto b = logger(862);
    auto quiet = logger(860);
    quiet->setSilent(true);
    const CliRun r = cli({"ports", "--no-system-ports", "--port", b->devicePath(), "--port",
                          "/dev/tq880-missing", "--port", quiet->devicePath(), "--port", a->devicePath()});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(lines(r.out), QStringList({b->devicePath() + "\t-\t862", "/dev/tq880-missing\t-\t-",
                                         quiet->devicePath() + "\t-\t-", a->devicePath() + "\t-\t860"}));
}

TEST(CliLogger, DownloadWritesTheFileOnlyWhenCompleteAndDecoded) {
    QTemporaryDir dir;
    const QString file = dir.filePath("run.880");
    auto sim = logger(862);
    sim->setDataSets(LoggerSim::demoDataSets(2, 120));
    const QByteArray memory = sim->memoryImage();

    const CliRun ok = cli(withPort({"download", "-o", file}, *sim));
    ASSERT_EQ(ok.status, 0) << ok.err.toStdString();
    EXPECT_EQ(fileBytes(file), memory);
    // The data sets as list prints them from the file (the 00 fill of a
    // model 862's directory ends the list there too).
    const CliRun listed = cli({"list", file});
    EXPECT_EQ(lines(ok.out).size(), 2);
    EXPECT_EQ(lines(ok.out), lines(listed.out));
    EXPECT_TRUE(
        ok.err.contains(QStringLiteral("received %1 of %1 bytes (100 %)").arg(memory.size()).toUtf8()))
        << ok.err.toStdString();

    // A read error (the 21st refusal) leaves the file as it was ...
    sim->setBadChecksumBlock(2, LoggerSim::kAlways);
    const CliRun broken = cli(withPort({"download", "-o", file}, *sim));
    EXPECT_EQ(broken.status, 6);
    EXPECT_TRUE(broken.err.contains("read error: 128 bytes arrived, before the whole memory directory"))
        << broken.err.toStdString();
    EXPECT_EQ(fileBytes(file), memory);
    // ... unless what arrived is asked for.
    const QString partial = dir.filePath("partial.880");
    EXPECT_EQ(cli(withPort({"download", "-o", partial, "--keep-partial"}, *sim)).status, 6);
    EXPECT_EQ(fileBytes(partial), memory.left(128));
    // After the directory the total is known.
    sim->setBadChecksumBlock(5, LoggerSim::kAlways);
    const CliRun later = cli(withPort({"download", "-o", partial}, *sim));
    EXPECT_EQ(later.status, 6);
    EXPECT_TRUE(
        later.err.contains(QStringLiteral("read error: 320 of %1 bytes arrived").arg(memory.size()).toUtf8()))
        << later.err.toStdString();
    sim->setBadChecksumBlock(-1);

    // A data error: nothing written, or the memory as it came on request.
    const QByteArray faulty = memoryEndingAt(0x00, {1000, 5000, 1200}, 1216);
    sim->setMemoryImage(faulty);
    const QString damaged = dir.filePath("damaged.880");
    const CliRun dataError = cli(withPort({"download", "-o", damaged}, *sim));
    EXPECT_EQ(dataError.status, 5);
    EXPECT_TRUE(dataError.err.contains("data set 2 of 3")) << dataError.err.toStdString();
    EXPECT_FALSE(QFile::exists(damaged));
    EXPECT_EQ(cli(withPort({"download", "-o", damaged, "--keep-partial"}, *sim)).status, 5);
    EXPECT_EQ(fileBytes(damaged), faulty);

    // An empty memory: no data, no file.
    sim->clearMemory();
    const QString empty = dir.filePath("empty.880");
    const CliRun none = cli(withPort({"download", "-o", empty}, *sim));
    EXPECT_EQ(none.status, 4);
    EXPECT_TRUE(none.err.contains("There is not any recorded data in memory!"));
    EXPECT_FALSE(QFile::exists(empty));
}

TEST(CliLogger, WhatKeepPartialKeepsIsUsable) {
    QTemporaryDir dir;
    const QString kept = dir.filePath("kept.880");
    for (const int model : {860, 862}) {
        SCOPED_TRACE(model);
        // 500 samples a data set: the transfer breaks off inside data set 1,
        // after 704 bytes (a directory and 224 samples).
        auto sim = logger(model);
        sim->setDataSets(LoggerSim::demoDataSets(3, 500));
        sim->setSilentAfterBlock(10);
        const CliRun broken = cli(withPort({"download", "-o", kept, "--keep-partial"}, *sim));
        ASSERT_EQ(broken.status, 6) << broken.err.toStdString();
        EXPECT_TRUE(broken.err.contains("list --intact shows the first 224 sample(s) of it"))
            << broken.err.toStdString();
        EXPECT_EQ(fileBytes(kept), sim->memoryImage().left(704));

        const CliRun plain = cli({"list", kept});
        EXPECT_EQ(plain.status, 5);
        EXPECT_TRUE(plain.err.contains("--intact uses the first 224 sample(s) of it"))
            << plain.err.toStdString();
        const CliRun intact = cli({"list", kept, "--intact"});
        ASSERT_EQ(intact.status, 0) << intact.err.toStdString();
        ASSERT_EQ(lines(intact.out).size(), 1);
        EXPECT_EQ(lines(intact.out)[0].section('\t', 4, 4), QStringLiteral("224"));
        const CliRun exported = cli({"export", kept, "--intact", "--set", "1", "--format", "iso-csv"});
        ASSERT_EQ(exported.status, 0) << exported.err.toStdString();
        EXPECT_EQ(lines(exported.out).size(), 225);

        // Broken off in data set 2: data set 1 whole, and the start of data set 2.
        sim->setSilentAfterBlock(25);
        ASSERT_EQ(cli(withPort({"download", "-o", kept, "--keep-partial"}, *sim)).status, 6);
        const CliRun two = cli({"list", kept, "--intact"});
        ASSERT_EQ(two.status, 0) << two.err.toStdString();
        ASSERT_EQ(lines(two.out).size(), 2);
        EXPECT_EQ(lines(two.out)[0].section('\t', 4, 4), QStringLiteral("500"));
        EXPECT_TRUE(two.err.contains("using the 1 data set(s) before it and the first"))
            << two.err.toStdString();
    }
}

TEST(CliLogger, DownloadRefusalsComeBeforeTheTransfer) {
    QTemporaryDir dir;
    const QString file = dir.filePath("run.880");
    auto sim = logger(860);
    sim->setDataSets(LoggerSim::demoDataSets(1, 50));

    sim->setRecording(true);
    const CliRun recording = cli(withPort({"download", "-o", file}, *sim));
    EXPECT_EQ(recording.status, 7);
    EXPECT_TRUE(recording.err.contains("recording"));
    EXPECT_FALSE(sim->receivedCommands().contains(kDownload));
    sim->setRecording(false);

    // A folder that cannot take the file is found out before the logger is asked.
    sim->clearLog();
    const CliRun nowhere = cli(withPort({"download", "-o", dir.filePath("missing/run.880")}, *sim));
    EXPECT_EQ(nowhere.status, 3);
    EXPECT_TRUE(nowhere.err.contains("missing/run.880")) << nowhere.err.toStdString();
    EXPECT_TRUE(sim->receivedCommands().isEmpty());

    sim->setSilent(true);
    const CliRun silent = cli(withPort({"download", "-o", file}, *sim));
    EXPECT_EQ(silent.status, 3);
    EXPECT_TRUE(silent.err.contains("no logger answers on " + sim->devicePath().toUtf8()));
    const CliRun missing = cli({"download", "--port", "/dev/tq880-missing", "-o", file});
    EXPECT_EQ(missing.status, 3);
    EXPECT_TRUE(missing.err.contains("cannot open /dev/tq880-missing")) << missing.err.toStdString();
    EXPECT_FALSE(QFile::exists(file));

    EXPECT_EQ(cli({"download", "-o", file}).status, 2);
    EXPECT_EQ(cli(withPort({"download"}, *sim)).status, 2);
    EXPECT_EQ(cli({"download", "--port", "a", "--port", "b", "-o", file}).status, 2);
}

TEST(CliLogger, InfoPrintsTheLoggersStateAndItsDataSets) {
    auto sim = logger(862);
    sim->setDataSets(LoggerSim::demoDataSets(2, 40));
    sim->setClockOffsetSeconds(90);
    sim->setIntervalSeconds(300);
    sim->setFirmwareText("V2.00.017");
    tq::sim::LiveState state = sim->liveState();
    state.status = tq::sim::status::kFahrenheit;
    sim->setLiveState(state);
    const CliRun r = cli(withPort({"info"}, *sim));
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QStringList out = lines(r.out);
    ASSERT_EQ(out.size(), 10) << r.out.toStdString();
    EXPECT_EQ(out[0], "model: 862");
    EXPECT_EQ(out[1], "firmware: V2.00.017");
    EXPECT_TRUE(out[2].startsWith("logger clock: 20"));
    // The PC's time is taken just before the logger is asked.
    const QRegularExpressionMatch difference =
        QRegularExpression("^clock difference: \\+(\\d+) s \\(logger minus PC\\)$").match(out[3]);
    ASSERT_TRUE(difference.hasMatch()) << out[3].toStdString();
    EXPECT_GE(difference.captured(1).toInt(), 88);
    EXPECT_LE(difference.captured(1).toInt(), 93);
    EXPECT_EQ(out[4], "interval: 05:00");
    EXPECT_EQ(out[5], "unit: F");
    EXPECT_EQ(out[6], "recording: no");
    EXPECT_EQ(out[7], "data sets: 2");
    // The lines list prints, counted as a download decodes them.
    EXPECT_TRUE(out[8].startsWith("1\t")) << out[8].toStdString();
    EXPECT_TRUE(out[8].endsWith("\t40\tC")) << out[8].toStdString();
}

TEST(CliLogger, SettingsAreChangedAndReadBack) {
    auto sim = logger(860);
    sim->setDataSets(LoggerSim::demoDataSets(2, 40));
    sim->setClockOffsetSeconds(-3600);
    const CliRun clock = cli(withPort({"set-clock"}, *sim));
    ASSERT_EQ(clock.status, 0) << clock.err.toStdString();
    EXPECT_LE(qAbs(sim->clockOffsetSeconds()), 3);

    EXPECT_EQ(cli(withPort({"set-unit", "F"}, *sim)).status, 0);
    EXPECT_TRUE(sim->unitFahrenheit());
    EXPECT_EQ(cli(withPort({"set-unit", "c"}, *sim)).status, 0);
    EXPECT_FALSE(sim->unitFahrenheit());

    const CliRun interval = cli(withPort({"set-interval", "05:00"}, *sim));
    ASSERT_EQ(interval.status, 0) << interval.err.toStdString();
    EXPECT_EQ(lines(interval.out), QStringList({"interval: 05:00"}));
    EXPECT_EQ(sim->intervalSeconds(), 300);

    // Bad values are refused before the port is opened.
    sim->clearLog();
    EXPECT_EQ(cli(withPort({"set-unit", "K"}, *sim)).status, 2);
    EXPECT_EQ(cli(withPort({"set-unit"}, *sim)).status, 2);
    const CliRun odd = cli(withPort({"set-interval", "00:03"}, *sim));
    EXPECT_EQ(odd.status, 2);
    EXPECT_TRUE(odd.err.contains("00:01, 00:02, 00:05")) << odd.err.toStdString();
    EXPECT_EQ(cli(withPort({"set-interval", "five"}, *sim)).status, 2);
    // Erase only with --yes.
    const CliRun asked = cli(withPort({"erase"}, *sim));
    EXPECT_EQ(asked.status, 2);
    EXPECT_TRUE(asked.err.contains("--yes"));
    EXPECT_TRUE(sim->receivedCommands().isEmpty());

    // A recording logger is left alone.
    sim->setRecording(true);
    EXPECT_EQ(cli(withPort({"set-interval", "00:01"}, *sim)).status, 7);
    EXPECT_EQ(cli(withPort({"erase", "--yes"}, *sim)).status, 7);
    EXPECT_EQ(sim->intervalSeconds(), 300);
    sim->setRecording(false); // stores a third data set

    sim->setEraseRefused(true);
    const CliRun refused = cli(withPort({"erase", "--yes"}, *sim));
    EXPECT_EQ(refused.status, 3);
    EXPECT_TRUE(refused.err.contains("did not confirm"));
    EXPECT_NE(sim->memoryImage().left(256), QByteArray(256, char(0xFF)));
    sim->setEraseRefused(false);
    EXPECT_EQ(cli(withPort({"erase", "--yes"}, *sim)).status, 0);
    EXPECT_EQ(sim->memoryImage().mid(16, 16), QByteArray(16, char(0xFF)));

    sim->setSilent(true);
    EXPECT_EQ(cli(withPort({"set-clock"}, *sim)).status, 3);
}

TEST(CliLogger, CtrlCOrSigtermEndsADownloadWithItsOwnStatusAndWritesOnlyWhatIsAskedFor) {
    auto sim = logger(860);
    sim->setPacing(true); // at the real line rate
    QTemporaryDir dir;
    // At the start (the request just out), in the middle and at the end
    // (every byte in, the closing silence running).
    struct Case {
        int signal;
        qint64 memory;
        int accepted; // blocks accepted before the signal; -1: all of them
    };
    const QByteArray accept("\xEF\x79\xFE", 3);
    for (const Case& c :
         {Case{SIGTERM, 64 * 1024, 0}, Case{SIGINT, 64 * 1024, 20}, Case{SIGTERM, 2 * 1024, -1}}) {
        const int signal = c.signal;
        const bool keep = signal == SIGINT;
        sim->setDataSets(LoggerSim::dataSetsFilling(c.memory));
        const int blocks = int(sim->memoryImage().size() / 64);
        sim->clearLog();
        const QString file = dir.filePath(QStringLiteral("%1.880").arg(c.accepted));
        QStringList args = withPort({"download", "-o", file, "--no-archive"}, *sim);
        if (keep) args << QStringLiteral("--keep-partial");
        QProcess p;
        p.setReadChannel(QProcess::StandardError);
        p.start(QCoreApplication::applicationDirPath() + QStringLiteral("/tq880-cli"), args);
        QByteArray err;
        const auto due = [&] {
            const auto sent = sim->receivedCommands();
            if (!sent.contains(kDownload)) return false;
            return sent.count(accept) >= (c.accepted < 0 ? blocks : c.accepted);
        };
        QElapsedTimer waited;
        waited.start();
        while (!due() && waited.elapsed() < 60000) {
            p.waitForReadyRead(5);
            err += p.readAllStandardError();
        }
        ASSERT_TRUE(due()) << err.toStdString();
        ::kill(pid_t(p.processId()), signal);
        ASSERT_TRUE(p.waitForFinished(5000)) << "the download did not end";
        err += p.readAllStandardError();
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), 8) << err.toStdString();
        EXPECT_TRUE(err.contains("interrupted: ")) << err.toStdString();
        EXPECT_EQ(QFile::exists(file), keep);
        if (keep) EXPECT_GE(QFileInfo(file).size(), 20 * 64);
    }
}
