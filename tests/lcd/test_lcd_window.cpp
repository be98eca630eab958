#include "LcdTestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tq;
using namespace tq::test;

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(LcdWindow, IsAFixedAlwaysOnTopWindowThatFreesItself) {
    TfrmLCD window;
    EXPECT_EQ(window.windowTitle(), "LCD");
    EXPECT_TRUE(window.isWindow());
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(window.testAttribute(Qt::WA_DeleteOnClose));
    EXPECT_EQ(window.size(), QSize(276, 100));
    EXPECT_EQ(window.minimumSize(), QSize(276, 100));
    EXPECT_EQ(window.maximumSize(), QSize(276, 100));
}

TEST(LcdWindow, ImagesSitWhereTheLoggerHasThemAndStartHidden) {
    TfrmLCD window;
    window.show();
    ASSERT_EQ(kTaggedNames.size(), 21);
    for (int i = 0; i < kTaggedNames.size(); ++i) {
        auto* img = image(window, kTaggedNames[i]);
        ASSERT_NE(img, nullptr) << kTaggedNames[i].toStdString();
        EXPECT_EQ(img->tag(), i + 1) << kTaggedNames[i].toStdString();
        EXPECT_TRUE(img->isHidden()) << kTaggedNames[i].toStdString();
    }
    EXPECT_TRUE(image(window, "imgRS232")->isHidden());
    EXPECT_EQ(image(window, "imgRS232")->tag(), 0);

    // The memory bar climbs in steps of nine pixels from the bottom.
    EXPECT_EQ(image(window, "imgMCell0")->geometry(), QRect(28, 87, 16, 7));
    EXPECT_EQ(image(window, "imgMCell7")->geometry(), QRect(28, 24, 16, 7));
    EXPECT_EQ(image(window, "imgMPoint4")->geometry(), QRect(188, 81, 10, 13));
    EXPECT_EQ(image(window, "imgF")->geometry(), QRect(239, 43, 16, 16));
    EXPECT_EQ(image(window, "imgBATEmpty")->geometry(), QRect(202, 7, 55, 17));
    // The battery fills from the right: the first step is the rightmost.
    EXPECT_EQ(image(window, "imgBCell0")->geometry(), QRect(247, 11, 7, 9));
    EXPECT_EQ(image(window, "imgBCell4")->geometry(), QRect(211, 11, 7, 9));
    EXPECT_EQ(image(window, "imgRS232")->geometry(), QRect(61, 8, 55, 16));

    const int lefts[] = {74, 114, 155, 198};
    for (int j = 0; j < 4; ++j) {
        auto* cell = image(window, kCellNames[j]);
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(cell->geometry(), QRect(lefts[j], 32, 33, 62));
        EXPECT_EQ(cell->mapTo(&window, QPoint(0, 0)), QPoint(lefts[j], 32)) << "the panel fills the window";
    }
}

TEST(LcdWindow, OnlyImagesAreFoundAsImages) {
    TfrmLCD window;
    // The panel and any other widget on the window are no images.
    new QLabel(QStringLiteral("not an image"), &window);
    const QList<lcd::LcdImage*> images = window.findChildren<lcd::LcdImage*>();
    QStringList names;
    for (const lcd::LcdImage* img : images)
        names << img->objectName();
    names.sort();
    QStringList expected = kTaggedNames + kCellNames + QStringList{"imgRS232"};
    expected.sort();
    EXPECT_EQ(names.join(QLatin1Char(' ')).toStdString(), expected.join(QLatin1Char(' ')).toStdString());
}

TEST(LcdWindow, SegmentListFileNamesEverySlotInOrder) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("lcdtag.txt");
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("an earlier file that is longer than the new one will be, line after line\n"
                  "an earlier file that is longer than the new one will be, line after line\n"
                  "an earlier file that is longer than the new one will be, line after line\n"
                  "an earlier file that is longer than the new one will be, line after line\n"
                  "an earlier file that is longer than the new one will be, line after line\n"
                  "an earlier file that is longer than the new one will be, line after line\n");
    }
    TfrmLCD window;
    window.buildLists(path);
    const QByteArray expected = "0\timgMCell0\n1\timgMCell1\n2\timgMCell2\n3\timgMCell3\n4\timgMCell4\n"
                                "5\timgMCell5\n6\timgMCell6\n7\timgMCell7\n8\timgMEM\n9\timgT1Minus\n"
                                "10\timgINTV\n11\timgRec\n12\timgMPoint4\n13\timgC\n14\timgF\n"
                                "15\timgBATEmpty\n16\timgBCell4\n17\timgBCell3\n18\timgBCell2\n"
                                "19\timgBCell1\n20\timgBCell0\n";
    EXPECT_EQ(readAll(path), expected);
}

TEST(LcdWindow, UnwritableSegmentListFileIsSkippedAndTheWindowStillWorks) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // A folder that does not exist, and a path that is itself a folder.
    for (const QString& path : {dir.filePath("missing/folder/lcdtag.txt"), dir.path()}) {
        TfrmLCD window;
        window.buildLists(path);
        EXPECT_FALSE(QFile::exists(dir.filePath("missing")));
        EXPECT_TRUE(QFileInfo(dir.path()).isDir());
        window.refresh(workedState());
        EXPECT_EQ(shownIndicators(window).size(), 9);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
    }
}

TEST(LcdWindow, PlacedAtTheLowerLeftOfTheMainWindow) {
    QWidget main;
    main.setGeometry(100, 50, 800, 600);
    TfrmLCD window(&main);
    window.placeAtLowerLeft(&main);
    const QRect frame = main.frameGeometry();
    EXPECT_EQ(window.frameGeometry().left(), frame.left() + 5);
    EXPECT_EQ(window.frameGeometry().top(),
              frame.top() + frame.height() - window.frameGeometry().height() - 30);
}

TEST(LcdWindow, PlacedByItsOuterHeightOnceTheFrameIsKnown) {
    QWidget main;
    main.setGeometry(100, 50, 800, 600);
    main.show();
    TfrmLCD window(&main);
    window.placeAtLowerLeft(&main); // before the window has a frame
    window.show();
    QCoreApplication::processEvents();
    const QRect frame = main.frameGeometry();
    EXPECT_GT(window.frameGeometry().height(), window.height());
    EXPECT_EQ(window.frameGeometry().left(), frame.left() + 5);
    EXPECT_EQ(window.frameGeometry().bottom(), frame.bottom() - 30);
}

TEST(LcdWindow, RsMarkIsSwitchedOnlyByItsOwnCall) {
    TfrmLCD window;
    window.buildLists(QString());
    window.setRs232Visible(true);
    EXPECT_EQ(shownIndicators(window), QStringList{"imgRS232"});
    // No mask bit reaches it.
    window.refresh(LcdState{0xFFFFFFFFu, {}});
    window.refresh(LcdState{0u, {}});
    EXPECT_EQ(shownIndicators(window), QStringList{"imgRS232"});
    window.setRs232Visible(false);
    EXPECT_TRUE(shownIndicators(window).isEmpty());
}
