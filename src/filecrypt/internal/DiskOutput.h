#pragma once

#include <memory>
#include <optional>
#include <string>

#include "filecrypt/FileStore.h"
#include "filecrypt/internal/AtomicOutputFile.h"

namespace kiv {

// An output on the disk: an AtomicOutputFile written through a ByteWriter.
class DiskOutput final : public FileStore::Output {
  public:
    // batchable: whether its folder's filesystem is flushed as a whole reliably (DiskFolder), so
    // that an unnamed output may wait in a batch; writesBack: whether the filesystem writes its
    // data back to a disk at all (tmpfs does not, and so has nothing to check in Written).
    explicit DiskOutput(bool batchable = false, bool writesBack = true)
        : batchable_(batchable), writesBack_(writesBack) {}

    // As AtomicOutputFile::Create; false (errno set) when the file cannot be created.
    bool Create(const std::string& path, ExistingFile existing);
    bool Create(int folder, const std::string& folderPath, const std::string& name,
                ExistingFile existing, const AtomicOutputFile::Found* found);

    ByteWriter& Writer() override { return *writer_; }
    bool Commit() override;
    bool Batchable() const override { return batchable_ && file_.Unnamed(); }
    bool Complete() override;
    bool Written() override { return !writesBack_ || file_.Written(); }
    bool Name() override { return file_.Name(); }
    bool Place() override { return file_.Place(); }
    void Unname() override { file_.Unname(); }
    // Known from its creation on.
    std::optional<FileIdentity> Identity() const override { return identity_; }

  private:
    bool Opened();
    bool Flushed();

    const bool batchable_;
    const bool writesBack_;
    AtomicOutputFile file_;
    std::unique_ptr<ByteWriter> writer_;
    std::optional<FileIdentity> identity_;
};

}  // namespace kiv
