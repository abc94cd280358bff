#pragma once

#include <QString>

namespace kiv {

// Creates folder and every missing folder above it, each new one readable by its owner only: what
// the program keeps there (the last-save file) is no one else's to list. Folders that exist
// already keep their modes. False when folder is not a folder afterwards.
bool MakePrivateFolder(const QString& folder);

}  // namespace kiv
