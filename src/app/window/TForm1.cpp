#include "app/window/TForm1.h"

#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMouseEvent>
#include <QShortcut>
#include <cmath>
#include <stdexcept>

#include "app/core/EditorDocument.h"
#include "app/core/ShownText.h"
#include "app/core/TextAdapter.h"
#include "app/window/EditorCommands.h"
#include "app/window/WindowAccessibility.h"
#include "app/window/WindowPlacement.h"
#include "messages/MessageCatalogue.h"
#include "numeric/NumericServices.h"
#include "runtime/ApplicationTitle.h"

namespace kiv {

namespace {

constexpr int kStartFileMarker = 213;
constexpr char kDefaultPassword[] = "lema_tovik3";

}  // namespace

TForm1::TForm1(UiServices& ui, const Clock& clock, StartupContext context, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      ui_(ui),
      clock_(clock),
      context_(std::move(context)),
      session_(ui, clock, [this] { startFileMarker = 0; }),
      controls_(*this),
      settings_(ui, context_.userSettingsFile, context_.machineSettingsFile) {
    FitWindowInView(*this, context_.screenAreas.value(0));
    controls_.SetTabOrder();
    setAcceptDrops(true);
    controls_.Memo1->viewport()->installEventFilter(this);
    controls_.ListBox1->viewport()->installEventFilter(this);
    DescribeControls(*this, controls_);
    fileRuns_ =
        std::make_unique<FileRunController>(ui_, clock_, controls_, OpenDialog1, SaveDialog1);
    ConnectHandlers();
    CreateCommandTopic();
    // Creation goes on after a failed start-up sequence; the window opens as far as it got.
    ui_.Guard([this] { FormCreate(); });
}

TForm1::~TForm1() = default;

void TForm1::ConnectHandlers() {
    const auto onChecked = [this](QRadioButton* radio, void (TForm1::*handler)()) {
        connect(radio, &QRadioButton::toggled, this, [this, handler](bool checked) {
            if (checked) Run(handler);
        });
    };
    onChecked(controls_.RadioButton1, &TForm1::RadioButton1Click);
    onChecked(controls_.RadioButton2, &TForm1::RadioButton2Click);
    onChecked(controls_.RadioButton3, &TForm1::RadioButton3Click);

    const auto onClick = [this](auto* sender, auto signal, void (TForm1::*handler)()) {
        connect(sender, signal, this, [this, handler] { Run(handler); });
    };
    // The status line speaks of the last action until the next one begins.
    const auto onAction = [this](auto* sender, auto signal, void (TForm1::*handler)()) {
        connect(sender, signal, this, [this, handler] {
            controls_.Status->Clear();
            Run(handler);
        });
    };
    onAction(controls_.Label1, &ClickLabel::clicked, &TForm1::Label1Click);
    onAction(controls_.Label2, &ClickLabel::clicked, &TForm1::Label2Click);
    onAction(controls_.Usememeo1, &QAction::triggered, &TForm1::Usememeo1Click);
    onAction(controls_.Save1, &QAction::triggered, &TForm1::Save1Click);
    onAction(controls_.Saveas1, &QAction::triggered, &TForm1::Saveas1Click);
    onClick(controls_.ListBox1, &QListWidget::clicked, &TForm1::ListBox1Click);
    onAction(controls_.Button1, &QPushButton::clicked, &TForm1::Button1Click);
    onAction(controls_.Button2, &QPushButton::clicked, &TForm1::Button2Click);
    onAction(controls_.Button3, &QPushButton::clicked, &TForm1::Button3Click);
    onAction(controls_.Button4, &QPushButton::clicked, &TForm1::Button4Click);
    onAction(controls_.Button5, &QPushButton::clicked, &TForm1::Button5Click);
    onAction(controls_.Button6, &QPushButton::clicked, &TForm1::Button6Click);
    onClick(controls_.Button7, &QPushButton::clicked, &TForm1::Button7Click);
    onClick(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated,
            &TForm1::EscapePressed);
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
    Form1Controls::SetCaption(controls_.Label3, ShownText(WindowText(Message::Connected)));
}

void TForm1::Run(void (TForm1::*handler)()) {
    ++handlersRunning_;
    ui_.Guard([this, handler] { (this->*handler)(); });
    // A handler that waits in a box of its own still needs its key when the box is closed.
    if (--handlersRunning_ > 0) return;
    session_.ForgetKey();
}

int TForm1::SourceMode() const {
    if (controls_.RadioButton1->isChecked()) return 1;
    if (controls_.RadioButton2->isChecked()) return 2;
    return 3;
}

void TForm1::FormCreate() {
    controls_.Button4->hide();
    controls_.Button3->hide();
    controls_.Button1->hide();
    controls_.Button2->hide();
    controls_.Edit1->setFocus();
    const double now = DateTimeValue(clock_.LocalNow());
    Form1Controls::SetCaption(controls_.Label3,
                              QString::fromLocal8Bit(DateTimeText(std::trunc(now))));
    Form1Controls::SetCaption(controls_.Label4,
                              QString::fromLocal8Bit(DateTimeText(TimeOfDayFraction(clock_))));
    controls_.Edit1->setEchoMode(QLineEdit::Password);
    controls_.Edit2->setEchoMode(QLineEdit::Password);
    rememberedPassword = QLatin1String(kDefaultPassword);
    controls_.ProgressBar1->hide();
    saveOnClose = true;
    LoadSettings();
    controls_.Edit1->setText(rememberedPassword);
    controls_.Edit2->setText(rememberedPassword);
    startPassword = rememberedPassword;
    HandleArguments();
    // A stored place that would hide any of the window (another screen setup or scale, a
    // damaged value) is moved into view for this start; closing stores where the window then
    // stands.
    MoveInView(*this, QPoint(storedLeft, storedTop), context_.screenAreas);
    if (controls_.CheckBox1->isChecked()) {
        QString why;
        const auto lines = EditorDocument::ReadPrivate(LastSaveFile(), why);
        if (!lines) {
            NoteLastSave(why);
            ui_.ShowMessage(QLatin1String(WindowText(Message::LastSaveNotFound)));
            return;
        }
        Lines().SetAll(*lines);
    }
}

void TForm1::NoteLastSave(const QString& why) {
    if (why.isEmpty() || why == lastSaveNoted_) return;
    lastSaveNoted_ = why;
    ui_.Note(QStringLiteral("not using the last-save file '%1': %2").arg(LastSaveFile(), why));
}

void TForm1::HandleArguments() {
    const QStringList& arguments = context_.arguments;
    if (arguments.isEmpty()) {
        startFileMarker = 0;
        // The program's folder may be its hidden data folder: a file saved there is lost to the
        // user, so the dialogs start in the user's home folder.
        OpenDialog1.initialFolder = QDir::homePath();
        SaveDialog1.initialFolder = QDir::homePath();
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
    controls_.Edit1->clear();
    const QString caption = QString::fromUtf8(WindowText(Message::WindowCaption));
    controls_.Edit1->setText(ui_.PasswordBox(caption,
                                             QLatin1String(WindowText(Message::PasswordPrompt)),
                                             QString(), file.fileName())
                                 .value_or(QString()));
    controls_.Edit2->setText(controls_.Edit1->text());
    // Nothing else tells that the file is restored by a button, not by giving the password; in
    // another mode that button is not even on the window.
    const QString button = ShownText(WindowText(Message::DecryptFilesCaption));
    controls_.Status->Show(
        controls_.RadioButton1->isChecked()
            ? ShownText(WindowText(Message::PressToRestore)).arg(button, startFilePath)
            : ShownText(WindowText(Message::ChooseModeToRestore))
                  .arg(ShownText(WindowText(Message::UseFile)), button, startFilePath),
        startFilePath);
}

void TForm1::LoadSettings() {
    const WindowSettings::Loaded loaded = settings_.Load(pos());
    // A new key holds the defaults, not this window's state: closing it saves nothing.
    if (loaded.keyCreated) saveOnClose = false;
    ApplySettings(loaded.values);
    if (loaded.stoppedBy) std::rethrow_exception(loaded.stoppedBy);
}

void TForm1::ApplySettings(const WindowSettingsValues& values) {
    if (values.mode == 1) controls_.RadioButton1->setChecked(true);
    if (values.mode == 2) controls_.RadioButton2->setChecked(true);
    if (values.mode == 3) controls_.RadioButton3->setChecked(true);
    if (values.password) rememberedPassword = *values.password;
    const int remember = values.remember.value_or(0);
    if (remember > 0) controls_.CheckBox1->setChecked(true);
    if (remember < 0) controls_.CheckBox1->setChecked(false);
    if (values.top) storedTop = *values.top;
    if (values.left) storedLeft = *values.left;
}

void TForm1::SaveSettings() {
    const bool remember = controls_.CheckBox1->isChecked();
    if (settings_.Save({SourceMode(), remember, rememberedPassword, pos(), context_.positionKnown}))
        saveOnClose = false;
}

void TForm1::FormClick() {
    controls_.ShowAll();
    allHidden_ = false;
}

void TForm1::FormDblClick() {
    if (FileRunning()) return;
    controls_.HideAll();
    Lines().Clear();
    controls_.ListBox1->clear();
    allHidden_ = true;
}

void TForm1::EscapePressed() {
    if (FileRunning()) return Button7Click();
    // The keyboard's way back from a double-click that hid everything: what a click does.
    if (!allHidden_) return;
    FormClick();
    controls_.Edit1->setFocus(Qt::ShortcutFocusReason);
}

void TForm1::FormClose() {
    if (saveOnClose) SaveSettings();
}

void TForm1::Label1Click() {
    if (FileRunning()) return;
    if (controls_.Edit1->text() != controls_.Edit2->text()) return;
    for (QLineEdit* box : {controls_.Edit1, controls_.Edit2})
        box->setEchoMode(box->echoMode() == QLineEdit::Password ? QLineEdit::Normal
                                                                : QLineEdit::Password);
    controls_.Edit2->setText(startPassword);
    controls_.Edit1->setText(startPassword);
}

void TForm1::Label2Click() {
    if (FileRunning()) return;
    if (!session_.QuickDecrypt(controls_.Edit1->text(), controls_.Edit2->text())) return;
    if (!controls_.CheckBox1->isChecked())
        controls_.ListBox1->addItem(TextAdapter::FromBytes(session_.Operands.CipherOutput));
}

void TForm1::Save1Click() {
    EditorCommands(ui_).Open(OpenDialog1, Lines());
}

void TForm1::Saveas1Click() {
    EditorCommands(ui_).SaveAs(SaveDialog1, Lines());
}

void TForm1::ListBox1DblClick() {
    if (FileRunning()) return;
    controls_.ListBox1->clear();
}

bool TForm1::PrepareTextKey(const char* mismatchText, const char* shortText, bool encrypting) {
    return session_.PrepareTextKey(controls_.Edit1->text(), controls_.Edit2->text(), mismatchText,
                                   shortText, encrypting);
}

void TForm1::Button5Click() {
    if (FileRunning()) return;
    EditorLines lines = Lines();
    const int count = lines.Count();
    if (!PrepareTextKey(WindowText(Message::EncryptEditorMismatch),
                        WindowText(Message::PasswordTooShort), true))
        return;
    lines.AsOneEdit([&] {
        for (int i = 0; i < count; ++i)
            lines.SetLine(i, session_.Encrypted(lines.WholeLine(i)));
    });
    // An encryption has no undo: a step back would show the plain text to anyone at the screen.
    controls_.Memo1->document()->clearUndoRedoStacks();
    const QString lastSave = LastSaveFile();
    QString why;
    if (!EditorDocument::WritePrivate(lastSave, lines.All(), why)) {
        NoteLastSave(why);
        throw std::runtime_error(TextAdapter::ToBytes(
            QString::fromUtf8(WindowText(Message::CannotCreateFile)).arg(lastSave)));
    }
    if (controls_.CheckBox1->isChecked()) {
        rememberedPassword = TextAdapter::FromBytes(session_.Operands.CipherKey);
        SaveSettings();
    }
}

void TForm1::Button6Click() {
    if (FileRunning()) return;
    EditorLines lines = Lines();
    const int count = lines.Count();
    if (!PrepareTextKey(WindowText(Message::DecryptEditorMismatch),
                        WindowText(Message::PasswordTooShort), false))
        return;
    // A line that splits in two moves the later ones down: the loop still visits the positions
    // 0 to count - 1 as the document stands at each step.
    lines.AsOneEdit([&] {
        for (int i = 0; i < count; ++i)
            lines.SetLine(i, session_.Decrypted(lines.WholeLine(i)));
    });
}

void TForm1::Button4Click() {
    if (FileRunning()) return;
    if (!PrepareTextKey(WindowText(Message::EncryptClipboardMismatch),
                        WindowText(Message::PasswordTooShort), true))
        return;
    const auto result = session_.EncryptClipboard();
    if (!result)
        return controls_.Status->Show(ShownText(WindowText(Message::ClipboardNothingEncrypted)));
    ShowClipboardResult(*result, ClipboardContent::CipherText);
}

void TForm1::Button3Click() {
    if (FileRunning()) return;
    if (!PrepareTextKey(WindowText(Message::DecryptClipboardMismatch),
                        WindowText(Message::PasswordTooShort), false))
        return;
    const auto result = session_.DecryptClipboard();
    if (!result)
        return controls_.Status->Show(ShownText(WindowText(Message::ClipboardNothingDecrypted)));
    ShowClipboardResult(*result, ClipboardContent::Secret);
}

void TForm1::ShowClipboardResult(const ClipboardSegments::Result& result,
                                 ClipboardContent content) {
    const char* done = content == ClipboardContent::Secret
                           ? WindowText(Message::ClipboardDecrypted)
                           : WindowText(Message::ClipboardEncrypted);
    controls_.Status->Show(ShownText(done, static_cast<int>(result.pieces.size())));
    if (controls_.CheckBox1->isChecked()) return;
    EditorLines lines = Lines();
    lines.AsOneEdit([&] {
        for (const std::string& piece : result.pieces)
            lines.Append(piece);
    });
}

void TForm1::Button1Click() {
    if (startFileMarker == kStartFileMarker)
        fileRuns_->Restore(startFilePath);
    else
        fileRuns_->Restore(std::nullopt);
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
    fileRuns_->DragEntered(*event, SourceMode());
}

void TForm1::dropEvent(QDropEvent* event) {
    fileRuns_->Dropped(*event, SourceMode());
}

void TForm1::closeEvent(QCloseEvent* event) {
    // With nobody left to answer (a termination signal) the run is cancelled without asking.
    if (FileRunning() && ui_.Interacting() &&
        ui_.Choose(ShownText(WindowText(Message::CloseDuringRun)),
                   QString::fromUtf8(kApplicationTitle),
                   {ShownText(WindowText(Message::StopAndClose)),
                    ShownText(WindowText(Message::KeepRunning))},
                   1, 1) != 0) {
        event->ignore();
        return;
    }
    // A run still going is cancelled: its unfinished output never appears.
    fileRuns_->Stop();
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
        if (watched == controls_.Memo1->viewport()) {
            Run(&TForm1::Memo1DblClick);
            return true;
        }
        if (watched == controls_.ListBox1->viewport()) {
            Run(&TForm1::ListBox1DblClick);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace kiv
