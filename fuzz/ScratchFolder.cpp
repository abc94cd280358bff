#include "fuzz/ScratchFolder.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "fuzz/FuzzCheck.h"

namespace kiv::fuzz {

ScratchFolder::ScratchFolder() {
    namespace fs = std::filesystem;
    std::error_code error;
    // libFuzzer ends a run without destroying statics, so fuzz/run.sh names a folder of its own
    // to clear afterwards.
    const char* chosen = std::getenv("KIV_FUZZ_SCRATCH");
    const fs::path base = chosen && *chosen               ? fs::path(chosen)
                          : access("/dev/shm", W_OK) == 0 ? fs::path("/dev/shm")
                                                          : fs::temp_directory_path(error);
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
