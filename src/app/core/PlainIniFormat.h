#pragma once

#include <QIODevice>
#include <QSettings>

namespace kiv {

// The layout of QSettings::IniFormat ("[SOFTWARE]" then "Pulm\Kiv\radyono=1"), with every value
// a text. Qt's own INI reader turns a value such as "@Variant(...)" or "@ByteArray(...)" into a
// serialized Qt type, and a few crafted bytes there make it ask for gigabytes; a stored setting
// comes from outside, so here such a value is only ever the text it spells.
//
// Files that IniFormat wrote read back as the same texts, and for texts the bytes written here
// are the bytes IniFormat writes, so files move freely between this program's versions.
class PlainIniFormat {
  public:
    // The largest settings file: five short values take a few hundred bytes, so a file beyond
    // this is no settings file, and reading it whole would cost memory and time without bound.
    // Such a file reads as unreadable, and nothing larger is ever written.
    static constexpr qint64 kMaxFileSize = 64 * 1024;

    // The format for QSettings, registered at the first call.
    static QSettings::Format Format();

    // Fills map with every key of the file, "SOFTWARE/Pulm/Kiv/radyono" for the line above, each
    // with its value as a QString: quotes and backslash escapes undone, the parts of an unquoted
    // comma-separated value joined with ",", a leading "@@" read as "@", any other leading "@"
    // kept. Lines that are not "key=value" pairs are passed over; a later duplicate key wins.
    // False (and nothing to be trusted in map) when a "[" section line has no "]", which
    // IniFormat reports as a format error too, and when the file holds more than kMaxFileSize
    // bytes.
    static bool Read(QIODevice& device, QSettings::SettingsMap& map);
    // Writes map, sections and keys in name order, each value as the text QVariant::toString
    // gives. False when the device takes less than all of it, or (with nothing written) when
    // it would take more than kMaxFileSize bytes.
    static bool Write(QIODevice& device, const QSettings::SettingsMap& map);
};

}  // namespace kiv
