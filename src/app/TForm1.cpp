#include "app/TForm1.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFontMetrics>
#include <QMimeData>
#include <QMouseEvent>
#include <QShortcut>
#include <QTextOption>
#include <QUrl>
#include <cmath>
#include <stdexcept>

#include "app/ClickLabelAccessible.h"
#include "app/EditorDocument.h"
#include "app/PasswordKey.h"
#include "app/ProgramIcon.h"
#include "app/SettingsKey.h"
#include "app/ShownText.h"
#include "app/TextAdapter.h"
#include "app/WindowAccessibility.h"
#include "app/WindowMessages.h"
#include "app/WindowPlacement.h"
#include "filecrypt/ContainerNames.h"
#include "filecrypt/FileDecryption.h"
#include "filecrypt/FileEncryption.h"
#include "filecrypt/FilePasswordCheck.h"
#include "filecrypt/OperationReport.h"
#include "numeric/NumericServices.h"
#include "runtime/ApplicationTitle.h"

namespace kiv {

namespace {

constexpr int kStartFileMarker = 213;
constexpr char kDefaultPassword[] = "lema_tovik3";
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

void SetTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        palette.setColor(role, colour);
    widget->setPalette(palette);
}

// A control at its design position; a width of 0 lets it size itself to its text.
template <class Control>
Control* Place(QWidget* form, const char* name, const QFont& font, QRect geometry) {
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

void SetCaption(QLabel* label, const QString& text) {
    label->setText(text);
    label->adjustSize();
}

}  // namespace

TForm1::TForm1(UiServices& ui, const Clock& clock, StartupContext context, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      ui_(ui),
      clock_(clock),
      context_(std::move(context)),
      workspace_(clock),
      cipherMessages_(ui) {
    CreateControls();
    FitWindowInView(*this, context_.screenArea);
    runReport_ =
        std::make_unique<WindowRunReport>(ui_, *ListBox1, *ProgressBar1, *ProgressBar2, *Edit1);
    fileRun_ = std::make_unique<FileRunThread>(
        *runReport_, [this](const FileRunResult& result) { FileRunEnded(result); });
    ConnectHandlers();
    CreateCommandTopic();
    // Creation goes on after a failed start-up sequence; the window opens as far as it got.
    ui_.Guard([this] { FormCreate(); });
}

TForm1::~TForm1() = default;

void TForm1::CreateControls() {
    // Before the first label exists: Qt keeps the first interface it builds for a control.
    ClickLabelAccessible::Install();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(ShownText(kWindowCaption));
    setWindowIcon(ProgramIcon());
    resize(914, 606);
    move(205, 149);
    setFont(SansFont(24, true));
    SetTextColour(this, kBlue);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kBackground);
    setPalette(palette);
    setAutoFillBackground(true);

    const QFont buttonFont = SansFont(11, true);
    const QFont radioFont = SansFont(13, true);
    const QFont editFont = SansFont(11, false);
    const QFont dateFont = SansFont(11, false);

    Label3 = Place<ClickLabel>(this, "Label3", dateFont, {8, 8, 0, 0});
    Label4 = Place<ClickLabel>(this, "Label4", dateFont, {104, 8, 0, 0});
    SetTextColour(Label3, kTeal);
    SetTextColour(Label4, kTeal);

    CheckBox1 = Place<QCheckBox>(this, "CheckBox1", SansFont(13, false), {160, 0, 121, 17});
    CheckBox1->setText(ShownText(kRememberMe));
    SetTextColour(CheckBox1, kBlue);

    RadioButton3 = Place<QRadioButton>(this, "RadioButton3", radioFont, {160, 24, 105, 17});
    RadioButton3->setText(ShownText(kUseText));
    RadioButton2 = Place<QRadioButton>(this, "RadioButton2", radioFont, {160, 48, 105, 17});
    RadioButton2->setText(ShownText(kUseCopy));
    RadioButton1 = Place<QRadioButton>(this, "RadioButton1", radioFont, {160, 72, 105, 17});
    RadioButton1->setText(ShownText(kUseFile));
    for (QRadioButton* radio : {RadioButton3, RadioButton2, RadioButton1})
        SetTextColour(radio, kBlack);
    RadioButton3->setChecked(true);  // the design-time mode

    const auto button = [&](const char* name, const char* caption, QRect geometry) {
        QPushButton* control = Place<QPushButton>(this, name, buttonFont, geometry);
        control->setText(ShownText(caption));
        SetTextColour(control, kBlue);
        return control;
    };
    Button5 = button("Button5", kEncryptEditorCaption, {8, 24, 145, 17});
    Button6 = button("Button6", kDecryptEditorCaption, {272, 24, 145, 17});
    Button4 = button("Button4", kEncryptCopyCaption, {8, 48, 145, 17});
    Button3 = button("Button3", kDecryptCopyCaption, {272, 48, 145, 17});
    Button2 = button("Button2", kEncryptFilesCaption, {8, 72, 145, 17});
    Button1 = button("Button1", kDecryptFilesCaption, {272, 72, 145, 17});

    const auto passwordBox = [&](const char* name, QRect geometry) {
        QLineEdit* edit = Place<QLineEdit>(this, name, editFont, geometry);
        edit->setText(QLatin1String(kDesignPassword));
        edit->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
        SetTextColour(edit, kBlack);  // the window-text colour
        return edit;
    };
    Edit1 = passwordBox("Edit1", {8, 96, 145, 21});
    Label1 = Place<ClickLabel>(this, "Label1", SansFont(16, true), {160, 96, 0, 0});
    SetCaption(Label1, ShownText(kPasswordCaption));
    SetTextColour(Label1, kRed);
    Edit2 = passwordBox("Edit2", {272, 96, 145, 21});

    Label2 = Place<ClickLabel>(this, "Label2", PixelFont(QStringLiteral("Tahoma"), 19, true),
                               {160, 120, 718, 23});
    Label2->setText(ShownText(kSlogan));
    FitText(Label2);
    SetTextColour(Label2, kAqua);
    QPalette slogan = Label2->palette();
    slogan.setColor(QPalette::Window, kBlue);
    Label2->setPalette(slogan);
    Label2->setAutoFillBackground(true);

    ListBox1 = Place<QListWidget>(this, "ListBox1", SansFont(13, false), {432, 8, 441, 105});
    ListBox1->setStyleSheet(QStringLiteral("QListWidget::item { height: 16px; }"));
    SetTextColour(ListBox1, kRed);
    ListBox1->addItem(ShownText(report::kInitialLine));
    ListBox1->hide();

    Memo1 = Place<QPlainTextEdit>(this, "Memo1", SansFont(13, false), {8, 152, 873, 361});
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
    Lines().SetAll(sample);
    Memo1->viewport()->installEventFilter(this);

    ProgressBar1 = Place<QProgressBar>(this, "ProgressBar1", font(), {0, 520, 873, 17});
    ProgressBar2 = Place<QProgressBar>(this, "ProgressBar2", font(), {0, 544, 873, 17});
    for (QProgressBar* bar : {ProgressBar1, ProgressBar2}) {
        bar->setRange(0, 100);
        bar->setValue(0);
        bar->setTextVisible(false);
    }
    ProgressBar2->hide();

    Button7 = button("Button7", kCancelCaption, {8, 568, 145, 17});
    Button7->hide();
    setAcceptDrops(true);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    Usememeo1 = PopupMenu1->addAction(ShownText(kNewCaption));
    Usememeo1->setObjectName(QStringLiteral("Usememeo1"));
    Save1 = PopupMenu1->addAction(ShownText(kOpenCaption));
    Save1->setObjectName(QStringLiteral("Save1"));
    Saveas1 = PopupMenu1->addAction(ShownText(kSaveAsCaption));
    Saveas1->setObjectName(QStringLiteral("Saveas1"));

    QWidget* order[] = {Edit1,        Button1,      Edit2,   CheckBox1, ListBox1,
                        RadioButton1, RadioButton2, Button3, Button4,   RadioButton3,
                        Button5,      Button6,      Memo1,   Button2};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);
    ListBox1->viewport()->installEventFilter(this);
    DescribeControls(*this);
}

