#pragma once

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>
#include <cstdint>
#include <memory>

#include "app/core/ClipboardSegments.h"
#include "app/core/DialogSettings.h"
#include "app/core/TextSession.h"
#include "app/core/UiServices.h"
#include "app/core/WindowSettings.h"
#include "app/window/ClickLabel.h"
#include "app/window/EditorLines.h"
#include "app/window/FileRunController.h"
#include "app/window/Form1Controls.h"
#include "app/window/StartupContext.h"
#include "numeric/Clock.h"
#include "runtime/TDdeServerConv.h"

namespace kiv {

// The program's only working window. Its handlers read the controls, call the logic and show
// the results; everything the user sees outside the controls goes through UiServices. Creating
// the window runs its start-up sequence (FormCreate); an exception there is shown and the
// window opens with what was set up to that point.
class TForm1 final : public QWidget {
    Q_OBJECT

  public:
    TForm1(UiServices& ui, const Clock& clock, StartupContext context, QWidget* parent = nullptr);
    ~TForm1() override;

    // The controls, owned through Qt's parent chain and named after themselves.
    ClickLabel* Label3() const { return controls_.Label3; }
    ClickLabel* Label4() const { return controls_.Label4; }
    QCheckBox* CheckBox1() const { return controls_.CheckBox1; }
    QRadioButton* RadioButton3() const { return controls_.RadioButton3; }
    QRadioButton* RadioButton2() const { return controls_.RadioButton2; }
    QRadioButton* RadioButton1() const { return controls_.RadioButton1; }
    QPushButton* Button5() const { return controls_.Button5; }
    QPushButton* Button6() const { return controls_.Button6; }
    QPushButton* Button4() const { return controls_.Button4; }
    QPushButton* Button3() const { return controls_.Button3; }
    QPushButton* Button2() const { return controls_.Button2; }
    QPushButton* Button1() const { return controls_.Button1; }
    QLineEdit* Edit1() const { return controls_.Edit1; }
    ClickLabel* Label1() const { return controls_.Label1; }
    QLineEdit* Edit2() const { return controls_.Edit2; }
    ClickLabel* Label2() const { return controls_.Label2; }
    QListWidget* ListBox1() const { return controls_.ListBox1; }
    QPlainTextEdit* Memo1() const { return controls_.Memo1; }
    QProgressBar* ProgressBar1() const { return controls_.ProgressBar1; }
    QProgressBar* ProgressBar2() const { return controls_.ProgressBar2; }
    // "Cancel": shown only while a file run is going.
    QPushButton* Button7() const { return controls_.Button7; }
    QMenu* PopupMenu1() const { return controls_.PopupMenu1; }
    QAction* Usememeo1() const { return controls_.Usememeo1; }
    QAction* Save1() const { return controls_.Save1; }
    QAction* Saveas1() const { return controls_.Saveas1; }
    StatusLine* Status() const { return controls_.Status; }

    DialogSettings OpenDialog1;
    DialogSettings SaveDialog1;
    // The command service's topic; absent when the window was created without a service.
    TDdeServerConv* DdeServerConv1 = nullptr;

    QString rememberedPassword;
    QString startPassword;
    QString startFilePath;
    // 213 while the window works on the file it was started with. Kept apart from the time
    // stamp: the first text encryption ends that mode, and no time stamp may start it again.
    std::int32_t startFileMarker = 0;
    std::int32_t storedLeft = 0;
    std::int32_t storedTop = 0;
    bool saveOnClose = false;

    // 1 "Use File", 2 "Use Copy", 3 "Use Text": the checked radio button.
    int SourceMode() const;
    EditorLines Lines() { return EditorLines(*controls_.Memo1); }
    // The file the editor's document is saved to after every encryption.
    QString LastSaveFile() const { return startFilePath + QStringLiteral("Kiv.txt"); }

    void LoadSettings();
    void SaveSettings();
    // The text actions' key, operands and text cores. Any encryption ends the start-up-file mode.
    TextSession& Session() { return session_; }
    // A file run is going on its worker thread; every action on the report list, the passwords
    // or a cipher waits until it has ended.
    bool FileRunning() const { return fileRuns_->Running(); }

  public slots:
    void FormCreate();
    void FormClick();
    void FormDblClick();
    void FormClose();
    void RadioButton1Click() { controls_.ShowMode(1); }
    void RadioButton2Click() { controls_.ShowMode(2); }
    void RadioButton3Click() { controls_.ShowMode(3); }
    void Label1Click();
    void Label2Click();
    void Usememeo1Click() { Lines().Clear(); }
    void Save1Click();
    void Saveas1Click();
    void Memo1DblClick() { Lines().Clear(); }
    void ListBox1Click() {}
    void ListBox1DblClick();
    void Button1Click();
    void Button2Click() { fileRuns_->Encrypt(); }
    void Button3Click();
    void Button4Click();
    void Button5Click();
    void Button6Click();
    void Button7Click() { fileRuns_->Cancel(); }
    // Escape: cancels a file run; otherwise brings back what a double-click hid.
    void EscapePressed();
    void DdeServerConv1Open();
    // Macros are acknowledged and change nothing.
    void DdeServerConv1ExecuteMacro(const QStringList&) {}
    void DdeServerConv1Close() {}

  protected:
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void ConnectHandlers();
    void CreateCommandTopic();
    // Runs a handler so that nothing it throws reaches Qt's event loop; once the outermost one is
    // over, the key it used is wiped from CipherKey and the workspace.
    void Run(void (TForm1::*handler)());
    void HandleArguments();
    // Says on standard error why the last-save file was not read or written; a reason given
    // once is not repeated at every encryption.
    void NoteLastSave(const QString& why);
    void ApplySettings(const WindowSettingsValues& values);
    // The session's key check on the two password boxes.
    bool PrepareTextKey(const char* mismatchText, const char* shortText, bool encrypting);
    // What a clipboard action converted: its count on the status line, its pieces in the editor.
    void ShowClipboardResult(const ClipboardSegments::Result& result, ClipboardContent content);

    UiServices& ui_;
    const Clock& clock_;
    StartupContext context_;
    TextSession session_;
    Form1Controls controls_;
    WindowSettings settings_;
    QString lastSaveNoted_;
    // Handlers running, counting those a box's own event loop started inside another.
    int handlersRunning_ = 0;
    // A double-click ends with a release that is no click of its own.
    bool releaseEndsDoubleClick_ = false;
    // A double-click on the free area hid every control, and no click has shown them since.
    bool allHidden_ = false;
    // Last, so that a run still going is cancelled and joined before anything else goes.
    std::unique_ptr<FileRunController> fileRuns_;
};

}  // namespace kiv
