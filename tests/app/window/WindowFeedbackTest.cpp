#include <QAccessible>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>
#include <QScrollArea>
#include <QTimer>

#include "app/window/QtUiServices.h"
#include "app/window/WindowFixture.h"
#include "messages/MessageCatalogue.h"

namespace kiv {
namespace {

// What the window tells and offers around its actions: the state of the controls during a file
// run, the keyboard and what assistive technology learns.
class WindowFeedback : public WindowFixture {
  protected:
    // Shown and active; on screens of that size where given (1280x800 at scale 2: 640x400).
    std::unique_ptr<TForm1> OpenShown(const QVector<QRect>& screens = {}) {
        StartupContext context{SettingsFile(), MachineFile(), ProgramFolder(), {}};
        context.screenAreas = screens;
        auto window = std::make_unique<TForm1>(ui, clock, context);
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        return window;
    }
    // An encryption of a file big enough to be still going when the test looks.
    void StartLongRun(TForm1& window, const QString& name = QStringLiteral("big.bin")) {
        QDir().mkpath(QFileInfo(Path(name)).path());  // a deep folder makes a long path
        WriteFile(Path(name), QByteArray(24 << 20, 'b'));
        window.RadioButton1()->setChecked(true);
        SetPasswords(window, QStringLiteral("abcdefgh"), QStringLiteral("abcdefgh"));
        ui.openAnswer = {Path(name)};
        window.Button2()->click();
        ASSERT_TRUE(window.FileRunning());
    }
    static std::vector<QWidget*> RunInputs(const TForm1& window) {
        return {window.Button1(),      window.Button2(),     window.Button3(),
                window.Button4(),      window.Button5(),     window.Button6(),
                window.Edit1(),        window.Edit2(),       window.Label1(),
                window.Label2(),       window.CheckBox1(),   window.RadioButton1(),
                window.RadioButton2(), window.RadioButton3()};
    }
    // The widgets Tab visits from Edit1 until it comes back there.
    static std::vector<QWidget*> TabStops() {
        std::vector<QWidget*> stops{QApplication::focusWidget()};
        for (int i = 0; i < 40; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            if (QApplication::focusWidget() == stops.front()) break;
            stops.push_back(QApplication::focusWidget());
        }
        return stops;
    }
};

TEST_F(WindowFeedback, DuringARunEveryInputIsOffAndDrawnFromTheDisabledColours) {
    auto window = Open();
    StartLongRun(*window);
    for (QWidget* control : RunInputs(*window)) {
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
        const QPalette& palette = control->palette();
        for (const QPalette::ColorRole role :
             {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
            EXPECT_NE(palette.color(QPalette::Disabled, role),
                      palette.color(QPalette::Active, role))
                << control->objectName().toStdString() << " role " << role;
    }
    EXPECT_TRUE(window->Button7()->isEnabled());
    EXPECT_TRUE(window->ListBox1()->isEnabled());
    window->Button7()->click();
    WaitForRun(*window);
    for (QWidget* control : RunInputs(*window))
        EXPECT_TRUE(control->isEnabled()) << control->objectName().toStdString();
}

TEST_F(WindowFeedback, ClosingDuringARunAsksAndCancelKeepsTheRunGoing) {
    auto window = Open();
    StartLongRun(*window);
    window->close();
    EXPECT_TRUE(window->FileRunning());
    EXPECT_EQ(ui.choices,
              QStringList{"Pulm Vostra|A file run is still going.\nStop it and close the "
                          "window?|Stop the run and close/Keep running|Keep running"});
    ui.choiceAnswers = {"Stop the run and close"};
    window->close();
    EXPECT_FALSE(window->FileRunning());
    EXPECT_EQ(FileBytes(Path("big.vrq")), "<missing>");
    EXPECT_EQ(ui.choices.size(), 2);
}

TEST_F(WindowFeedback, ClosingWithoutARunAsksNothing) {
    auto window = Open();
    window->close();
    EXPECT_TRUE(ui.questions.isEmpty());
}

TEST_F(WindowFeedback, AfterARunTheFocusIsBackOnTheButtonThatStartedIt) {
    WriteFile(Path("a.txt"), "0123456789");
    QWidgetList focused;  // one step to "Cancel" and one back: a screen reader speaks no other
    auto window = OpenShown();
    QObject::connect(qApp, &QApplication::focusChanged, window.get(),
                     [&](QWidget*, QWidget* now) { focused << now; });
    window->RadioButton1()->setChecked(true);
    SetPasswords(*window, QStringLiteral("abc"), QStringLiteral("abc"));
    for (QPushButton* button : {window->Button2(), window->Button1()}) {
        ui.openAnswer = {button == window->Button2() ? Path("a.txt") : Path("a.vrq")};
        button->setFocus();
        focused.clear();
        button->click();
        EXPECT_EQ(focused, QWidgetList{window->Button7()});
        WaitForRun(*window);
        EXPECT_EQ(QApplication::focusWidget(), button) << button->objectName().toStdString();
        EXPECT_EQ(focused.size(), 2);
    }
    window->ListBox1()->setFocus();  // not on an input: it stays
    window->Button2()->click();
    EXPECT_EQ(QApplication::focusWidget(), window->ListBox1());
    WaitForRun(*window);
}

// At scale 2 the window scrolls: a run shows what it changes, not the greyed inputs, and the
// status line shortens a long path in its middle to what is in view, giving it whole aside.
TEST_F(WindowFeedback, ARunBringsItsBarsCancelAndStatusIntoAScrolledView) {
    auto window = OpenShown({QRect(0, 0, 640, 400)});
    StartLongRun(*window, QString(30, u'd') + "/big.bin");
    const QWidget* view = window->findChild<QScrollArea*>()->viewport();
    const auto inView = [&](const QWidget* control) {
        return QRect(control->mapTo(view, QPoint(0, 0)), control->size()) & view->rect();
    };
    const StatusLine& status = *window->Status();
    for (const QWidget* control : std::initializer_list<const QWidget*>{
             window->ProgressBar1(), window->ProgressBar2(), window->Button7(), &status})
        EXPECT_EQ(inView(control).topLeft(), control->mapTo(view, QPoint(0, 0)));
    EXPECT_EQ(QApplication::focusWidget(), window->Button7());
    window->Button7()->click();
    WaitForRun(*window);
    EXPECT_TRUE(status.text().endsWith("big.vrq was not written")) << status.text().toStdString();
    EXPECT_LE(status.fontMetrics().horizontalAdvance(status.text()), inView(&status).width());
    const QString output = Path(QString(30, u'd') + "/big.vrq");
    EXPECT_EQ(status.toolTip(), output);
    EXPECT_EQ(
        QAccessible::queryAccessibleInterface(window->Status())->text(QAccessible::Description),
        output);
}

// Tab reads the window as a page is read, the same in every mode, also at scale 2 (no stop on the
// unnamed scroll area); of the modes, only the checked one.
TEST_F(WindowFeedback, EachModeHasOneTabOrderTopToBottomAndLeftToRight) {
    const QStringList stops[] = {
        {"Edit1", "Edit2", "CheckBox1", "ListBox1", "Button2", "RadioButton1", "Button1"},
        {"Edit1", "Edit2", "CheckBox1", "Button4", "RadioButton2", "Button3"},
        {"Edit1", "Edit2", "Memo1", "CheckBox1", "Button5", "RadioButton3", "Button6"}};
    auto window = OpenShown({QRect(0, 0, 640, 400)});
    QRadioButton* modes[] = {window->RadioButton1(), window->RadioButton2(),
                             window->RadioButton3()};
    for (int mode = 0; mode < 3; ++mode) {
        modes[mode]->setChecked(true);
        window->Edit1()->setFocus();
        QStringList names;
        for (const QWidget* stop : TabStops())
            names << stop->objectName();
        EXPECT_EQ(names, stops[mode]);
    }
}

// Two pixels of the highlight colour just inside the focused button's edge.
TEST_F(WindowFeedback, AFocusedButtonWearsARingThatShows) {
    auto window = OpenShown();
    QPushButton* button = window->Button5();
    const QColor ring = button->palette().color(QPalette::Highlight);
    const auto at = [&](int x) { return button->grab().toImage().pixelColor(x, 8); };
    EXPECT_NE(at(1), ring);
    button->setFocus();
    EXPECT_EQ(at(1), ring);
    EXPECT_EQ(at(2), ring);
}

TEST_F(WindowFeedback, ShiftF10OpensTheMenuThatTheRightButtonOpens) {
    auto window = OpenShown();
    const auto openedMenu = [&](QWidget* control) {
        control->setFocus();
        QTest::keyClick(control, Qt::Key_F10, Qt::ShiftModifier);
        QWidget* popup = QApplication::activePopupWidget();
        if (popup != nullptr) popup->close();
        return qobject_cast<QMenu*>(popup);
    };
    QMenu* editorMenu = openedMenu(window->Memo1());
    ASSERT_NE(editorMenu, nullptr);
    EXPECT_NE(editorMenu, window->PopupMenu1());  // the editor's own edit menu
    EXPECT_EQ(openedMenu(window->Button5()), window->PopupMenu1());
    EXPECT_EQ(openedMenu(window->RadioButton3()), window->PopupMenu1());
}

TEST_F(WindowFeedback, EveryFileRunEndsWithALineSayingHowAndWhere) {
    WriteFile(Path("a.txt"), "0123456789");
    WriteFile(Path("b.doc"), "");
    WriteFile(Path("bad.vrq"), "no container");
    auto window = Open();
    window->RadioButton1()->setChecked(true);
    SetPasswords(*window, QStringLiteral("abc"), QStringLiteral("abc"));
    const auto run = [&](QPushButton* button, const QStringList& chosen) {
        ui.openAnswer = chosen;
        button->click();
        WaitForRun(*window);
        EXPECT_EQ(window->Status()->text(), ListLines(*window).back());
        EXPECT_FALSE(window->Status()->isHidden());
        return ListLines(*window).back();
    };
    EXPECT_EQ(run(window->Button2(), {Path("a.txt")}),
              "Finished: the files are encrypted into " + Path("a.vrq"));
    EXPECT_EQ(run(window->Button1(), {Path("a.vrq")}),
              "Finished: files restored into " + folder.path() + ": 1, not restored: 0");
    ui.saveAnswer = Path("missing/both.vrq");
    EXPECT_EQ(run(window->Button2(), {Path("a.txt"), Path("b.doc")}),
              "Not finished: " + Path("missing/both.vrq") + " was not written");
    EXPECT_EQ(run(window->Button1(), {Path("bad.vrq")}),
              "Not finished: files restored into " + folder.path() + ": 0, the rest not restored");

    WriteFile(Path("big.bin"), QByteArray(24 << 20, 'b'));
    ui.openAnswer = {Path("big.bin")};
    window->Button2()->click();
    window->Button7()->click();
    WaitForRun(*window);
    EXPECT_EQ(ListLines(*window).back(), "Cancelled: " + Path("big.vrq") + " was not written");
    ui.saveAnswer = Path("big.vrq");
    EXPECT_TRUE(run(window->Button2(), {Path("a.txt"), Path("big.bin")}).startsWith("Finished"));
    QDir().mkpath(Path("out"));
    QFile::rename(Path("big.vrq"), Path("out/big.vrq"));
    ui.openAnswer = {Path("out/big.vrq")};
    window->Button1()->click();
    window->Button7()->click();
    WaitForRun(*window);
    const QString restored = ListLines(*window).back();
    EXPECT_TRUE(restored == "Cancelled: files restored into " + Path("out") +
                                ": 0, the rest not restored" ||
                restored ==
                    "Cancelled: files restored into " + Path("out") + ": 1, the rest not restored")
        << restored.toStdString();
}

TEST_F(WindowFeedback, AClipboardActionSaysWhatTheClipboardNowHolds) {
    auto window = Open();
    window->RadioButton2()->setChecked(true);
    SetPasswords(*window, QStringLiteral("12345678"), QStringLiteral("12345678"));
    ui.clipboard = QStringLiteral("one\ttwo\nthree");
    window->Button4()->click();
    StatusLine& status = *window->Status();
    EXPECT_FALSE(status.isHidden());
    EXPECT_EQ(status.text(), "The clipboard now holds the encrypted text (3 parts)");
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&status);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->role(), QAccessible::AlertMessage);
    EXPECT_EQ(face->text(QAccessible::Name), status.text());
    window->Button3()->click();
    EXPECT_EQ(status.text(), "The clipboard now holds the decrypted text (3 parts)");
    // It stays, however long the user takes to read it, until the next action.
    QTest::qWait(6500);
    EXPECT_FALSE(status.isHidden());
    window->Button5()->click();
    EXPECT_TRUE(status.isHidden());
    // The line lies in free space: it covers no other control, shown or not.
    for (const QWidget* control :
         window->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (control != &status && !qobject_cast<const QMenu*>(control)) {
            EXPECT_FALSE(control->geometry().intersects(status.geometry()))
                << control->objectName().toStdString();
        }
}

// Answers the next file dialog: notes the folder it starts in, then picks chosen or cancels.
void AnswerDialog(QString& startFolder, const QString& chosen) {
    QTimer::singleShot(0, [&startFolder, chosen] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        startFolder = dialog->directory().absolutePath();
        if (chosen.isEmpty()) return dialog->reject();
        dialog->selectFile(chosen);
        static_cast<QDialog*>(dialog)->accept();
    });
}

TEST_F(WindowFeedback, FileDialogsStartAtHomeThenInTheFolderLastUsed) {
    QtUiServices real;
    auto window = std::make_unique<TForm1>(
        real, clock, StartupContext{SettingsFile(), MachineFile(), ProgramFolder(), {}});
    QDir().mkpath(Path("chosen"));
    WriteFile(Path("chosen/a.txt"), "a");
    QString start;
    AnswerDialog(start, Path("chosen/a.txt"));
    EXPECT_EQ(real.OpenDialog(window->OpenDialog1), QStringList{Path("chosen/a.txt")});
    EXPECT_EQ(start, QDir::homePath());
    AnswerDialog(start, QString());
    EXPECT_EQ(real.SaveDialog(window->SaveDialog1), std::nullopt);
    EXPECT_EQ(start, Path("chosen"));
    // Two arguments leave the folders unset: still home, not the working folder.
    QtUiServices fresh;
    DialogSettings unset;
    AnswerDialog(start, QString());
    fresh.OpenDialog(unset);
    EXPECT_EQ(start, QDir::homePath());
}

// The prompt names the file, and after it the status line says what restores it.
TEST_F(WindowFeedback, TheStartUpPromptNamesItsFile) {
    auto window = Open({folder.filePath("docs/my letter.vrq")});
    EXPECT_EQ(ui.inputBoxes,
              QStringList{"Protect the lives of your information|Enter the Password:|"});
    EXPECT_EQ(ui.inputSubjects, QStringList{"my letter.vrq"});
    // A first start is in "Use Text" mode, where the button is not shown.
    EXPECT_EQ(window->Status()->WholeText(),
              "Choose Use File, then press Decrypt  File data to restore " +
                  folder.filePath("docs/my letter.vrq"));
    window.reset();
    Store({{"radyono", "1"}});
    window = Open({folder.filePath("docs/my letter.vrq")});
    EXPECT_EQ(window->Status()->WholeText(),
              "Press Decrypt  File data to restore " + folder.filePath("docs/my letter.vrq"));
}

// The boxes as QtUiServices shows them: the file above the prompt, and wide enough for a caption
// that window managers would otherwise cut.
TEST_F(WindowFeedback, BoxesAreWideEnoughForTheirCaption) {
    QtUiServices real;
    const QString caption = QStringLiteral("Protect the lives of your information");
    QString label;
    int width = 0;
    int captionWidth = 0;
    QString defaultButton;
    QString press;
    const auto look = [&] {
        QTimer::singleShot(0, [&] {
            QWidget* box = QApplication::activeModalWidget();
            ASSERT_NE(box, nullptr);
            if (auto* input = qobject_cast<QInputDialog*>(box)) label = input->labelText();
            width = box->width();
            captionWidth = box->fontMetrics().horizontalAdvance(box->windowTitle());
            if (auto* message = qobject_cast<QMessageBox*>(box); message && !press.isNull()) {
                defaultButton = message->defaultButton()->text();
                for (QAbstractButton* button : message->buttons())
                    if (button->text() == press) return button->click();
            }
            box->close();
        });
    };
    look();
    real.PasswordBox(caption, QStringLiteral("Enter the Password:"), QString(),
                     QStringLiteral("my letter.vrq"));
    EXPECT_EQ(label, "File: my letter.vrq\nEnter the Password:");
    EXPECT_GT(width, captionWidth + 100);
    look();
    real.Question(QStringLiteral("Password is wrong"), caption);
    EXPECT_GT(width, captionWidth + 100);
    // Each button says what it does; closing the box, like Enter and Escape, keeps running.
    for (const QString& answer : {QStringLiteral(""), QStringLiteral("Stop the run and close")}) {
        press = answer;
        look();
        EXPECT_EQ(
            real.Choose("Still going.", caption, {"Stop the run and close", "Keep running"}, 1, 1),
            answer.isEmpty() ? 1 : 0);
        EXPECT_EQ(defaultButton, "Keep running");
    }
}

TEST_F(WindowFeedback, TheMainWindowIsAFrameForAssistiveTechnology) {
    auto window = Open();
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(window.get());
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->role(), QAccessible::Window);
}

}  // namespace
}  // namespace kiv