void TForm1::ConnectHandlers() {
    const auto onChecked = [this](QRadioButton* radio, void (TForm1::*handler)()) {
        connect(radio, &QRadioButton::toggled, this, [this, handler](bool checked) {
            if (checked) Run(handler);
        });
    };
    onChecked(RadioButton1, &TForm1::RadioButton1Click);
    onChecked(RadioButton2, &TForm1::RadioButton2Click);
    onChecked(RadioButton3, &TForm1::RadioButton3Click);

    const auto onClick = [this](auto* sender, auto signal, void (TForm1::*handler)()) {
        connect(sender, signal, this, [this, handler] { Run(handler); });
    };
    onClick(Label1, &ClickLabel::clicked, &TForm1::Label1Click);
    onClick(Label2, &ClickLabel::clicked, &TForm1::Label2Click);
    onClick(Usememeo1, &QAction::triggered, &TForm1::Usememeo1Click);
    onClick(Save1, &QAction::triggered, &TForm1::Save1Click);
    onClick(Saveas1, &QAction::triggered, &TForm1::Saveas1Click);
    onClick(ListBox1, &QListWidget::clicked, &TForm1::ListBox1Click);
    onClick(Button1, &QPushButton::clicked, &TForm1::Button1Click);
    onClick(Button2, &QPushButton::clicked, &TForm1::Button2Click);
    onClick(Button3, &QPushButton::clicked, &TForm1::Button3Click);
    onClick(Button4, &QPushButton::clicked, &TForm1::Button4Click);
    onClick(Button5, &QPushButton::clicked, &TForm1::Button5Click);
    onClick(Button6, &QPushButton::clicked, &TForm1::Button6Click);
    onClick(Button7, &QPushButton::clicked, &TForm1::Button7Click);
    onClick(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated,
            &TForm1::Button7Click);

    // The document commands open from "Use Text" and the two editor buttons; the editor itself
    // keeps the standard edit menu.
    for (QWidget* owner : {static_cast<QWidget*>(RadioButton3), static_cast<QWidget*>(Button5),
                           static_cast<QWidget*>(Button6)}) {
        owner->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(owner, &QWidget::customContextMenuRequested, this,
                [this, owner](QPoint at) { PopupMenu1->popup(owner->mapToGlobal(at)); });
    }
}

