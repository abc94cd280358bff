#include <sys/stat.h>

#include <QFileInfo>
#include <optional>

#include "app/core/PlainIniFormat.h"
#include "app/core/SettingsKey.h"
#include "app/window/WindowFixture.h"
#include "messages/MessageCatalogue.h"
#include "support/EnvironmentVariable.h"

namespace kiv {
namespace {

const QString kCantCreateKey = QString::fromUtf8(WindowText(Message::CantCreateKey));
const QString kCannotSave = QStringLiteral("Failed to set data for 'radyono'");

// The program as an ordinary user starts it: the settings files come from XDG_CONFIG_HOME (a
// private folder) and XDG_CONFIG_DIRS (by default below a plain file, so that nothing can be
// written there, not even by root).
class PerUserSettings : public WindowFixture {
  protected:
    PerUserSettings() {
        WriteFile(folder.filePath("plain"), {});
        SetEnvironment(folder.filePath("home/.config"), folder.filePath("plain/xdg"));
    }
    void SetEnvironment(const QString& configHome, const QString& configDirs) const {
        home_.Set(configHome.toStdString());
        dirs_.Set(configDirs.toStdString());
    }
    std::unique_ptr<TForm1> Start() {
        StartupContext context = StartupContext::ForProcess({});
        context.programFolder = ProgramFolder();
        context.screenAreas.clear();  // the offscreen screen is smaller than the window
        return std::make_unique<TForm1>(ui, clock, std::move(context));
    }
    QString UserFile() const { return folder.filePath("home/.config/Pulm/Kiv.ini"); }
    static std::map<QString, QString> Key(const QString& mode, const QString& password) {
        return {{"radyono", mode},
                {"sifre", password},
                {"hatirla", "-1"},
                {"Top", "40"},
                {"Left", "30"}};
    }

