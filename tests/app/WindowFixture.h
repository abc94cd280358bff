#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>
#include <map>
#include <memory>

#include "FakeUi.h"
#include "FixedClock.h"
#include "TForm1.h"

// Readable texts in failure reports.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace kiv {

// A window in a temporary world: its settings file, program folder and arguments all live in a
// fresh folder, the clock stands still and every dialog is answered by FakeUi.
class WindowFixture : public testing::Test {
  protected:
    WindowFixture() { QDir().mkpath(ProgramFolder()); }

    QString SettingsFile() const { return folder.filePath(QStringLiteral("xdg/Pulm/Kiv.ini")); }
    QString ProgramFolder() const { return folder.filePath(QStringLiteral("program")); }

    std::unique_ptr<TForm1> Open(const QStringList& arguments = {}) {
        return std::make_unique<TForm1>(ui, clock,
                                        StartupContext{SettingsFile(), ProgramFolder(), arguments});
    }

    void Store(const std::map<QString, QString>& values) {
        QSettings settings(SettingsFile(), QSettings::IniFormat);
        for (const auto& [name, value] : values)
            settings.setValue(QStringLiteral("SOFTWARE/Pulm/Kiv/") + name, value);
    }
    // A complete key, as a previous run would have left it.
    void StoreKey(const QString& mode, const QString& password, const QString& remember) {
        Store({{QStringLiteral("radyono"), mode},
               {QStringLiteral("sifre"), password},
               {QStringLiteral("hatirla"), remember},
               {QStringLiteral("Top"), QStringLiteral("40")},
               {QStringLiteral("Left"), QStringLiteral("30")}});
    }
    QString Stored(const QString& name) const {
        return QSettings(SettingsFile(), QSettings::IniFormat)
            .value(QStringLiteral("SOFTWARE/Pulm/Kiv/") + name)
            .toString();
    }

    // The names of the window's controls that are not hidden, in name order.
    static QStringList ShownControls(const TForm1& window) {
        QStringList names;
        for (const QWidget* control :
             window.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            if (!qobject_cast<const QMenu*>(control) && !control->isHidden())
                names << control->objectName();
        names.sort();
        return names;
    }

    static QStringList Names(QStringList names) {
        names.sort();
        return names;
    }

    QTemporaryDir folder;
    FakeUi ui;
    FixedClock clock{1709649015, LocalTime{2024, 3, 5, 14, 30, 15, 250}};
};

}  // namespace kiv
