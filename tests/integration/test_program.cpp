// The whole program, run as main() runs it, against simulated loggers: it
// must end when its window is closed or left, at any moment, and sit idle
// while it waits.

#include "AppPaths.h"
#include "CommandLine.h"
#include "LiveLink.h"
#include "LoggerSim.h"
#include "Messages.h"
#include "Program.h"
#include "TfrmAbout.h"
#include "TfrmMain.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <mutex>
#include <thread>

using namespace tq;

namespace {

const QByteArray kLiveRequest("\xEF\x41\xFE", 3);
const QByteArray kWake(1, '\0');

double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

template <class T> T* topLevel() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* found = qobject_cast<T*>(w)) return found;
    return nullptr;
}

bool anyWindowVisible() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible()) return true;
    return false;
}

std::unique_ptr<sim::LoggerSim> startSim(int model, bool silent) {
    auto s = std::make_unique<sim::LoggerSim>(model);
    QString error;
    EXPECT_TRUE(s->start(&error)) << error.toStdString();
    s->setSilent(silent);
    return s;
}

// Ends the test program when the program under test does not return: a
// hang must fail the test, not stall the suite.
class Watchdog {
  public:
    explicit Watchdog(int seconds) {
        m_thread = std::thread([this, seconds] {
            std::unique_lock lock(m_mutex);
            if (!m_done.wait_for(lock, std::chrono::seconds(seconds), [this] { return m_finished; })) {
                std::fprintf(stderr, "The program did not end within %d s\n", seconds);
                std::_Exit(1);
            }
        });
    }
    ~Watchdog() {
        {
            std::lock_guard lock(m_mutex);
            m_finished = true;
        }
        m_done.notify_all();
        m_thread.join();
    }

  private:
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_finished = false;
    std::thread m_thread;
};

// Plays the user: each step is tried every few milliseconds (also inside
// the program's own pumping waits) until it reports done, then the next.
class Script : public QObject {
  public:
    using Step = std::function<bool()>;
    explicit Script(std::vector<Step> steps) : m_steps(std::move(steps)) {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            while (m_next < m_steps.size() && m_steps[m_next]())
                ++m_next;
            if (m_next == m_steps.size()) m_timer.stop();
        });
        m_timer.start(5);
    }
    std::size_t stepsDone() const { return m_next; }

  private:
    std::vector<Step> m_steps;
    std::size_t m_next = 0;
    QTimer m_timer;
};

struct ProgramRig {
    QTemporaryDir scratch;
    QString home = scratch.filePath(QStringLiteral("a/new/home")); // missing, with its parents
    QStringList messages;
    CommandLine cmd;