// The topic is one of the window's components: it exists before the start-up sequence runs and
// goes with the window.
void TForm1::CreateCommandTopic() {
    if (context_.commandService == nullptr) return;
    DdeServerConv1 = new TDdeServerConv(*context_.commandService, this);
    connect(DdeServerConv1, &TDdeServerConv::OnOpen, this,
            [this] { Run(&TForm1::DdeServerConv1Open); });
    connect(DdeServerConv1, &TDdeServerConv::OnExecuteMacro, this,
            &TForm1::DdeServerConv1ExecuteMacro);
    connect(DdeServerConv1, &TDdeServerConv::OnClose, this,
            [this] { Run(&TForm1::DdeServerConv1Close); });
}

void TForm1::DdeServerConv1Open() {
    SetCaption(Label3, ShownText(kConnected));
}

// Macros are acknowledged and change nothing.
void TForm1::DdeServerConv1ExecuteMacro(const QStringList&) {}
void TForm1::DdeServerConv1Close() {}

void TForm1::Run(void (TForm1::*handler)()) {
    ui_.Guard([this, handler] { (this->*handler)(); });
}

int TForm1::SourceMode() const {
    if (RadioButton1->isChecked()) return 1;
    if (RadioButton2->isChecked()) return 2;
    return 3;
}

