#include "AppPaths.h"
#include "CommandGuard.h"
#include "DateTime.h"
#include "MessageBoxes.h"
#include "Messages.h"
#include "PumpingWait.h"
#include "Regional.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace tq;

TEST(DateTime, DayCountsRoundTrip) {
    EXPECT_DOUBLE_EQ(toDays(QDateTime(QDate(1899, 12, 30), QTime(0, 0))), 0.0);
    EXPECT_DOUBLE_EQ(toDays(QDateTime(QDate(1900, 1, 1), QTime(12, 0))), 2.5);
    const QDateTime t(QDate(2024, 3, 29), QTime(7, 13, 15));
    EXPECT_DOUBLE_EQ(toDays(t), 45380.0 + (7 * 3600 + 13 * 60 + 15) / 86400.0);
    EXPECT_EQ(fromDays(toDays(t)), t);
    // 499 intervals of 2 s later, to the second.
    EXPECT_EQ(fromDays(toDays(t) + 998 * kOneSecond).time(), QTime(7, 29, 53));
    // Wall-clock days carry no zone: a DST change day still has 24 equal hours.
    const QDateTime dstDay(QDate(2024, 3, 31), QTime(23, 59, 59));
    EXPECT_EQ(fromDays(toDays(dstDay)), dstDay);
    // Rounding just below midnight goes to the next day, not to 24:00.
    EXPECT_EQ(fromDays(45380.9999999999), QDateTime(QDate(2024, 3, 30), QTime(0, 0)));
    EXPECT_FALSE(fromDays(std::nan("")).isValid());
    EXPECT_FALSE(fromDays(1e300).isValid());

    TDateTime out = -1;
    EXPECT_FALSE(encodeDateTime(2024, 13, 1, 0, 0, 0, out));
    EXPECT_FALSE(encodeDateTime(2023, 2, 29, 0, 0, 0, out));
    EXPECT_FALSE(encodeDateTime(2024, 2, 29, 24, 0, 0, out));
    EXPECT_TRUE(encodeDateTime(2024, 2, 29, 23, 59, 59, out));
    EXPECT_EQ(fromDays(out), QDateTime(QDate(2024, 2, 29), QTime(23, 59, 59)));
}

TEST(Regional, FormatsFollowTheLocale) {
    EXPECT_EQ(minutesSecondsText(2), QStringLiteral("00:02"));
    EXPECT_EQ(minutesSecondsText(90), QStringLiteral("01:30"));
    EXPECT_EQ(minutesSecondsText(3600), QStringLiteral("60:00"));
    EXPECT_EQ(minutesSecondsText(8400), QStringLiteral("40:00"));
    EXPECT_EQ(valueText(23.456, 1), QStringLiteral("23.5"));
    EXPECT_EQ(valueText(23.4567, 3), QStringLiteral("23.457"));
    EXPECT_EQ(valueText(12345.0, 1), QStringLiteral("12345.0")); // no grouping
    const TDateTime t = toDays(QDateTime(QDate(2024, 3, 29), QTime(7, 13, 15)));
    EXPECT_EQ(dateText(t), QStringLiteral("3/29/24"));
    EXPECT_FALSE(longTimeFormat().contains(QLatin1Char('t')));
    EXPECT_TRUE(timeText(t).startsWith(QStringLiteral("7:13:15")));

    const QLocale old;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(valueText(23.456, 1), QStringLiteral("23,5"));
    EXPECT_EQ(dateText(t), QStringLiteral("29.03.24"));
    EXPECT_EQ(timeText(t), QStringLiteral("07:13:15"));
    EXPECT_EQ(dateTimeText(t), QStringLiteral("29.03.24 07:13:15"));
    QLocale::setDefault(old);
}

TEST(Waits, PumpingWaitRunsEvents) {
    bool fired = false;
    QTimer::singleShot(20, [&] { fired = true; });
    QElapsedTimer clock;
    clock.start();
    pumpingWait(100);
    EXPECT_TRUE(fired);
    EXPECT_GE(clock.elapsed(), 95);

    // A flag that only an event can clear.
    bool busy = true;
    QTimer::singleShot(10, [&] { busy = false; });
    EXPECT_TRUE(pumpingWaitWhile([&] { return busy; }, 1000));
    EXPECT_FALSE(busy);
}

