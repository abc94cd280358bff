#pragma once

#include <QSettings>
#include <QString>

namespace kiv {

// The key "SOFTWARE\Pulm\Kiv" of the machine-wide settings: the group "SOFTWARE/Pulm/Kiv" of an
// INI file, every value a text. One object per load or save, so each reads the file afresh.
class SettingsKey {
  public:
    explicit SettingsKey(const QString& file);

    // The machine-wide file: Pulm/Kiv.ini in the first folder of XDG_CONFIG_DIRS, /etc/xdg by
    // default.
    static QString DefaultFile();

    // Empty when the file could be read (or does not exist yet); otherwise why not.
    QString ReadError() const;
    bool Exists() const;
    // Writes the values a new key starts with. False when the store cannot be written.
    bool Create(int top, int left);

    QString ReadText(const QString& name) const;
    // Throws IntegerConversionError when the value is missing, empty or not a whole number.
    int ReadInteger(const QString& name) const;
    void WriteText(const QString& name, const QString& value);
    // Puts the writes on disk; false when they could not be written.
    bool Commit();

  private:
    QString Path(const QString& name) const;

    QSettings settings_;
};

}  // namespace kiv
