#include <sys/stat.h>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include <utility>

#include "app/window/WindowFixture.h"
#include "filecrypt/FileDecryption.h"
#include "filecrypt/FileEncryption.h"
#include "filecrypt/OperationReport.h"
#include "messages/MessageCatalogue.h"
#include "support/ContainerEditor.h"
#include "support/RecordingObserver.h"

namespace kiv {
namespace {

class FileRuns : public WindowFixture {
  protected:
    FileRuns() {
        WriteFile(Path("a.txt"), "0123456789");
        WriteFile(Path("b.doc"), "");
    }

    std::unique_ptr<TForm1> OpenInFileMode(const QString& password,
                                           const QStringList& arguments = {}) {
        auto window = Open(arguments);
        window->RadioButton1()->setChecked(true);
        SetPasswords(*window, password, password);
        return window;
    }

    // A container written without the window.
    void MakeContainer(const QString& path, const QStringList& sources,
                       const std::string& password) {
        testing::RecordingObserver silent;
        std::vector<std::string> paths;
        for (const QString& source : sources)
            paths.push_back(TextAdapter::ToBytes(source));
        ASSERT_TRUE(
            EncryptFiles(password, paths, TextAdapter::ToBytes(path), silent, clock).AllWritten());
    }

    // The residue count a container was written with.
    static int ResidueCount(const QString& container) {
        return testing::ContainerEditor(FileBytes(container).toStdString()).ResidueCount();
    }

    static QStringList EncryptionLines(int size, int blocks, int length, int residues) {
        return {TextAdapter::FromBytes(report::FileByteAmount(size).Filled()),
                TextAdapter::FromBytes(report::FileBytePart(blocks).Filled()),
                TextAdapter::FromBytes(report::OpenLongByte(length).Filled()),
                TextAdapter::FromBytes(report::CloseLongByte(residues).Filled())};
    }

    // Every control whose action touches the report list, the passwords or a cipher.
    static std::vector<const QWidget*> RunGuarded(const TForm1& window) {
        return {window.Button1(), window.Button2(), window.Button3(), window.Button4(),
                window.Button5(), window.Button6(), window.Edit1(),   window.Edit2(),
                window.Label1(),  window.Label2()};
    }

    static void ExpectIdle(const TForm1& window) {
        for (const QWidget* control : RunGuarded(window))
            EXPECT_TRUE(control->isEnabled()) << control->objectName().toStdString();
        EXPECT_TRUE(window.Button7()->isHidden());
    }

