#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include "app/window/WindowFixture.h"
#include "messages/MessageCatalogue.h"

namespace kiv {
namespace {

class ClipboardEncryption : public WindowFixture {
  protected:
    static constexpr char kKey[] = "12345678";

    std::unique_ptr<TForm1> OpenInCopyMode() {
        auto window = Open();
        window->RadioButton2()->setChecked(true);
        window->Lines().Clear();
        SetPasswords(*window, kKey, kKey);
        return window;
    }
    std::string Clipboard() const { return TextAdapter::ToBytes(ui.clipboard); }
    void SetClipboard(const std::string& text) { ui.clipboard = TextAdapter::FromBytes(text); }

    // Each segment of the clipboard decrypted on its own, separators kept.
    std::string DecryptedSegments(const std::string& text) {
        std::string result;
        std::string segment;
        for (const char c : text + '\n') {
            if (c != '\t' && c != '\n' && c != '\r') {
                segment += c;
                continue;
            }
            if (!segment.empty()) result += Decrypted(segment, kKey);
            result += c;
            segment.clear();
        }
        result.pop_back();
        return result;
    }
};

TEST_F(ClipboardEncryption, AWordWithoutLineBreakIsEncryptedWhole) {
    auto window = OpenInCopyMode();
    SetClipboard("hello");
    window->Button4()->click();
    EXPECT_EQ(Clipboard().find('o'), std::string::npos);  // no readable character left behind
    EXPECT_EQ(Decrypted(Clipboard(), kKey), "hello   ");
    window->Button3()->click();
    EXPECT_EQ(Clipboard(), "hello   ");
}

TEST_F(ClipboardEncryption, TextsOfTheEarlierRuleStillRestore) {
    auto window = OpenInCopyMode();
    // The earlier rule encrypted "hell" and left the final "o" readable behind it.
    SetClipboard(Encrypted("hell", kKey) + "o");
    window->Button3()->click();
    EXPECT_EQ(Clipboard(), "hell    o");
    EXPECT_EQ(window->Lines().All(), EditorDocument::Lines{"hell    o"});
}

TEST_F(ClipboardEncryption, LinesAndTabsKeepTheirPlaces) {
    auto window = OpenInCopyMode();
    const std::string plain = "first line\r\nname\tvalue\r\n";
    SetClipboard(plain);
    window->Button4()->click();
    const std::string cipher = Clipboard();
    ASSERT_EQ(std::count(cipher.begin(), cipher.end(), '\r'), 2);
    ASSERT_EQ(std::count(cipher.begin(), cipher.end(), '\t'), 1);
    EXPECT_EQ(cipher.substr(cipher.size() - 2), "\r\n");
    EXPECT_EQ(DecryptedSegments(cipher), "first line      \r\nname    \tvalue   \r\n");
    window->Button3()->click();
    EXPECT_EQ(Clipboard(), "first line      \r\nname    \tvalue   \r\n");
}

TEST_F(ClipboardEncryption, ShortSegmentsAreConvertedLikeAnyOther) {
    auto window = OpenInCopyMode();
    const std::pair<std::string, std::string> cases[] = {
        {"x", "x       "},
        {"ab", "ab      "},
        {"ab\nc\nde\n", "ab      \nc       \nde      \n"},
    };
    for (const auto& [plain, restored] : cases) {
        SetClipboard(plain);
        window->Button4()->click();
        EXPECT_EQ(DecryptedSegments(Clipboard()), restored);
        window->Button3()->click();
        EXPECT_EQ(Clipboard(), restored);
    }
}

TEST_F(ClipboardEncryption, ACipherTextEndingTheClipboardDecrypts) {
    auto window = OpenInCopyMode();
    // Appended rather than "\t" + Encrypted(...): GCC 12 misreads the inlined insert at the
    // front of a temporary as an overlapping copy (-Wrestrict) in optimised builds.
    std::string clipboard = "\t";
    clipboard += Encrypted("plain", kKey);
    SetClipboard(clipboard);
    window->Button3()->click();
    EXPECT_EQ(Clipboard(), "\tplain   ");
}

TEST_F(ClipboardEncryption, AnAlteredSegmentIsShownAndTheOthersStillDecrypt) {
    auto window = OpenInCopyMode();
    std::string clipboard = "##\n";
    clipboard += Encrypted("kept", kKey);
    SetClipboard(clipboard);
    window->Button3()->click();
    EXPECT_EQ(ui.messages, QStringList{"Message changed not true one"});
    EXPECT_EQ(Clipboard(), "##\nkept    ");
}

TEST_F(ClipboardEncryption, WithRememberMeOffEachConvertedSegmentJoinsTheHiddenEditor) {
    auto window = OpenInCopyMode();
    ASSERT_TRUE(window->Memo1()->isHidden());
    SetClipboard("one\t\ttwo\n");
    window->Button4()->click();
    const std::string cipher = Clipboard();
    const std::size_t tab = cipher.find('\t');
    EXPECT_EQ(window->Lines().All(),
              (EditorDocument::Lines{cipher.substr(0, tab),
                                     cipher.substr(tab + 2, cipher.size() - tab - 3)}));
    window->Lines().Clear();
    window->Button3()->click();
    EXPECT_EQ(window->Lines().All(), (EditorDocument::Lines{"one     ", "two     "}));
}

TEST_F(ClipboardEncryption, WithRememberMeOnTheEditorIsLeftAlone) {
    auto window = OpenInCopyMode();
    window->CheckBox1()->setChecked(true);
    SetClipboard("one\ntwo");
    window->Button4()->click();
    window->Button3()->click();
    EXPECT_EQ(Clipboard(), "one     \ntwo     ");
    EXPECT_TRUE(window->Lines().All().empty());
}

TEST_F(ClipboardEncryption, RefusalsLeaveTheClipboardAndTheEditorAlone) {
    auto window = OpenInCopyMode();
    SetClipboard("untouched");
    window->Edit2()->setText("other");
    window->Button3()->click();
    window->Button4()->click();
    SetPasswords(*window, TextAdapter::FromBytes(RepeatedModuliKey()),
                 TextAdapter::FromBytes(RepeatedModuliKey()));
    window->Button4()->click();
    EXPECT_EQ(ui.messages, (QStringList{"Password 1 and Password 2 must equal ",
                                        "Password 1 and Password 2 must equal",
                                        WindowText(Message::RepeatedModuli)}));
    EXPECT_EQ(Clipboard(), "untouched");
    EXPECT_TRUE(window->Lines().All().empty());
}

// The program's real clipboard: what it holds besides text, and the marks on the text.
class SystemClipboard : public ClipboardEncryption {
  protected:
    std::unique_ptr<TForm1> OpenOnSystemClipboard() {
        auto window = std::make_unique<TForm1>(
            systemUi, clock, StartupContext{SettingsFile(), MachineFile(), ProgramFolder(), {}});
        window->RadioButton2()->setChecked(true);
        SetPasswords(*window, kKey, kKey);
        return window;
    }
    static const QMimeData& Held() { return *QGuiApplication::clipboard()->mimeData(); }

