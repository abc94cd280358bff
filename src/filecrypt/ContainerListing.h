#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "filecrypt/DiskFileStore.h"
#include "filecrypt/ReportText.h"

namespace kiv {

// What a container says about itself without its password: the names and sizes of its entries,
// which are stored in the clear.
struct ContainerListing {
    struct Entry {
        std::string name;
        std::int64_t size = 0;
    };
    bool readable = false;  // the file could be opened
    int residueCount = 0;   // d, from the header
    int blockLength = 0;    // L: the one block length that accounts for every byte, or 0
    std::vector<Entry> entries;
    // Why the listing is incomplete, to follow the container's name; nothing when it is whole.
    std::optional<ReportText> problem;
};

// The block length is not stored; it is the password's length. The listing tries each length
// the header count allows and keeps the one under which the entries fill the file exactly.
ContainerListing ListContainer(const std::string& path,
                               FileStore& files = DiskFileStore::Instance());

}  // namespace kiv
