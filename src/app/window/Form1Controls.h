#pragma once

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>
#include <vector>

#include "app/window/ClickLabel.h"
#include "app/window/StatusLine.h"

namespace kiv {

// The controls of the main window with their design positions, fonts and colours, and the
// groups in which the window shows, hides or switches them. The window owns every control
// through Qt's parent chain; this object only keeps the pointers.
class Form1Controls {
  public:
    // Builds every control on form and gives the form its own look.
    explicit Form1Controls(QWidget& form);

    // A label's caption, with the label sized to it.
    static void SetCaption(QLabel* label, const QString& text);

    // The mode switches of the three radio buttons: 1 "Use File", 2 "Use Copy", 3 "Use Text".
    void ShowMode(int mode);
    // The controls that a click on the window's free area shows and a double-click hides.
    void ShowAll();
    void HideAll();
    // The run's own look: the actions off and "Cancel" shown while a file run is going, with
    // the bars, "Cancel" and the status line in view. Focus on a control that goes off moves to
    // "Cancel", and at the end to focusAfterRun where there is one, each in one step.
    void SetRunning(bool running, QWidget* focusAfterRun = nullptr);
    // The controls that would change a file run's inputs, or start another: off during a run.
    std::vector<QWidget*> RunInputs() const;
    // The order in which Tab visits the controls; laid once they have their final parent, since
    // a new parent puts a control at the end of the chain.
    void SetTabOrder();

    ClickLabel* Label3;
    ClickLabel* Label4;
    QCheckBox* CheckBox1;
    QRadioButton* RadioButton3;
    QRadioButton* RadioButton2;
    QRadioButton* RadioButton1;
    QPushButton* Button5;
    QPushButton* Button6;
    QPushButton* Button4;
    QPushButton* Button3;
    QPushButton* Button2;
    QPushButton* Button1;
    QLineEdit* Edit1;
    ClickLabel* Label1;
    QLineEdit* Edit2;
    ClickLabel* Label2;
    QListWidget* ListBox1;
    QPlainTextEdit* Memo1;
    QProgressBar* ProgressBar1;
    QProgressBar* ProgressBar2;
    // "Cancel": shown only while a file run is going.
    QPushButton* Button7;
    QMenu* PopupMenu1;
    QAction* Usememeo1;
    QAction* Save1;
    QAction* Saveas1;
    // What the last action did, where nothing else shows it, until the next one.
    StatusLine* Status;

  private:
    void StyleForm();
    void CreateTopRow();
    void CreateButtons();
    void CreatePasswordRow();
    void CreateReportAndEditor();
    void CreateProgressAndMenu();
    void OpenMenuFromKeyboard();

    QWidget& form_;
};

}  // namespace kiv
