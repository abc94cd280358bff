#include <sys/stat.h>

#include <QFile>
#include <functional>

#include "app/core/DialogSettings.h"
#include "app/core/EditorDocument.h"
#include "app/window/WindowFixture.h"

namespace kiv {
namespace {

using Lines = EditorDocument::Lines;
using EditorCommands = WindowFixture;

TEST(EditorDocument, EveryLineEndEndsALineAndNulEndsTheText) {
    using namespace std::string_view_literals;
    EXPECT_EQ(EditorDocument::SplitLines("a\r\nb\rc\nd"), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(EditorDocument::SplitLines("a\n\r\nb\r\n"), (Lines{"a", "", "b", ""}));
    EXPECT_EQ(EditorDocument::SplitLines("\r\r"), (Lines{"", "", ""}));
    EXPECT_EQ(EditorDocument::SplitLines("kept\r\ncut\0after\r\nmore"sv), (Lines{"kept", "cut"}));
    EXPECT_EQ(EditorDocument::SplitLines(""), Lines{});
    EXPECT_EQ(EditorDocument::JoinLines({"a", "", "b"}), "a\r\n\r\nb");
    EXPECT_EQ(EditorDocument::JoinLines({}), "");
}

TEST(EditorDocument, TheSampleHasNineteenLines) {
    const Lines& sample = EditorDocument::SampleLines();
    ASSERT_EQ(sample.size(), 19u);
    EXPECT_EQ(sample[6], "CBank Password: 123456");
    EXPECT_EQ(sample[17], "Order: Sell ");
    EXPECT_EQ(sample[18], "");
}

TEST(EditorDocument, WritingReplacesTheFileWholeOrNotAtAll) {
    QTemporaryDir folder;
    const QString path = folder.filePath("doc.txt");
    WriteFile(path, "old content that is longer");
    ASSERT_TRUE(EditorDocument::Write(path, {"x", "y"}));
    EXPECT_EQ(FileBytes(path), "x\r\ny");
    EXPECT_FALSE(EditorDocument::Write(folder.filePath("doc.txt/inside.txt"), {"z"}));
    EXPECT_EQ(FileBytes(path), "x\r\ny");
    EXPECT_FALSE(EditorDocument::Read(folder.filePath("missing.txt")).has_value());
    EXPECT_FALSE(EditorDocument::Read(folder.path()).has_value());
    // Neither may hold the window: a FIFO without a writer, a device without an end.
    const QString fifo = folder.filePath("fifo.txt");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_FALSE(EditorDocument::Read(fifo).has_value());
    EXPECT_FALSE(EditorDocument::Read("/dev/zero").has_value());
}

TEST(DialogSettings, FiltersBecomeQtFiltersMatchingEitherCase) {
    DialogSettings settings;
    settings.filter = "Text files (*.txt)|*.TXT";
    EXPECT_EQ(settings.QtNameFilters(), QStringList{"Text files (*.txt) (*.TXT *.txt)"});
    settings.filter = "Encrypted|*.vrq|All|*.*";
    // "*.*" meant every file, those without a dot in their names too.
    EXPECT_EQ(settings.QtNameFilters(), (QStringList{"Encrypted (*.vrq *.VRQ)", "All (*)"}));
    settings.filter.clear();
    EXPECT_TRUE(settings.QtNameFilters().isEmpty());
}

TEST_F(EditorCommands, OpenReadsLoneLineFeedsAndSaveAsWritesCrLf) {
    const QString source = folder.filePath("lf.txt");
    WriteFile(source, "one\ntwo\n\nfour");
    ui.openAnswer = {source, folder.filePath("second.txt")};
    auto window = Open();
    window->Save1Click();
    ASSERT_EQ(ui.openSeen.size(), 1u);
    EXPECT_TRUE(ui.openSeen.front().multiSelect);
    EXPECT_EQ(ui.openSeen.front().filter, "Text files (*.txt)|*.TXT");
    EXPECT_EQ(ui.openSeen.front().initialFolder, QDir::homePath());
    EXPECT_EQ(window->Lines().Count(), 4);
    EXPECT_EQ(window->Lines().Line(1), "two");

    const QString target = folder.filePath("crlf.txt");
    ui.saveAnswer = target;
    window->Saveas1Click();
    EXPECT_EQ(ui.saveSeen.front().defaultExtension, "txt");
    EXPECT_EQ(ui.saveSeen.front().filter, "Text files (*.txt)|*.TXT");
    EXPECT_EQ(FileBytes(target), "one\r\ntwo\r\n\r\nfour");
    EXPECT_TRUE(ui.messages.isEmpty());
    // Multiple selection stays on for every later use of the open dialog.
    EXPECT_TRUE(window->OpenDialog1.multiSelect);
}

TEST_F(EditorCommands, CancelledDialogsChangeNothing) {
    auto window = Open();
    window->Save1Click();
    window->Saveas1Click();
    EXPECT_EQ(window->Lines().Count(), 19);
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST_F(EditorCommands, UnreadableAndUnwritableFilesLeaveTheDocumentAlone) {
    auto window = Open();
    ui.openAnswer = {folder.filePath("missing.txt")};
    window->Save1Click();
    ui.saveAnswer = folder.filePath("missing.txt/below.txt");
    window->Saveas1Click();
    EXPECT_EQ(ui.messages, (QStringList{"The last save has not been found",
                                        "The last save has not been found"}));
    EXPECT_EQ(window->Lines().Count(), 19);
}

TEST_F(EditorCommands, SavingAnEmptyDocumentWritesAnEmptyFile) {
    auto window = Open();
    window->Usememeo1Click();
    EXPECT_EQ(window->Lines().Count(), 0);
    ui.saveAnswer = folder.filePath("empty.txt");
    window->Saveas1Click();
    EXPECT_EQ(FileBytes(folder.filePath("empty.txt")), "");
}

TEST_F(EditorCommands, EveryWholeDocumentChangeIsTakenBackByOneUndo) {
    const QString other = folder.filePath("other.txt");
    WriteFile(other, "from a file\nsecond");
    const QPoint freeArea(600, 590);
    struct Case {
        const char* name;
        std::function<void(TForm1&)> change;
        bool empties;
    };
    const Case cases[] = {
        {"New", [](TForm1& w) { w.Usememeo1()->trigger(); }, true},
        {"double-click in the editor",
         [](TForm1& w) {
             QTest::mouseDClick(w.Memo1()->viewport(), Qt::LeftButton, {}, QPoint(20, 10));
         },
         true},
        {"double-click on the window",
         [&](TForm1& w) { QTest::mouseDClick(&w, Qt::LeftButton, {}, freeArea); }, true},
        {"Open",
         [&](TForm1& w) {
             ui.openAnswer = {other};
             w.Save1Click();
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto window = Open();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        const QString before = window->Memo1()->toPlainText();
        c.change(*window);
        EXPECT_EQ(window->Memo1()->toPlainText().isEmpty(), c.empties);
        EXPECT_NE(window->Memo1()->toPlainText(), before);
        // A double-click on the window hid the editor: a click shows it again.
        if (window->Memo1()->isHidden())
            QTest::mouseClick(window.get(), Qt::LeftButton, {}, freeArea);
        ASSERT_FALSE(window->Memo1()->isHidden());
        QTest::keyClick(window->Memo1(), Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(window->Memo1()->toPlainText(), before);
    }
}

TEST_F(EditorCommands, StartedWithAFileSaveAsProposesItsNameInItsFolder) {
    const QString file = folder.filePath("N.vrq");
    auto window = Open({file});
    window->Saveas1Click();
    ASSERT_EQ(ui.saveSeen.size(), 1u);
    EXPECT_EQ(ui.saveSeen.front().fileName, "N.vrq");
    EXPECT_EQ(ui.saveSeen.front().initialFolder, folder.path());
}

TEST_F(EditorCommands, LinesAreCountedWithoutAnEmptyLastOneAndEditedInPlace) {
    auto window = Open();
    EditorLines lines = window->Lines();
    EXPECT_EQ(lines.Count(), 19);
    lines.Clear();
    EXPECT_EQ(lines.Count(), 0);
    lines.Append("first");
    lines.Append("second");
    EXPECT_EQ(window->Memo1()->toPlainText(), "first\nsecond");
    lines.SetLine(0, "changed");
    EXPECT_EQ(lines.Line(0), "changed");
    lines.SetAll({"a", ""});
    EXPECT_EQ(lines.Count(), 1);
    lines.Append("b");
    EXPECT_EQ(window->Memo1()->toPlainText(), "a\nb");
    lines.SetAll({std::string(5000, 'x')});
    EXPECT_EQ(lines.Line(0).size(), EditorLines::kLineLimit);
    lines.SetAll({"\xC3\xA4rger"});  // UTF-8 bytes survive the trip through the editor
    EXPECT_EQ(lines.Line(0), "\xC3\xA4rger");
}

}  // namespace
}  // namespace kiv