  private:
    // Put back as they were when the test ends.
    const testing::EnvironmentVariable home_{"XDG_CONFIG_HOME"}, dirs_{"XDG_CONFIG_DIRS"};
};

TEST_F(PerUserSettings, TheFilesFollowTheXdgVariables) {
    const QString home = QDir::homePath();
    const struct {
        const char* configHome;
        const char* configDirs;
        QString user;
        QString machine;
    } cases[] = {
        {"/c/home", "/c/etc:/d/etc", "/c/home/Pulm/Kiv.ini", "/c/etc/Pulm/Kiv.ini"},
        {"", "", home + "/.config/Pulm/Kiv.ini", "/etc/xdg/Pulm/Kiv.ini"},
        // Relative folders do not count.
        {"conf", "::etc:/e/xdg", home + "/.config/Pulm/Kiv.ini", "/e/xdg/Pulm/Kiv.ini"},
    };
    for (const auto& c : cases) {
        SetEnvironment(c.configHome, c.configDirs);
        EXPECT_EQ(SettingsKey::UserFile(), c.user) << c.configHome;
        EXPECT_EQ(SettingsKey::MachineFile(), c.machine) << c.configDirs;
    }
}

TEST_F(PerUserSettings, ModePositionAndPasswordOfOneStartAreThereInTheNext) {
    EXPECT_FALSE(Start()->saveOnClose);
    EXPECT_TRUE(ui.messages.isEmpty());
    EXPECT_EQ(FileBytes(UserFile()),
              "[SOFTWARE]\nPulm\\Kiv\\Left=205\nPulm\\Kiv\\Top=149\nPulm\\Kiv\\hatirla=-1\n"
              "Pulm\\Kiv\\radyono=1\nPulm\\Kiv\\sifre=its rain\n");
    EXPECT_EQ(PermissionsOf(UserFile()), 0600);
    EXPECT_EQ(PermissionsOf(folder.filePath("home/.config/Pulm")), 0700);
    EXPECT_EQ(PermissionsOf(folder.filePath("home/.config")), 0700);

    auto second = Start();
    EXPECT_EQ(second->SourceMode(), 1);
    second->RadioButton2()->setChecked(true);
    second->CheckBox1()->setChecked(true);
    second->rememberedPassword = "chosen, with comma";
    second->move(300, 200);
    ui.StopInteracting();  // closed by a signal: saved all the same
    second->close();

    auto third = Start();
    EXPECT_EQ(ui.messages, QStringList{"The last save has not been found"});
    EXPECT_EQ(third->SourceMode(), 2);
    EXPECT_TRUE(third->CheckBox1()->isChecked());
    EXPECT_EQ(third->Edit1()->text(), "chosen, with comma");
    EXPECT_EQ(third->pos(), QPoint(300, 200));
    EXPECT_EQ(PermissionsOf(UserFile()), 0600);
}

TEST_F(PerUserSettings, AnExistingFileBecomesPrivateAtTheNextSave) {
    StoreIn(UserFile(), Key("3", "pw"));
    ASSERT_EQ(::chmod(QFile::encodeName(UserFile()).constData(), 0644), 0);
    Start()->close();
    EXPECT_EQ(PermissionsOf(UserFile()), 0600);
    EXPECT_EQ(StoredIn(UserFile(), "sifre"), "its rain");
}

TEST_F(PerUserSettings, AMachineWidePresetIsReadButNeverWrittenNorItsPasswordUsed) {
    const QString preset = folder.filePath("etc/xdg/Pulm/Kiv.ini");
    StoreIn(preset, Key("2", "root's secret"));
    SetEnvironment(folder.filePath("home/.config"), folder.filePath("etc/xdg:/other"));
    const QByteArray presetBytes = FileBytes(preset);

    auto window = Start();
    EXPECT_TRUE(ui.messages.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(UserFile()));  // a present key: no defaults written
    EXPECT_TRUE(window->saveOnClose);
    EXPECT_EQ(window->SourceMode(), 2);
    EXPECT_EQ(window->Edit1()->text(), "");
    EXPECT_EQ(window->pos(), QPoint(30, 40));
    window->RadioButton1()->setChecked(true);
    window->move(300, 200);
    window->close();

    EXPECT_EQ(FileBytes(preset), presetBytes);
    EXPECT_EQ(FileBytes(UserFile()),
              "[SOFTWARE]\nPulm\\Kiv\\Left=300\nPulm\\Kiv\\Top=200\nPulm\\Kiv\\hatirla=-1\n"
              "Pulm\\Kiv\\radyono=1\nPulm\\Kiv\\sifre=its rain\n");
    EXPECT_EQ(PermissionsOf(UserFile()), 0600);

    // The user's values now come first, value by value; the rest still from the preset.
    StoreIn(UserFile(), {{"radyono", "3"}, {"sifre", "mine"}, {"Top", "7"}});
    QSettings(UserFile(), QSettings::IniFormat).remove("SOFTWARE/Pulm/Kiv/Left");
    auto next = Start();
    EXPECT_EQ(next->SourceMode(), 3);
    EXPECT_EQ(next->Edit1()->text(), "mine");
    EXPECT_EQ(next->pos(), QPoint(30, 7));
}

TEST_F(PerUserSettings, AStoreThatCannotBeWrittenIsNeverWrittenThrough) {
    const QByteArray fullKey =
        "[SOFTWARE]\nPulm\\Kiv\\Left=30\nPulm\\Kiv\\Top=40\nPulm\\Kiv\\hatirla=-1\n"
        "Pulm\\Kiv\\radyono=2\nPulm\\Kiv\\sifre=linked\n";
    const struct {
        const char* what;
        const char* configHome;            // below the case's folder; "plain" is a regular file
        std::optional<QByteArray> linked;  // Kiv.ini is a link to "target", holding this if any
        bool preset;
        QStringList atStart;
        QStringList atClose;
    } cases[] = {
        {"folder below a file",
         "plain/config",
         std::nullopt,
         false,
         {kCantCreateKey},
         {kCantCreateKey}},
        {"same over a preset", "plain/config", std::nullopt, true, {}, {kCannotSave}},
        {"link to a file without the key",
         "home",
         "[Other]\nx=1\n",
         false,
         {kCantCreateKey},
         {kCantCreateKey}},
        {"link to a file with the key", "home", fullKey, false, {}, {kCannotSave}},
        {"link to nothing", "home", QByteArray(), false, {kCantCreateKey}, {kCantCreateKey}},
    };
    int number = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QDir root(folder.filePath(QString::number(++number)));
        root.mkpath("home/Pulm");
        WriteFile(root.filePath("plain"), {});
        const QString target = root.filePath("target");
        if (c.linked && !c.linked->isEmpty()) WriteFile(target, *c.linked);
        if (c.linked) QFile::link(target, root.filePath("home/Pulm/Kiv.ini"));
        if (c.preset) StoreIn(root.filePath("xdg/Pulm/Kiv.ini"), Key("2", "preset"));
        SetEnvironment(root.filePath(c.configHome), root.filePath("xdg"));
        const QByteArray targetBytes = FileBytes(target);
        const QByteArray presetBytes = FileBytes(root.filePath("xdg/Pulm/Kiv.ini"));
        ui.messages.clear();

        auto window = Start();
        EXPECT_EQ(ui.messages, c.atStart);
        EXPECT_EQ(window->SourceMode(), c.atStart.isEmpty() ? 2 : 3);
        window->close();
        EXPECT_EQ(ui.messages, c.atStart + c.atClose);
        EXPECT_EQ(FileBytes(target), targetBytes);
        EXPECT_EQ(FileBytes(root.filePath("xdg/Pulm/Kiv.ini")), presetBytes);
        EXPECT_EQ(QFileInfo(root.filePath("home/Pulm/Kiv.ini")).isSymLink(), c.linked.has_value());
    }
}

// A file the program could not read at start holds what only the user can mend: neither closing
// nor an encryption with "Remember me" replaces it, and closing says so once.
TEST_F(PerUserSettings, AFileUnreadableAtStartIsLeftAsItIs) {
    const QByteArray key = "SOFTWARE]\nPulm\\Kiv\\hatirla=1\nPulm\\Kiv\\sifre=kept\n";
    const QByteArray cases[] = {
        "[" + key.left(8) + key.mid(9),  // a section line without its "]"
        "[" + key + ';' + QByteArray(PlainIniFormat::kMaxFileSize - key.size() - 1, 'x'),
    };
    QDir().mkpath(QFileInfo(UserFile()).path());
    for (const QByteArray& bytes : cases) {
        SCOPED_TRACE(bytes.size());
        WriteFile(UserFile(), bytes);
        ui.messages.clear();
        ui.notes.clear();
        auto window = Start();
        EXPECT_EQ(ui.messages, QStringList{"The settings in '" + UserFile() + "' cannot be read"});
        window->CheckBox1()->setChecked(true);
        SetPasswords(*window, "secret", "secret");
        window->Button5()->click();
        window->close();
        EXPECT_EQ(FileBytes(UserFile()), bytes);
        EXPECT_EQ(ui.messages.size(), 1);
        EXPECT_EQ(ui.notes, QStringList{"the settings in '" + UserFile() +
                                        "' could not be read at start and are left as they "
                                        "are: mend or remove the file"});
    }
}

}  // namespace
}  // namespace kiv
