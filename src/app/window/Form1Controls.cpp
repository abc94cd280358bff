#include "app/window/Form1Controls.h"

#include "app/window/Form1Layout.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QShortcut>
#include <QTextOption>
#include <algorithm>

#include "app/core/EditorDocument.h"
#include "app/core/ShownText.h"
#include "app/window/ClickLabelAccessible.h"
#include "app/window/EditorLines.h"
#include "app/window/FocusRingStyle.h"
#include "app/window/ProgramIcon.h"
#include "app/window/WindowAccessibility.h"
#include "app/window/WindowPlacement.h"
#include "filecrypt/OperationReport.h"
#include "messages/MessageCatalogue.h"

namespace kiv {

namespace {

constexpr char kDesignPassword[] = "its rain";

// The window's look where the desktop offers no exact match: the families are asked for and
// the system substitutes its closest font.
const QColor kBackground(185, 209, 234);  // the gradient active-caption colour
const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);
const QColor kTeal(0, 128, 128);
const QColor kAqua(0, 255, 255);
const QColor kBlack(0, 0, 0);

QFont PixelFont(const QString& family, int pixels, bool bold) {
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QFont SansFont(int pixels, bool bold) {
    return PixelFont(QStringLiteral("MS Sans Serif"), pixels, bold);
}

// The colour of an enabled control; a disabled one keeps the style's own, so that it looks off.
void SetTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
        for (const QPalette::ColorRole role :
             {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
            palette.setColor(group, role, colour);
    widget->setPalette(palette);
}

// A control at its design position; a width of 0 lets it size itself to its text.
template <class Control>
Control* Place(QWidget* form, const char* name, const QFont& font) {
    const QRect geometry = Form1Layout::Of(name);
    auto* control = new Control(form);
    control->setObjectName(QLatin1String(name));
    control->setFont(font);
    // Clicks on a control are the control's; only the window's free area shows or hides all.
    control->setAttribute(Qt::WA_NoMousePropagation);
    control->move(geometry.topLeft());
    if (geometry.width() > 0) control->resize(geometry.size());
    return control;
}

// Substitute fonts run wider than the ones the layout was drawn with; a fixed-size label
// steps its font down until its text fits again.
void FitText(QLabel* label) {
    QFont font = label->font();
    while (font.pixelSize() > 8 &&
           QFontMetrics(font).horizontalAdvance(label->text()) > label->width() - 2)
        font.setPixelSize(font.pixelSize() - 1);
    label->setFont(font);
}

QPushButton* Button(QWidget* form, const char* name, const char* caption) {
    QPushButton* control = Place<QPushButton>(form, name, SansFont(11, true));
    control->setText(ShownText(caption));
    SetTextColour(control, kBlue);
    return control;
}

QLineEdit* PasswordBox(QWidget* form, const char* name) {
    QLineEdit* edit = Place<QLineEdit>(form, name, SansFont(11, false));
    edit->setText(QLatin1String(kDesignPassword));
    edit->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    SetTextColour(edit, kBlack);  // the window-text colour
    return edit;
}

}  // namespace

Form1Controls::Form1Controls(QWidget& form) : form_(form) {
    // Before the first label exists: Qt keeps the first interface it builds for a control.
    ClickLabelAccessible::Install();
    InstallMainWindowRole();
    StyleForm();
    CreateTopRow();
    CreateButtons();
    CreatePasswordRow();
    CreateReportAndEditor();
    CreateProgressAndMenu();
    OpenMenuFromKeyboard();
    // Made after the buttons, so that it goes after them too: children go in the order made.
    auto* focusRing = new FocusRingStyle;
    focusRing->setParent(&form_);
    for (QPushButton* button : {Button1, Button2, Button3, Button4, Button5, Button6, Button7})
        button->setStyle(focusRing);
}

void Form1Controls::SetCaption(QLabel* label, const QString& text) {
    label->setText(text);
    label->adjustSize();
}

void Form1Controls::StyleForm() {
    form_.setObjectName(QStringLiteral("Form1"));
    form_.setWindowTitle(ShownText(WindowText(Message::WindowCaption)));
    form_.setWindowIcon(ProgramIcon());
    form_.resize(914, 606);
    form_.move(205, 149);
    form_.setFont(SansFont(24, true));
    SetTextColour(&form_, kBlue);
    QPalette palette = form_.palette();
    palette.setColor(QPalette::Window, kBackground);
    form_.setPalette(palette);
    form_.setAutoFillBackground(true);
}

void Form1Controls::CreateTopRow() {
    const QFont dateFont = SansFont(11, false);
    Label3 = Place<ClickLabel>(&form_, "Label3", dateFont);
    Label4 = Place<ClickLabel>(&form_, "Label4", dateFont);
    SetTextColour(Label3, kTeal);
    SetTextColour(Label4, kTeal);

    CheckBox1 = Place<QCheckBox>(&form_, "CheckBox1", SansFont(13, false));
    CheckBox1->setText(ShownText(WindowText(Message::RememberMe)));
    SetTextColour(CheckBox1, kBlue);

    const QFont radioFont = SansFont(13, true);
    RadioButton3 = Place<QRadioButton>(&form_, "RadioButton3", radioFont);
    RadioButton3->setText(ShownText(WindowText(Message::UseText)));
    RadioButton2 = Place<QRadioButton>(&form_, "RadioButton2", radioFont);
    RadioButton2->setText(ShownText(WindowText(Message::UseCopy)));
    RadioButton1 = Place<QRadioButton>(&form_, "RadioButton1", radioFont);
    RadioButton1->setText(ShownText(WindowText(Message::UseFile)));
    for (QRadioButton* radio : {RadioButton3, RadioButton2, RadioButton1})
        SetTextColour(radio, kBlack);
    // Tab reaches the mode through the checked button only; the arrow keys move between them.
    for (QRadioButton* radio : {RadioButton3, RadioButton2, RadioButton1})
        QObject::connect(radio, &QRadioButton::toggled, radio, [radio](bool checked) {
            radio->setFocusPolicy(checked ? Qt::StrongFocus : Qt::ClickFocus);
        });
    RadioButton3->setChecked(true);  // the design-time mode
    RadioButton2->setFocusPolicy(Qt::ClickFocus);
    RadioButton1->setFocusPolicy(Qt::ClickFocus);
}

void Form1Controls::CreateButtons() {
    Button5 = Button(&form_, "Button5", WindowText(Message::EncryptEditorCaption));
    Button6 = Button(&form_, "Button6", WindowText(Message::DecryptEditorCaption));
    Button4 = Button(&form_, "Button4", WindowText(Message::EncryptCopyCaption));
    Button3 = Button(&form_, "Button3", WindowText(Message::DecryptCopyCaption));
    Button2 = Button(&form_, "Button2", WindowText(Message::EncryptFilesCaption));
    Button1 = Button(&form_, "Button1", WindowText(Message::DecryptFilesCaption));
}

void Form1Controls::CreatePasswordRow() {
    Edit1 = PasswordBox(&form_, "Edit1");
    Label1 = Place<ClickLabel>(&form_, "Label1", SansFont(16, true));
    SetCaption(Label1, ShownText(WindowText(Message::PasswordCaption)));
    SetTextColour(Label1, kRed);
    Edit2 = PasswordBox(&form_, "Edit2");

    Label2 = Place<ClickLabel>(&form_, "Label2", PixelFont(QStringLiteral("Tahoma"), 19, true));
    Label2->setText(ShownText(WindowText(Message::Slogan)));
    FitText(Label2);
    SetTextColour(Label2, kAqua);
    QPalette slogan = Label2->palette();
    slogan.setColor(QPalette::Window, kBlue);
    Label2->setPalette(slogan);
    Label2->setAutoFillBackground(true);
}

void Form1Controls::CreateReportAndEditor() {
    ListBox1 = Place<QListWidget>(&form_, "ListBox1", SansFont(13, false));
    ListBox1->setStyleSheet(QStringLiteral("QListWidget::item { height: 16px; }"));
    SetTextColour(ListBox1, kRed);
    ListBox1->addItem(ShownText(WindowText(Message::InitialLine)));
    ListBox1->hide();

    Memo1 = Place<QPlainTextEdit>(&form_, "Memo1", SansFont(13, false));
    SetTextColour(Memo1, kBlue);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setTabChangesFocus(true);
    // Right-to-left reading order with the lines still aligned on the left.
    QTextOption reading = Memo1->document()->defaultTextOption();
    reading.setTextDirection(Qt::RightToLeft);
    reading.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
    Memo1->document()->setDefaultTextOption(reading);
    // The design-time lines end with a line end of their own, as a saved document would.
    EditorDocument::Lines sample = EditorDocument::SampleLines();
    sample.emplace_back();
    EditorLines(*Memo1).SetAll(sample);
}

void Form1Controls::CreateProgressAndMenu() {
    ProgressBar1 = Place<QProgressBar>(&form_, "ProgressBar1", form_.font());
    ProgressBar2 = Place<QProgressBar>(&form_, "ProgressBar2", form_.font());
    for (QProgressBar* bar : {ProgressBar1, ProgressBar2}) {
        bar->setRange(0, 100);
        bar->setValue(0);
        bar->setTextVisible(false);
    }
    ProgressBar2->hide();

    Button7 = Button(&form_, "Button7", WindowText(Message::CancelCaption));
    Button7->hide();
    Status = new StatusLine(&form_);
    Status->setObjectName(QStringLiteral("Status"));
    Status->setFont(SansFont(13, true));
    Status->setGeometry(160, 566, 713, 21);
    Status->setAttribute(Qt::WA_NoMousePropagation);

    PopupMenu1 = new QMenu(&form_);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    Usememeo1 = PopupMenu1->addAction(ShownText(WindowText(Message::NewCaption)));
    Usememeo1->setObjectName(QStringLiteral("Usememeo1"));
    Save1 = PopupMenu1->addAction(ShownText(WindowText(Message::OpenCaption)));
    Save1->setObjectName(QStringLiteral("Save1"));
    Saveas1 = PopupMenu1->addAction(ShownText(WindowText(Message::SaveAsCaption)));
    Saveas1->setObjectName(QStringLiteral("Saveas1"));
    // The document commands open from "Use Text" and the two editor buttons; the editor itself
    // keeps the standard edit menu.
    for (QWidget* owner : std::initializer_list<QWidget*>{RadioButton3, Button5, Button6}) {
        owner->setContextMenuPolicy(Qt::CustomContextMenu);
        QObject::connect(owner, &QWidget::customContextMenuRequested, PopupMenu1,
                         [this, owner](QPoint at) { PopupMenu1->popup(owner->mapToGlobal(at)); });
    }
}

std::vector<QWidget*> Form1Controls::RunInputs() const {
    return {Button1, Button2, Button3, Button4,   Button5,      Button6,      Edit1,
            Edit2,   Label1,  Label2,  CheckBox1, RadioButton1, RadioButton2, RadioButton3};
}

void Form1Controls::OpenMenuFromKeyboard() {
    // Shift+F10 does what the Menu key does: the focused control's menu at the control.
    const auto open = [this] {
        QWidget* focused = form_.focusWidget();
        if (focused == nullptr) return;
        QPoint at = focused->rect().center();
        if (auto* editor = qobject_cast<QPlainTextEdit*>(focused))
            at = editor->viewport()->mapTo(editor, editor->cursorRect().center());
        QContextMenuEvent event(QContextMenuEvent::Keyboard, at, focused->mapToGlobal(at));
        QCoreApplication::sendEvent(focused, &event);
    };
    auto* shortcut = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), &form_);
    QObject::connect(shortcut, &QShortcut::activated, &form_, open);
}

