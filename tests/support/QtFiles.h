#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QString>

#include "support/TempFolder.h"

namespace kiv::testing {

// The whole file; "<missing>" where it cannot be read, which no content a test writes equals.
inline QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

inline void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

inline int PermissionsOf(const QString& path) {
    return PermissionsOf(QFile::encodeName(path).toStdString());
}

}  // namespace kiv::testing
