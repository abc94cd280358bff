#include "app/StartupContext.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "app/SettingsKey.h"

namespace kiv {

StartupContext StartupContext::ForProcess(const QStringList& arguments) {
    return {SettingsKey::UserFile(), SettingsKey::MachineFile(),
            WritableFolder(QCoreApplication::applicationDirPath()), arguments};
}

QString StartupContext::WritableFolder(const QString& folder) {
    const QFileInfo info(folder);
    if (info.isDir() && info.isWritable()) return folder;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(data);
    return data;
}

}  // namespace kiv