    // Drops files on the window the way a file manager does.
    static void Drop(TForm1& window, const QStringList& paths) {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& path : paths)
            urls << QUrl::fromLocalFile(path);
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(400, 300), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(&window, &enter);
        if (!enter.isAccepted()) return;
        QDropEvent drop(QPointF(400, 300), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&window, &drop);
        QCoreApplication::processEvents();
    }
};

TEST_F(FileRuns, EncryptingTwoFilesListsThePathsThenFourLinesPerFile) {
    auto window = OpenInFileMode("abc");
    ui.openAnswer = {Path("a.txt"), Path("b.doc")};
    ui.saveAnswer = Path("both.vrq");
    window->Button2()->click();
    ASSERT_EQ(ui.openSeen.size(), 1u);
    EXPECT_TRUE(ui.openSeen[0].multiSelect);
    EXPECT_EQ(ui.openSeen[0].filter,
              "All files (*.*)|*.*|Text files (*.txt)|*.txt|Word files (*.doc)|*.doc|Excel files "
              "(*.xls)|*.xls|C++ files (*.cpp)|*.cpp|Picture files (*.jpg)|*.jpg");
    ASSERT_EQ(ui.saveSeen.size(), 1u);
    EXPECT_EQ(ui.saveSeen[0].defaultExtension, "vrq");
    WaitForRun(*window);

    const int d = ResidueCount(Path("both.vrq"));
    EXPECT_EQ(ListLines(*window),
              QStringList({Path("a.txt"), Path("b.doc")}) + EncryptionLines(10, 3, 3, d) +
                  EncryptionLines(0, 0, 3, d) +
                  QStringList{"Finished: the files are encrypted into " + Path("both.vrq")});
    EXPECT_TRUE(window->ProgressBar1()->isHidden());
    EXPECT_TRUE(window->ProgressBar2()->isHidden());
    ExpectIdle(*window);
    EXPECT_TRUE(ui.messages.isEmpty());
}

// The run's own line says what failed; the window adds which file and the system's reason, or
// the run's where the system's would mislead (a FIFO's is "Invalid argument").
TEST_F(FileRuns, AFailedWriteSaysWhy) {
    ASSERT_EQ(mkfifo(Path("fifo.vrq").toLocal8Bit().constData(), 0600), 0);
    for (const auto& [output, reason] :
         {std::pair(Path("missing/both.vrq"), QString("No such file or directory")),
          std::pair(Path("fifo.vrq"), QString("Not a regular file"))}) {
        auto window = OpenInFileMode("abc");
        ui.openAnswer = {Path("a.txt"), Path("b.doc")};
        ui.saveAnswer = output;
        window->Button2()->click();
        WaitForRun(*window);
        EXPECT_EQ(ListLines(*window).mid(2),
                  QStringList({"Write File not Open ", output + ": " + reason,
                               "Not finished: " + output + " was not written"}));
    }
}

TEST_F(FileRuns, OneFileIsWrittenBesideItselfWithoutASaveDialog) {
    auto window = OpenInFileMode("abc");
    ui.openAnswer = {Path("a.txt")};
    window->Button2()->click();
    WaitForRun(*window);
    EXPECT_TRUE(ui.saveSeen.empty());
    EXPECT_TRUE(ui.questions.isEmpty());  // nothing was there to replace
    EXPECT_NE(FileBytes(Path("a.vrq")), "<missing>");
    EXPECT_EQ(ListLines(*window).front(), Path("a.txt"));
}

TEST_F(FileRuns, AOneFileRunAfterARunOfSeveralShowsItsOwnOverallProgress) {
    WriteFile(Path("c.cpp"), "x");
    auto window = OpenInFileMode("abc");
    ui.openAnswer = {Path("a.txt"), Path("b.doc"), Path("c.cpp")};
    ui.saveAnswer = Path("three.vrq");
    window->Button2()->click();
    WaitForRun(*window);
    ASSERT_EQ(window->ProgressBar2()->value(), 666);  // where the third file began
    ui.openAnswer = {Path("a.txt")};
    window->Button2()->click();
    WaitForRun(*window);
    // Its only step lies before the bar's range: nothing of the overall run is done yet.
    EXPECT_LT(window->ProgressBar2()->value(), window->ProgressBar2()->minimum());
}

TEST_F(FileRuns, AnExistingContainerIsReplacedOnlyWhenTheUserAgrees) {
    const QString question =
        "Pulm Vostra|" + Path("a.vrq") + " already exists.\nDo you want to replace it?";
    for (const bool agree : {false, true}) {
        SCOPED_TRACE(agree ? "agreed" : "refused");
        WriteFile(Path("a.vrq"), "the only copy");
        ui.questions.clear();
        ui.questionAnswer = agree;
        auto window = OpenInFileMode("abc");
        ui.openAnswer = {Path("a.txt")};
        window->Button2()->click();
        WaitForRun(*window);
        EXPECT_EQ(ui.questions, QStringList{question});
        EXPECT_EQ(FileBytes(Path("a.vrq")) == "the only copy", !agree);
        EXPECT_EQ(ListLines(*window).size(), agree ? 6 : 1);
    }
    // A link at the derived name, even one to nothing, is asked about too.
    QFile::remove(Path("a.vrq"));
    ASSERT_TRUE(QFile::link(Path("nowhere"), Path("a.vrq")));
    ui.questions.clear();
    ui.questionAnswer = false;
    auto linked = OpenInFileMode("abc");
    linked->Button2()->click();
    WaitForRun(*linked);
    EXPECT_EQ(ui.questions, QStringList{question});
    EXPECT_TRUE(QFileInfo(Path("a.vrq")).isSymLink());

    // A chosen name: the save dialog asks, and lets the user pick another one.
    auto window = OpenInFileMode("abc");
    ui.openAnswer = {Path("a.txt"), Path("b.doc")};
    window->Button2()->click();
    ASSERT_EQ(ui.saveSeen.size(), 1u);
    EXPECT_TRUE(ui.saveSeen.back().confirmOverwrite);
    // The editor's "Save as" still replaces without asking.
    window->Saveas1Click();
    EXPECT_FALSE(ui.saveSeen.back().confirmOverwrite);
}

TEST_F(FileRuns, CancelledDialogsStartNothing) {
    auto window = OpenInFileMode("abc");
    window->Button2()->click();  // open dialog cancelled: the list was cleared
    EXPECT_TRUE(ListLines(*window).isEmpty());
    ui.openAnswer = {Path("a.txt"), Path("b.doc")};
    window->Button2()->click();  // save dialog cancelled: the list holds the paths
    EXPECT_EQ(ListLines(*window), QStringList({Path("a.txt"), Path("b.doc")}));
    EXPECT_FALSE(window->FileRunning());
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), 2);
}

