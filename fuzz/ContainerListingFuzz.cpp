// Fuzz target container_listing: the listing of any container bytes, in memory. A listing that
// finds a block length accounts for every byte of the file by the layout; one that does not
// says why.
#include <cstdint>
#include <string>

#include "filecrypt/ContainerListing.h"
#include "filecrypt/MemoryFileStore.h"
#include "fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kiv;
    MemoryFileStore files;
    files.Put("c.vrq", std::string(reinterpret_cast<const char*>(data), size));
    const ContainerListing listing = ListContainer("c.vrq", files);

    fuzz::Check(listing.readable, "a file in the store can be opened");
    if (listing.blockLength == 0) {
        fuzz::Check(listing.problem.has_value(), "an incomplete listing says why");
        return 0;
    }
    fuzz::Check(!listing.problem, "a complete listing has no problem");
    const std::int64_t residueBytes = listing.residueCount - 1;
    // Header, password block, file count; per entry two lengths, the name and the blocks.
    std::int64_t total = 4 + residueBytes + 4;
    for (const ContainerListing::Entry& entry : listing.entries) {
        fuzz::Check(entry.name.size() <= 255 && entry.size >= 0, "entries have possible fields");
        total += 8 + static_cast<std::int64_t>(entry.name.size()) +
                 (entry.size / listing.blockLength + 1) * residueBytes;
    }
    fuzz::Check(total == static_cast<std::int64_t>(size), "the entries fill the file exactly");
    return 0;
}
