#include "app/window/StartupContext.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>

#include "app/core/PrivateFolder.h"
#include "app/core/SettingsKey.h"
#include "app/window/WindowPlacement.h"

namespace kiv {

namespace {

QString DataFolder() {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    MakePrivateFolder(data);
    return data;
}

}  // namespace

StartupContext StartupContext::ForProcess(const QStringList& arguments) {
    StartupContext context{SettingsKey::UserFile(), SettingsKey::MachineFile(),
                           ProgramFolder(QCoreApplication::applicationDirPath()), arguments};
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary != nullptr) context.screenAreas << primary->availableGeometry();
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen != primary) context.screenAreas << screen->availableGeometry();
    context.positionKnown = PositionKnown(QGuiApplication::platformName());
    return context;
}

QString StartupContext::ProgramFolder(const QString& folder) {
    // Installed, the program's folder is the system's bin folder, which root could write to but
    // no program should; its menu entry at the install layout's place beside it tells.
    if (QFileInfo::exists(folder + QLatin1String("/" KIV_INSTALLED_MENU_ENTRY)))
        return DataFolder();
    return WritableFolder(folder);
}

QString StartupContext::WritableFolder(const QString& folder) {
    const QFileInfo info(folder);
    if (info.isDir() && info.isWritable()) return folder;
    return DataFolder();
}

}  // namespace kiv