TEST_F(FileRuns, RestoringATwoEntryContainerListsItThenSevenLinesPerEntry) {
    MakeContainer(Path("both.vrq"), {Path("a.txt"), Path("b.doc")}, "abc");
    QDir().mkpath(Path("out"));
    QFile::rename(Path("both.vrq"), Path("out/both.vrq"));
    auto window = OpenInFileMode("abc");
    ui.openAnswer = {Path("out/both.vrq")};
    window->Button1()->click();
    ASSERT_EQ(ui.openSeen.size(), 1u);
    EXPECT_EQ(ui.openSeen[0].filter, "Kiv files (*.vrq)|*.vrq");
    WaitForRun(*window);

    const int d = ResidueCount(Path("out/both.vrq"));
    const auto total = FileBytes(Path("out/both.vrq")).size();
    EXPECT_EQ(
        ListLines(*window),
        (QStringList{Path("out/both.vrq"), "a.txt", "Open File Byte Amount = 10",
                     "Open File Byte Part   = 4", "Open Long Byte        = 3",
                     "Close Long Byte       = " + QString::number(d),
                     "Close File Byte no    = " + QString::number((d - 1) * 4 + 1),
                     "Close File Byte yes   = " + QString::number(total), "b.doc",
                     "Open File Byte Amount = 0", "Open File Byte Part   = 1",
                     "Open Long Byte        = 3", "Close Long Byte       = " + QString::number(d),
                     "Close File Byte no    = " + QString::number(d + 1),
                     "Close File Byte yes   = " + QString::number(total),
                     "Finished: files restored into " + Path("out") + ": 2, not restored: 0"}));
    EXPECT_EQ(FileBytes(Path("out/a.txt")), "0123456789");
    EXPECT_EQ(FileBytes(Path("out/b.doc")), "");
    ExpectIdle(*window);
}

TEST_F(FileRuns, StartedWithAContainerTheRestoreAppendsWithoutADialogUntilATextEncryption) {
    MakeContainer(Path("one.vrq"), {Path("a.txt")}, "abc");
    QFile::remove(Path("a.txt"));
    ui.inputAnswer = "abc";
    auto window = OpenInFileMode("abc", {Path("one.vrq")});
    window->Button1()->click();
    WaitForRun(*window);
    EXPECT_TRUE(ui.openSeen.empty());
    const QStringList lines = ListLines(*window);
    ASSERT_EQ(lines.size(), 9);
    EXPECT_EQ(lines[0], WindowText(Message::InitialLine));
    EXPECT_EQ(lines[1], "a.txt");
    EXPECT_EQ(FileBytes(Path("a.txt")), "0123456789");
    // Pressed again, it restores over the same files: they hold what it would write, so it asks
    // nothing and writes nothing.
    window->Button1()->click();
    WaitForRun(*window);
    EXPECT_TRUE(ui.choices.isEmpty());
    EXPECT_EQ(ListLines(*window).mid(9).filter("\""),
              QStringList{" \"a.txt\" already holds the same content: left as it was"});

    window->RadioButton3()->setChecked(true);
    window->Button5()->click();
    window->Button1()->click();
    EXPECT_EQ(ui.openSeen.size(), 1u);
}