void TForm1::FormCreate() {
    Button4->hide();
    Button3->hide();
    Button1->hide();
    Button2->hide();
    Edit1->setFocus();
    const double now = DateTimeValue(clock_.LocalNow());
    SetCaption(Label3, QString::fromLocal8Bit(DateTimeText(std::trunc(now))));
    SetCaption(Label4, QString::fromLocal8Bit(DateTimeText(TimeOfDayFraction(clock_))));
    Edit1->setEchoMode(QLineEdit::Password);
    Edit2->setEchoMode(QLineEdit::Password);
    rememberedPassword = QLatin1String(kDefaultPassword);
    ProgressBar1->hide();
    saveOnClose = true;
    BuildCharacterOrder(order_);
    LoadSettings();
    Edit1->setText(rememberedPassword);
    Edit2->setText(rememberedPassword);
    startPassword = rememberedPassword;
    HandleArguments();
    // A stored place that would hide the window (another screen setup, a damaged value) is
    // moved into view for this start; closing stores where the window then stands.
    move(PlaceInView(QPoint(storedLeft, storedTop), frameGeometry().size()));
    if (CheckBox1->isChecked()) {
        const auto lines = EditorDocument::Read(LastSaveFile());
        if (!lines) {
            ui_.ShowMessage(QLatin1String(kLastSaveNotFound));
            return;
        }
        Lines().SetAll(*lines);
    }
}

void TForm1::HandleArguments() {
    const QStringList& arguments = context_.arguments;
    if (arguments.isEmpty()) {
        startFileMarker = 0;
        OpenDialog1.initialFolder = context_.programFolder;
        SaveDialog1.initialFolder = context_.programFolder;
        startFilePath = context_.programFolder + u'/' + SaveDialog1.fileName;
        return;
    }
    if (arguments.size() > 1) return;

    const QFileInfo file(arguments.front());
    const QString folder = file.absolutePath();
    OpenDialog1.initialFolder = folder;
    SaveDialog1.initialFolder = folder;
    OpenDialog1.fileName = arguments.front();
    SaveDialog1.fileName = file.fileName();
    startFilePath = folder + u'/' + SaveDialog1.fileName;
    startFileMarker = kStartFileMarker;
    Edit1->clear();
    const QString caption = QString::fromUtf8(kWindowCaption);
    Edit1->setText(
        ui_.PasswordBox(caption, QLatin1String(kPasswordPrompt), QString()).value_or(QString()));
    Edit2->setText(Edit1->text());
}

bool TForm1::OpenSettingsKey(SettingsKey& key, QPoint at) {
    if (const QString error = key.ReadError(); !error.isEmpty()) {
        ui_.ShowMessage(error);
        return false;
    }
    if (key.Exists()) return true;
    if (!key.Create(at.y(), at.x())) {
        ui_.ShowMessage(QLatin1String(kCantCreateKey));
        return false;
    }
    // A new key holds the defaults, not this window's state: closing it saves nothing.
    saveOnClose = false;
    return false;
}

void TForm1::LoadSettings() {
    const QPoint at = pos();
    SettingsKey key(context_.userSettingsFile, context_.machineSettingsFile);
    if (!OpenSettingsKey(key, at)) return;
    switch (key.ReadInteger(QStringLiteral("radyono"))) {
        case 1:
            RadioButton1->setChecked(true);
            break;
        case 2:
            RadioButton2->setChecked(true);
            break;
        case 3:
            RadioButton3->setChecked(true);
            break;
        default:
            break;
    }
    rememberedPassword = key.ReadText(QStringLiteral("sifre"));
    const int remember = key.ReadInteger(QStringLiteral("hatirla"));
    if (remember > 0) CheckBox1->setChecked(true);
    if (remember < 0) CheckBox1->setChecked(false);
    storedTop = key.ReadInteger(QStringLiteral("Top"));
    storedLeft = key.ReadInteger(QStringLiteral("Left"));
}

