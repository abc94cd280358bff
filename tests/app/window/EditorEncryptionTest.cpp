#include <sys/stat.h>

#include <QDir>

#include "app/core/EditorDocument.h"
#include "app/core/WindowMessages.h"
#include "app/window/WindowFixture.h"

namespace kiv {
namespace {

using Lines = EditorDocument::Lines;

class EditorEncryption : public WindowFixture {
  protected:
    std::unique_ptr<TForm1> OpenWith(const Lines& lines, const QString& password) {
        auto window = Open();
        window->Lines().SetAll(lines);
        SetPasswords(*window, password, password);
        return window;
    }
    QString LastSave() const { return ProgramFolder() + QStringLiteral("/Kiv.txt"); }
};

TEST_F(EditorEncryption, LinesComeBackWholeWithTheSpacesThatFilledTheirLastBlock) {
    const std::string longLine = std::string(600, 'x') + "END";
    const std::string veryLong(5000, 'v');  // longer than a line read from the editor
    auto window = OpenWith({"hello", "", longLine, veryLong, ""}, "12345678");
    window->Button5()->click();
    const Lines encrypted = window->Lines().All();
    ASSERT_EQ(encrypted.size(), 5u);
    EXPECT_NE(encrypted[0], "hello");
    EXPECT_EQ(encrypted[1], "");  // the cipher text of an empty text is empty
    EXPECT_EQ(Decrypted(encrypted[2], "12345678"), longLine + "     ");
    EXPECT_EQ(encrypted[4], "");  // an empty last line is not counted
    EXPECT_EQ(FileBytes(LastSave()),
              QByteArray::fromStdString(EditorDocument::JoinLines(encrypted)));

    window->Button6()->click();
    EXPECT_EQ(window->Lines().All(), (Lines{"hello   ", "", longLine + "     ", veryLong, ""}));
    EXPECT_TRUE(ui.messages.isEmpty());
    EXPECT_TRUE(ui.errors.isEmpty());
}

TEST_F(EditorEncryption, AnEmptyDocumentStillWritesTheLastSaveFileAndTheSettings) {
    auto window = OpenWith({}, "secret");
    window->CheckBox1()->setChecked(true);
    window->Button5()->click();
    EXPECT_EQ(FileBytes(LastSave()), QByteArray());
    EXPECT_EQ(Stored("sifre"), "secret");
    EXPECT_EQ(Stored("hatirla"), "1");
}

TEST_F(EditorEncryption, RememberMeStoresTheKeyCutToSeventeenCharacters) {
    auto window = OpenWith({"line"}, "abcdefghijklmnopqrst");
    window->CheckBox1()->setChecked(true);
    window->Button5()->click();
    EXPECT_EQ(window->rememberedPassword, "abcdefghijklmnopq");
    EXPECT_EQ(Stored("sifre"), "abcdefghijklmnopq");
    EXPECT_EQ(Decrypted(window->Lines().Line(0), "abcdefghijklmnopq"),
              "line" + std::string(13, ' '));
}

TEST_F(EditorEncryption, WithRememberMeOffOnlyTheLastSaveFileIsWritten) {
    StoreKey("3", "stored", "-1");
    auto window = OpenWith({"a line"}, "secret");
    window->Button5()->click();
    EXPECT_NE(FileBytes(LastSave()), "<missing>");
    EXPECT_EQ(Stored("sifre"), "stored");
}

TEST_F(EditorEncryption, EachActionRefusesWithItsOwnTextAndChangesNothing) {
    auto window = OpenWith({"plain"}, "abc");
    window->Edit2()->setText("abd");
    window->Button5()->click();
    window->Button6()->click();
    SetPasswords(*window, "ab", "ab");
    window->Button5()->click();
    window->Button6()->click();
    EXPECT_EQ(ui.messages,
              (QStringList{"Password 1 and Password 2 must equal",
                           "Password 1 and Password 2 must equal  ",
                           "Password 1 and Password 2 must equal or small than three ",
                           "Password 1 and Password 2 must equal or small than three "}));
    EXPECT_EQ(window->Lines().All(), Lines{"plain"});
    EXPECT_EQ(FileBytes(LastSave()), "<missing>");
}

TEST_F(EditorEncryption, AKeyWhoseModuliRepeatIsRefusedBeforeAnyLineChanges) {
    auto window = OpenWith({"one", "two"}, TextAdapter::FromBytes(RepeatedModuliKey()));
    window->Button5()->click();
    EXPECT_EQ(ui.messages, QStringList{kRepeatedModuliMessage});
    EXPECT_EQ(window->Lines().All(), (Lines{"one", "two"}));
    EXPECT_EQ(FileBytes(LastSave()), "<missing>");
}

TEST_F(EditorEncryption, ALastSaveFileThatCannotBeWrittenIsShownAndTheKeyIsNotStored) {
    StoreKey("3", "stored", "1");
    auto window = OpenWith({"secret line"}, "secret");
    ASSERT_TRUE(window->CheckBox1()->isChecked());
    ASSERT_TRUE(QDir().mkpath(LastSave()));  // a folder where the file should go
    window->Button5()->click();
    EXPECT_EQ(ui.errors, QStringList{"Cannot create file " + LastSave() + "."});
    EXPECT_EQ(Decrypted(window->Lines().Line(0), "secret"), "secret line ");
    EXPECT_EQ(Stored("sifre"), "stored");
}

TEST_F(EditorEncryption, TheLastSaveFileAndTheFoldersMadeForItAreTheOwnersOnly) {
    const mode_t previous = ::umask(022);
    auto window = OpenWith({"pin 4711"}, "12345678");
    const QString existing = ProgramFolder() + QStringLiteral("/Kiv.txt");
    WriteFile(existing, "earlier");
    ASSERT_EQ(::chmod(QFile::encodeName(existing).constData(), 0644), 0);
    window->Button5()->click();
    // A start file in a folder that has gone meanwhile: the folder is made again, privately.
    window->startFilePath = folder.filePath(QStringLiteral("gone/deeper/notes"));
    window->Button5()->click();
    ::umask(previous);
    const auto mode = [](const QString& path) {
        struct stat status = {};
        return ::stat(QFile::encodeName(path).constData(), &status) == 0
                   ? static_cast<int>(status.st_mode & 07777)
                   : -1;
    };
    EXPECT_EQ(mode(existing), 0600);
    EXPECT_EQ(mode(folder.filePath(QStringLiteral("gone/deeper/notesKiv.txt"))), 0600);
    EXPECT_EQ(mode(folder.filePath(QStringLiteral("gone"))), 0700);
    EXPECT_EQ(mode(folder.filePath(QStringLiteral("gone/deeper"))), 0700);
    EXPECT_EQ(mode(folder.path()), 0700);  // QTemporaryDir's own mode, left as it was
}

// Anyone at the screen could otherwise press Ctrl+Z and read what was just encrypted.
TEST_F(EditorEncryption, NoUndoOrRedoStepLeadsBackToThePlainText) {
    auto window = OpenWith({"old draft"}, "12345678");
    window->Lines().ReplaceAll({"pin 4711"});
    window->Lines().ReplaceAll({"pin 4711 again"});
    window->Memo1()->undo();  // a redo step waiting, too
    window->Button5()->click();
    EXPECT_FALSE(window->Memo1()->document()->isUndoAvailable());
    EXPECT_FALSE(window->Memo1()->document()->isRedoAvailable());
    window->Memo1()->undo();
    window->Memo1()->redo();
    EXPECT_EQ(window->Memo1()->toPlainText().indexOf(QStringLiteral("4711")), -1);
    // What comes after the encryption is undoable again, back to the cipher text.
    const Lines cipher = window->Lines().All();
    window->Memo1DblClick();
    window->Memo1()->undo();
    EXPECT_EQ(window->Lines().All(), cipher);
}

TEST_F(EditorEncryption, ADecryptedLineBreakSplitsItsLineAndShiftsTheLaterOnes) {
    const std::string lastCipher = Encrypted("q", "abc");
    auto window = OpenWith({Encrypted("x\ny", "abc"), Encrypted("p", "abc"), lastCipher}, "abc");
    window->Button6()->click();
    // Positions 0 to 2 are visited as the document stands: "y" is tried and left as it is, and
    // the line that was last is no longer reached.
    EXPECT_EQ(window->Lines().All(), (Lines{"x", "y", "p  ", lastCipher}));
}

}  // namespace
}  // namespace kiv