TEST_F(FileRuns, EachRunRefusesPasswordsWithItsOwnBlanks) {
    auto window = OpenInFileMode("abc");
    const QString longest(23, u'p');
    const QString tooLong(24, u'p');
    const std::pair<QString, QString> refused[] = {
        {"abc", "abd"}, {"Abc", "abc"}, {"ab", "ab"}, {tooLong, tooLong}};
    for (const auto& [first, second] : refused) {
        SetPasswords(*window, first, second);
        window->Button2()->click();
        window->Button1()->click();
    }
    EXPECT_EQ(
        ui.messages,
        (QStringList{
            "Password 1 and Password 2 must equal. ", "Password 1 and Password 2 must equal ",
            "Password 1 and Password 2 must equal. ", "Password 1 and Password 2 must equal ",
            WindowText(Message::FilePasswordLength), WindowText(Message::RestorePasswordTooShort),
            WindowText(Message::FilePasswordLength), WindowText(Message::RestorePasswordTooLong)}));
    EXPECT_TRUE(ui.openSeen.empty());
    // Ordinary Turkish words the cipher cannot use for files, refused as plainly.
    ui.messages.clear();
    for (const char* unusable : {"güneş", "Öğretmen", "Ağaç dalı", "Güneşli gün", "ığüşöç"}) {
        SetPasswords(*window, QString::fromUtf8(unusable), QString::fromUtf8(unusable));
        window->Button2()->click();
        window->Button1()->click();
        Drop(*window, {Path("a.txt")});
    }
    EXPECT_EQ(ui.messages, QStringList(15,
                                       "This password cannot be used: choose another one; "
                                       "some passwords with letters outside A–Z cannot"));
    EXPECT_TRUE(ui.openSeen.empty() && ui.saveSeen.empty());
    ui.messages.clear();
    for (const QString& accepted : {QString("abc"), longest}) {
        SetPasswords(*window, accepted, accepted);
        window->Button2()->click();
        window->Button1()->click();
    }
    EXPECT_EQ(ui.openSeen.size(), 4u);
    EXPECT_TRUE(ui.messages.isEmpty());
}