void TForm1::SaveSettings() {
    const QPoint at = pos();
    SettingsKey key(context_.userSettingsFile, context_.machineSettingsFile);
    if (!OpenSettingsKey(key, at)) return;
    const bool remember = CheckBox1->isChecked();
    key.WriteText(QStringLiteral("radyono"), QString::number(SourceMode()));
    if (remember) key.WriteText(QStringLiteral("sifre"), rememberedPassword);
    key.WriteText(QStringLiteral("hatirla"), remember ? QStringLiteral("1") : QStringLiteral("-1"));
    // A made-up position would replace the one kept from sessions that know it.
    if (context_.positionKnown) {
        key.WriteText(QStringLiteral("Top"), QString::number(at.y()));
        key.WriteText(QStringLiteral("Left"), QString::number(at.x()));
    }
    if (!key.Commit()) ui_.ShowMessage(ShownText(kStoreWriteFailed).arg(u"radyono"));
}

void TForm1::RadioButton1Click() {
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
}

void TForm1::RadioButton2Click() {
    Button1->hide();
    Button2->hide();
    Button3->show();
    Button4->show();
    Button5->hide();
    Button6->hide();
    Memo1->hide();
    ListBox1->hide();
}

void TForm1::RadioButton3Click() {
    Button1->hide();
    Button2->hide();
    Button3->hide();
    Button4->hide();
    Button5->show();
    Button6->show();
    Memo1->show();
    ListBox1->hide();
}

void TForm1::FormClick() {
    for (QWidget* control : std::initializer_list<QWidget*>{
             Memo1, Button6, Button5, Button4, Button3, Button2, Button1, Edit1, Edit2, Label1,
             Label2, Label3, Label4, CheckBox1, ListBox1, RadioButton1, RadioButton2, RadioButton3})
        control->show();
}

void TForm1::FormDblClick() {
    if (FileRunning()) return;
    for (QWidget* control : std::initializer_list<QWidget*>{
             Button6, Button5, Button4, Button3, Button2, Button1, Memo1, Edit1, Edit2, Label1,
             Label2, Label3, Label4, CheckBox1, ListBox1, RadioButton1, RadioButton2, RadioButton3})
        control->hide();
    Lines().Clear();
    ListBox1->clear();
}

void TForm1::FormClose() {
    if (saveOnClose) SaveSettings();
}

bool TForm1::PreparePasswordKey(const char* mismatchText, const char* shortText) {
    switch (CheckPasswordBoxes(TextAdapter::ToBytes(Edit1->text()),
                               TextAdapter::ToBytes(Edit2->text()), Operands.CipherKey)) {
        case PasswordCheck::Differ:
            ui_.ShowMessage(QString::fromUtf8(mismatchText));
            return false;
        case PasswordCheck::TooShort:
            ui_.ShowMessage(QString::fromUtf8(shortText));
            return false;
        case PasswordCheck::Ready:
            break;
    }
    return true;
}

TextKeyVerdict TForm1::EncryptOperands() {
    startFileMarker = 0;
    return EncryptText(workspace_, order_, Operands);
}

bool TForm1::DecryptOperands() {
    return DecryptText(workspace_, order_, Operands, cipherMessages_);
}

std::string TForm1::Encrypted(const std::string& text) {
    Operands.CipherInput = text;
    EncryptOperands();
    return Operands.CipherOutput;
}

std::string TForm1::Decrypted(const std::string& text) {
    Operands.CipherInput = text;
    DecryptOperands();
    return Operands.CipherOutput;
}

void TForm1::Label1Click() {
    if (FileRunning()) return;
    if (Edit1->text() != Edit2->text()) return;
    for (QLineEdit* box : {Edit1, Edit2})
        box->setEchoMode(box->echoMode() == QLineEdit::Password ? QLineEdit::Normal
                                                                : QLineEdit::Password);
    Edit2->setText(startPassword);
    Edit1->setText(startPassword);
}

void TForm1::Label2Click() {
    if (FileRunning()) return;
    Operands.CipherInput = TextAdapter::ToBytes(Edit1->text());
    Operands.CipherKey = CutPasswordKey(TextAdapter::ToBytes(Edit2->text()));
    if (Operands.CipherKey.size() < static_cast<std::size_t>(kShortestKey)) {
        ui_.ShowMessage(QLatin1String(kQuickKeyTooShort));
        return;
    }
    DecryptOperands();
    if (!CheckBox1->isChecked()) ListBox1->addItem(TextAdapter::FromBytes(Operands.CipherOutput));
}

