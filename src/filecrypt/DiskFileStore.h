#pragma once

#include "filecrypt/FileStore.h"

namespace kiv {

// The file system: inputs read through ByteReader, outputs written through an AtomicOutputFile.
class DiskFileStore final : public FileStore {
  public:
    static DiskFileStore& Instance();

    bool OpenInput(const std::string& path, ByteReader& reader) override;
    std::unique_ptr<Output> CreateOutput(const std::string& path) override;
};

}  // namespace kiv
