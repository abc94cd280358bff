#pragma once

#include <QStandardPaths>
#include <QString>

namespace kiv {

// Where the command service named serviceName listens and where its clients find it: a socket
// in the user's runtime folder. Empty when the system offers no runtime folder. The service and
// kiv-cli's dde command both ask here; it needs QtCore only, so kiv-cli uses it without linking
// the runtime library and its widgets.
inline QString DdeSocketPath(const QString& serviceName) {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) return {};
    return folder + QLatin1Char('/') + serviceName;
}

}  // namespace kiv
