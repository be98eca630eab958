// Download speed and CPU: the simulated logger runs as its own process
// (tq880-sim beside this program, paced at the real line rate), so the CPU
// figure is that of the downloading side alone.
//
//   bench_download [bytes ...]     (default: 65536 1048576)

#include "DeviceSession.h"
#include "DownloadJob.h"
#include "Progress.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <cstdio>
#include <sys/resource.h>

using namespace tq;

namespace {

// 64 payload bytes per 67-byte block and 3-byte accept, 10 bits a byte.
constexpr double kWireLimit = 19200.0 / 10.0 * 64.0 / 70.0;

double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Marks the start of the transfer and the moment the last byte arrived, so
// the closing 3 s of silence stay out of the figures.
class Stopwatch : public Progress {
  public:
    QElapsedTimer clock;
    qint64 maximum = 0, startMs = -1, endMs = -1;
    double startCpu = 0, endCpu = 0;
    qint64 lastPrinted = 0;

    void setMaximum(qint64 m) override { maximum = m; }
    void setValue(qint64 v) override {
        if (startMs < 0) {
            clock.start();
            startMs = 0;
            startCpu = cpuSeconds();
        }
        if (maximum > 0 && v >= maximum && endMs < 0) {
            endMs = clock.elapsed();
            endCpu = cpuSeconds();
        }
        if (v - lastPrinted >= 64 * 1024) {
            std::fprintf(stderr, "\r  %lld / %lld bytes", qlonglong(v), qlonglong(maximum));
            lastPrinted = v;
        }
    }
    bool cancelled() const override { return false; }
};

bool runOne(qint64 bytes) {
    QProcess sim;
    sim.start(QCoreApplication::applicationDirPath() + QStringLiteral("/tq880-sim"),
              {QStringLiteral("--model"), QStringLiteral("860"), QStringLiteral("--memory-bytes"),
               QString::number(bytes), QStringLiteral("--paced")});
    if (!sim.waitForStarted(10000) || !sim.waitForReadyRead(10000)) {
        std::fprintf(stderr, "cannot start tq880-sim\n");
        return false;
    }
    const QString device = QString::fromLocal8Bit(sim.readLine()).trimmed();

    DeviceSession device_;
    device_.setDevice(device);
    Stopwatch watch;
    struct {
        DownloadResult result = DownloadResult::ReadError;
        qint64 received = 0, total = 0;
        int retries = 0;
    } session;
    auto job = std::make_unique<DownloadJob>(kModel860);
    job->onProgress = [&watch](qint64 received, qint64 total) {
        if (total > 0) watch.setMaximum(total);
        watch.setValue(received);
    };
    // The transfer runs under the event loop, as in the program.
    device_.queue(std::move(job), [&](DeviceJob& done) {
        auto& d = static_cast<DownloadJob&>(done);
        session.result = d.result();
        session.received = d.received();
        session.total = d.total();
        session.retries = d.retries();
        QCoreApplication::exit(0);
    });
    QCoreApplication::exec();
    const DownloadResult result = session.result;
    std::fprintf(stderr, "\r");
    sim.terminate();
    sim.waitForFinished(5000);

    if (result != DownloadResult::Ok || watch.endMs <= 0) {
        std::printf("%8lld bytes: download failed (%lld received, %d retries)\n", qlonglong(bytes),
                    qlonglong(session.received), session.retries);
        return false;
    }
    const double seconds = double(watch.endMs) / 1000.0;
    const double rate = double(session.total) / seconds;
    const double cpu = (watch.endCpu - watch.startCpu) / seconds * 100.0;
    std::printf("%8lld bytes in %7.2f s: %6.1f bytes/s = %5.1f %% of the %.0f bytes/s limit; "
                "CPU %.2f %% of a core; %d retries\n",
                qlonglong(session.total), seconds, rate, rate / kWireLimit * 100.0, kWireLimit, cpu,
                session.retries);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QList<qint64> sizes;
    for (int i = 1; i < argc; ++i)
        sizes << QByteArray(argv[i]).toLongLong();
    if (sizes.isEmpty()) sizes = {64 * 1024, 1024 * 1024};
    bool ok = true;
    for (qint64 size : sizes)
        ok = runOne(size) && ok;
    return ok ? 0 : 1;
}
