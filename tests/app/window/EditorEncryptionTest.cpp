#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <cctype>

#include "app/core/EditorDocument.h"
#include "app/window/WindowFixture.h"
#include "messages/MessageCatalogue.h"

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
              (QStringList{
                  "Password 1 and Password 2 must equal", "Password 1 and Password 2 must equal  ",
                  WindowText(Message::PasswordTooShort), WindowText(Message::PasswordTooShort)}));
    EXPECT_EQ(window->Lines().All(), Lines{"plain"});
    EXPECT_EQ(FileBytes(LastSave()), "<missing>");
}

TEST_F(EditorEncryption, AKeyWhoseModuliRepeatIsRefusedBeforeAnyLineChanges) {
    auto window = OpenWith({"one", "two"}, TextAdapter::FromBytes(RepeatedModuliKey()));
    window->Button5()->click();
    EXPECT_EQ(ui.messages, QStringList{WindowText(Message::RepeatedModuli)});
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
    EXPECT_EQ(PermissionsOf(existing), 0600);
    EXPECT_EQ(PermissionsOf(folder.filePath(QStringLiteral("gone/deeper/notesKiv.txt"))), 0600);
    EXPECT_EQ(PermissionsOf(folder.filePath(QStringLiteral("gone"))), 0700);
    EXPECT_EQ(PermissionsOf(folder.filePath(QStringLiteral("gone/deeper"))), 0700);
    EXPECT_EQ(PermissionsOf(folder.path()), 0700);  // QTemporaryDir's own mode, left as it was
}

// Beside a start file in a folder that every account may write to (/tmp), the last-save file is
// the user's own regular file of up to 64 MiB, or it is neither read nor replaced: another
// account's link or file at its name stays as it is, and so does what a link points to. Said
// once, on standard error.
TEST_F(EditorEncryption, ALastSaveFileInASharedFolderIsTheUsersOwnOrLeftAlone) {
    const QString victim = folder.filePath(QStringLiteral("notes.txt"));
    WriteFile(victim, "the user's notes");
    const struct {
        char planted;  // another account's Link or File, a Fifo, or the User's own file
        qint64 size;   // of a file, its first bytes "mine\r\nlines", then NULs
        const char* why;
    } cases[] = {
        {'L', 0, "it is a symbolic link"},
        {'F', 11, "it belongs to another account"},
        {'f', 0, "it is not a regular file"},
        {'U', 11, nullptr},
        {'U', qint64{64} << 20, nullptr},
        {'U', (qint64{64} << 20) + 1, "it is larger than 64 MiB"},
    };
    StoreKey("3", "pw", "1");
    ui.inputAnswer = "secret";
    int number = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.planted + std::to_string(c.size));
        const QString shared = folder.filePath(QString::number(++number));
        ASSERT_TRUE(QDir().mkdir(shared));
        ASSERT_EQ(::chmod(QFile::encodeName(shared).constData(), 01777), 0);
        const QString path = shared + QStringLiteral("/report.vrqKiv.txt");
        const QByteArray name = QFile::encodeName(path);
        if (c.planted == 'L') {
            ASSERT_TRUE(QFile::link(victim, path));
        }
        if (c.planted == 'f') {
            ASSERT_EQ(::mkfifo(name.constData(), 0600), 0);
        }
        if (c.size > 0) {
            WriteFile(path, "mine\r\nlines");
            ASSERT_EQ(::truncate(name.constData(), c.size), 0);
        }
        // Needs root to give the file away.
        if (std::isupper(c.planted) && c.planted != 'U' &&
            (::geteuid() != 0 || ::lchown(name.constData(), 65534, 65534) != 0))
            continue;
        struct stat planted = {}, after = {};
        ASSERT_EQ(::lstat(name.constData(), &planted), 0);
        ui.messages.clear();
        ui.errors.clear();
        ui.notes.clear();

        auto window = Open({shared + QStringLiteral("/report.vrq")});
        ASSERT_EQ(window->LastSaveFile(), path);
        const bool read = c.why == nullptr;
        EXPECT_EQ(window->Lines().Line(0), read ? "mine" : "Webmail password: 123456");
        EXPECT_EQ(ui.messages.size(), read ? 0 : 1);
        window->Button5()->click();
        ASSERT_EQ(::lstat(name.constData(), &after), 0);
        if (c.planted == 'U') {  // replaced, one too large to read included
            EXPECT_TRUE(ui.errors.isEmpty());
            EXPECT_EQ(FileBytes(path),
                      QByteArray::fromStdString(EditorDocument::JoinLines(window->Lines().All())));
            EXPECT_EQ(after.st_mode, S_IFREG | 0600u);
        } else {
            EXPECT_EQ(ui.errors, QStringList{"Cannot create file " + path + "."});
            EXPECT_EQ(after.st_ino, planted.st_ino);
            EXPECT_EQ(after.st_size, planted.st_size);
        }
        EXPECT_EQ(after.st_uid, planted.st_uid);
        EXPECT_EQ(FileBytes(victim), "the user's notes");
        EXPECT_EQ(ui.notes,
                  read ? QStringList{}
                       : QStringList{"not using the last-save file '" + path + "': " + c.why});
    }
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
