#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <map>
#include <memory>
#include <random>

#include "app/core/TextAdapter.h"
#include "app/window/FakeUi.h"
#include "app/window/TForm1.h"
#include "support/FixedClock.h"
#include "support/QtFiles.h"
#include "support/RecordedMessages.h"

// Readable texts in failure reports.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace kiv {

using testing::FileBytes;
using testing::PermissionsOf;
using testing::WriteFile;

// A window in a temporary world: its settings file, program folder and arguments all live in a
// fresh folder, the clock stands still and every dialog is answered by FakeUi.
class WindowFixture : public ::testing::Test {
  protected:
    WindowFixture() { QDir().mkpath(ProgramFolder()); }

    // The user's own settings file, and the machine-wide one beneath it.
    QString SettingsFile() const { return folder.filePath(QStringLiteral("config/Pulm/Kiv.ini")); }
    QString MachineFile() const { return folder.filePath(QStringLiteral("xdg/Pulm/Kiv.ini")); }
    QString ProgramFolder() const { return folder.filePath(QStringLiteral("program")); }
    QString Path(const QString& name) const { return folder.filePath(name); }

    std::unique_ptr<TForm1> Open(const QStringList& arguments = {}) {
        return std::make_unique<TForm1>(
            ui, clock, StartupContext{SettingsFile(), MachineFile(), ProgramFolder(), arguments});
    }

    void Store(const std::map<QString, QString>& values) { StoreIn(SettingsFile(), values); }
    static void StoreIn(const QString& file, const std::map<QString, QString>& values) {
        QSettings settings(file, QSettings::IniFormat);
        for (const auto& [name, value] : values)
            settings.setValue(QStringLiteral("SOFTWARE/Pulm/Kiv/") + name, value);
    }
    // A complete key, as a previous run would have left it.
    void StoreKey(const QString& mode, const QString& password, const QString& remember) {
        Store({{QStringLiteral("radyono"), mode},
               {QStringLiteral("sifre"), password},
               {QStringLiteral("hatirla"), remember},
               {QStringLiteral("Top"), QStringLiteral("40")},
               {QStringLiteral("Left"), QStringLiteral("30")}});
    }
    QString Stored(const QString& name) const { return StoredIn(SettingsFile(), name); }
    static QString StoredIn(const QString& file, const QString& name) {
        return QSettings(file, QSettings::IniFormat)
            .value(QStringLiteral("SOFTWARE/Pulm/Kiv/") + name)
            .toString();
    }

    // The names of the window's controls that are not hidden, in name order.
    static QStringList ShownControls(const TForm1& window) {
        QStringList names;
        for (const QWidget* control :
             window.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            if (!qobject_cast<const QMenu*>(control) && !control->isHidden())
                names << control->objectName();
        names.sort();
        return names;
    }

    static QStringList Names(QStringList names) {
        names.sort();
        return names;
    }

    // The text cores on a workspace of their own, as another copy of the program would run them.
    std::string Encrypted(const std::string& plain, const std::string& key) {
        TextOperands op{key, plain, {}};
        EXPECT_EQ(EncryptText(cipherWorkspace, CipherOrder(), op), TextKeyVerdict::Usable);
        return op.CipherOutput;
    }
    std::string Decrypted(const std::string& cipher, const std::string& key) {
        testing::RecordedMessages silent;
        TextOperands op{key, cipher, {}};
        DecryptText(cipherWorkspace, CipherOrder(), op, silent);
        return op.CipherOutput;
    }
    static const CharacterOrder& CipherOrder() {
        static const CharacterOrder order = [] {
            CharacterOrder built;
            BuildCharacterOrder(built);
            return built;
        }();
        return order;
    }
    // A password the text cores refuse for encryption: two positions of a block would share a
    // prime. Only letters outside ASCII can do that; these are found by a fixed search.
    std::string RepeatedModuliKey() {
        std::mt19937 rng(5);
        for (;;) {
            QString key;
            for (int i = 0; i < 6; ++i)
                key += QChar(static_cast<char16_t>(0xC0 + rng() % 0x40));
            const std::string bytes = TextAdapter::ToBytes(key);
            if (CheckTextKey(cipherWorkspace, bytes) == TextKeyVerdict::RepeatedModuli)
                return bytes;
        }
    }

    static void SetPasswords(TForm1& window, const QString& first, const QString& second) {
        window.Edit1()->setText(first);
        window.Edit2()->setText(second);
    }
    // Lets the window's event loop run until the file run has ended and shown everything.
    static void WaitForRun(const TForm1& window) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return !window.FileRunning(); }, 120000));
    }
    static QStringList ListLines(const TForm1& window) {
        QStringList lines;
        for (int i = 0; i < window.ListBox1()->count(); ++i)
            lines << window.ListBox1()->item(i)->text();
        return lines;
    }

    QTemporaryDir folder;
    FakeUi ui;
    CipherWorkspace cipherWorkspace;
    FixedClock clock{1709649015, LocalTime{2024, 3, 5, 14, 30, 15, 250}};
};

}  // namespace kiv