// A restore asks once about a wrong password ("Stop" is what Enter and Escape give) and, before
// it writes over files of other content, once about all of them (Escape skips); a file that
// already holds what would be written is left as it is. Going on with a wrong password, no
// output passes for a stored file unremarked, and nothing says "Finished".
TEST_F(FileRuns, ARestoreAsksOnceAboutAWrongPasswordAndOnceAboutFilesInItsWay) {
    WriteFile(Path("c.cpp"), "x");
    MakeContainer(Path("abc.vrq"), {Path("a.txt"), Path("b.doc"), Path("c.cpp")}, "abcdefghij");
    const QString into = "files restored into " + folder.path() + ": ";
    const QString same = " \"b.doc\" already holds the same content: left as it was";
    const QString unconfirmed = " The password differs from the stored one";
    const struct {
        const char* password;
        QStringList answers;
        QStringList files;  // "name=bytes" afterwards, "?" for other bytes
        QStringList lines;  // the run's lines but names and figures
    } cases[] = {
        {"abcdefghij",
         {},
         {"a.txt=edited", "b.doc=", "c.cpp=x"},
         {" Entry 1 \"a.txt\": the file of that name holds other content and was kept, as "
          "chosen; not restored",
          same, "Finished: " + into + "2, not restored: 1"}},
        {"abcdefghij",
         {"Replace"},
         {"a.txt=0123456789", "b.doc=", "c.cpp=x"},
         {" \"a.txt\" held other content: replaced, as chosen", same,
          "Finished: " + into + "3, not restored: 0"}},
        {"abcdefghij",
         {"Keep both"},
         {"a (restored 2).txt=0123456789", "a.txt=edited", "b.doc=", "c.cpp=x"},
         {" \"a.txt\" holds other content and was kept, as chosen: restored as \"a (restored "
          "2).txt\"",
          same, "Finished: " + into + "3, not restored: 0"}},
        {"uvwxyzabcd",
         {"Stop"},
         {"a.txt=edited", "b.doc="},
         {"Not finished: " + into + "0, the rest not restored"}},
        {"uvwxyzabcd",
         {"Restore anyway"},
         {"a (restored 2).txt=?", "a.txt=edited", "b (restored 2).doc=", "b.doc=", "c.cpp=?"},
         {unconfirmed + ", so \"a.txt\" was not replaced: restored as \"a (restored 2).txt\"",
          unconfirmed + ", so \"b.doc\" was not replaced: restored as \"b (restored 2).doc\"",
          unconfirmed + ": \"c.cpp\" was written under its own name and is probably unreadable",
          "The password did not match: files written into " + folder.path() +
              ": 3, probably unreadable"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answers.join("").toStdString());
        for (const QString& name : QDir(folder.path()).entryList({"?.*", "? (*"}, QDir::Files))
            QFile::remove(Path(name));
        WriteFile(Path("a.txt"), "edited");
        WriteFile(Path("b.doc"), "");
        auto window = OpenInFileMode(c.password);
        window->Edit1()->hide();
        ui.choiceAnswers.assign(c.answers.begin(), c.answers.end());
        ui.openAnswer = {Path("abc.vrq")};
        window->Button1()->click();
        WaitForRun(*window);
        QStringList files, lines;
        for (const QString& name : QDir(folder.path()).entryList({"?.*", "? (*"}, QDir::Files)) {
            const QByteArray bytes = FileBytes(Path(name));
            const bool known = QStringList{"0123456789", "", "x", "edited"}.contains(bytes);
            files << name + "=" + (known ? bytes : "?");
        }
        EXPECT_EQ(files, c.files);
        for (const QString& line : ListLines(*window).mid(1))
            if (!line.contains(" = ") && !QStringList{"a.txt", "b.doc", "c.cpp"}.contains(line))
                lines << line;
        EXPECT_EQ(lines, c.lines);
        EXPECT_EQ(window->Status()->text(), c.lines.back());
        EXPECT_EQ(window->Edit1()->isHidden(), c.answers != QStringList{"Stop"});
    }
    const QString inTheWay =
        "Files already there|Files in " + folder.path() +
        " hold other content than the restore would write: 1\n\na.txt\n\nReplace: these files "
        "are replaced and lost.\nKeep both: each restored file gets a name such as \"a (restored "
        "2).txt\".\nSkip: these files are left as they are and not restored.|Replace/Keep "
        "both/Skip|Keep both";
    const QString wrong = "Change Password|Password is wrong|Stop/Restore anyway|Stop";
    EXPECT_EQ(ui.choices, QStringList({inTheWay, inTheWay, inTheWay, wrong, wrong}));
}

TEST_F(FileRuns, APasswordOfAnotherLengthIsRefusedAndThePasswordBoxShown) {
    MakeContainer(Path("three.vrq"), {Path("a.txt")}, "abc");
    auto window = OpenInFileMode("abcdefghijklmnop");
    window->Edit1()->hide();
    ui.openAnswer = {Path("three.vrq")};
    window->Button1()->click();
    WaitForRun(*window);
    EXPECT_EQ(ui.messages, QStringList{" Password's length is wrong."});
    EXPECT_FALSE(window->Edit1()->isHidden());
}

// A stored name with ESC and a line break cannot fake report lines; the file keeps its name.
TEST_F(FileRuns, StoredNamesAreShownWithTheirControlBytesEscaped) {
    const QString name = QString::fromUtf8("evil\x1b[2Kname\nClose File Byte yes   = 0\\");
    QDir().mkpath(Path("src"));
    WriteFile(Path("src/") + name, "hidden");
    MakeContainer(Path("evil.vrq"), {Path("src/") + name}, "abc");
    auto window = OpenInFileMode("abc");
    ui.openAnswer = {Path("evil.vrq")};
    window->Button1()->click();
    WaitForRun(*window);
    const QStringList lines = ListLines(*window);
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines[1], "evil\\x1b[2Kname\\nClose File Byte yes   = 0\\\\");
    EXPECT_EQ(FileBytes(Path(name)), "hidden");
}

