#include "fuzz/ScratchFolder.h"

#include <unistd.h>

#include <filesystem>
#include <vector>

#include "fuzz/FuzzCheck.h"

namespace kiv::fuzz {

ScratchFolder::ScratchFolder() {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path base =
        access("/dev/shm", W_OK) == 0 ? fs::path("/dev/shm") : fs::temp_directory_path(error);
    std::string pattern = (base / "kiv-fuzz-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    Check(mkdtemp(buffer.data()) != nullptr, "a scratch folder can be made in " + base.string());
    path_ = buffer.data();
}

ScratchFolder::~ScratchFolder() {
    std::error_code error;
    std::filesystem::remove_all(path_, error);
}

const std::string& ScratchFolder::Path() {
    static const ScratchFolder folder;
    return folder.path_;
}

}  // namespace kiv::fuzz
