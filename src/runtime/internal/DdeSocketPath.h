#pragma once

#include <QFile>
#include <QString>
#include <string>

#include "runtime/DdeSocketFile.h"

namespace kiv {

// DdeSocketFile for the service, which holds its name and path as QStrings. Empty when there is
// no runtime folder to be trusted (refusal, if given, then says why).
inline QString DdeSocketPath(const QString& serviceName, std::string* refusal = nullptr) {
    const std::string file = DdeSocketFile(QFile::encodeName(serviceName).toStdString(), refusal);
    return file.empty() ? QString() : QFile::decodeName(file.c_str());
}

}  // namespace kiv
