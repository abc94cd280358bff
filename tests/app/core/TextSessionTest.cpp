#include <gtest/gtest.h>

#include "app/core/TextSession.h"
#include "numeric/SystemClock.h"

namespace kiv {
namespace {

// The clipboard and the boxes of a session that runs with no window and no display.
class ClipboardOnlyUi final : public UiServices {
  public:
    void ShowError(const QString& text) override { messages << text; }
    void ShowMessage(const QString& text) override { messages << text; }
    bool Question(const QString&, const QString&) override { return false; }
    int Choose(const QString&, const QString&, const QStringList&, int, int escape) override {
        return escape;
    }
    std::optional<QString> PasswordBox(const QString&, const QString&, const QString&,
                                       const QString&) override {
        return std::nullopt;
    }
    QStringList OpenDialog(DialogSettings&) override { return {}; }
    std::optional<QString> SaveDialog(DialogSettings&) override { return std::nullopt; }
    QString ClipboardText() override { return clipboard; }
    void SetClipboardText(const QString& text, ClipboardContent kind) override {
        clipboard = text;
        content = kind;
    }
    void Note(const QString&) override {}

    QStringList messages;
    QString clipboard;
    std::optional<ClipboardContent> content;
};

TEST(TextSession, ConvertsTheClipboardWithoutAWindowAndForgetsTheKeyAfterwards) {
    ClipboardOnlyUi ui;
    int encryptions = 0;
    TextSession session(ui, SystemClock::Instance(), [&] { ++encryptions; });
    // Nothing on the clipboard: nothing is encrypted and what it holds stays untouched.
    ASSERT_TRUE(session.PrepareTextKey("secret", "secret", "differ", "short", true));
    EXPECT_FALSE(session.EncryptClipboard());
    EXPECT_EQ(encryptions, 0);
    EXPECT_FALSE(ui.content);

    ui.clipboard = "one\ttwo";
    ASSERT_TRUE(session.EncryptClipboard());
    EXPECT_EQ(encryptions, 2);
    EXPECT_EQ(ui.content, ClipboardContent::CipherText);
    session.ForgetKey();
    EXPECT_TRUE(session.Operands.CipherKey.empty());

    ASSERT_TRUE(session.PrepareTextKey("secret", "secret", "differ", "short", false));
    ASSERT_TRUE(session.DecryptClipboard());
    EXPECT_EQ(ui.content, ClipboardContent::Secret);
    // Decrypted segments come back padded to whole blocks, the tab between them.
    EXPECT_EQ(ui.clipboard.count(u'\t'), 1);
    EXPECT_EQ(ui.clipboard.simplified(), "one two");
    EXPECT_TRUE(ui.messages.isEmpty());
}

}  // namespace
}  // namespace kiv
