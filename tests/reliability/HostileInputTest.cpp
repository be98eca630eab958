// Hostile inputs given by hand, each with the outcome the user sees: a
// message naming the file and what is wrong with it, never a hang, a crash
// or an allocation the size of the file.

#include "Chart.h"
#include "CollectionFile.h"
#include "CommandGuard.h"
#include "CommandsFixture.h"
#include "Deadline.h"
#include "GraphFile.h"
#include "GraphTextFile.h"
#include "OpenCommand.h"
#include "Progress.h"
#include "Regional.h"
#include "ResidentMemory.h"
#include "SettingsFile.h"
#include "TComPort.h"
#include "TextFile.h"

#include <QFile>
#include <QProcess>
#include <QSaveFile>

#include <atomic>
#include <chrono>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace tq;
using tq::testing::residentBytes;

// Messages read as text when a check fails.
static void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
static void PrintTo(const QStringList& l, std::ostream* os) {
    *os << '{';
    for (const QString& s : l)
        *os << " \"" << s.toStdString() << '"';
    *os << " }";
}

namespace {

constexpr qint64 kMiB = 1024 * 1024;

// A file that notes the highest resident memory seen while it is read.
class WatchedFile : public QFile {
  public:
    using QFile::QFile;
    qint64 peak = 0;

  protected:
    qint64 readData(char* data, qint64 maxSize) override {
        peak = qMax(peak, residentBytes());
        return QFile::readData(data, maxSize);
    }
};

// Named pipes that a reader which opened one would block on: after the
// deadline the watchdog opens them for writing and closes them again, so
// the reader gets its end of file and the test its failure instead of a hang.
class PipeWatchdog {
  public:
    explicit PipeWatchdog(QStringList pipes) : m_pipes(std::move(pipes)), m_thread([this] { watch(); }) {}
    ~PipeWatchdog() {
        m_stop = true;
        m_thread.join();
    }
    bool hadToUnblock() const { return m_unblocked; }

