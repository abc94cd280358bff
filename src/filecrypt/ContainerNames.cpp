#include "filecrypt/ContainerNames.h"

namespace kiv {

std::string SingleFileOutputName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = path.rfind('.');
    if (dot != std::string::npos && dot > nameStart) return path.substr(0, dot) + ".vrq";
    return path + ".vrq";
}

std::string StoredNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

EntryProblem StoredNameProblem(const std::string& name) {
    if (name.empty()) return EntryProblem::NoName;
    if (name.find('\0') != std::string::npos) return EntryProblem::NulInName;
    if (name.find('/') != std::string::npos) return EntryProblem::FolderInName;
    if (name == "." || name == "..") return EntryProblem::NamedAfterFolder;
    return EntryProblem::None;
}

std::string RestoredCopyName(const std::string& name, int number) {
    // The longest name a Linux filesystem takes, in bytes.
    constexpr std::size_t kLongestName = 255;
    const std::string mark = " (restored " + std::to_string(number) + ")";
    std::size_t dot = name.rfind('.');
    // An extension that would leave no room for the name before it is kept as part of that name.
    if (dot == std::string::npos || dot == 0 || name.size() - dot + mark.size() >= kLongestName)
        dot = name.size();
    std::string stem = name.substr(0, dot);
    const std::string extension = name.substr(dot);
    const std::size_t room = kLongestName - mark.size() - extension.size();
    if (stem.size() > room) {
        // Cut before a UTF-8 continuation byte would split a character.
        std::size_t cut = room;
        while (cut > 0 && (static_cast<unsigned char>(stem[cut]) & 0xC0) == 0x80)
            --cut;
        stem.resize(cut);
    }
    return stem + mark + extension;
}

}  // namespace kiv
