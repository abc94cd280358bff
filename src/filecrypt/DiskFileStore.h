#pragma once

#include "filecrypt/FileStore.h"

namespace kiv {

// The file system: inputs read through ByteReader, outputs written through an AtomicOutputFile,
// names looked up with stat and lstat; a folder's files through one descriptor of it
// (DiskFolder).
class DiskFileStore final : public FileStore {
  public:
    static DiskFileStore& Instance();

    bool OpenInput(const std::string& path, ByteReader& reader) override;
    std::unique_ptr<Output> CreateOutput(const std::string& path, ExistingFile existing) override;
    std::optional<FileIdentity> IdentityOf(const std::string& path) const override;
    bool NameTaken(const std::string& path) const override;
    bool IsIrregular(const std::string& path) const override;
    // One stat, no open.
    bool Examine(const std::string& path, FileFacts& facts) override;
    // A DiskFolder; where the folder cannot be opened, one that reaches its files by path.
    std::unique_ptr<Folder> OpenFolder(const std::string& folder) override;
    // Asks the folder itself: creates an empty file of a unique name there, looks it up with
    // its letter case turned round and removes it. A folder where no file can be made is taken
    // to fold: skipping an entry is better than losing a file.
    bool FoldsLetterCase(const std::string& folder) const override;
};

}  // namespace kiv