    explicit ProgramRig(const QStringList& ports) {
        cmd.extraPorts = ports;
        cmd.noSystemPorts = true;
        cmd.home = home;
        Messages::setHandler([this](Messages::Kind, const QString&, const QString& text) {
            messages << text;
            return Messages::Ok;
        });
    }
    ~ProgramRig() {
        Messages::setHandler({});
        AppPaths::setHome(QString());
    }
    int run() {
        Watchdog watchdog(120);
        return runProgram(cmd);
    }
    QByteArray settings() const {
        QFile f(home + QStringLiteral("/ini/TQ880.ini"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(none)");
    }
};

bool searching(const QString& device) {
    auto* splash = topLevel<TfrmAbout>();
    auto* label = splash ? splash->findChild<QLabel*>(QStringLiteral("Label4")) : nullptr;
    return label && label->text() == QStringLiteral("Search Logger On ") + device;
}

} // namespace

TEST(Program, PortPickedWhileThePollWaitsIsTakenAtOnceAndExitEndsTheProgram) {
    // No logger anywhere: every tick sends the wake byte and waits 200 ms.
    auto a = startSim(860, true);
    auto b = startSim(860, true);
    ProgramRig rig({a->devicePath(), b->devicePath()});
    TfrmMain* main = nullptr;
    QElapsedTimer clock;
    double idleCpu = -1;
    qint64 exitAt = 0;
    double cpuStart = 0;
    qint64 idleStart = 0;
    Script user({
        [&] { // start-up is over
            main = topLevel<TfrmMain>();
            return main && !topLevel<TfrmAbout>() && main->liveLink()->ticking();
        },
        [&] { // a tick waits after its wake byte: pick the other port now
            const auto sent = a->receivedCommands();
            if (sent.isEmpty() || sent.last() != kWake) return false;
            b->clearLog(); // its search command
            auto* box = main->findChild<QComboBox*>(QStringLiteral("ComboBoxDeviceName"));
            box->setCurrentIndex(1);
            emit box->activated(1);
            return true;
        },
        [&] { // the new port is polled
            if (b->liveRequests() == 0) return false;
            clock.start();
            cpuStart = cpuSeconds();
            idleStart = clock.elapsed();
            return true;
        },
        [&] { // two seconds of waiting for a logger
            if (clock.elapsed() - idleStart < 2000) return false;
            idleCpu = (cpuSeconds() - cpuStart) / (double(clock.elapsed() - idleStart) / 1000.0);
            exitAt = clock.elapsed();
            main->findChild<QAction*>(QStringLiteral("Exit1"))->trigger();
            return true;
        },
    });
    EXPECT_EQ(rig.run(), 0);
    const qint64 endingMs = clock.elapsed() - exitAt;

    ASSERT_EQ(user.stepsDone(), 4u);
    EXPECT_LT(endingMs, 10000);
    EXPECT_FALSE(anyWindowVisible());
    // The old port got nothing after the pick; the new one is polled with
    // the wake byte and the request.
    const auto onA = a->receivedCommands();
    ASSERT_FALSE(onA.isEmpty());
    EXPECT_EQ(onA.last(), kWake);
    const auto onB = b->receivedCommands();
    EXPECT_TRUE(onB.contains(kWake));
    EXPECT_TRUE(onB.contains(kLiveRequest));
    // Waiting for a logger costs next to nothing.
    EXPECT_LT(idleCpu, 0.2);
    RecordProperty("idle_cpu_share", QString::number(idleCpu, 'f', 3).toStdString());
    EXPECT_EQ(rig.settings(), QByteArray("(none)")); // File > Exit writes no settings
    EXPECT_TRUE(rig.messages.isEmpty()) << rig.messages.join(QLatin1Char('\n')).toStdString();
    // No display name of its own: the window system would add it to every
    // caption ("LCD - Kelvaria TQ880").
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
}

TEST(Program, CloseBoxDuringTheSearchEndsTheProgramAndWritesTheSettings) {
    auto quiet = startSim(860, true);
    auto logger = startSim(862, false);
    ProgramRig rig({quiet->devicePath(), logger->devicePath()});
    QElapsedTimer clock;
    qint64 closedAt = 0;
    Script user({[&] {
        if (!searching(quiet->devicePath())) return false;
        clock.start();
        EXPECT_TRUE(topLevel<TfrmMain>()->close());
        closedAt = clock.elapsed();
        return true;
    }});
    EXPECT_EQ(rig.run(), 0);
    const qint64 endingMs = clock.elapsed() - closedAt;

    ASSERT_EQ(user.stepsDone(), 1u);
    EXPECT_LT(endingMs, 10000);
    EXPECT_FALSE(anyWindowVisible());
    // The search stopped: the logger on the next port was never asked, and
    // no link was started.
    EXPECT_TRUE(logger->receivedCommands().isEmpty());
    EXPECT_EQ(quiet->liveRequests(), 0);
    EXPECT_EQ(rig.settings(), QByteArray("[COM PORT]\n0\n"));
    EXPECT_TRUE(rig.messages.isEmpty()) << rig.messages.join(QLatin1Char('\n')).toStdString();
}

TEST(Program, ExitDuringTheSearchEndsTheProgramWithoutWritingTheSettings) {
    auto quiet = startSim(860, true);
    auto logger = startSim(862, false);
    ProgramRig rig({quiet->devicePath(), logger->devicePath()});
    QElapsedTimer clock;
    Script user({[&] {
        if (!searching(quiet->devicePath())) return false;
        clock.start();
        topLevel<TfrmMain>()->findChild<QAction*>(QStringLiteral("Exit1"))->trigger();
        return true;
    }});
    EXPECT_EQ(rig.run(), 0);
    const qint64 endingMs = clock.elapsed();

    ASSERT_EQ(user.stepsDone(), 1u);
    EXPECT_LT(endingMs, 10000);
    EXPECT_FALSE(anyWindowVisible());
    EXPECT_TRUE(logger->receivedCommands().isEmpty());
    EXPECT_EQ(quiet->liveRequests(), 0);
    EXPECT_EQ(rig.settings(), QByteArray("(none)"));
}