void Form1Controls::SetTabOrder() {
    // As the window is read: row by row from the top, each row from the left. Controls a mode
    // hides drop out, so every mode has the same order; Edit1 is still the first to have focus.
    QWidget* order[] = {CheckBox1, ListBox1,     Button5, RadioButton3, Button6,
                        Button4,   RadioButton2, Button3, Button2,      RadioButton1,
                        Button1,   Edit1,        Edit2,   Memo1,        Button7};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
}

void Form1Controls::ShowMode(int mode) {
    switch (mode) {
        case 1:
            Edit1->show();
            Edit2->show();
            Button2->show();
            Button1->show();
            Button3->hide();
            Button4->hide();
            Button5->hide();
            Button6->hide();
            Memo1->hide();
            ListBox1->show();
            return;
        case 2:
            Button1->hide();
            Button2->hide();
            Button3->show();
            Button4->show();
            Button5->hide();
            Button6->hide();
            Memo1->hide();
            ListBox1->hide();
            return;
        default:
            Button1->hide();
            Button2->hide();
            Button3->hide();
            Button4->hide();
            Button5->show();
            Button6->show();
            Memo1->show();
            ListBox1->hide();
            return;
    }
}

void Form1Controls::ShowAll() {
    for (QWidget* control : std::initializer_list<QWidget*>{
             Memo1, Button6, Button5, Button4, Button3, Button2, Button1, Edit1, Edit2, Label1,
             Label2, Label3, Label4, CheckBox1, ListBox1, RadioButton1, RadioButton2, RadioButton3})
        control->show();
}

void Form1Controls::HideAll() {
    for (QWidget* control : std::initializer_list<QWidget*>{
             Button6, Button5, Button4, Button3, Button2, Button1, Memo1, Edit1, Edit2, Label1,
             Label2, Label3, Label4, CheckBox1, ListBox1, RadioButton1, RadioButton2, RadioButton3})
        control->hide();
}

void Form1Controls::SetRunning(bool running, QWidget* focusAfterRun) {
    const std::vector<QWidget*> inputs = RunInputs();
    if (!running) {
        for (QWidget* control : inputs)
            control->setEnabled(true);
        if (focusAfterRun != nullptr) focusAfterRun->setFocus(Qt::OtherFocusReason);
        Button7->hide();
        return;
    }
    // A focused control that goes off hands the focus to the next one, which may go off too: a
    // cascade that a screen reader would speak control by control.
    Button7->show();
    if (std::find(inputs.begin(), inputs.end(), form_.focusWidget()) != inputs.end())
        Button7->setFocus(Qt::OtherFocusReason);
    for (QWidget* control : inputs)
        control->setEnabled(false);
    // What the line said belongs to an earlier action; the run says its own end.
    Status->Clear();
    ScrollIntoView(*ProgressBar1, *Status);
}

}  // namespace kiv
