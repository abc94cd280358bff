#include "app/QtUiServices.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <cstdio>

#include "app/SecretClipboardData.h"
#include "app/ShownText.h"
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

void QtUiServices::StopInteracting() {
    interacting_ = false;
}

void QtUiServices::ShowMessage(const QString& text) {
    if (!interacting_) return WriteToStandardError(text);
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(kApplicationTitle), ShownText(text),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

bool QtUiServices::Question(const QString& text, const QString& caption) {
    if (!interacting_) return false;
    QMessageBox box(QMessageBox::Question, ShownText(caption), ShownText(text),
                    QMessageBox::Ok | QMessageBox::Cancel, QApplication::activeWindow());
    return box.exec() == QMessageBox::Ok;
}

std::optional<QString> QtUiServices::PasswordBox(const QString& caption, const QString& prompt,
                                                 const QString& defaultAnswer) {
    if (!interacting_) return std::nullopt;
    bool accepted = false;
    // Masked as the password boxes are: a password in clear is read by anyone watching.
    const QString answer =
        QInputDialog::getText(QApplication::activeWindow(), ShownText(caption), ShownText(prompt),
                              QLineEdit::Password, defaultAnswer, &accepted);
    if (!accepted) return std::nullopt;
    return answer;
}

QStringList QtUiServices::OpenDialog(DialogSettings& settings) {
    if (!interacting_) return {};
    QFileDialog dialog(QApplication::activeWindow());
    PrepareOpenDialog(dialog, settings);
    if (dialog.exec() != QDialog::Accepted) return {};
    const QStringList chosen = dialog.selectedFiles();
    if (!chosen.isEmpty()) settings.fileName = chosen.front();
    return chosen;
}

std::optional<QString> QtUiServices::SaveDialog(DialogSettings& settings) {
    if (!interacting_) return std::nullopt;
    QFileDialog dialog(QApplication::activeWindow());
    PrepareSaveDialog(dialog, settings);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    settings.fileName = dialog.selectedFiles().front();
    return settings.fileName;
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
