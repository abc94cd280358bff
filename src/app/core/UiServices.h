#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "app/core/DialogSettings.h"
#include "runtime/ExceptionDisplay.h"

namespace kiv {

enum class ClipboardContent { CipherText, Secret };

// Everything through which the window talks to the user outside its own controls: message
// boxes, the input box, the file dialogs and the clipboard. The program shows real dialogs;
// tests answer them from a script, so no handler ever waits for a person.
class UiServices : public ExceptionDisplay {
  public:
    // A plain box with OK and the application title as caption.
    virtual void ShowMessage(const QString& text) = 0;
    // OK and Cancel with a caption of its own; true for OK.
    virtual bool Question(const QString& text, const QString& caption) = 0;
    // A question whose buttons say what they do: the index of the button pressed. Enter presses
    // buttons[defaultButton]; Escape and closing the box mean buttons[escapeButton].
    virtual int Choose(const QString& text, const QString& caption, const QStringList& buttons,
                       int defaultButton, int escapeButton) = 0;
    // A one-line answer, shown masked as it is typed; nothing when the user cancels.
    // subject, where there is one, names what the password is for (a file), above the prompt.
    virtual std::optional<QString> PasswordBox(const QString& caption, const QString& prompt,
                                               const QString& defaultAnswer,
                                               const QString& subject) = 0;
    // The chosen files (one unless settings.multiSelect); empty when cancelled. The first chosen
    // file becomes settings.fileName.
    virtual QStringList OpenDialog(DialogSettings& settings) = 0;
    // The chosen file; nothing when cancelled. It becomes settings.fileName.
    virtual std::optional<QString> SaveDialog(DialogSettings& settings) = 0;
    // Empty when the clipboard holds no text (an image, say).
    virtual QString ClipboardText() = 0;
    // Replaces the clipboard's content. A secret (decrypted plain text) is marked so that
    // clipboard managers keep it out of their history; anything else stays for them to keep.
    virtual void SetClipboardText(const QString& text, ClipboardContent content) = 0;
    // One line on standard error, after the program's name: what the user should know of a file
    // the program would not touch, where no box is wanted. Never translated.
    virtual void Note(const QString& text) = 0;
};

}  // namespace kiv