  private:
    void watch() {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!m_stop) {
            if (std::chrono::steady_clock::now() > until) {
                // Opening for writing succeeds only while someone reads.
                for (const QString& p : m_pipes) {
                    const int fd = ::open(QFile::encodeName(p).constData(), O_WRONLY | O_NONBLOCK);
                    if (fd >= 0) {
                        m_unblocked = true;
                        ::close(fd);
                    }
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }

    QStringList m_pipes;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_unblocked{false};
    std::thread m_thread;
};

class HostileInput : public CommandsFixture {
  protected:
    QString makePipe(const char* name) {
        const QString p = path(QLatin1String(name));
        EXPECT_EQ(::mkfifo(QFile::encodeName(p).constData(), 0600), 0);
        return p;
    }
    QString makeFolder(const char* name) {
        const QString p = path(QLatin1String(name));
        EXPECT_TRUE(QDir().mkpath(p));
        return p;
    }
    static QString notAFile(const QString& name) {
        return QStringLiteral("Cannot open %1: it is not a file.").arg(QDir::toNativeSeparators(name));
    }
    static QString userError(const std::function<void()>& body) {
        try {
            body();
        } catch (const UserError& e) {
            return e.text();
        }
        return QString();
    }
    struct CliRun {
        int status = -1;
        QString err;
    };
    static CliRun cli(const QStringList& args) {
        QProcess p;
        p.start(QStringLiteral(TQ880_CLI), args);
        CliRun r;
        if (!p.waitForFinished(kEventDeadlineMs)) {
            p.kill();
            p.waitForFinished();
            return r;
        }
        r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.err = QString::fromLocal8Bit(p.readAllStandardError()).trimmed();
        return r;
    }
};

// Cancels nothing; runs an action at the first sign of life of the first pass.
class OnFirstPass : public NoProgress {
  public:
    explicit OnFirstPass(std::function<void()> action) : m_action(std::move(action)) {}
    void keepAlive() override {
        if (m_action) std::exchange(m_action, {})();
    }

  private:
    std::function<void()> m_action;
};

QByteArray textLines(int n, int firstSecond = 0) {
    QByteArray out;
    for (int i = 0; i < n; ++i) {
        const int s = firstSecond + i;
        out += QStringLiteral("03/29/24\t7:%1:%2 AM\t%3.5\r\n")
                   .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
                   .arg(s % 60, 2, 10, QLatin1Char('0'))
                   .arg(i % 40)
                   .toLatin1();
    }
    return out;
}

bool writeFile(const QString& name, const QByteArray& bytes) {
    QFile f(name);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// As an editor saves: a new file put in the old one's place, which a reader
// that has the old one open goes on reading.
bool replaceFile(const QString& name, const QByteArray& bytes) {
    QSaveFile f(name);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.commit();
}

} // namespace

TEST_F(HostileInput, SparseTwoGigabyteCollectionIsRefusedUnread) {
    const QString big = path(QStringLiteral("big.880"));
    {
        QFile f(big);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(2048 * kMiB)); // sparse: no disk space, no time
    }
    const QString expected =
        QStringLiteral(
            "%1 is not a data set collection file: at 2147483648 bytes it is larger than any logger "
            "memory (16777216 bytes).")
            .arg(QDir::toNativeSeparators(big));

    const qint64 before = residentBytes();
    const Result<QByteArray> read = collection::readCollectionFile(big);
    EXPECT_FALSE(read.ok());
    EXPECT_EQ(read.outcome().text, expected);

    // The open command says so and keeps what it showed and the working copy.
    ASSERT_TRUE(
        dataSetCollection().replaceContents({DataSet{45000.0, 2, 1, 0, 256, 257}}, {21.5f}, {45000.0}));
    OpenCommand(context).openCollectionFile(big);
    EXPECT_EQ(messages, QStringList{expected});
    EXPECT_EQ(dataSetCollection().count(), 1);
    EXPECT_FALSE(QFile::exists(collection::workingCopyPath()));
    EXPECT_LT(residentBytes() - before, 64 * kMiB) << "the file was read after all";

    const CliRun run = cli({QStringLiteral("list"), big});
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.err, expected);
}

TEST_F(HostileInput, TextFileOfOneHundredMegabyteLine) {
    // A data line whose value runs on for 100 MB, then an ordinary one.
    const QString name = path(QStringLiteral("long.txt"));
    {
        QFile f(name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("03/29/24\t7:13:15 AM\t");
        const QByteArray digits(kMiB, '7');
        for (int i = 0; i < 100; ++i)
            ASSERT_EQ(f.write(digits), kMiB);
        f.write("\r\n03/29/24\t7:13:17 AM\t23.5\r\n");
    }
    const RegionalFormats formats;
    NoProgress none;
    const qint64 before = residentBytes();
    WatchedFile first(name);
    ASSERT_TRUE(first.open(QIODevice::ReadOnly));
    const TextScan scan = scanTextLines(first, textfile::kTab, none, formats);
    EXPECT_EQ(scan.lines, 2);
    EXPECT_NEAR(scan.t2 - scan.t1, 2 * kOneSecond, 1e-9);

    struct Sink : PointSink {
        QList<double> x;
        QList<float> y;
        void setX(qint64, double v) override { x << v; }
        void setY(qint64, float v) override { y << v; }
    } sink;
    WatchedFile second(name);
    ASSERT_TRUE(second.open(QIODevice::ReadOnly));
    const TextRead read = readTextPoints(second, textfile::kTab, 4, sink, none, formats);
    EXPECT_EQ(read.points, 2);
    EXPECT_EQ(read.cutLines, 1);
    ASSERT_EQ(sink.y.size(), 2);
    EXPECT_EQ(sink.x.size(), 2);
    EXPECT_FLOAT_EQ(sink.y[0], textfile::kNullValue); // the digits that fit make no float
    EXPECT_FLOAT_EQ(sink.y[1], 23.5f);
    EXPECT_LT(qMax(first.peak, second.peak) - before, 16 * kMiB) << "the line was held in memory";

    // Opened as a file the user picked: the graph and a word about the cut line.
    TfrmGraph* window = OpenCommand(context).openSingleFile(name);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->chart()->points(), 2); // its two readings, nothing made up
    EXPECT_FLOAT_EQ(window->chart()->y(0, 1), 23.5f);
    EXPECT_EQ(messages,
              QStringList{QStringLiteral("%1 holds 1 line(s) longer than 179 characters; only their "
                                         "first 179 characters were read.")
                              .arg(QDir::toNativeSeparators(name))});
}

TEST_F(HostileInput, NamedPipesAndFoldersAreRefusedWithoutBlocking) {
    const QStringList pipes = {makePipe("pipe.880"), makePipe("pipe.ghf"), makePipe("pipe.txt"),
                               makePipe("pipe.ini")};
    const QStringList folders = {makeFolder("folder.880"), makeFolder("folder.ghf"),
                                 makeFolder("folder.txt")};
    PipeWatchdog watchdog(pipes);

    for (const QString& name : QStringList{pipes[0], folders[0]}) {
        const Result<QByteArray> read = collection::readCollectionFile(name);
        EXPECT_FALSE(read.ok());
        EXPECT_EQ(read.outcome().text, notAFile(name));
        const CliRun run = cli({QStringLiteral("list"), name});
        EXPECT_EQ(run.status, 3);
        EXPECT_EQ(run.err, notAFile(name));
    }
    for (const QString& name : QStringList{pipes[1], folders[1]}) {
        Chart chart;
        EXPECT_EQ(LoadGraphFile(chart, name).text, notAFile(name));
    }
    EXPECT_EQ(SettingsFile::readPortIndex(pipes[3]), 0);

    // As the user's choice: each named in a message, and no window left behind.
    OpenCommand open(context);
    for (const QString& name : QStringList{pipes[1], pipes[2], folders[1], folders[2]}) {
        messages.clear();
        EXPECT_EQ(open.openSingleFile(name), nullptr);
        EXPECT_EQ(messages, QStringList{notAFile(name)});
        EXPECT_TRUE(graphWindows().isEmpty());
    }
    // Named on the command line: the same message, and the next file still opens.
    messages.clear();
    const QString good = path(QStringLiteral("good.txt"));
    ASSERT_TRUE(writeFile(good, textLines(3)));
    open.openFiles({pipes[0], folders[2], good});
    EXPECT_EQ(messages, (QStringList{notAFile(pipes[0]), notAFile(folders[2])}));
    EXPECT_EQ(graphWindows().last()->windowTitle(), good);

    EXPECT_FALSE(watchdog.hadToUnblock()) << "a reader opened a named pipe and waited for a writer";
}

TEST_F(HostileInput, TextFileThatChangesBetweenTheTwoPasses) {
    const QString name = path(QStringLiteral("moving.txt"));
    const QString shown = QDir::toNativeSeparators(name);
    TfrmGraph window(kModel860);

    // Gone: the second pass names the file; the graph keeps its prepared points.
    ASSERT_TRUE(writeFile(name, textLines(3000)));
    OnFirstPass vanish([&] { QFile::remove(name); });
    EXPECT_EQ(ReadTextFile(window, name, textfile::kTab, vanish).outcome().text,
              QStringLiteral("Cannot open %1: the file does not exist.").arg(shown));
    EXPECT_EQ(window.chart()->points(), 3000);
    EXPECT_EQ(window.chart()->x(0, 0), 0.0);

    // Grown: no more points than the first pass counted.
    ASSERT_TRUE(writeFile(name, textLines(3000)));
    OnFirstPass grow([&] { replaceFile(name, textLines(9000, 100)); });
    TextFileOpen read = ReadTextFile(window, name, textfile::kTab, grow).value();
    EXPECT_EQ(read.points, 3000);
    EXPECT_EQ(window.chart()->points(), 3000);

    // Shrunk: what is there is read, and no unfilled point is left.
    ASSERT_TRUE(writeFile(name, textLines(3000)));
    OnFirstPass shrink([&] { replaceFile(name, textLines(10)); });
    read = ReadTextFile(window, name, textfile::kTab, shrink).value();
    EXPECT_EQ(read.points, 10);
    EXPECT_EQ(window.chart()->points(), 10);
    EXPECT_NE(window.chart()->x(0, 9), 0.0);

    // Replaced by a named pipe: refused, not waited on.
    ASSERT_TRUE(writeFile(name, textLines(3000)));
    PipeWatchdog watchdog({name});
    OnFirstPass pipe([&] {
        QFile::remove(name);
        ::mkfifo(QFile::encodeName(name).constData(), 0600);
    });
    EXPECT_EQ(ReadTextFile(window, name, textfile::kTab, pipe).outcome().text, notAFile(name));
    EXPECT_FALSE(watchdog.hadToUnblock());
}

TEST_F(HostileInput, DevicePathThatIsNotASerialPort) {
    const QString regular = path(QStringLiteral("ttyFAKE"));
    const QByteArray content("not a port\n");
    ASSERT_TRUE(writeFile(regular, content));
    const QStringList devices = {regular, makeFolder("ttyFOLDER"), makePipe("ttyPIPE"),
                                 QStringLiteral("/dev/null")};
    PipeWatchdog watchdog({devices[2]});
    for (const QString& device : devices) {
        SCOPED_TRACE(device.toStdString());
        TComPort port;
        port.setDeviceName(device);
        QString message;
        try {
            port.open();
            ADD_FAILURE() << "opened";
        } catch (const EComError& e) {
            message = e.message();
        }
        EXPECT_FALSE(port.active());
        EXPECT_FALSE(message.isEmpty());
        // With the main window's handler the same failure ends the command silently.
        port.setOnError(TComPort::abortSilently);
        EXPECT_THROW(port.open(), SilentAbort);
        EXPECT_FALSE(port.active());
        std::printf("%s: %s\n", qPrintable(device), qPrintable(message));
    }
    QFile f(regular);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), content);
    EXPECT_FALSE(watchdog.hadToUnblock());
}
