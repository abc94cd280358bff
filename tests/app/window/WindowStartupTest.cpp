#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "app/window/WindowFixture.h"
#include "app/window/WindowPlacement.h"
#include "numeric/NumericServices.h"

namespace kiv {
namespace {

using WindowStartup = WindowFixture;

const QStringList kTextModeControls = {
    "Button5", "Button6", "CheckBox1", "Edit1",        "Edit2",        "Label1",      "Label2",
    "Label3",  "Label4",  "Memo1",     "RadioButton1", "RadioButton2", "RadioButton3"};

TEST_F(WindowStartup, FirstStartCreatesTheKeyWithDefaultsAndLoadsNothing) {
    auto window = Open();
    EXPECT_TRUE(ui.messages.isEmpty());
    EXPECT_TRUE(ui.errors.isEmpty());
    EXPECT_EQ(Stored("radyono"), "1");
    EXPECT_EQ(Stored("sifre"), "its rain");
    EXPECT_EQ(Stored("hatirla"), "-1");
    EXPECT_EQ(Stored("Top"), "149");  // the design position, before the window moved
    EXPECT_EQ(Stored("Left"), "205");
    EXPECT_TRUE(FileBytes(SettingsFile()).contains("Pulm\\Kiv\\hatirla=-1"));

    EXPECT_EQ(window->Edit1()->text(), "lema_tovik3");
    EXPECT_EQ(window->Edit2()->text(), "lema_tovik3");
    EXPECT_EQ(window->startPassword, "lema_tovik3");
    EXPECT_EQ(window->Edit1()->echoMode(), QLineEdit::Password);
    EXPECT_EQ(window->pos(), QPoint(0, 0));
    EXPECT_EQ(window->SourceMode(), 3);
    EXPECT_EQ(ShownControls(*window), kTextModeControls);
    EXPECT_FALSE(window->saveOnClose);
    EXPECT_EQ(window->windowTitle(), "Protect the lives of your information");

    window->move(300, 200);
    window->close();
    EXPECT_EQ(Stored("Top"), "149");
    EXPECT_EQ(Stored("Left"), "205");
}

TEST_F(WindowStartup, SecondStartLoadsTheStoredDefaults) {
    Open()->close();
    auto window = Open();
    EXPECT_TRUE(ui.messages.isEmpty());
    EXPECT_EQ(window->SourceMode(), 1);
    EXPECT_EQ(window->Edit1()->text(), "its rain");
    EXPECT_EQ(window->Edit2()->text(), "its rain");
    EXPECT_FALSE(window->CheckBox1()->isChecked());
    EXPECT_EQ(window->pos(), QPoint(205, 149));
    EXPECT_TRUE(window->saveOnClose);
    EXPECT_EQ(ShownControls(*window), Names({"Button1", "Button2", "CheckBox1", "Edit1", "Edit2",
                                             "Label1", "Label2", "Label3", "Label4", "ListBox1",
                                             "RadioButton1", "RadioButton2", "RadioButton3"}));
}

// Unchecking "Remember me" forgets: the password saved while it was on gives way to a new key's.
TEST_F(WindowStartup, ClosingWithRememberMeOffForgetsThePassword) {
    StoreKey("3", "kept secret", "1");
    auto window = Open();
    window->RadioButton2()->setChecked(true);
    window->CheckBox1()->setChecked(false);
    window->move(300, 200);
    window->close();
    EXPECT_EQ(Stored("radyono"), "2");
    EXPECT_EQ(Stored("hatirla"), "-1");
    EXPECT_EQ(Stored("Top"), "200");
    EXPECT_EQ(Stored("Left"), "300");
    EXPECT_EQ(Stored("sifre"), "its rain");
    EXPECT_EQ(Open()->Edit2()->text(), "its rain");
}

// Under Wayland a window's position is made up (-3, -30 under weston): the one stored by an X11
// session stays.
TEST_F(WindowStartup, WhereThePositionCannotBeKnownClosingKeepsTheStoredOne) {
    StoreKey("3", "kept secret", "-1");
    StartupContext context{SettingsFile(), MachineFile(), ProgramFolder(), {}};
    context.positionKnown = false;
    TForm1 window(ui, clock, context);
    window.RadioButton2()->setChecked(true);
    window.move(-3, -30);
    window.close();
    EXPECT_EQ(Stored("radyono"), "2");
    EXPECT_EQ(Stored("hatirla"), "-1");
    EXPECT_EQ(Stored("Top"), "40");
    EXPECT_EQ(Stored("Left"), "30");
}

TEST(WindowPlacement, OnlyWaylandKeepsTheWindowPositionFromTheProgram) {
    for (const char* platform : {"wayland", "wayland-egl", "wayland-xcomposite-glx"})
        EXPECT_FALSE(PositionKnown(QLatin1String(platform))) << platform;
    for (const char* platform : {"xcb", "offscreen", "minimal", "vnc"})
        EXPECT_TRUE(PositionKnown(QLatin1String(platform))) << platform;
}

TEST_F(WindowStartup, ClosingWithRememberMeOnStoresThePassword) {
    StoreKey("3", "old one", "1");
    auto window = Open();
    window->rememberedPassword = "new one, with comma";
    window->close();
    EXPECT_EQ(Stored("sifre"), "new one, with comma");
    EXPECT_EQ(Stored("hatirla"), "1");
    EXPECT_EQ(Stored("radyono"), "3");
}

TEST_F(WindowStartup, UnknownModeAndZeroRememberLeaveTheDesignState) {
    StoreKey("7", "pw", "0");
    auto window = Open();
    EXPECT_TRUE(ui.errors.isEmpty());
    EXPECT_EQ(window->SourceMode(), 3);
    EXPECT_EQ(ShownControls(*window), kTextModeControls);
    EXPECT_FALSE(window->CheckBox1()->isChecked());
    EXPECT_EQ(window->pos(), QPoint(30, 40));
}

TEST_F(WindowStartup, ANonNumberInTopEndsTheStartUpSequenceThere) {
    StoreKey("2", "stored pw", "-1");
    Store({{"Top", "high"}});
    auto window = Open();
    EXPECT_EQ(ui.errors, QStringList{"'high' is not a valid integer value."});
    // What was read before "Top" holds; the steps after the settings never ran.
    EXPECT_EQ(window->SourceMode(), 2);
    EXPECT_EQ(window->rememberedPassword, "stored pw");
    EXPECT_EQ(window->Edit1()->text(), "its rain");
    EXPECT_EQ(window->Edit2()->text(), "its rain");
    EXPECT_TRUE(window->startPassword.isEmpty());
    EXPECT_EQ(window->pos(), QPoint(205, 149));
    EXPECT_TRUE(window->saveOnClose);
}

TEST_F(WindowStartup, AMissingNumberIsAConversionErrorToo) {
    Store({{"radyono", "1"}, {"sifre", "pw"}});
    Open();
    EXPECT_EQ(ui.errors, QStringList{"'' is not a valid integer value."});
}

TEST_F(WindowStartup, AnUnwritableStoreSaysSoAtStartAndAtClose) {
    // A settings path below a plain file can never be created, whoever runs the test.
    QFile blocker(folder.filePath("config"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    auto window = Open();
    EXPECT_EQ(ui.messages, QStringList{"Can't Create Key"});
    EXPECT_EQ(window->Edit1()->text(), "lema_tovik3");
    EXPECT_TRUE(window->saveOnClose);
    window->close();
    EXPECT_EQ(ui.messages, (QStringList{"Can't Create Key", "Can't Create Key"}));
}

TEST_F(WindowStartup, OneArgumentAsksForThePasswordAndNamesTheStartFile) {
    const QString file = folder.filePath("docs/my letter.vrq");
    auto window = Open({file});
    EXPECT_EQ(ui.inputBoxes,
              QStringList{"Protect the lives of your information|Enter the Password:|"});
    EXPECT_TRUE(window->Edit1()->text().isEmpty());
    EXPECT_TRUE(window->Edit2()->text().isEmpty());
    EXPECT_EQ(window->startFileMarker, 213);
    EXPECT_EQ(window->startFilePath, file);
    EXPECT_EQ(window->LastSaveFile(), file + "Kiv.txt");
    EXPECT_EQ(window->OpenDialog1.initialFolder, folder.filePath("docs"));
    EXPECT_EQ(window->SaveDialog1.initialFolder, folder.filePath("docs"));
    EXPECT_EQ(window->OpenDialog1.fileName, file);
    EXPECT_EQ(window->SaveDialog1.fileName, "my letter.vrq");
    EXPECT_EQ(window->startPassword, "lema_tovik3");
}

TEST_F(WindowStartup, TheAnsweredPasswordFillsBothBoxes) {
    ui.inputAnswer = "from prompt";
    auto window = Open({"relative.vrq"});
    EXPECT_EQ(window->Edit1()->text(), "from prompt");
    EXPECT_EQ(window->Edit2()->text(), "from prompt");
    EXPECT_TRUE(QFileInfo(window->startFilePath).isAbsolute());
}

TEST_F(WindowStartup, TwoArgumentsAreIgnored) {
    auto window = Open({"a.vrq", "b.vrq"});
    EXPECT_TRUE(ui.inputBoxes.isEmpty());
    EXPECT_EQ(window->startFileMarker, 0);
    EXPECT_TRUE(window->startFilePath.isEmpty());
    EXPECT_EQ(window->LastSaveFile(), "Kiv.txt");
    EXPECT_TRUE(window->OpenDialog1.initialFolder.isEmpty());
    EXPECT_EQ(window->Edit1()->text(), "lema_tovik3");
}

TEST_F(WindowStartup, WithoutArgumentsTheProgramFolderHoldsTheLastSave) {
    auto window = Open();
    EXPECT_EQ(window->startFileMarker, 0);
    EXPECT_EQ(window->LastSaveFile(), ProgramFolder() + "/Kiv.txt");
    // The program's folder may be its hidden data folder: the dialogs start at home.
    EXPECT_EQ(window->OpenDialog1.initialFolder, QDir::homePath());
    EXPECT_EQ(window->SaveDialog1.initialFolder, QDir::homePath());
}

TEST_F(WindowStartup, RememberMeReloadsTheLastSave) {
    StoreKey("3", "pw", "1");
    QFile last(ProgramFolder() + "/Kiv.txt");
    ASSERT_TRUE(last.open(QIODevice::WriteOnly));
    last.write("first\r\nsecond");
    last.close();
    auto window = Open();
    EXPECT_TRUE(window->CheckBox1()->isChecked());
    EXPECT_EQ(window->Memo1()->toPlainText(), "first\nsecond");
    EXPECT_EQ(window->Edit1()->text(), "pw");
}

TEST_F(WindowStartup, RememberMeLooksBesideTheStartFile) {
    StoreKey("3", "pw", "1");
    const QString file = folder.filePath("N.vrq");
    QFile last(file + "Kiv.txt");
    ASSERT_TRUE(last.open(QIODevice::WriteOnly));
    last.write("beside");
    last.close();
    auto window = Open({file});
    EXPECT_TRUE(ui.messages.isEmpty());
    EXPECT_EQ(window->Memo1()->toPlainText(), "beside");
}

TEST_F(WindowStartup, AMissingLastSaveKeepsTheSampleLines) {
    StoreKey("3", "pw", "1");
    auto window = Open();
    EXPECT_EQ(ui.messages, QStringList{"The last save has not been found"});
    EXPECT_EQ(window->Lines().Count(), 19);
    EXPECT_EQ(window->Lines().Line(4), "ABank Password: 123456");
}

TEST_F(WindowStartup, AnUnwritableProgramFolderGivesWayToTheDataFolder) {
    EXPECT_EQ(StartupContext::WritableFolder(ProgramFolder()), ProgramFolder());
    QFile plain(folder.filePath("plain"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    const QString data = StartupContext::WritableFolder(folder.filePath("plain/bin"));
    EXPECT_EQ(data, QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    EXPECT_TRUE(QFileInfo(data).isDir());
}

TEST_F(WindowStartup, AnInstalledProgramKeepsItsFilesInTheDataFolder) {
    // The install layout: bin/kiv beside share/applications/<menu entry>. Only the entry's
    // presence tells an installed program from a copy in a folder of its own.
    const QString bin = folder.filePath("usr/bin");
    ASSERT_TRUE(QDir().mkpath(bin));
    EXPECT_EQ(StartupContext::ProgramFolder(bin), bin);
    ASSERT_TRUE(QDir().mkpath(folder.filePath("usr/share/applications")));
    QFile entry(folder.filePath("usr/share/applications/org.pulmvostra.Kiv.desktop"));
    ASSERT_TRUE(entry.open(QIODevice::WriteOnly));
    entry.close();
    EXPECT_EQ(StartupContext::ProgramFolder(bin),
              QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

TEST_F(WindowStartup, DateAndTimeLabelsShowTheMomentOfOpening) {
    auto window = Open();
    EXPECT_EQ(window->Label3()->text().toStdString(),
              DateTimeText(DateTimeValue(LocalTime{2024, 3, 5})));
    EXPECT_EQ(window->Label4()->text().toStdString(),
              DateTimeText((14 * 3600 + 30 * 60 + 15.25) / 86400.0));
}

}  // namespace
}  // namespace kiv