void TForm1::Usememeo1Click() {
    Lines().Clear();
}

void TForm1::Save1Click() {
    OpenDialog1.multiSelect = true;
    OpenDialog1.filter = QLatin1String(kTextFileFilter);
    const QStringList chosen = ui_.OpenDialog(OpenDialog1);
    if (chosen.isEmpty()) return;
    const auto lines = EditorDocument::Read(chosen.front());
    if (!lines) {
        ui_.ShowMessage(QLatin1String(kLastSaveNotFound));
        return;
    }
    Lines().ReplaceAll(*lines);
}

void TForm1::Saveas1Click() {
    SaveDialog1.defaultExtension = QStringLiteral("txt");
    SaveDialog1.filter = QLatin1String(kTextFileFilter);
    SaveDialog1.confirmOverwrite = false;
    const std::optional<QString> path = ui_.SaveDialog(SaveDialog1);
    if (!path) return;
    if (!EditorDocument::Write(*path, Lines().All()))
        ui_.ShowMessage(QLatin1String(kLastSaveNotFound));
}

void TForm1::Memo1DblClick() {
    Lines().Clear();
}

void TForm1::ListBox1Click() {}

void TForm1::ListBox1DblClick() {
    if (FileRunning()) return;
    ListBox1->clear();
}

bool TForm1::PrepareTextKey(const char* mismatchText, const char* shortText, bool encrypting) {
    if (!PreparePasswordKey(mismatchText, shortText)) return false;
    switch (CheckTextKey(workspace_, Operands.CipherKey)) {
        case TextKeyVerdict::Usable:
            return true;
        case TextKeyVerdict::TooShort:  // a NUL among the first three bytes
            ui_.ShowMessage(QString::fromUtf8(shortText));
            return false;
        case TextKeyVerdict::RepeatedModuli:
            // Decrypting with it only hands every text back unchanged.
            if (!encrypting) return true;
            ui_.ShowMessage(QString::fromUtf8(kRepeatedModuliMessage));
            return false;
    }
    return false;
}

void TForm1::Button5Click() {
    if (FileRunning()) return;
    EditorLines lines = Lines();
    const int count = lines.Count();
    if (!PrepareTextKey(kEncryptEditorMismatch, kPasswordTooShort, true)) return;
    lines.AsOneEdit([&] {
        for (int i = 0; i < count; ++i)
            lines.SetLine(i, Encrypted(lines.WholeLine(i)));
    });
    // An encryption has no undo: a step back would show the plain text to anyone at the screen.
    Memo1->document()->clearUndoRedoStacks();
    const QString lastSave = LastSaveFile();
    if (!EditorDocument::WritePrivate(lastSave, lines.All()))
        throw std::runtime_error(
            TextAdapter::ToBytes(QString::fromUtf8(kCannotCreateFile).arg(lastSave)));
    if (CheckBox1->isChecked()) {
        rememberedPassword = TextAdapter::FromBytes(Operands.CipherKey);
        SaveSettings();
    }
}

void TForm1::Button6Click() {
    if (FileRunning()) return;
    EditorLines lines = Lines();
    const int count = lines.Count();
    if (!PrepareTextKey(kDecryptEditorMismatch, kPasswordTooShort, false)) return;
    // A line that splits in two moves the later ones down: the loop still visits the positions
    // 0 to count - 1 as the document stands at each step.
    lines.AsOneEdit([&] {
        for (int i = 0; i < count; ++i)
            lines.SetLine(i, Decrypted(lines.WholeLine(i)));
    });
}

void TForm1::Button4Click() {
    if (FileRunning()) return;
    if (!PrepareTextKey(kEncryptClipboardMismatch, kPasswordTooShort, true)) return;
    // Without text there is nothing to convert, and what the clipboard holds instead (an image,
    // say) is the user's: it stays.
    const QString text = ui_.ClipboardText();
    if (text.isEmpty()) return;
    ShowClipboardResult(ClipboardSegments::Encrypt(
                            TextAdapter::ToBytes(text),
                            [this](const std::string& segment) { return Encrypted(segment); }),
                        ClipboardContent::CipherText);
}

