#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QTimer>
#include <QWidget>

#include "app/QtUiServices.h"

namespace kiv {
namespace {

TEST(QtUiServices, OnceInteractionHasStoppedNothingWaitsForAPerson) {
    bool boxOpened = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            boxOpened = true;
            box->close();
        }
    });
    watch.start(20);
    QtUiServices ui;
    ui.StopInteracting();
    DialogSettings dialog;
    testing::internal::CaptureStderr();
    ui.ShowMessage("Can't Create Key");
    ui.ShowError("Failed to set data for 'radyono'.");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "app_tests: Can't Create Key\napp_tests: Failed to set data for 'radyono'.\n");
    EXPECT_FALSE(ui.Question("Replace?", "Confirm"));
    EXPECT_EQ(ui.PasswordBox("Caption", "Enter the Password:", ""), std::nullopt);
    EXPECT_TRUE(ui.OpenDialog(dialog).isEmpty());
    EXPECT_EQ(ui.SaveDialog(dialog), std::nullopt);
    EXPECT_FALSE(boxOpened);
}

TEST(QtUiServices, TheSaveDialogAsksBeforeReplacingOnlyWhenTold) {
    for (const bool confirm : {false, true}) {
        QFileDialog dialog;
        DialogSettings settings;
        settings.confirmOverwrite = confirm;
        QtUiServices::PrepareSaveDialog(dialog, settings);
        EXPECT_EQ(dialog.testOption(QFileDialog::DontConfirmOverwrite), !confirm);
        EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
    }
}

}  // namespace
}  // namespace kiv
