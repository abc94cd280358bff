#include "filecrypt/ContainerListing.h"

#include <algorithm>

#include "filecrypt/ByteFile.h"
#include "filecrypt/FileKey.h"

namespace kiv {

namespace {

// Walks the entries under block length L. Returns true when they end exactly at the end of the
// file; entries holds what could be read either way.
bool Walk(const std::string& path, int d, int length, ContainerListing& listing, FileStore& files) {
    listing.entries.clear();
    ByteReader in;
    if (!files.OpenInput(path, in)) return false;
    std::int32_t value = 0;
    ReadInt32(in, value);
    const std::int64_t blockBytes = d - 1;
    if (in.Skip(blockBytes) != blockBytes) return false;
    std::int32_t count = 0;
    if (!ReadInt32(in, count) || count < 0) return false;
    for (std::int32_t k = 0; k < count; ++k) {
        std::int32_t nameLength = 0;
        if (!ReadInt32(in, nameLength) || nameLength < 0 || nameLength > 255) return false;
        ContainerListing::Entry entry;
        entry.name.resize(static_cast<std::size_t>(nameLength));
        std::int32_t size = 0;
        if (in.Read(reinterpret_cast<std::uint8_t*>(entry.name.data()), entry.name.size()) !=
                entry.name.size() ||
            !ReadInt32(in, size) || size < 0)
            return false;
        entry.size = size;
        listing.entries.push_back(entry);
        const std::int64_t bytes = (size / length + 1) * blockBytes;
        if (in.Skip(bytes) != bytes) return false;
    }
    return in.Position() == in.Size();
}

}  // namespace

ContainerListing ListContainer(const std::string& path, FileStore& files) {
    ContainerListing listing;
    ByteReader in;
    if (!files.OpenInput(path, in)) {
        listing.problem = "cannot be opened";
        return listing;
    }
    listing.readable = true;
    std::int32_t d = 0;
    if (!ReadInt32(in, d)) {
        listing.problem = "is too short to be an encrypted file";
        return listing;
    }
    listing.residueCount = d;
    // Every block has at least L + 2 residues, and d stays below 40.
    if (d < kShortestFilePassword + 3 || d > 40) {
        listing.problem =
            "has a header count of " + std::to_string(d) + ", which no password gives";
        return listing;
    }
    ContainerListing best;
    for (int length = kShortestFilePassword; length <= std::min(kLongestFilePassword, d - 3);
         ++length) {
        ContainerListing attempt = listing;
        if (Walk(path, d, length, attempt, files)) {
            attempt.blockLength = length;
            return attempt;
        }
        if (attempt.entries.size() > best.entries.size()) best = attempt;
    }
    best.readable = true;
    best.residueCount = d;
    best.problem = "is damaged: its entries do not fill it exactly";
    return best;
}

}  // namespace kiv