    SystemClipboardUi systemUi;
};

TEST_F(SystemClipboard, AClipboardHoldingOnlyAnImageIsLeftAsItWas) {
    auto window = OpenOnSystemClipboard();
    const EditorDocument::Lines lines = window->Lines().All();
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    for (QPushButton* button : {window->Button4(), window->Button3()}) {
        QGuiApplication::clipboard()->setImage(image);
        button->click();
        EXPECT_TRUE(Held().hasImage());
        EXPECT_FALSE(Held().hasText());
        EXPECT_EQ(window->Status()->text(),  // doing nothing, it says so
                  QString("The clipboard holds no text: nothing was ") +
                      (button == window->Button4() ? "encrypted" : "decrypted"));
    }
    EXPECT_EQ(window->Lines().All(), lines);
    EXPECT_TRUE(systemUi.messages.isEmpty());
}

// Clipboard managers drop what is marked secret: cipher text must survive the program for the
// user to paste it elsewhere, plain text must not linger in a history.
TEST_F(SystemClipboard, OnlyDecryptedPlainTextIsMarkedSecret) {
    auto window = OpenOnSystemClipboard();
    const QString mark = QStringLiteral("x-kde-passwordManagerHint");
    QGuiApplication::clipboard()->setText(QStringLiteral("pin 4711\n"));
    window->Button4()->click();
    EXPECT_FALSE(Held().text().contains(QStringLiteral("4711")));
    EXPECT_FALSE(Held().hasFormat(mark));
    window->Button3()->click();
    EXPECT_EQ(Held().text(), QStringLiteral("pin 4711\n"));
    EXPECT_EQ(Held().data(mark), "secret");
}

}  // namespace
}  // namespace kiv
