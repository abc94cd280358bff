#include "cli/ClobberGuard.h"

#include <cerrno>

namespace kiv {

std::unique_ptr<FileStore::Output> ClobberGuard::CreateOutput(const std::string& path,
                                                              ExistingFile existing) {
    if (store_.NameTaken(path)) {
        taken_ = path;
        errno = EEXIST;
        return nullptr;
    }
    // A file that takes the name while the output is written stays, too.
    (void)existing;
    return store_.CreateOutput(path, ExistingFile::Keep);
}

}  // namespace kiv
