#include "app/window/QtUiServices.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/core/ShownText.h"
#include "app/window/SecretClipboardData.h"
#include "messages/MessageCatalogue.h"
#include "runtime/ApplicationTitle.h"

namespace kiv {

namespace {

// A dialog prepared from the shared settings: folder, preset name, filters, default extension.
void Prepare(QFileDialog& dialog, const DialogSettings& settings) {
    if (!settings.initialFolder.isEmpty()) dialog.setDirectory(settings.initialFolder);
    if (!settings.fileName.isEmpty()) dialog.selectFile(settings.fileName);
    DialogSettings shown = settings;
    shown.filter = ShownText(settings.filter);
    const QStringList filters = shown.QtNameFilters();
    if (!filters.isEmpty()) dialog.setNameFilters(filters);
    // The user sees each filter's own text; the patterns Qt matches with stay behind it.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setDefaultSuffix(settings.defaultExtension);
}

// Window managers cut a caption that is wider than its box ("Prote… mation"): a box is made
// at least as wide as its caption with room for the title bar's buttons.
int CaptionWidth(const QWidget& box) {
    QFont title = box.font();
    title.setBold(true);
    return QFontMetrics(title).horizontalAdvance(box.windowTitle()) + 160;
}

// The boxes size themselves from their layouts, so the width goes in as a spacer.
void FitCaption(QWidget& box) {
    auto* spacer = new QSpacerItem(CaptionWidth(box), 0, QSizePolicy::Minimum);
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(spacer, grid->rowCount(), 0, 1, grid->columnCount());
    else if (auto* column = qobject_cast<QBoxLayout*>(box.layout()))
        column->addSpacerItem(spacer);
    else
        delete spacer;
}

// "kiv: text", as command-line programs report.
void WriteToStandardError(const QString& text) {
    const QString program = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    std::fputs(QString(program + QStringLiteral(": ") + text + u'\n').toLocal8Bit().constData(),
               stderr);
    std::fflush(stderr);
}

}  // namespace

void QtUiServices::ShowError(const QString& text) {
    if (!interacting_) return WriteToStandardError(text);
    errors_.ShowError(text);
}

void QtUiServices::Note(const QString& text) {
    WriteToStandardError(text);
}

void QtUiServices::StopInteracting() {
    interacting_ = false;
}

void QtUiServices::ShowMessage(const QString& text) {
    if (!interacting_) return WriteToStandardError(text);
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(kApplicationTitle), ShownText(text),
                    QMessageBox::Ok, QApplication::activeWindow());
    FitCaption(box);
    box.exec();
}

bool QtUiServices::Question(const QString& text, const QString& caption) {
    if (!interacting_) return false;
    QMessageBox box(QMessageBox::Question, ShownText(caption), ShownText(text),
                    QMessageBox::Ok | QMessageBox::Cancel, QApplication::activeWindow());
    FitCaption(box);
    return box.exec() == QMessageBox::Ok;
}

int QtUiServices::Choose(const QString& text, const QString& caption, const QStringList& buttons,
                         int defaultButton, int escapeButton) {
    if (!interacting_) return escapeButton;
    QMessageBox box(QMessageBox::Question, ShownText(caption), ShownText(text),
                    QMessageBox::NoButton, QApplication::activeWindow());
    std::vector<QPushButton*> pressed;
    for (qsizetype i = 0; i < buttons.size(); ++i)
        // The escape button is the one that rejects; the style orders the rest.
        pressed.push_back(box.addButton(ShownText(buttons[i]), i == escapeButton
                                                                   ? QMessageBox::RejectRole
                                                                   : QMessageBox::AcceptRole));
    box.setDefaultButton(pressed.at(static_cast<std::size_t>(defaultButton)));
    box.setEscapeButton(pressed.at(static_cast<std::size_t>(escapeButton)));
    FitCaption(box);
    box.exec();
    const auto chosen = std::find(pressed.begin(), pressed.end(), box.clickedButton());
    return chosen == pressed.end() ? escapeButton : static_cast<int>(chosen - pressed.begin());
}

std::optional<QString> QtUiServices::PasswordBox(const QString& caption, const QString& prompt,
                                                 const QString& defaultAnswer,
                                                 const QString& subject) {
    if (!interacting_) return std::nullopt;
    QInputDialog box(QApplication::activeWindow());
    box.setWindowTitle(ShownText(caption));
    box.setLabelText(subject.isEmpty()
                         ? ShownText(prompt)
                         : ShownText(WindowText(Message::PromptSubject)).arg(subject) + u'\n' +
                               ShownText(prompt));
    // Masked as the password boxes are: a password in clear is read by anyone watching.
    box.setTextEchoMode(QLineEdit::Password);
    box.setTextValue(defaultAnswer);
    box.adjustSize();  // the input box builds its layout only when first sized
    FitCaption(box);
    if (box.exec() != QDialog::Accepted) return std::nullopt;
    return box.textValue();
}

QStringList QtUiServices::OpenDialog(DialogSettings& settings) {
    if (!interacting_) return {};
    QFileDialog dialog(QApplication::activeWindow());
    PrepareOpenDialog(dialog, settings);
    StartInLastFolder(dialog, settings);
    if (dialog.exec() != QDialog::Accepted) return {};
    lastFolder_ = dialog.directory().absolutePath();
    const QStringList chosen = dialog.selectedFiles();
    if (!chosen.isEmpty()) settings.fileName = chosen.front();
    return chosen;
}

std::optional<QString> QtUiServices::SaveDialog(DialogSettings& settings) {
    if (!interacting_) return std::nullopt;
    QFileDialog dialog(QApplication::activeWindow());
    PrepareSaveDialog(dialog, settings);
    StartInLastFolder(dialog, settings);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    lastFolder_ = dialog.directory().absolutePath();
    settings.fileName = dialog.selectedFiles().front();
    return settings.fileName;
}

void QtUiServices::StartInLastFolder(QFileDialog& dialog, const DialogSettings& settings) const {
    if (lastFolder_.isEmpty()) {
        if (settings.initialFolder.isEmpty() && QFileInfo(settings.fileName).isRelative())
            dialog.setDirectory(QDir::homePath());
        return;
    }
    dialog.setDirectory(lastFolder_);
    if (!settings.fileName.isEmpty()) dialog.selectFile(QFileInfo(settings.fileName).fileName());
}

void QtUiServices::PrepareOpenDialog(QFileDialog& dialog, const DialogSettings& settings) {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(settings.multiSelect ? QFileDialog::ExistingFiles
                                            : QFileDialog::ExistingFile);
    Prepare(dialog, settings);
}

void QtUiServices::PrepareSaveDialog(QFileDialog& dialog, const DialogSettings& settings) {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Qt's own question keeps the dialog open, so a refusal lets the user pick another name.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !settings.confirmOverwrite);
    Prepare(dialog, settings);
}

QString QtUiServices::ClipboardText() {
    return QGuiApplication::clipboard()->text();
}

void QtUiServices::SetClipboardText(const QString& text, ClipboardContent content) {
    if (content == ClipboardContent::Secret)
        QGuiApplication::clipboard()->setMimeData(SecretClipboardData(text));
    else
        QGuiApplication::clipboard()->setText(text);
}

}  // namespace kiv