TEST(Waits, QuittingCutsEveryWaitShortAndNoneSpins) {
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(pumpingWait(30)); // a normal wait runs its full time

    // The program is told to end in the middle of a long wait ...
    QTimer::singleShot(20, [] { QCoreApplication::exit(0); });
    clock.restart();
    EXPECT_FALSE(pumpingWait(60000));
    EXPECT_LT(clock.elapsed(), 30000);
    // ... and later waits return at once instead of pausing or looping,
    // even one on a flag that never clears.
    clock.restart();
    EXPECT_FALSE(pumpingWait(60000));
    EXPECT_FALSE(pumpingWaitWhile([] { return true; }));
    EXPECT_LT(clock.elapsed(), 30000);

    // Running the main loop once clears the request, as a new start would.
    QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
    EXPECT_TRUE(pumpingWait(10));
}

TEST(CommandGuard, SilentAbortSaysNothingOtherErrorsAreShown) {
    QStringList shown;
    Messages::setHandler([&](Messages::Kind kind, const QString&, const QString& text) {
        EXPECT_EQ(kind, Messages::Kind::Error);
        shown << text;
        return Messages::Ok;
    });
    EXPECT_TRUE(guarded([] {}));
    EXPECT_FALSE(guarded([] { throw SilentAbort(); }));
    EXPECT_TRUE(shown.isEmpty());
    EXPECT_FALSE(guarded([] { throw UserError(QStringLiteral("Cannot create x/ directory.")); }));
    EXPECT_FALSE(guarded([] { throw std::runtime_error("boom"); }));
    // An outcome is shown the same way; a cancel has no words.
    EXPECT_TRUE(reported(Outcome::success()));
    EXPECT_FALSE(reported(Outcome::fail(Outcome::Code::Cancelled, {})));
    EXPECT_FALSE(reported(Outcome::fail(Outcome::Code::CannotWrite, QStringLiteral("Cannot write y: full"))));
    Messages::setHandler({});
    EXPECT_EQ(shown, QStringList({QStringLiteral("Cannot create x/ directory."), QStringLiteral("boom"),
                                  QStringLiteral("Cannot write y: full")}));

    const Result<int> none = Outcome::fail(Outcome::Code::NotFound, QStringLiteral("no run 7"));
    EXPECT_FALSE(none.ok());
    EXPECT_EQ(none.outcome().code, Outcome::Code::NotFound);
    const Result<int> seven = 7;
    ASSERT_TRUE(seven.ok());
    EXPECT_EQ(*seven, 7);
    EXPECT_TRUE(seven.outcome().ok());
}

TEST(Messages, AQuestionOpensAboveTheModalDialogThatAskedAndEraseDefaultsToNo) {
    // The program names its main window as the boxes' parent.
    QWidget main;
    ui::setBoxParent(&main);
    QDialog setup;
    setup.setWindowFlag(Qt::WindowStaysOnTopHint);
    setup.setWindowModality(Qt::ApplicationModal);
    setup.show();
    ASSERT_EQ(QApplication::activeModalWidget(), &setup);

    const auto risky = ui::buildBox(Messages::Kind::QuestionDefaultNo, "Logger Setup", "Erase?");
    EXPECT_EQ(risky->parentWidget(), &setup);
    EXPECT_TRUE(risky->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(static_cast<QAbstractButton*>(risky->defaultButton()), risky->button(QMessageBox::No));
    EXPECT_EQ(risky->escapeButton(), risky->button(QMessageBox::No));

    const auto plain = ui::buildBox(Messages::Kind::QuestionWithCancel, QString(), "Save?");
    EXPECT_EQ(static_cast<QAbstractButton*>(plain->defaultButton()), plain->button(QMessageBox::Yes));
    EXPECT_NE(plain->button(QMessageBox::Cancel), nullptr);
    setup.hide();
    EXPECT_EQ(ui::buildBox(Messages::Kind::Information, QString(), "Done")->parentWidget(), &main);
    ui::setBoxParent(nullptr);
}

TEST(AppPaths, HomeIsCreatedWithItsParents) {
    QTemporaryDir scratch;
    const QString home = scratch.filePath(QStringLiteral("not/there/yet"));
    EXPECT_TRUE(AppPaths::setHome(home));
    EXPECT_TRUE(QFileInfo(home).isDir());
    EXPECT_EQ(AppPaths::programFolder(), home + QLatin1Char('/'));
    // Its own folders are made one level at a time, which now works.
    EXPECT_TRUE(QDir().mkdir(AppPaths::templateFolder()));
    EXPECT_TRUE(QDir().mkdir(AppPaths::settingsFolder()));

    // A home that cannot be made (a file is in the way) is refused and the
    // home stays as it was.
    QFile blocker(scratch.filePath(QStringLiteral("file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_FALSE(AppPaths::setHome(scratch.filePath(QStringLiteral("file/home"))));
    EXPECT_EQ(AppPaths::programFolder(), home + QLatin1Char('/'));
    EXPECT_TRUE(AppPaths::setHome(QString()));
    EXPECT_NE(AppPaths::programFolder(), home + QLatin1Char('/'));
}
