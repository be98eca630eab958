// monitor: the live reading, a line a second, for a small computer left by
// a cold room; appended to a file that stays complete whatever ends it.

#include "Cli.h"
#include "CliSupport.h"
#include "IsoCsvFile.h"
#include "LimitWatch.h"
#include "LinkView.h"
#include "LiveLink.h"
#include "LiveRecorder.h"
#include "LiveValues.h"
#include "LoggerPort.h"
#include "RunStatistics.h"

#include <QTimer>

#include <cmath>

namespace tq::cli {

namespace {

// What a timer holds: 24 days.
constexpr int kMostSeconds = 24 * 24 * 3600;

// The live link shows nothing here: there is no window and one port.
class QuietLinkView : public LinkView {
  public:
    explicit QuietLinkView(QString port) : m_port(std::move(port)) {}
    void showStatus(const QString&, const QString&) override {}
    void setDownloadEnabled(bool) override {}
    void setDataLoggerMenuEnabled(bool) override {}
    void setRs232Mark(bool) override {}
    void refreshLcd(const LcdState&) override {}
    void showSearchProgress(const QString&) override {}
    int portCount() const override { return 1; }
    QString portText(int) const override { return m_port; }
    void selectPort(int) override {}
    void removePort(int) override {}

  private:
    QString m_port;
};

QString valueText(float v, const QString& unit) {
    return isReading(v) ? QString::number(double(v), 'f', 1) + QLatin1Char(' ') + unit : QStringLiteral("OL");
}

QString timeNow(TDateTime& t) {
    const QDateTime now = QDateTime::currentDateTime();
    t = toDays(now);
    return isocsv::timeText(t, now.offsetFromUtc());
}

QString duration(double seconds) {
    const qint64 s = qint64(std::llround(seconds));
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600, 2, 10, QLatin1Char('0'))
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

void printSummary(const LimitWatch& watch, qint64 readings, bool limited, const QString& unit, Io& io) {
    io.err << readings << " reading(s)";
    if (!limited) {
        io.err << "; no limits given" << Qt::endl;
        return;
    }
    const auto& all = watch.excursions();
    io.err << "; " << all.size() << " excursion(s) beyond the limits, " << duration(watch.secondsOutside())
           << " outside" << Qt::endl;
    for (const Excursion& e : all) {
        const int offset = isocsv::offsetAt(e.start);
        io.err << "  " << (e.high ? "HIGH" : "LOW") << " from " << isocsv::timeText(e.start, offset) << " to "
               << (e.end != 0.0 ? isocsv::timeText(e.end, isocsv::offsetAt(e.end))
                                : QStringLiteral("the end"))
               << ", extreme " << valueText(e.extreme, unit) << " at "
               << isocsv::timeText(e.extremeAt, isocsv::offsetAt(e.extremeAt)) << Qt::endl;
    }
}

} // namespace

int runMonitor(const QStringList& args, Io& io) {
    QCommandLineParser p;
    const QCommandLineOption port(QStringLiteral("port"), QStringLiteral("The logger's serial port."),
                                  QStringLiteral("PATH"));
    const QCommandLineOption output(QStringLiteral("o"), QStringLiteral("Append each reading to this CSV."),
                                    QStringLiteral("FILE.csv"));
    const QCommandLineOption seconds(QStringLiteral("seconds"), QStringLiteral("End after N seconds."),
                                     QStringLiteral("N"));
    const QCommandLineOption low(QStringLiteral("low"), QStringLiteral("Low temperature limit."),
                                 QStringLiteral("L"));
    const QCommandLineOption high(QStringLiteral("high"), QStringLiteral("High temperature limit."),
                                  QStringLiteral("H"));
    p.addOptions({port, output, seconds, low, high});
    if (!parse(p, args, io, 0)) return BadArguments;
    const QStringList ports = p.values(port);
    if (ports.size() != 1 || ports.first().isEmpty()) {
        io.err << "--port PATH names the logger's serial port (once)" << Qt::endl;
        return BadArguments;
    }
    int runFor = 0;
    if (p.isSet(seconds)) {
        bool ok = false;
        runFor = p.value(seconds).toInt(&ok);
        if (!ok || runFor <= 0 || runFor > kMostSeconds) {
            io.err << "--seconds takes a whole number of seconds from 1 to " << kMostSeconds << Qt::endl;
            return BadArguments;
        }
    }
    std::optional<double> lowLimit, highLimit;
    if (!numberOf(p, low, lowLimit, io) || !numberOf(p, high, highLimit, io)) return BadArguments;
    if (lowLimit && highLimit && *lowLimit > *highLimit) {
        io.err << "--low must not be above --high" << Qt::endl;
        return BadArguments;
    }

    LoggerPort logger(ports.first(), io);
    const bool found = logger.identify() && logger.readLiveFrame();
    // Stopped before the first reading: ended as asked all the same.
    if (LoggerPort::takeInterrupt()) {
        printSummary(LimitWatch(), 0, false, QString(), io);
        return Ok;
    }
    if (!found) return CannotRead;
    const LoggerModel loggerKind = logger.model();
    const int model = loggerKind.code;
    const bool fahrenheit = logger.fahrenheit();
    const QString unit = fahrenheit ? QStringLiteral("F") : QStringLiteral("C");

    LiveRecorder recorder;
    if (p.isSet(output) && !recorder.open(p.value(output), model, fahrenheit)) {
        io.err << recorder.error() << Qt::endl;
        return CannotRead;
    }
    LimitWatch watch;
    watch.setLimits(0, {lowLimit ? std::optional<float>(float(*lowLimit)) : std::nullopt,
                        highLimit ? std::optional<float>(float(*highLimit)) : std::nullopt});

    QuietLinkView view(ports.first());
    LiveLink live(&logger.session(), &view);
    LoggerLink& link = live.link();
    link.setModel(loggerKind);
    link.connected = true;
    link.unitCelsius = !fahrenheit;
    qint64 readings = 0;
    // After a failed write nothing more is written: the loop is ending.
    bool failed = false;
    const auto fail = [&] {
        io.err << recorder.error() << Qt::endl;
        recorder.close();
        failed = true;
        QCoreApplication::exit(CannotRead);
    };
    QObject::connect(&live, &LiveLink::reading, [&] {
        if (failed) return;
        const LiveReading& r = live.lastReading();
        TDateTime t = 0.0;
        const QString time = timeNow(t);
        const LiveSample s = liveSample(t, model, r.primary, r.secondary, !link.unitCelsius);
        ++readings;
        watch.add(0, t, s.temperature);
        const QString shown = s.fahrenheit ? QStringLiteral("F") : QStringLiteral("C");
        QString line = time + QLatin1Char(' ') + valueText(s.temperature, shown);
        if (model == 862)
            line += QLatin1Char(' ') + valueText(s.humidity, QStringLiteral("%RH")) +
                    QStringLiteral(" dew point ") + valueText(s.dewPoint, shown);
        if (isReading(s.temperature) && belowLimit(s.temperature, lowLimit)) line += QStringLiteral(" LOW");
        if (isReading(s.temperature) && aboveLimit(s.temperature, highLimit)) line += QStringLiteral(" HIGH");
        io.out << line << Qt::endl;
        if (recorder.isOpen() && !recorder.append(s)) fail();
    });
    QObject::connect(&live, &LiveLink::linkLost, [&] {
        if (failed) return;
        TDateTime t = 0.0;
        io.err << timeNow(t) << " the logger stopped answering; waiting for it" << Qt::endl;
        if (recorder.isOpen() && !recorder.appendGap(t)) fail();
    });
    if (runFor > 0) QTimer::singleShot(std::chrono::seconds(runFor), [] { QCoreApplication::exit(0); });
    live.startLink();
    const int status = LoggerPort::watch();
    logger.session().shutdown();
    recorder.close();
    printSummary(watch, readings, lowLimit || highLimit, unit, io);
    return status;
}

} // namespace tq::cli
