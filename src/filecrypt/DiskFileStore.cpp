#include "filecrypt/DiskFileStore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "filecrypt/ContainerNames.h"
#include "filecrypt/TemporaryFileRegistry.h"
#include "filecrypt/internal/AtomicOutputFile.h"
#include "filecrypt/internal/DiskFolder.h"
#include "filecrypt/internal/DiskOutput.h"

namespace kiv {

DiskFileStore& DiskFileStore::Instance() {
    static DiskFileStore store;
    return store;
}

bool DiskFileStore::OpenInput(const std::string& path, ByteReader& reader) {
    return reader.Open(path);
}

std::unique_ptr<FileStore::Output> DiskFileStore::CreateOutput(const std::string& path,
                                                               ExistingFile existing) {
    auto output = std::make_unique<DiskOutput>();
    if (!output->Create(path, existing)) return nullptr;
    return output;
}

std::optional<FileIdentity> DiskFileStore::IdentityOf(const std::string& path) const {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return std::nullopt;
    return FileIdentity(info.st_dev, info.st_ino);
}

bool DiskFileStore::NameTaken(const std::string& path) const {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

bool DiskFileStore::Examine(const std::string& path, FileFacts& facts) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return false;
    if (!S_ISREG(info.st_mode)) {
        errno = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        return false;
    }
    facts = {FileIdentity(info.st_dev, info.st_ino), info.st_size};
    return true;
}

std::unique_ptr<FileStore::Folder> DiskFileStore::OpenFolder(const std::string& folder) {
    auto opened = std::make_unique<DiskFolder>();
    if (opened->Open(folder)) return opened;
    // Whatever the matter with the folder, each file then meets it on its own, as without one.
    return FileStore::OpenFolder(folder);
}

bool DiskFileStore::IsIrregular(const std::string& path) const {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode);
}

bool DiskFileStore::FoldsLetterCase(const std::string& folder) const {
    const std::string prefix = folder.empty() ? "./" : folder;
    std::string probe = prefix + ".kiv-case-XXXXXX";
    const int fd = mkostemp(probe.data(), O_CLOEXEC);
    if (fd < 0) return true;
    close(fd);
    const int slot = TemporaryFileRegistry::Add(probe);
    // The name holds letters, so turning their case round always gives another name.
    const std::string turned = prefix + CaseTurned(probe.substr(prefix.size()));
    struct stat info {};
    const bool folds = lstat(turned.c_str(), &info) == 0;
    unlink(probe.c_str());
    TemporaryFileRegistry::Remove(slot);
    return folds;
}

}  // namespace kiv