void TForm1::Button3Click() {
    if (FileRunning()) return;
    if (!PrepareTextKey(kDecryptClipboardMismatch, kPasswordTooShort, false)) return;
    const QString text = ui_.ClipboardText();
    if (text.isEmpty()) return;
    ShowClipboardResult(ClipboardSegments::Decrypt(
                            TextAdapter::ToBytes(text),
                            [this](const std::string& segment) { return Decrypted(segment); }),
                        ClipboardContent::Secret);
}

void TForm1::ShowClipboardResult(const ClipboardSegments::Result& result,
                                 ClipboardContent content) {
    ui_.SetClipboardText(TextAdapter::FromBytes(result.text), content);
    if (CheckBox1->isChecked()) return;
    EditorLines lines = Lines();
    lines.AsOneEdit([&] {
        for (const std::string& piece : result.pieces)
            lines.Append(piece);
    });
}

bool TForm1::CheckFilePassword(bool restoring, std::string& password) {
    password = TextAdapter::ToBytes(Edit1->text());
    const std::string confirmation = TextAdapter::ToBytes(Edit2->text());
    const char* refusal = FilePasswordRefusal(
        restoring ? FileRunKind::Restore : FileRunKind::Encryption, password, &confirmation);
    if (refusal == nullptr) return true;
    ui_.ShowMessage(QString::fromUtf8(refusal));
    return false;
}

void TForm1::ReplaceReportList(const QStringList& paths) {
    ListBox1->clear();
    for (const QString& path : paths)
        ListBox1->addItem(WindowRunReport::Shown(TextAdapter::ToBytes(path)));
}

void TForm1::Button2Click() {
    if (FileRunning()) return;
    std::string password;
    if (!CheckFilePassword(false, password)) return;
    ListBox1->clear();
    OpenDialog1.multiSelect = true;
    OpenDialog1.filter = QString::fromUtf8(kEncryptFilesFilter);
    const QStringList chosen = ui_.OpenDialog(OpenDialog1);
    if (chosen.isEmpty()) return;
    EncryptChosen(chosen, password);
}

void TForm1::EncryptChosen(const QStringList& paths, const std::string& password) {
    ReplaceReportList(paths);
    std::string output;
    // A container is the only copy of what it holds once the sources are gone, so an existing
    // one is replaced only when the user agrees, whether the name was chosen or derived.
    if (paths.size() > 1) {
        SaveDialog1.defaultExtension = QStringLiteral("vrq");
        SaveDialog1.confirmOverwrite = true;
        const std::optional<QString> chosen = ui_.SaveDialog(SaveDialog1);
        if (!chosen) return;
        output = TextAdapter::ToBytes(*chosen);
    } else {
        output = SingleFileOutputName(TextAdapter::ToBytes(paths.front()));
        const QString name = TextAdapter::FromBytes(output);
        const QFileInfo existing(name);
        if ((existing.exists() || existing.isSymLink()) &&
            !ui_.Question(ShownText(kReplaceContainer).arg(name),
                          QString::fromUtf8(kApplicationTitle)))
            return;
    }
    // The run keeps its own copy of the paths: the list only shows them.
    std::vector<std::string> sources;
    for (const QString& path : paths)
        sources.push_back(TextAdapter::ToBytes(path));
    StartFileRun([password, sources, output, &clock = clock_](FileRunObserver& observer) {
        return EncryptFiles(password, sources, output, observer, clock);
    });
}

void TForm1::Button1Click() {
    if (FileRunning()) return;
    std::string password;
    if (!CheckFilePassword(true, password)) return;
    QString path = startFilePath;
    if (startFileMarker != kStartFileMarker) {
        OpenDialog1.filter = QString::fromUtf8(kRestoreFilter);
        const QStringList chosen = ui_.OpenDialog(OpenDialog1);
        if (chosen.isEmpty()) return;
        ReplaceReportList(chosen);
        path = chosen.front();
    }
    RestoreChosen(path, password);
}

