#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "filecrypt/FileStore.h"

namespace kiv {

// Files held in memory under their paths, for runs that should cost no disk (fuzzing, tests).
// Paths are plain keys: there are no folders, and every name can be created. Each file has an
// identity of its own (the inode of ByteReader), which a replaced file keeps.
class MemoryFileStore final : public FileStore {
  public:
    enum class Names {
        Exact,  // a path is one file, letter case included
        // Paths that differ only in letter case (FoldedName) are one file, and every lookup
        // hands out a new identity: FAT through FUSE, as a red team met it.
        FoldedWithoutStableIdentity,
    };
    explicit MemoryFileStore(Names names = Names::Exact) : names_(names) {}

    void Put(const std::string& path, std::string bytes);
    // Null when there is no such file. Files() holds the paths as the store compares them.
    const std::string* Find(const std::string& path) const;
    const std::map<std::string, std::string>& Files() const { return files_; }

    // A missing file fails with ENOENT. A reader reads the stored string in place: replacing the
    // file while it is open is a fault of the caller that a sanitizer build reports.
    bool OpenInput(const std::string& path, ByteReader& reader) override;
    std::unique_ptr<Output> CreateOutput(const std::string& path, ExistingFile existing) override;
    // Every file is on device 1; there are no links, so a name is taken only by a file.
    std::optional<FileIdentity> IdentityOf(const std::string& path) const override;
    bool NameTaken(const std::string& path) const override;
    bool IsIrregular(const std::string&) const override { return false; }
    bool FoldsLetterCase(const std::string& folder) const override;

  private:
    std::string Key(const std::string& path) const;

    const Names names_;
    mutable std::uint64_t lookups_ = 0;
    std::map<std::string, std::string> files_;
    std::map<std::string, std::uint64_t> inodes_;
};

}  // namespace kiv
