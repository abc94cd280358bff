#include "filecrypt/FileStore.h"

namespace kiv {

bool FileStore::Examine(const std::string& path, FileFacts& facts) {
    ByteReader reader;
    if (!OpenInput(path, reader)) return false;
    facts = {FileIdentity(reader.Device(), reader.Inode()), reader.Size()};
    return true;
}

}  // namespace kiv
