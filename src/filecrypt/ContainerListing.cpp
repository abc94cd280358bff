#include "filecrypt/ContainerListing.h"

#include <algorithm>

#include "filecrypt/ByteFile.h"
#include "filecrypt/ContainerFormat.h"
#include "filecrypt/FileKey.h"
#include "messages/MessageCatalogue.h"

namespace kiv {

namespace {

// Walks the entries under block length L. Returns true when they end exactly at the end of the
// file; entries holds what could be read either way.
bool Walk(const std::string& path, int length, ContainerListing& listing, FileStore& files) {
    listing.entries.clear();
    ByteReader in;
    ContainerHeader header;
    if (!files.OpenInput(path, in) || ReadContainerHeader(in, header) != HeaderRead::Complete ||
        header.fileCount < 0)
        return false;
    for (std::int32_t k = 0; k < header.fileCount; ++k) {
        EntryHeader stored;
        if (ReadEntryHeader(in, stored) != EntryRead::Complete) return false;
        listing.entries.push_back({stored.name, stored.sourceSize});
        const std::int64_t bytes =
            BlocksOf(stored.sourceSize, length).StoredBytes(header.ResidueBytes());
        if (in.Skip(bytes) != bytes) return false;
    }
    return in.Position() == in.Size();
}

}  // namespace

ContainerListing ListContainer(const std::string& path, FileStore& files) {
    ContainerListing listing;
    ByteReader in;
    if (!files.OpenInput(path, in)) {
        listing.problem = Message::ListingCannotOpen;
        return listing;
    }
    listing.readable = true;
    ContainerHeader header;
    const HeaderRead read = ReadContainerHeader(in, header);
    if (read == HeaderRead::NoResidueCount) {
        listing.problem = Message::ListingTooShort;
        return listing;
    }
    const int d = header.residueCount;
    listing.residueCount = d;
    if (read == HeaderRead::ImpossibleResidueCount) {
        listing.problem = ReportText(Message::ListingImpossibleCount, {std::to_string(d)});
        return listing;
    }
    // No block length makes entries of a count below 0: that field, not the entries, is damaged.
    if (read == HeaderRead::Complete && header.fileCount < 0) {
        listing.problem =
            ReportText(Message::ListingNegativeCount, {std::to_string(header.fileCount)});
        return listing;
    }
    // Every block has at least L + 2 residues.
    ContainerListing best;
    for (int length = kShortestFilePassword; length <= std::min(kLongestFilePassword, d - 3);
         ++length) {
        ContainerListing attempt = listing;
        if (Walk(path, length, attempt, files)) {
            attempt.blockLength = length;
            return attempt;
        }
        if (attempt.entries.size() > best.entries.size()) best = attempt;
    }
    best.readable = true;
    best.residueCount = d;
    best.problem = Message::ListingEntriesDoNotFill;
    return best;
}

}  // namespace kiv
