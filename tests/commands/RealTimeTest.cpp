#include "Chart.h"
#include "CommandGuard.h"
#include "CommandsFixture.h"
#include "Deadline.h"
#include "DeviceSession.h"
#include "DownloadCommand.h"
#include "FakeLinkView.h"
#include "LiveLink.h"
#include "LiveValues.h"
#include "LoggerSim.h"
#include "PumpingWait.h"
#include "RealTimeCommand.h"
#include "TfrmRealTime.h"

#include <QCheckBox>
#include <QComboBox>
#include <QScrollBar>
#include <QTableWidget>

using namespace tq;
using tq::sim::LiveState;
using tq::sim::LoggerSim;

// The Real Time Graph of a main window whose live link polls a simulated logger.
class RealTimeTest : public CommandsFixture {
  protected:
    std::unique_ptr<LoggerSim> sim;
    std::unique_ptr<DeviceSession> session;
    FakeLinkView view;
    std::unique_ptr<LiveLink> live;
    std::unique_ptr<SaveCommand> save;
    TfrmRealTime* window = nullptr;

    void startLogger(int model, LiveState state) {
        sim = std::make_unique<LoggerSim>(model);
        sim->setLiveState(state);
        QString error;
        ASSERT_TRUE(sim->start(&error)) << error.toStdString();
        session = std::make_unique<DeviceSession>();
        session->setDevice(sim->devicePath());
        live = std::make_unique<LiveLink>(session.get(), &view);
        live->link().setModel(loggerModel(model));
        live->link().connected = true;
        save = std::make_unique<SaveCommand>(context);
        window = realtime::open(context, *live, *save);
        ASSERT_NE(window, nullptr);
        live->startLink();
    }
    void TearDown() override {
        // Closing with readings in no file asks; this test throws them away.
        replies.push_back(Messages::Yes);
        area.closeAllSubWindows();
        live.reset();
        session.reset();
        CommandsFixture::TearDown();
    }
    bool waitReadings(qint64 n, int deadlineMs = 8000) {
        return pumpingWaitWhile([&] { return window->trend().readings() < n; }, deadlineMs);
    }
    int gaps() const {
        int n = 0;
        for (int i = 0; i < window->trend().size(); ++i)
            n += window->trend().isGap(i) ? 1 : 0;
        return n;
    }
};

TEST_F(RealTimeTest, GrowsByAPointAReadingWithHumidityAndDewPointForThe862) {
    for (const int model : {860, 862}) {
        SCOPED_TRACE(model);
        startLogger(model, LiveState{200, 500, 4, 2, sim::status::kCelsius});
        ASSERT_TRUE(waitReadings(3));
        EXPECT_EQ(window->windowTitle(), QStringLiteral("Real Time Graph"));
        EXPECT_EQ(realtime::open(context, *live, *save), window) << "a second window was opened";
        const LiveTrend& trend = window->trend();
        EXPECT_EQ(window->chart()->points(), trend.size());
        EXPECT_EQ(trend.y(0)[0], 20.0f);
        EXPECT_EQ(window->showsHumidity(), model == 862);
        EXPECT_EQ(window->chart()->subsets(), model == 862 ? 3 : 1);
        EXPECT_EQ(window->chart()->axisCount(), model == 862 ? 2 : 1);
        EXPECT_EQ(window->chkDewPoint->isHidden(), model != 862);
        if (model == 862) {
            EXPECT_EQ(trend.y(1)[0], 50.0f);
            EXPECT_NEAR(trend.y(2)[0], 9.3f, 0.05f);
            // The dew point can be switched off, and its readings stay.
            window->chkDewPoint->click();
            EXPECT_EQ(window->chart()->subsets(), 2);
            window->chkDewPoint->click();
            EXPECT_EQ(window->chart()->subsets(), 3);
        }
        // Readings are a second apart, one point each: no gap while polling.
        for (int i = 1; i < trend.size(); ++i)
            EXPECT_NEAR((trend.x()[i] - trend.x()[i - 1]) * 86400.0, 1.0, 0.4);
        EXPECT_EQ(gaps(), 0);
        EXPECT_TRUE(window->statisticsText(0, 1).startsWith(QStringLiteral("20.0@")));
        EXPECT_EQ(window->statisticsText(2, 1), QStringLiteral("20.000"));
        EXPECT_TRUE(window->statusText().contains(QStringLiteral("readings since")));
        replies.push_back(Messages::Yes);
        area.closeAllSubWindows();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(realtime::window(), nullptr);
        live.reset();
        session.reset();
        sim.reset();
    }
}

