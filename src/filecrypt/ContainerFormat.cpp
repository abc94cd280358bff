#include "filecrypt/ContainerFormat.h"

#include <algorithm>

#include "numeric/RandomGenerator.h"
#include "runtime/SecretWipe.h"

namespace kiv {

bool WriteContainerHeader(ByteWriter& out, const BlockCodec& codec, const std::string& password,
                          std::int32_t fileCount) {
    std::uint8_t block[BlockCodec::kMaxBlock] = {};
    std::uint8_t residues[BlockCodec::kMaxResidues];
    std::copy(password.begin(), password.end(), block);
    codec.Encode(block, residues);
    // The run's thread keeps its stack for the next thread: no password is left on it.
    WipeBytes(block, sizeof block);
    out.WriteInt32(codec.ResidueBytes() + 1);
    out.Write(residues, static_cast<std::size_t>(codec.ResidueBytes()));
    return out.WriteInt32(fileCount);
}

HeaderRead ReadContainerHeader(ByteReader& in, ContainerHeader& header) {
    if (!ReadInt32(in, header.residueCount)) return HeaderRead::NoResidueCount;
    if (header.residueCount < kLeastResidueCount || header.residueCount > kGreatestResidueCount)
        return HeaderRead::ImpossibleResidueCount;
    const auto bytes = static_cast<std::size_t>(header.ResidueBytes());
    if (in.Read(header.passwordBlock.data(), bytes) != bytes) return HeaderRead::NoPasswordBlock;
    if (!ReadInt32(in, header.fileCount)) return HeaderRead::NoFileCount;
    return HeaderRead::Complete;
}

std::array<std::uint8_t, BlockCodec::kMaxBlock> DecodePasswordBlock(BlockCodec& codec,
                                                                    const ContainerHeader& header) {
    std::array<std::uint8_t, BlockCodec::kMaxBlock> block{};
    codec.Decode(header.passwordBlock.data(), block.data());
    // The decoder's own words held the block (with the right password: the password).
    WipeStack(1024);
    return block;
}

bool WriteEntryHeader(ByteWriter& out, const std::string& name, std::int32_t sourceSize) {
    out.WriteInt32(static_cast<std::int32_t>(name.size()));
    out.Write(reinterpret_cast<const std::uint8_t*>(name.data()), name.size());
    return out.WriteInt32(sourceSize);
}

EntryRead ReadEntryHeader(ByteReader& in, EntryHeader& entry) {
    if (!ReadInt32(in, entry.nameLength)) return EntryRead::Truncated;
    if (entry.nameLength < 0 || entry.nameLength > kLongestStoredName)
        return EntryRead::BadNameLength;
    entry.name.assign(static_cast<std::size_t>(entry.nameLength), '\0');
    if (in.Read(reinterpret_cast<std::uint8_t*>(entry.name.data()), entry.name.size()) !=
            entry.name.size() ||
        !ReadInt32(in, entry.sourceSize))
        return EntryRead::Truncated;
    if (entry.sourceSize < 0) return EntryRead::BadSourceSize;
    return EntryRead::Complete;
}

EntryBlocks BlocksOf(std::int64_t sourceSize, int blockLength) {
    EntryBlocks blocks;
    blocks.count = sourceSize / blockLength + 1;
    blocks.rest = static_cast<int>(sourceSize % blockLength);
    return blocks;
}

void FillFinalBlockNoise(CipherWorkspace& ws, std::uint8_t* block, int rest, int blockLength) {
    SeedRandom(ws.random, *ws.clock);
    for (int position = rest; position < blockLength; ++position)
        block[position] = static_cast<std::uint8_t>(RandomBelow(ws.random, 213) + 41);
}

}  // namespace kiv
