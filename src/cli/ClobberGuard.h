#pragma once

#include <string>

#include "filecrypt/FileStore.h"

namespace kiv {

// The files of an encryption that must not replace a file in its way (encrypt-files without
// -f): creating an output whose name is taken fails with EEXIST, before a byte of it is written,
// and the name is kept for the command's own line. Everything else is store's.
class ClobberGuard final : public FileStore {
  public:
    explicit ClobberGuard(FileStore& store) : store_(store) {}

    // The output found in the way, or "".
    const std::string& Taken() const { return taken_; }

    bool OpenInput(const std::string& path, ByteReader& reader) override {
        return store_.OpenInput(path, reader);
    }
    // Passed on, so that a source is still looked at without being opened.
    bool Examine(const std::string& path, FileFacts& facts) override {
        return store_.Examine(path, facts);
    }
    std::unique_ptr<Output> CreateOutput(const std::string& path, ExistingFile existing) override;
    std::optional<FileIdentity> IdentityOf(const std::string& path) const override {
        return store_.IdentityOf(path);
    }
    bool NameTaken(const std::string& path) const override { return store_.NameTaken(path); }
    bool IsIrregular(const std::string& path) const override { return store_.IsIrregular(path); }
    bool FoldsLetterCase(const std::string& folder) const override {
        return store_.FoldsLetterCase(folder);
    }

  private:
    FileStore& store_;
    std::string taken_;
};

}  // namespace kiv