TEST_F(RealTimeTest, TheLineBreaksWhenTheLinkIsLostAndWhileADownloadHasTheDevice) {
    startLogger(862, LiveState{});
    ASSERT_TRUE(waitReadings(2));
    // Unplugged: the watchdog declares the link lost.
    sim->setSilent(true);
    ASSERT_TRUE(pumpingWaitWhile([&] { return live->link().connected; }, 8000));
    pumpingWait(50);
    EXPECT_EQ(gaps(), 1);
    EXPECT_TRUE(window->statusText().contains(QStringLiteral("Link lost")))
        << window->statusText().toStdString();
    sim->setSilent(false);
    const qint64 before = window->trend().readings();
    ASSERT_TRUE(waitReadings(before + 2, 10000));
    EXPECT_FALSE(window->statusText().contains(QStringLiteral("Link lost")));

    // A download in the middle: the device is lent, the line breaks again.
    sim->setDataSets(LoggerSim::demoDataSets(1, 50));
    DownloadCommand download(context, *live);
    guarded([&] { download.run(); });
    pumpingWaitWhile([&] { return download.running(); }, 60000);
    const qint64 after = window->trend().readings();
    ASSERT_TRUE(waitReadings(after + 2, 10000));
    EXPECT_EQ(gaps(), 2);
    // Every gap point lies between the readings around it, so no line is drawn across.
    const LiveTrend& trend = window->trend();
    for (int i = 1; i + 1 < trend.size(); ++i) {
        if (!trend.isGap(i)) continue;
        EXPECT_FALSE(trend.isGap(i + 1));
        EXPECT_LE(trend.x()[i - 1], trend.x()[i]);
        EXPECT_LE(trend.x()[i], trend.x()[i + 1]);
        EXPECT_EQ(trend.y(0)[i], kNullReading);
    }
    // The gaps take no part in the statistics between the cursors.
    window->setCursors(0, trend.size() - 1);
    EXPECT_FALSE(window->statisticsText(5, 1).startsWith(QStringLiteral("OL")));
    dataSetCollection().setDownloadUnsaved(false);
}

TEST_F(RealTimeTest, AReadingBeyondALimitTurnsTheStatusRedAndIsListedAsAnExcursion) {
    startLogger(860, LiveState{200, 0, 4, 2, sim::status::kCelsius});
    window->setLimits(0, 10.0f, 25.0f);
    ASSERT_TRUE(waitReadings(2));
    EXPECT_FALSE(window->statusAlarm());
    sim->setLiveState(LiveState{312, 0, 4, 2, sim::status::kCelsius});
    ASSERT_TRUE(pumpingWaitWhile([&] { return !window->statusAlarm(); }, 5000));
    EXPECT_TRUE(window->statusText().contains(QStringLiteral("OUTSIDE THE LIMITS since")));
    EXPECT_TRUE(window->lblLimitState->text().startsWith(QStringLiteral("Outside the limits since")));
    ASSERT_EQ(window->tblExcursions->rowCount(), 1);
    EXPECT_EQ(window->tblExcursions->item(0, 2)->text(), QStringLiteral("(open)"));
    sim->setLiveState(LiveState{200, 0, 4, 2, sim::status::kCelsius});
    ASSERT_TRUE(pumpingWaitWhile([&] { return window->statusAlarm(); }, 5000));
    ASSERT_EQ(window->limitWatch().excursions().size(), 1u);
    const Excursion& e = window->limitWatch().excursions()[0];
    EXPECT_TRUE(e.high);
    EXPECT_EQ(e.extreme, 31.2f);
    EXPECT_GT(e.end, e.start);
    EXPECT_GT(window->limitWatch().secondsOutside(), 0.5);
    EXPECT_TRUE(window->tblExcursions->item(0, 3)->text().startsWith(QStringLiteral("31.2@")));
    // A limit changed afterwards is applied to every reading so far.
    window->setLimits(0, std::nullopt, 40.0f);
    EXPECT_TRUE(window->limitWatch().excursions().empty());
    EXPECT_EQ(window->tblExcursions->rowCount(), 0);
}

namespace {
LiveSample sampleAt(TDateTime t, float temperature) {
    LiveSample s;
    s.time = t;
    s.temperature = temperature;
    return s;
}
} // namespace

