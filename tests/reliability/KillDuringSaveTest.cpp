// A save killed (SIGKILL) at any moment loses nothing: the target is then
// either the previous file, whole, or the complete new one; and once the
// writer has said it is done, it is the new one.

#include "Deadline.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <thread>

namespace {

constexpr int kKillsPerKind = 8;

QByteArray contentOf(const QString& name) {
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeContent(const QString& name, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(name).absolutePath());
    QFile f(name);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// One run of the child up to its "S", then to its end or a kill.
class SaveRun {
  public:
    SaveRun(const QString& kind, int version, const QString& home, const QString& target) {
        m_process.setProgram(QStringLiteral(TQ880_SAVE_CHILD));
        m_process.setArguments({kind, QString::number(version), home, target});
        m_process.start();
    }
    ~SaveRun() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(kEventDeadlineMs);
        }
    }
    // True once the child is about to save.
    bool waitForStart() { return waitFor("S"); }
    // Waits for the child's end; true when it ended well.
    bool finish() {
        m_process.waitForFinished(kEventDeadlineMs);
        m_out += m_process.readAllStandardOutput();
        return m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
    }
    void kill() {
        m_process.kill();
        m_process.waitForFinished(kEventDeadlineMs);
        m_out += m_process.readAllStandardOutput();
    }
    bool saidDone() const { return m_out.contains("D\n"); }
    QString errors() { return QString::fromLocal8Bit(m_process.readAllStandardError()); }

  private:
    bool waitFor(const char* word) {
        QElapsedTimer t;
        t.start();
        while (!m_out.contains(QByteArray(word) + '\n') && t.elapsed() < kEventDeadlineMs) {
            if (m_process.state() == QProcess::NotRunning) break;
            m_process.waitForReadyRead(100);
            m_out += m_process.readAllStandardOutput();
        }
        m_out += m_process.readAllStandardOutput();
        return m_out.contains(QByteArray(word) + '\n');
    }

    QProcess m_process;
    QByteArray m_out;
};

class KillDuringSave : public ::testing::Test {
  protected:
    // Where the save of kind lands for a child given home (and target).
    static QString landing(const QString& kind, const QString& home, const QString& target) {
        if (kind == QLatin1String("working-copy"))
            return home + QStringLiteral("/data/temp/DataSetsTemp.tmp");
        if (kind == QLatin1String("settings")) return home + QStringLiteral("/ini/TQ880.ini");
        return target;
    }
    QString workingCopy(const QString& home) const {
        return landing(QStringLiteral("working-copy"), home, {});
    }

    // The complete file of each version, and how long its save took.
    QByteArray reference(const QString& kind, int version, qint64& saveMs) {
        const QString home = dir.filePath(QStringLiteral("ref-%1-%2").arg(kind).arg(version));
        const QString target = home + QStringLiteral("/target");
        if (kind == QLatin1String("collection")) {
            EXPECT_TRUE(writeContent(workingCopy(home), workingCopies[version]));
        }
        SaveRun run(kind, version, home, target);
        EXPECT_TRUE(run.waitForStart()) << run.errors().toStdString();
        QElapsedTimer t;
        t.start();
        EXPECT_TRUE(run.finish()) << run.errors().toStdString();
        saveMs = t.elapsed();
        return contentOf(landing(kind, home, target));
    }

    void killAtRandom(const QString& kind) {
        if (kind == QLatin1String("collection")) {
            // The collection is a copy of the working copy: one of each version.
            for (int v = 1; v <= 2; ++v) {
                qint64 ms = 0;
                workingCopies[v] = reference(QStringLiteral("working-copy"), v, ms);
            }
        }
        qint64 msA = 0, msB = 0;
        const QByteArray ref[3] = {{}, reference(kind, 1, msA), reference(kind, 2, msB)};
        ASSERT_FALSE(ref[1].isEmpty());
        ASSERT_FALSE(ref[2].isEmpty());
        ASSERT_TRUE(ref[1] != ref[2]);

        const QString home = dir.filePath(QStringLiteral("kill-%1").arg(kind));
        const QString target = home + QStringLiteral("/target");
        const QString file = landing(kind, home, target);
        ASSERT_TRUE(writeContent(file, ref[1]));
        int current = 1;
        // Kill points from before the save starts to after it ends.
        const qint64 spanUs = qMax<qint64>(2000, (msA + msB) * 750);
        std::uniform_int_distribution<qint64> delay(0, spanUs);
        int previous = 0, completed = 0;
        for (int k = 0; k < kKillsPerKind; ++k) {
            const int next = 3 - current;
            if (kind == QLatin1String("collection")) {
                ASSERT_TRUE(writeContent(workingCopy(home), workingCopies[next]));
            }
            SaveRun run(kind, next, home, target);
            ASSERT_TRUE(run.waitForStart()) << run.errors().toStdString();
            const qint64 us = delay(random);
            std::this_thread::sleep_for(std::chrono::microseconds(us));
            run.kill();
            const QByteArray now = contentOf(file);
            SCOPED_TRACE(testing::Message()
                         << kind.toStdString() << " kill " << k << " after " << us << " us");
            if (run.saidDone()) {
                EXPECT_TRUE(now == ref[next]) << "a save that said it was done is not there";
            }
            if (now == ref[next]) {
                ++completed;
                current = next;
            } else {
                ++previous;
                EXPECT_TRUE(now == ref[current])
                    << "neither the previous file nor the new one: " << now.size() << " bytes";
            }
        }
        std::printf("%s: %d kills, previous file kept %d times, new file complete %d times (a save takes "
                    "~%lld ms)\n",
                    qPrintable(kind), kKillsPerKind, previous, completed, (long long)((msA + msB) / 2));
    }

    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    QTemporaryDir dir;
    QByteArray workingCopies[3];
    std::mt19937 random{std::random_device{}()};
};

} // namespace

TEST_F(KillDuringSave, WorkingCopy) {
    killAtRandom(QStringLiteral("working-copy"));
}

TEST_F(KillDuringSave, CollectionFile) {
    killAtRandom(QStringLiteral("collection"));
}

TEST_F(KillDuringSave, GraphFile) {
    killAtRandom(QStringLiteral("graph"));
}

TEST_F(KillDuringSave, TextFile) {
    killAtRandom(QStringLiteral("text"));
}

TEST_F(KillDuringSave, SettingsFile) {
    killAtRandom(QStringLiteral("settings"));
}