void TForm1::RestoreChosen(const QString& path, const std::string& password) {
    StartFileRun(
        [password, path = TextAdapter::ToBytes(path), &clock = clock_](FileRunObserver& observer) {
            return DecryptFiles(password, path, observer, {}, clock);
        });
}

void TForm1::Button7Click() {
    fileRun_->Cancel();
}

void TForm1::StartFileRun(FileRunThread::Job job) {
    SetRunning(true);
    fileRun_->Start(std::move(job));
}

void TForm1::FileRunEnded(const FileRunResult& result) {
    SetRunning(false);
    if (result.failureError != 0) {
        // The system's words in the window's language, where the system has them.
        ListBox1->addItem(ShownText(kFailureReasonLine)
                              .arg(WindowRunReport::Shown(result.failurePath),
                                   qt_error_string(result.failureError)));
        ListBox1->scrollToBottom();
    }
    if (result.status != FileRunStatus::Cancelled) {
        Announce(*ListBox1, result.AllWritten() ? ShownText(kRunFinishedAnnouncement)
                                                : ShownText(kRunFailedAnnouncement));
        return;
    }
    ProgressBar1->hide();
    ProgressBar2->hide();
    ListBox1->addItem(ShownText(kRunCancelled));
    Announce(*ListBox1, ShownText(kRunCancelledAnnouncement));
}

void TForm1::SetRunning(bool running) {
    for (QWidget* control : std::initializer_list<QWidget*>{
             Button1, Button2, Button3, Button4, Button5, Button6, Edit1, Edit2, Label1, Label2})
        control->setEnabled(!running);
    Button7->setVisible(running);
}

QStringList TForm1::DroppedFiles(const QMimeData* data) const {
    if (SourceMode() != 1 || FileRunning() || data == nullptr || !data->hasUrls()) return {};
    QStringList paths;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile() || QFileInfo(url.toLocalFile()).isDir()) return {};
        paths << url.toLocalFile();
    }
    return paths;
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedFiles(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
    const QStringList paths = DroppedFiles(event->mimeData());
    if (paths.isEmpty()) return;
    event->acceptProposedAction();
    // The drop is finished first: the run may ask for a name, and the dragging program should
    // not wait for that.
    QMetaObject::invokeMethod(
        this, [this, paths] { ui_.Guard([this, &paths] { FilesDropped(paths); }); },
        Qt::QueuedConnection);
}

void TForm1::FilesDropped(const QStringList& paths) {
    if (FileRunning()) return;
    const bool restoring =
        paths.size() == 1 && paths.front().endsWith(QStringLiteral(".vrq"), Qt::CaseInsensitive);
    std::string password;
    if (!CheckFilePassword(restoring, password)) return;
    if (!restoring) {
        EncryptChosen(paths, password);
        return;
    }
    ReplaceReportList(paths);
    RestoreChosen(paths.front(), password);
}

void TForm1::closeEvent(QCloseEvent* event) {
    // A run still going is cancelled: its unfinished output never appears.
    fileRun_->Stop();
    Run(&TForm1::FormClose);
    event->accept();
}

void TForm1::mousePressEvent(QMouseEvent* event) {
    releaseEndsDoubleClick_ = false;
    QWidget::mousePressEvent(event);
}

void TForm1::mouseReleaseEvent(QMouseEvent* event) {
    const bool endsDoubleClick = releaseEndsDoubleClick_;
    releaseEndsDoubleClick_ = false;
    if (event->button() == Qt::LeftButton && !endsDoubleClick) Run(&TForm1::FormClick);
}

void TForm1::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    releaseEndsDoubleClick_ = true;
    Run(&TForm1::FormDblClick);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (watched == Memo1->viewport()) {
            Run(&TForm1::Memo1DblClick);
            return true;
        }
        if (watched == ListBox1->viewport()) {
            Run(&TForm1::ListBox1DblClick);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace kiv
