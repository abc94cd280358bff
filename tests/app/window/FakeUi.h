#pragma once

#include <QStringList>
#include <deque>
#include <functional>
#include <optional>

#include "app/core/UiServices.h"
#include "app/window/QtUiServices.h"

namespace kiv {

// Answers the window's dialogs from a script and records every box it shows.
class FakeUi : public UiServices {
  public:
    void ShowError(const QString& text) override { errors << text; }
    void ShowMessage(const QString& text) override {
        messages << text;
        if (whileShowing) whileShowing();
    }
    bool Question(const QString& text, const QString& caption) override {
        questions << caption + u'|' + text;
        return questionAnswer;
    }
    // Answered with the first of choiceAnswers (a button's text), else as Escape would.
    int Choose(const QString& text, const QString& caption, const QStringList& buttons,
               int defaultButton, int escapeButton) override {
        choices << caption + u'|' + text + u'|' + buttons.join(u'/') + u'|' +
                       buttons.value(defaultButton);
        if (choiceAnswers.empty()) return escapeButton;
        const qsizetype answer = buttons.indexOf(choiceAnswers.front());
        choiceAnswers.pop_front();
        return answer < 0 ? escapeButton : static_cast<int>(answer);
    }
    std::optional<QString> PasswordBox(const QString& caption, const QString& prompt,
                                       const QString& defaultAnswer,
                                       const QString& subject) override {
        inputBoxes << caption + u'|' + prompt + u'|' + defaultAnswer;
        inputSubjects << subject;
        return inputAnswer;
    }
    QStringList OpenDialog(DialogSettings& settings) override {
        openSeen.push_back(settings);
        return openAnswer;
    }
    std::optional<QString> SaveDialog(DialogSettings& settings) override {
        saveSeen.push_back(settings);
        return saveAnswer;
    }
    QString ClipboardText() override { return clipboard; }
    void SetClipboardText(const QString& text, ClipboardContent) override { clipboard = text; }
    void Note(const QString& text) override { notes << text; }
    void StopInteracting() override { interacting = false; }
    bool Interacting() const override { return interacting; }

    QStringList errors;
    QStringList messages;
    QStringList notes;
    QStringList questions;
    QStringList choices;  // "caption|text|button/button/...|default button"
    std::deque<QString> choiceAnswers;
    QStringList inputBoxes;
    QStringList inputSubjects;
    std::deque<DialogSettings> openSeen;
    std::deque<DialogSettings> saveSeen;
    bool questionAnswer = true;
    std::optional<QString> inputAnswer;
    QStringList openAnswer;
    std::optional<QString> saveAnswer;
    QString clipboard;
    bool interacting = true;
    // What happens while a message box is open: its event loop runs other handlers.
    std::function<void()> whileShowing;
};

// The scripted boxes of FakeUi, with the program's real clipboard.
class SystemClipboardUi final : public FakeUi {
  public:
    QString ClipboardText() override { return real.ClipboardText(); }
    void SetClipboardText(const QString& text, ClipboardContent content) override {
        real.SetClipboardText(text, content);
    }
    QtUiServices real;
};

}  // namespace kiv
