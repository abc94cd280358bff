#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "cipher/CharacterOrder.h"
#include "residue/CipherWorkspace.h"

namespace kiv {

// How a key cuts texts on the text paths: blocks of length bytes, each written as chars
// characters. Both are 0 for a key the text cores cannot encrypt with.
struct TextGeometry {
    std::size_t length = 0;
    std::size_t chars = 0;

    // The blocks of a cipher text of this many characters; a cut last block counts.
    std::size_t BlocksOf(std::size_t characters) const {
        const std::size_t pairs = chars / 2;
        return (characters / 2 + pairs - 1) / pairs;
    }
};

// The geometry of key, from its schedule (run on ws) rather than from a trial encryption.
TextGeometry TextGeometryOf(CipherWorkspace& ws, std::string_view key);

// The blocks of text, counted from 0, that decryption with key leaves out: each block is
// decrypted alone, as a text of its own, and its messages are not shown. geometry is key's.
std::vector<std::size_t> LeftOutTextBlocks(CipherWorkspace& ws, const CharacterOrder& order,
                                           std::string_view key, const TextGeometry& geometry,
                                           std::string_view text);

}  // namespace kiv
