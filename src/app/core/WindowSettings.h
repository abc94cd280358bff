#pragma once

#include <QPoint>
#include <QString>
#include <exception>
#include <optional>

#include "app/core/UiServices.h"

namespace kiv {

class SettingsKey;

// The window's state as the settings key holds it; a value that was not read stays empty.
struct WindowSettingsValues {
    std::optional<int> mode;          // "radyono"
    std::optional<QString> password;  // "sifre"
    std::optional<int> remember;      // "hatirla"
    std::optional<int> top;
    std::optional<int> left;
};

// What the window stores of itself.
struct WindowSettingsState {
    int mode = 3;
    bool remember = false;
    QString password;  // stored only when remember is set; otherwise a new key's replaces it
    QPoint at;
    // False where the system makes up the window's position (Wayland): it is then not stored.
    bool positionKnown = true;
};

// Reads and writes the window's values in the settings key. Problems with the key itself are
// shown through the UI services; the window applies what was read.
class WindowSettings {
  public:
    struct Loaded {
        WindowSettingsValues values;
        // The key did not exist and was created with its defaults: nothing was read.
        bool keyCreated = false;
        // The conversion error of a value that is no whole number; the values before it are
        // read, the ones after it are not.
        std::exception_ptr stoppedBy;
    };

    WindowSettings(UiServices& ui, QString userFile, QString machineFile)
        : ui_(ui), userFile_(std::move(userFile)), machineFile_(std::move(machineFile)) {}

    // at is the window's place, written when the key has to be created.
    Loaded Load(QPoint at);
    // True when the key had to be created: it then holds the defaults, not state. A user's file
    // that Load could not read is never saved over: it is the user's to mend or remove.
    bool Save(const WindowSettingsState& state);

  private:
    enum class Opening { Open, Created, Failed };
    Opening Open(SettingsKey& key, QPoint at) const;

    UiServices& ui_;
    QString userFile_;
    QString machineFile_;
    // Load found the user's file unreadable. Qt keeps a file's parse for the process, so a key
    // opened later reads the same file as empty, without an error, and would write defaults.
    bool unreadableAtStart_ = false;
    bool toldUnreadable_ = false;
};

}  // namespace kiv
