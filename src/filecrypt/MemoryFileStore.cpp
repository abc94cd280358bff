#include "filecrypt/MemoryFileStore.h"

#include <cerrno>

#include "filecrypt/ContainerNames.h"

namespace kiv {

namespace {

constexpr std::uint64_t kDevice = 1;

class MemoryOutput final : public FileStore::Output {
  public:
    MemoryOutput(MemoryFileStore& store, const std::string& path, ExistingFile existing)
        : store_(store), path_(path), existing_(existing), writer_(bytes_) {}
    ByteWriter& Writer() override { return writer_; }
    bool Commit() override {
        if (!writer_.Flush()) return false;
        if (existing_ == ExistingFile::Keep && store_.NameTaken(path_)) {
            errno = EEXIST;
            return false;
        }
        store_.Put(path_, std::move(bytes_));
        return true;
    }

  private:
    MemoryFileStore& store_;
    std::string path_;
    ExistingFile existing_;
    std::string bytes_;
    ByteWriter writer_;
};

}  // namespace

std::string MemoryFileStore::Key(const std::string& path) const {
    return names_ == Names::Exact ? path : FoldedName(path);
}

void MemoryFileStore::Put(const std::string& path, std::string bytes) {
    files_[Key(path)] = std::move(bytes);
    inodes_.emplace(Key(path), inodes_.size() + 1);
}

const std::string* MemoryFileStore::Find(const std::string& path) const {
    const auto it = files_.find(Key(path));
    return it == files_.end() ? nullptr : &it->second;
}

bool MemoryFileStore::OpenInput(const std::string& path, ByteReader& reader) {
    const auto it = files_.find(Key(path));
    if (it == files_.end()) {
        errno = ENOENT;
        return false;
    }
    reader.OpenBytes(it->second, kDevice, inodes_.at(it->first));
    return true;
}

std::unique_ptr<FileStore::Output> MemoryFileStore::CreateOutput(const std::string& path,
                                                                 ExistingFile existing) {
    return std::make_unique<MemoryOutput>(*this, path, existing);
}

std::optional<FileIdentity> MemoryFileStore::IdentityOf(const std::string& path) const {
    const auto it = inodes_.find(Key(path));
    if (it == inodes_.end()) return std::nullopt;
    if (names_ == Names::FoldedWithoutStableIdentity)
        return FileIdentity(kDevice, (std::uint64_t{1} << 32) + ++lookups_);
    return FileIdentity(kDevice, it->second);
}

bool MemoryFileStore::NameTaken(const std::string& path) const {
    return files_.count(Key(path)) != 0;
}

bool MemoryFileStore::FoldsLetterCase(const std::string&) const {
    return names_ != Names::Exact;
}

}  // namespace kiv
