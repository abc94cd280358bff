#pragma once

#include <QFile>
#include <QString>

#include "runtime/RuntimeFolder.h"

namespace kiv {

// Where the command service named serviceName listens and where its clients find it: a socket
// in the user's runtime folder. Empty when there is no runtime folder to be trusted (refusal, if
// given, then says why). The service and kiv-cli's dde command both ask here; it needs QtCore
// only, so kiv-cli uses it without linking the runtime library and its widgets.
inline QString DdeSocketPath(const QString& serviceName, std::string* refusal = nullptr) {
    const RuntimeFolder folder = UserRuntimeFolder();
    if (refusal) *refusal = folder.refusal;
    if (folder.path.empty()) return {};
    return QFile::decodeName(folder.path.c_str()) + QLatin1Char('/') + serviceName;
}

}  // namespace kiv