TEST_F(FileRuns, WhileARunIsGoingTheActionsWaitAndCancelLeavesNoFile) {
    WriteFile(Path("big.bin"), QByteArray(24 << 20, 'b'));
    auto window = OpenInFileMode("abcdefgh");
    ui.openAnswer = {Path("big.bin")};
    window->Button2()->click();
    ASSERT_TRUE(window->FileRunning());
    for (const QWidget* control : RunGuarded(*window))
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
    EXPECT_FALSE(window->Button7()->isHidden());
    // Handlers reached some other way refuse too: the list keeps the source path.
    window->ListBox1DblClick();
    window->FormDblClick();
    window->Button2Click();
    EXPECT_EQ(ListLines(*window), QStringList{Path("big.bin")});
    EXPECT_EQ(ui.openSeen.size(), 1u);

    window->Button7()->click();
    WaitForRun(*window);
    EXPECT_EQ(ListLines(*window),
              QStringList({Path("big.bin"), "Cancelled: " + Path("big.vrq") + " was not written"}));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList({"a.txt", "b.doc", "big.bin"}));
    EXPECT_TRUE(window->ProgressBar1()->isHidden());
    EXPECT_TRUE(window->ProgressBar2()->isHidden());
    ExpectIdle(*window);
}

TEST_F(FileRuns, EscapeCancelsARestoreWithoutLeavingAHalfWrittenFile) {
    WriteFile(Path("big.bin"), QByteArray(24 << 20, 'b'));
    MakeContainer(Path("two.vrq"), {Path("a.txt"), Path("big.bin")}, "abcdefgh");
    QDir().mkpath(Path("out"));
    QFile::rename(Path("two.vrq"), Path("out/two.vrq"));
    auto window = OpenInFileMode("abcdefgh");
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    ui.openAnswer = {Path("out/two.vrq")};
    window->Button1()->click();
    ASSERT_TRUE(window->FileRunning());
    QTest::keyClick(window.get(), Qt::Key_Escape);
    WaitForRun(*window);
    EXPECT_TRUE(ListLines(*window).back().startsWith("Cancelled: files restored into " +
                                                     Path("out") + ": "));
    // The small first entry may have been completed before the key arrived; the large one was not.
    QStringList left = QDir(Path("out")).entryList(QDir::Files | QDir::Hidden);
    if (left.removeOne("a.txt")) {
        EXPECT_EQ(FileBytes(Path("out/a.txt")), "0123456789");
    }
    EXPECT_EQ(left, QStringList{"two.vrq"});
}

TEST_F(FileRuns, ClosingTheWindowCancelsARunAndWaitsForIt) {
    WriteFile(Path("big.bin"), QByteArray(24 << 20, 'b'));
    auto window = OpenInFileMode("abcdefgh");
    ui.openAnswer = {Path("big.bin")};
    window->Button2()->click();
    ui.choiceAnswers = {"Stop the run and close"};
    window->close();
    EXPECT_FALSE(window->FileRunning());
    EXPECT_EQ(FileBytes(Path("big.vrq")), "<missing>");
}

TEST_F(FileRuns, DroppedFilesAreEncryptedAndADroppedContainerIsRestored) {
    auto window = OpenInFileMode("abc");
    ui.saveAnswer = Path("DROPPED.VRQ");  // the extension in any case marks a container
    Drop(*window, {Path("a.txt"), Path("b.doc")});
    ASSERT_EQ(ui.saveSeen.size(), 1u);
    WaitForRun(*window);
    EXPECT_EQ(ListLines(*window).mid(0, 2), QStringList({Path("a.txt"), Path("b.doc")}));
    EXPECT_TRUE(ui.openSeen.empty());

    QFile::remove(Path("a.txt"));
    Drop(*window, {Path("DROPPED.VRQ")});
    WaitForRun(*window);
    EXPECT_EQ(ListLines(*window).mid(0, 2), QStringList({Path("DROPPED.VRQ"), "a.txt"}));
    EXPECT_EQ(FileBytes(Path("a.txt")), "0123456789");
}

TEST_F(FileRuns, DropsAreRefusedOutsideFileModeAndForFolders) {
    auto window = OpenInFileMode("abc");
    Drop(*window, {Path("a.txt"), folder.path()});
    EXPECT_EQ(window->Status()->text(), "folders cannot be encrypted; choose files");
    window->RadioButton3()->setChecked(true);
    Drop(*window, {Path("a.txt")});
    QCoreApplication::processEvents();
    EXPECT_FALSE(window->FileRunning());
    EXPECT_TRUE(ui.saveSeen.empty());
    EXPECT_EQ(ListLines(*window), QStringList{WindowText(Message::InitialLine)});
}

}  // namespace
}  // namespace kiv
