#pragma once

#include <QString>

namespace kiv {

// Where errors that no handler caught end up: a message box with the application title as
// caption and an error icon. Tests substitute a recorder.
class ExceptionDisplay {
  public:
    virtual ~ExceptionDisplay() = default;

    // Shows an already prepared text; see DisplayText.
    virtual void ShowError(const QString& text) = 0;

    // Nobody is left to answer: a termination signal is ending the program. From now on nothing
    // may wait for a person, so a display that shows boxes writes its texts to standard error.
    virtual void StopInteracting() {}
    // False once StopInteracting was called: a question now would only get its default answer.
    virtual bool Interacting() const { return true; }

    // The message as the box shows it: a full stop is added when the message is not empty and
    // its last character sorts after "." (so "...overflow" gains one, "...value." and "Stop!"
    // stay as they are).
    static QString DisplayText(const QString& message);

    // Shows the exception being handled; call from a catch block only.
    void ShowCurrentException() noexcept;

    // Runs a handler body so that nothing it throws travels on into Qt's event loop: Qt's own
    // frames are not built to be unwound, so every exception stops here and is shown.
    template <class Body>
    void Guard(Body&& body) noexcept {
        try {
            body();
        } catch (...) {
            ShowCurrentException();
        }
    }
};

}  // namespace kiv
