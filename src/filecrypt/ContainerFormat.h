#pragma once

// The layout of an encrypted file (".vrq"). It is FROZEN: every file written by any version of
// kiv must stay readable, so nothing below may change, and the stored files in tests/data guard it.
//
// Conventions: every integer is a 32-bit signed two's-complement value, little-endian (least
// significant byte first). Fields follow one another without padding or alignment. There is no
// magic number, version, checksum or trailer. Names are raw bytes without a terminator.
//
// Two values govern a file and only the first is stored:
//   d  residue count: the file key schedule (55 primes, reversed, permuted by the password) gives
//      d = BlockPrimeCount(L) + 1, at most 37 (FileKey). Each block is stored as d - 1 bytes.
//   L  block length: the password's length in bytes, 3 to 23. Not stored anywhere.
//
// File, in order:
//   offset      size         field
//   0           4            residueCount   d
//   4           d - 1        password block the password's L bytes encoded as one block
//   3 + d       4            fileCount      number of entries that follow
//   7 + d       ...          fileCount entries, one after another; the file ends after the last
//
// Entry, in order:
//   size                   field
//   4                      nameLength   0 to 255
//   nameLength             fileName     the source's name without its folder
//   4                      sourceSize   the source's length in bytes, 0 to 2^31 - 1
//   (P + 1) x (d - 1)      blocks       P = sourceSize / L full blocks, then one final block
//
// Block: L plain bytes x1..xL (and zeros up to position d - 1) stand for the number
// N = x1 + x2 x 256 + x3 x 256^2 + ..., x1 least significant. It is stored as the d - 1 bytes
// N mod m2, N mod m3, ..., N mod md, where mk is entry k of the permuted prime table (every
// modulus is below 256). No noise is added to the residues.
//   - password block: positions 1..L hold the password's bytes.
//   - full block b (1..P): positions 1..L hold source bytes (b - 1) x L .. b x L - 1.
//   - final block: positions 1..R hold the last R = sourceSize mod L source bytes, positions
//     R + 1..L hold noise RandomBelow(213) + 41 (41..253) drawn in position order after one
//     SeedRandom from the clock. It is present also when R is 0 and for an empty source.
// Total size: 8 + (d - 1) + sum over the entries of (8 + nameLength + (P + 1) x (d - 1)).
//
// A reader compares residueCount with the d of the entered password, then the decoded password
// block with the password; nothing else in the file ties it to a password.

#include <array>
#include <cstdint>
#include <string>

#include "filecrypt/BlockCodec.h"
#include "filecrypt/ByteFile.h"
#include "filecrypt/FileKey.h"
#include "residue/CipherWorkspace.h"

namespace kiv {

// Residue counts a header may hold: every block has at least L + 2 residues, and even 23 bytes
// under the smallest primes first (2, 3, 5, ... 149: 35 of them) need no more than d = 37.
// Outside this range no password could have written the header.
inline constexpr int kLeastResidueCount = kShortestFilePassword + 3;
inline constexpr int kGreatestResidueCount = 37;
inline constexpr int kLongestStoredName = 255;

// The fields before the entries.
struct ContainerHeader {
    std::int32_t residueCount = 0;
    std::array<std::uint8_t, BlockCodec::kMaxResidues> passwordBlock{};  // d - 1 residue bytes
    std::int32_t fileCount = 0;
    int ResidueBytes() const { return residueCount - 1; }
};

// How far a header could be read. Each value says the fields before it were read whole.
enum class HeaderRead {
    Complete,
    NoResidueCount,          // the file is shorter than 4 bytes
    ImpossibleResidueCount,  // outside kLeastResidueCount..kGreatestResidueCount; nothing more read
    NoPasswordBlock,
    NoFileCount,
};

// Writes the header: the key's residue count, the password encoded as one block, the file count.
bool WriteContainerHeader(ByteWriter& out, const BlockCodec& codec, const std::string& password,
                          std::int32_t fileCount);
HeaderRead ReadContainerHeader(ByteReader& in, ContainerHeader& header);

// The password block's L bytes as the codec decodes them (codec: the entered password's key).
std::array<std::uint8_t, BlockCodec::kMaxBlock> DecodePasswordBlock(BlockCodec& codec,
                                                                    const ContainerHeader& header);

// The fields of an entry before its blocks.
struct EntryHeader {
    std::int32_t nameLength = 0;
    std::string name;
    std::int32_t sourceSize = 0;
};

enum class EntryRead {
    Complete,
    Truncated,      // the file ends inside the entry's fields
    BadNameLength,  // outside 0..255; nothing after it read
    BadSourceSize,  // negative
};

bool WriteEntryHeader(ByteWriter& out, const std::string& name, std::int32_t sourceSize);
EntryRead ReadEntryHeader(ByteReader& in, EntryHeader& entry);

// How an entry's bytes fall into blocks under block length L.
struct EntryBlocks {
    std::int64_t count = 0;  // P + 1: the full blocks and the final block
    int rest = 0;            // R: the source bytes in the final block
    std::int64_t StoredBytes(int residueBytes) const { return count * residueBytes; }
};
EntryBlocks BlocksOf(std::int64_t sourceSize, int blockLength);

// Fills positions rest..L-1 (from 0) of a final block with noise, after one seeding of the
// workspace's generator from its clock.
void FillFinalBlockNoise(CipherWorkspace& ws, std::uint8_t* block, int rest, int blockLength);

}  // namespace kiv
