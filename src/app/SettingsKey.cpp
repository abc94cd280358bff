#include "app/SettingsKey.h"

#include "app/IntegerConversionError.h"

namespace kiv {

namespace {

constexpr char kGroup[] = "SOFTWARE/Pulm/Kiv";

}  // namespace

SettingsKey::SettingsKey(const QString& file) : settings_(file, QSettings::IniFormat) {}

QString SettingsKey::DefaultFile() {
    return QSettings(QSettings::IniFormat, QSettings::SystemScope, QStringLiteral("Pulm"),
                     QStringLiteral("Kiv"))
        .fileName();
}

QString SettingsKey::ReadError() const {
    if (settings_.status() == QSettings::NoError) return {};
    return QStringLiteral("The settings in '%1' cannot be read").arg(settings_.fileName());
}

bool SettingsKey::Exists() const {
    for (const QString& key : settings_.allKeys())
        if (key.startsWith(QLatin1String(kGroup) + u'/')) return true;
    return false;
}

bool SettingsKey::Create(int top, int left) {
    if (!settings_.isWritable()) return false;
    WriteText(QStringLiteral("radyono"), QStringLiteral("1"));
    WriteText(QStringLiteral("sifre"), QStringLiteral("its rain"));
    WriteText(QStringLiteral("hatirla"), QStringLiteral("-1"));
    WriteText(QStringLiteral("Top"), QString::number(top));
    WriteText(QStringLiteral("Left"), QString::number(left));
    return Commit();
}

QString SettingsKey::ReadText(const QString& name) const {
    const QVariant value = settings_.value(Path(name));
    // A hand-edited value with an unquoted comma comes back as a list; it was one text.
    if (value.typeId() == QMetaType::QStringList) return value.toStringList().join(u',');
    return value.toString();
}

int SettingsKey::ReadInteger(const QString& name) const {
    const QString text = ReadText(name);
    bool ok = false;
    const int number = text.toInt(&ok, 10);
    if (!ok) throw IntegerConversionError(text);
    return number;
}

void SettingsKey::WriteText(const QString& name, const QString& value) {
    settings_.setValue(Path(name), value);
}

bool SettingsKey::Commit() {
    if (!settings_.isWritable()) return false;
    settings_.sync();
    return settings_.status() == QSettings::NoError;
}

QString SettingsKey::Path(const QString& name) const {
    return QLatin1String(kGroup) + u'/' + name;
}

}  // namespace kiv
