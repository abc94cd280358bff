#pragma once

#include <QSettings>
#include <QString>
#include <utility>
#include <vector>

namespace kiv {

// The key "SOFTWARE\Pulm\Kiv": the group "SOFTWARE/Pulm/Kiv" of an INI file, every value a text
// (PlainIniFormat: a value that a Qt INI reader would decode as a serialized type stays a text).
// Each user keeps the key in a file of their own, laid over the machine-wide file that an
// administrator may prepare (and that earlier versions wrote): a value comes from the user's file
// where it is there, else from the machine-wide one. Only the user's file is ever written. One
// object per load or save, so each reads the files afresh.
class SettingsKey {
  public:
    // The remembered password a new key starts with, and the one that replaces a password the
    // user no longer wants remembered.
    static constexpr char kNewKeyPassword[] = "its rain";

    SettingsKey(const QString& userFile, const QString& machineFile);

    // Pulm/Kiv.ini in $XDG_CONFIG_HOME; ~/.config when that is unset or not an absolute path.
    static QString UserFile();
    // Pulm/Kiv.ini in the first folder of $XDG_CONFIG_DIRS; /etc/xdg when there is none.
    static QString MachineFile();

    // Empty when the user's file could be read (or does not exist yet); otherwise why not. A
    // machine-wide file that cannot be read counts as absent: the user could not mend it.
    QString ReadError() const;
    // The group is in either file.
    bool Exists() const;
    // Writes the values a new key starts with. False when the user's file cannot be written.
    bool Create(int top, int left);

    // The user's value, else the machine-wide one; missing reads as empty. The remembered
    // password comes only from the user's own file: no account is handed another's password.
    QString ReadText(const QString& name) const;
    // Throws IntegerConversionError when the value is missing, empty or not a whole number.
    int ReadInteger(const QString& name) const;
    // Held back until Commit.
    void WriteText(const QString& name, const QString& value);
    // Replaces the user's file, as a whole and at once, by one with the writes applied, readable
    // by its owner only. False when it cannot be written, which includes a symbolic link or
    // anything else but a regular file standing in its place.
    bool Commit();

  private:
    static QString Path(const QString& name);
    static QString Value(const QSettings& settings, const QString& name);
    static bool HasGroup(const QSettings& settings);

    QString userFile_;
    QSettings user_;
    QSettings machine_;
    std::vector<std::pair<QString, QString>> pending_;
};

}  // namespace kiv
