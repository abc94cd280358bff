#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include "app/window/QtUiServices.h"
#include "messages/MessageCatalogue.h"

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
    EXPECT_EQ(ui.Choose("Password is wrong", "Change Password", {"Stop", "Restore anyway"}, 1, 0),
              0);
    EXPECT_EQ(ui.PasswordBox("Caption", "Enter the Password:", "", ""), std::nullopt);
    EXPECT_TRUE(ui.OpenDialog(dialog).isEmpty());
    EXPECT_EQ(ui.SaveDialog(dialog), std::nullopt);
    EXPECT_FALSE(boxOpened);
}

// Enter presses the default button; Escape and closing the box give the escape one.
TEST(QtUiServices, AChoiceGivesTheButtonPressedAndEscapeOrClosingItsEscapeButton) {
    for (const auto& [key, chosen] :
         {std::pair{Qt::Key_Return, 1}, {Qt::Key_Escape, 2}, {Qt::Key_unknown, 2}}) {
        QTimer::singleShot(0, [key = key] {
            QWidget* box = QApplication::activeModalWidget();
            ASSERT_NE(box, nullptr);
            key == Qt::Key_unknown ? static_cast<void>(box->close()) : QTest::keyClick(box, key);
        });
        EXPECT_EQ(QtUiServices().Choose("text", "caption", {"Replace", "Keep both", "Skip"}, 1, 2),
                  chosen);
    }
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

TEST(QtUiServices, AllFilesShowsFilesWithoutADotAndTheFilterTextsStayAsWritten) {
    QTemporaryDir folder;
    for (const char* name : {"README", "Makefile", "notes.txt"})
        QFile(folder.filePath(QLatin1String(name))).open(QIODevice::WriteOnly);
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    DialogSettings settings;
    settings.filter = QString::fromUtf8(WindowText(Message::EncryptFilesFilter));
    settings.initialFolder = folder.path();
    QtUiServices::PrepareOpenDialog(dialog, settings);

    const auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    ASSERT_NE(types, nullptr);
    QStringList shown;
    for (int i = 0; i < types->count(); ++i)
        shown << types->itemText(i);
    EXPECT_EQ(shown,
              (QStringList{"All files (*.*)", "Text files (*.txt)", "Word files (*.doc)",
                           "Excel files (*.xls)", "C++ files (*.cpp)", "Picture files (*.jpg)"}));
    const auto* model = dialog.findChild<QFileSystemModel*>();
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(QDir(folder.path()).entryList(model->nameFilters(), QDir::Files),
              (QStringList{"Makefile", "notes.txt", "README"}));
}

}  // namespace
}  // namespace kiv
