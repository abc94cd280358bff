#include "filecrypt/FileStore.h"

namespace kiv {

namespace {

// A folder reached through its store's calls by the whole path of each file.
class PathFolder final : public FileStore::Folder {
  public:
    PathFolder(FileStore& files, const std::string& folder) : files_(files), folder_(folder) {}

    NameFacts Look(const std::string& name) override {
        NameFacts facts;
        const std::string path = folder_ + name;
        facts.taken = files_.NameTaken(path);
        if (const auto identity = facts.taken ? files_.IdentityOf(path) : std::nullopt)
            facts.file = FileFacts{*identity, -1};
        return facts;
    }
    bool OpenInput(const std::string& name, ByteReader& reader) override {
        return files_.OpenInput(folder_ + name, reader);
    }
    std::unique_ptr<FileStore::Output> CreateOutput(const std::string& name,
                                                    ExistingFile existing) override {
        return files_.CreateOutput(folder_ + name, existing);
    }

  private:
    FileStore& files_;
    const std::string folder_;
};

}  // namespace

bool FileStore::Examine(const std::string& path, FileFacts& facts) {
    ByteReader reader;
    if (!OpenInput(path, reader)) return false;
    facts = {FileIdentity(reader.Device(), reader.Inode()), reader.Size()};
    return true;
}

std::unique_ptr<FileStore::Folder> FileStore::OpenFolder(const std::string& folder) {
    return std::make_unique<PathFolder>(*this, folder);
}

}  // namespace kiv
