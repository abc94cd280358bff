#include "app/core/PasswordKey.h"
#include "app/core/TextAdapter.h"
#include "app/window/WindowFixture.h"
#include "messages/MessageCatalogue.h"

namespace kiv {
namespace {

using PasswordBoxes = WindowFixture;

TEST(PasswordKey, ChecksEqualityFirstThenLength) {
    std::string key = "untouched";
    EXPECT_EQ(CheckPasswordBoxes("", "", key), PasswordCheck::TooShort);
    EXPECT_EQ(CheckPasswordBoxes("abc", "abd", key), PasswordCheck::Differ);
    EXPECT_EQ(CheckPasswordBoxes("Abc", "abc", key), PasswordCheck::Differ);
    EXPECT_EQ(CheckPasswordBoxes("ab", "ab", key), PasswordCheck::TooShort);
    EXPECT_EQ(CheckPasswordBoxes("abc", "abc", key), PasswordCheck::Ready);
    EXPECT_EQ(key, "abc");
    EXPECT_EQ(CheckPasswordBoxes("12345678901234567890", "12345678901234567890", key),
              PasswordCheck::Ready);
    EXPECT_EQ(key, "12345678901234567");
    CutPasswordKey("12345678901234567", key);
    EXPECT_EQ(key, "12345678901234567");
    CutPasswordKey("1234567890123456", key);
    EXPECT_EQ(key, "1234567890123456");
}

TEST_F(PasswordBoxes, EachActionShowsItsOwnTexts) {
    auto window = Open();
    window->Edit1()->setText("abc");
    window->Edit2()->setText("abd");
    EXPECT_FALSE(window->Session().PreparePasswordKey(
        window->Edit1()->text(), window->Edit2()->text(),
        WindowText(Message::DecryptEditorMismatch), WindowText(Message::PasswordTooShort)));
    EXPECT_FALSE(window->Session().PreparePasswordKey(
        window->Edit1()->text(), window->Edit2()->text(),
        WindowText(Message::DecryptClipboardMismatch), WindowText(Message::PasswordTooShort)));
    window->Edit2()->setText("abc");
    EXPECT_TRUE(window->Session().PreparePasswordKey(
        window->Edit1()->text(), window->Edit2()->text(),
        WindowText(Message::EncryptEditorMismatch), WindowText(Message::PasswordTooShort)));
    EXPECT_EQ(window->Session().Operands.CipherKey, "abc");
    window->Edit1()->clear();
    window->Edit2()->clear();
    EXPECT_FALSE(window->Session().PreparePasswordKey(
        window->Edit1()->text(), window->Edit2()->text(),
        WindowText(Message::EncryptClipboardMismatch), WindowText(Message::PasswordTooShort)));
    EXPECT_EQ(ui.messages, (QStringList{WindowText(Message::DecryptEditorMismatch),
                                        WindowText(Message::DecryptClipboardMismatch),
                                        WindowText(Message::PasswordTooShort)}));
}

TEST_F(PasswordBoxes, PasswordLabelWithEqualBoxesUnmasksAndRestoresTheStartPassword) {
    auto window = Open();
    window->Edit1()->setText("typed new");
    window->Edit2()->setText("typed new");
    window->Label1Click();
    EXPECT_EQ(window->Edit1()->echoMode(), QLineEdit::Normal);
    EXPECT_EQ(window->Edit2()->echoMode(), QLineEdit::Normal);
    EXPECT_EQ(window->Edit1()->text(), "lema_tovik3");
    EXPECT_EQ(window->Edit2()->text(), "lema_tovik3");
    window->Label1Click();
    EXPECT_EQ(window->Edit1()->echoMode(), QLineEdit::Password);
    EXPECT_EQ(window->Edit2()->echoMode(), QLineEdit::Password);
}

TEST_F(PasswordBoxes, PasswordLabelWithDifferentBoxesChangesNothing) {
    auto window = Open();
    window->Edit1()->setText("one");
    window->Edit2()->setText("two");
    window->Label1Click();
    EXPECT_EQ(window->Edit1()->echoMode(), QLineEdit::Password);
    EXPECT_EQ(window->Edit1()->text(), "one");
    EXPECT_EQ(window->Edit2()->text(), "two");
}

class QuickDecryption : public WindowFixture {
  protected:
    // A cipher text of plain under key, made the way the editor makes it.
    QString CipherOf(const std::string& plain, const std::string& key) {
        return TextAdapter::FromBytes(Encrypted(plain, key));
    }
};

TEST_F(QuickDecryption, WithRememberMeOffTheResultJoinsTheList) {
    auto window = Open();
    window->Edit1()->setText(CipherOf("hello world", "secret"));
    window->Edit2()->setText("secret");
    window->Label2Click();
    ASSERT_EQ(window->ListBox1()->count(), 2);
    EXPECT_EQ(window->ListBox1()->item(1)->text(), "hello world ");
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST_F(QuickDecryption, WithRememberMeOnTheResultIsShownNowhere) {
    auto window = Open();
    window->CheckBox1()->setChecked(true);
    window->Edit1()->setText(CipherOf("hello world", "secret"));
    window->Edit2()->setText("secret");
    window->Label2Click();
    EXPECT_EQ(window->ListBox1()->count(), 1);
    EXPECT_EQ(window->Session().Operands.CipherOutput, "hello world ");
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST_F(QuickDecryption, AKeyLongerThanSixteenIsCutToSeventeen) {
    auto window = Open();
    window->Edit1()->setText(CipherOf("long key text", "abcdefghijklmnopq"));
    window->Edit2()->setText("abcdefghijklmnopqXYZ");
    window->Label2Click();
    EXPECT_EQ(window->Session().Operands.CipherKey, "abcdefghijklmnopq");
    EXPECT_EQ(window->ListBox1()->item(1)->text(), "long key text    ");
}

TEST_F(QuickDecryption, AShortKeyIsRefusedWhateverTheFirstBoxHolds) {
    auto window = Open();
    window->Edit1()->setText("anything");
    window->Edit2()->setText("ab");
    window->Label2Click();
    EXPECT_EQ(ui.messages, QStringList{" Give cipher length equel  3 or big "});
    EXPECT_EQ(window->ListBox1()->count(), 1);
}

TEST_F(QuickDecryption, AForeignCharacterInTheLastBlockHandsTheTextBack) {
    auto window = Open();
    window->Edit1()->setText(CipherOf("hello world", "secret").chopped(1) + "#");
    window->Edit2()->setText("secret");
    window->Label2Click();
    EXPECT_EQ(ui.messages, QStringList{"Message changed not true two"});
    EXPECT_EQ(window->ListBox1()->item(1)->text(), window->Edit1()->text());
}

TEST_F(QuickDecryption, AWrongKeyHandsTheTextBackSilently) {
    auto window = Open();
    window->Edit1()->setText(CipherOf("hello world", "secret"));
    window->Edit2()->setText("secreT");
    window->Label2Click();
    EXPECT_TRUE(ui.messages.isEmpty());
    EXPECT_EQ(window->ListBox1()->item(1)->text(), window->Edit1()->text());
}

TEST_F(PasswordBoxes, TheFirstTextEncryptionEndsTheStartFileMode) {
    auto window = Open({folder.filePath("start.vrq")});
    ASSERT_EQ(window->startFileMarker, 213);
    window->Session().Operands.CipherKey = "secret";
    window->Session().Operands.CipherInput = "text";
    EXPECT_EQ(window->Session().EncryptOperands(), TextKeyVerdict::Usable);
    EXPECT_EQ(window->startFileMarker, 0);
}

}  // namespace
}  // namespace kiv
