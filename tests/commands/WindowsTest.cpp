#include "CommandsFixture.h"
#include "FileFilters.h"
#include "TextRange.h"

#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QTest>

using namespace tq;

TEST(TextRange, Rules) {
    TextRange r;
    ASSERT_TRUE(textRange(true, QString(), QString(), 100, r));
    EXPECT_EQ(r.first, 1);
    EXPECT_EQ(r.last, 100);
    ASSERT_TRUE(textRange(false, QStringLiteral("10"), QStringLiteral("5"), 100, r));
    EXPECT_EQ(r.first, 5);
    EXPECT_EQ(r.last, 10);
    ASSERT_TRUE(textRange(false, QStringLiteral("0"), QStringLiteral("3"), 100, r));
    EXPECT_EQ(r.first, 1);
    EXPECT_EQ(r.last, 3);
    ASSERT_TRUE(textRange(false, QStringLiteral("-5"), QStringLiteral("-2"), 100, r));
    EXPECT_EQ(r.first, 2);
    EXPECT_EQ(r.last, 5);
    ASSERT_TRUE(textRange(false, QStringLiteral("50"), QStringLiteral("500"), 100, r));
    EXPECT_EQ(r.last, 100);
    ASSERT_TRUE(textRange(false, QStringLiteral("200"), QStringLiteral("300"), 100, r));
    EXPECT_GT(r.first, r.last); // nothing to write
    EXPECT_FALSE(textRange(false, QStringLiteral("1.5"), QStringLiteral("3"), 100, r));
    EXPECT_FALSE(textRange(false, QStringLiteral("1"), QString(), 100, r));
    EXPECT_FALSE(textRange(false, QStringLiteral("99999999999"), QStringLiteral("1"), 100, r));
}

TEST(FileFilters, CsvOnlyWithAPointSeparator) {
    EXPECT_TRUE(filters::csvOffered());
    EXPECT_TRUE(filters::singleFile().endsWith(QStringLiteral("|*.CSV")));
    const QLocale old;
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    EXPECT_FALSE(filters::csvOffered());
    EXPECT_FALSE(filters::singleFile().contains(QStringLiteral("CSV")));
    QLocale::setDefault(old);
    EXPECT_EQ(FileDialogs::nameFilters(filters::collectionSave()),
              QStringList({"Data Set Collection file(*.880,only for TQ880) (*.880)"}));
}

TEST(Windows, ChoiceAndScopeWindowsAsDesigned) {
    TfrmOpenSave choice;
    EXPECT_EQ(choice.btnOpenSets->text(),
              QStringLiteral("Save all data sets to a data set collection file(*.880)"));
    EXPECT_EQ(choice.btnOpenSingleSet->text(), QStringLiteral("Save single selected  data set to a  file"));
    EXPECT_EQ(choice.Button1->text(), QStringLiteral("Cancel"));
    EXPECT_TRUE(choice.windowFlags() & Qt::WindowStaysOnTopHint);
    choice.reject(); // the close box
    EXPECT_EQ(choice.result(), TfrmOpenSave::Cancel);
    choice.btnOpenSingleSet->click();
    EXPECT_EQ(choice.result(), TfrmOpenSave::SingleSet);

    TfrmScope scope;
    EXPECT_EQ(scope.windowTitle(), QStringLiteral("Print Range"));
    for (QWidget* w : std::initializer_list<QWidget*>{scope.GroupBox1, scope.Progress1, scope.SText1,
                                                      scope.SText2, scope.lblBytesReceived,
                                                      scope.lblTotalBytes, scope.BitBtn1, scope.BitBtn2})
        EXPECT_TRUE(w->isHidden()) << w->objectName().toStdString();
    EXPECT_TRUE(scope.radAll->isChecked());
    EXPECT_EQ(scope.SText1->text(), QStringLiteral("bytes received"));
    EXPECT_EQ(scope.SText2->text(), QStringLiteral("total bytes"));
    scope.showRangeChoice(1234);
    EXPECT_EQ(scope.edtSelFrom->text(), QStringLiteral("1"));
    EXPECT_EQ(scope.edtSelTo->text(), QStringLiteral("1234"));
    EXPECT_FALSE(scope.GroupBox1->isHidden());
}

TEST(Windows, ProgressWindowCancelsOnlyByItsButtonAndShowsTheLatestValue) {
    TfrmScope p;
    p.Progress1->show();
    p.setMaximum(100);
    p.startProgress(TfrmScope::Display::Bar, true, 0);
    EXPECT_TRUE(p.isVisible());
    EXPECT_FALSE(p.cancelled());
    for (int i = 1; i <= 100; ++i)
        p.setValue(i);
    QTest::qWait(40);
    p.setValue(100);
    EXPECT_EQ(p.Progress1->value(), 100);
    // The close box only hides it; the job goes on.
    p.reject();
    EXPECT_FALSE(p.isVisible());
    EXPECT_FALSE(p.cancelled());
    p.show();
    p.BitBtn2->click();
    EXPECT_TRUE(p.cancelled());
    EXPECT_TRUE(p.isVisible());

    TfrmScope bytes;
    bytes.startProgress(TfrmScope::Display::Bytes, false, 0);
    bytes.setMaximum(1024);
    bytes.setValue(256);
    QTest::qWait(40);
    bytes.keepAlive();
    EXPECT_EQ(bytes.lblTotalBytes->text(), QStringLiteral("1024"));
    EXPECT_EQ(bytes.lblBytesReceived->text(), QStringLiteral("256"));
    EXPECT_FALSE(bytes.BitBtn2->isVisible());
}
