#include "app/core/PrivateFolder.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <cerrno>

namespace kiv {

bool MakePrivateFolder(const QString& folder) {
    QStringList missing;
    for (QString path = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
         !QFileInfo::exists(path); path = QFileInfo(path).path())
        missing.prepend(path);
    for (const QString& path : missing)
        if (::mkdir(QFile::encodeName(path).constData(), 0700) != 0 && errno != EEXIST)
            return false;
    return QFileInfo(folder).isDir();
}

}  // namespace kiv
