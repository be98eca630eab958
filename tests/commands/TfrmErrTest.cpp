#include "TfrmErr.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

using namespace tq;

namespace {
QPushButton* button(TfrmErr& d, const char* name) {
    return d.findChild<QPushButton*>(QLatin1String(name));
}
} // namespace

TEST(TfrmErr, TextsAndButtonsPerResult) {
    TfrmErr dialog;
    EXPECT_EQ(dialog.windowTitle(), "Error Message");
    ASSERT_TRUE(button(dialog, "btnTryAgain") && button(dialog, "btnFixed") && button(dialog, "btnCancel"));
    EXPECT_EQ(button(dialog, "btnTryAgain")->text(), "Try Again");
    EXPECT_EQ(button(dialog, "btnFixed")->text(), "Fixed the error ");
    EXPECT_EQ(button(dialog, "btnCancel")->text(), "Cancel");

    dialog.showResult(DownloadResult::DataError);
    dialog.show();
    EXPECT_EQ(dialog.findChild<QLabel*>("lblError")->text(),
              "Data error ! Choose Try Again to reload or Fix Error to delete the error data set.");
    EXPECT_TRUE(button(dialog, "btnFixed")->isVisible());

    dialog.showResult(DownloadResult::ReadError);
    EXPECT_EQ(dialog.findChild<QLabel*>("lblError")->text(), "There was error when reading data from meter");
    EXPECT_FALSE(button(dialog, "btnFixed")->isVisible());
    EXPECT_TRUE(button(dialog, "btnTryAgain")->isVisible());
    dialog.hide();
}

TEST(TfrmErr, EachButtonEndsTheRunWithItsModalResult) {
    const std::pair<const char*, int> cases[] = {
        {"btnTryAgain", TfrmErr::mrRetry}, {"btnFixed", TfrmErr::mrOk}, {"btnCancel", TfrmErr::mrCancel}};
    for (const auto& [name, expected] : cases) {
        TfrmErr dialog;
        dialog.showResult(DownloadResult::DataError);
        QTimer::singleShot(0, &dialog, [&dialog, name = name] { button(dialog, name)->click(); });
        EXPECT_EQ(dialog.exec(), expected) << name;
    }
    // The close box (and Escape) are Cancel.
    TfrmErr dialog;
    dialog.showResult(DownloadResult::ReadError);
    QTimer::singleShot(0, &dialog, [&dialog] { dialog.close(); });
    EXPECT_EQ(dialog.exec(), TfrmErr::mrCancel);
}