TEST_F(CommandsFixture, RealTimeGraphFollowsUntilZoomedOrPannedAndAsksBeforeLosingReadings) {
    auto* window = new TfrmRealTime;
    window->resize(1000, 700);
    const TDateTime start = nowDays();
    // Hidden, the window draws nothing until it is shown.
    for (int i = 0; i < 7200; ++i)
        window->addSample(sampleAt(start + i / 86400.0, 20.0f + float(i % 100) / 10.0f), kModel860);
    window->show();
    Chart& c = *window->chart();
    // Following the whole trend: the newest reading is in view.
    EXPECT_TRUE(window->following());
    EXPECT_FALSE(c.manualX());
    // The last hour, then a pan back: the view holds while readings come.
    window->cboSpan->setCurrentIndex(2);
    EXPECT_NEAR(c.manualMaxX(), window->trend().lastTime(), 1e-9);
    EXPECT_TRUE(window->sbPan->isVisible());
    window->sbPan->setValue(0);
    EXPECT_FALSE(window->following());
    const double held = c.manualMaxX();
    window->addSample(sampleAt(start + 7200 / 86400.0, 21.0f), kModel860);
    EXPECT_EQ(c.manualMaxX(), held);
    // Follow brings the newest reading back.
    window->btnFollow->click();
    EXPECT_TRUE(window->following());
    EXPECT_NEAR(c.manualMaxX(), window->trend().lastTime(), 1e-9);

    // A unit change on the logger does not mix units in the trend.
    LiveSample f = sampleAt(start + 7201 / 86400.0, 68.0f);
    f.fahrenheit = true;
    window->addSample(f, kModel860);
    EXPECT_NEAR(window->trend().y(0)[window->trend().size() - 1], 20.0f, 1e-4);
    EXPECT_TRUE(window->statusText().contains(QStringLiteral("the trend stays in °C")));

    // The wall clock set back an hour (the clocks change): the trend's time
    // runs on a second later, and keeps that shift.
    const TDateTime last = window->trend().lastTime();
    window->addSample(sampleAt(last - 3600.0 / 86400.0, 22.0f), kModel860);
    window->addSample(sampleAt(last - 3599.0 / 86400.0, 22.0f), kModel860);
    const int n = window->trend().size();
    EXPECT_NEAR((window->trend().x()[n - 2] - last) * 86400.0, 1.0, 1e-3);
    EXPECT_NEAR((window->trend().x()[n - 1] - last) * 86400.0, 2.0, 1e-3);
    EXPECT_EQ(c.points(), n);

    // Readings in no file: closing asks, and No keeps the window.
    replies.push_back(Messages::No);
    EXPECT_FALSE(window->close());
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("7204 readings that are in no file")));
    // Saved: closing asks nothing.
    window->markSaved(window->saveMark());
    EXPECT_TRUE(window->close());
    EXPECT_EQ(messages.size(), 1);
    delete window;
}

TEST_F(CommandsFixture, RealTimeGraphRecordsEveryReadingAndEachGapToItsFile) {
    TfrmRealTime window;
    const QString file = home.filePath(QStringLiteral("live.csv"));
    window.setRecordFileChooser([file] { return file; });
    window.setLogger(kModel862, false);
    window.btnRecord->click();
    ASSERT_TRUE(window.recording()) << messages.join(QLatin1Char('\n')).toStdString();
    const TDateTime start = nowDays();
    LiveSample s;
    s.humidity = 50.0f;
    s.dewPoint = 9.3f;
    for (int i = 0; i < 3; ++i) {
        s.time = start + i / 86400.0;
        s.temperature = 20.0f + float(i);
        window.addSample(s, kModel862);
    }
    window.addGap(start + 3 / 86400.0, QStringLiteral("Link lost"));
    s.time = start + 10 / 86400.0;
    window.addSample(s, kModel862);
    // Every reading went to the file: closing asks nothing.
    EXPECT_TRUE(window.close());
    EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('\n')).toStdString();
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = f.readAll().split('\n');
    ASSERT_EQ(lines.size(), 7); // header, three readings, the gap, a reading, the end
    EXPECT_EQ(lines[0].trimmed(), QByteArray("time,temperature_C,humidity_%RH,dewpoint_C"));
    EXPECT_TRUE(lines[1].trimmed().endsWith(",20.0,50.0,9.3"));
    EXPECT_TRUE(lines[4].trimmed().endsWith(",,,")) << lines[4].toStdString();
    EXPECT_TRUE(lines[5].trimmed().endsWith(",22.0,50.0,9.3"));
}
