#pragma once

#include "app/core/UiServices.h"
#include "runtime/MessageBoxExceptionDisplay.h"

class QFileDialog;

namespace kiv {

// The real boxes, dialogs and clipboard. Boxes are modal to the active window. Once interaction
// has stopped, texts go to standard error and every question or dialog counts as cancelled.
class QtUiServices final : public UiServices {
  public:
    void ShowError(const QString& text) override;
    void StopInteracting() override;
    bool Interacting() const override { return interacting_; }
    void ShowMessage(const QString& text) override;
    bool Question(const QString& text, const QString& caption) override;
    int Choose(const QString& text, const QString& caption, const QStringList& buttons,
               int defaultButton, int escapeButton) override;
    std::optional<QString> PasswordBox(const QString& caption, const QString& prompt,
                                       const QString& defaultAnswer,
                                       const QString& subject) override;
    QStringList OpenDialog(DialogSettings& settings) override;
    std::optional<QString> SaveDialog(DialogSettings& settings) override;
    QString ClipboardText() override;
    void SetClipboardText(const QString& text, ClipboardContent content) override;
    void Note(const QString& text) override;

    // An open dialog as OpenDialog shows it: settings applied, one or several files.
    static void PrepareOpenDialog(QFileDialog& dialog, const DialogSettings& settings);
    // A save dialog as SaveDialog shows it: any name, settings applied, and Qt's question
    // before an existing file is chosen exactly when settings.confirmOverwrite.
    static void PrepareSaveDialog(QFileDialog& dialog, const DialogSettings& settings);

    // Where a dialog starts: the folder the last accepted dialog ended in; before any, the
    // settings' folder (or the preset file's), else the user's home folder, never the
    // working folder the program happened to be started in.
    void StartInLastFolder(QFileDialog& dialog, const DialogSettings& settings) const;

  private:
    MessageBoxExceptionDisplay errors_;
    bool interacting_ = true;
    QString lastFolder_;
};

}  // namespace kiv
