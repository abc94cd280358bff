// Fuzz target container_restore: a restore of any container bytes with each of three passwords
// (3, 8 and 23 bytes), going on past "Password is wrong", every file in memory. The container
// lies in the target folder. A restore never changes its container and writes only plain names
// into its target folder; and a container whose entries fill it exactly under the password's
// length (as the listing finds) restores every entry whole, except one named after the container
// and any repeat of an earlier entry's name.
#include <cstdint>
#include <cstring>
#include <map>
#include <string>

#include "filecrypt/ContainerListing.h"
#include "filecrypt/ContainerNames.h"
#include "filecrypt/FileDecryption.h"
#include "filecrypt/MemoryFileStore.h"
#include "fuzz/ContainerPasswords.h"
#include "fuzz/FuzzCheck.h"
#include "support/FixedClock.h"

namespace {

using namespace kiv;

constexpr char kTarget[] = "out/";
constexpr char kContainerName[] = "c.vrq";
const std::string kContainer = std::string(kTarget) + kContainerName;

// Answers Cancel to "Password is wrong", so that the run goes on as far as the bytes allow.
struct GoingOn : FileRunObserver {
    void AddLine(const ReportText&) override {}
    void ShowMessage(const ReportText&) override {}
    bool ConfirmStop(const std::string&, const std::string&) override { return false; }
};

void CheckRestore(const std::string& bytes, const char* password, const ContainerListing& listing) {
    MemoryFileStore files;
    files.Put(kContainer, bytes);
    GoingOn observer;
    FileRunSpeed speed;
    speed.threads = 1;
    const FileRunResult result =
        DecryptFiles(password, kContainer, observer, kTarget, kFileRunClock, speed, files);

    fuzz::Check(*files.Find(kContainer) == bytes, "a restore never changes its container");
    int outputs = 0;
    for (const auto& [path, content] : files.Files()) {
        if (path == kContainer) continue;
        ++outputs;
        fuzz::Check(path.rfind(kTarget, 0) == 0 &&
                        StoredNameProblem(path.substr(std::strlen(kTarget))) == EntryProblem::None,
                    "a restore writes plain names into its target folder, not " + path);
    }
    fuzz::Check(outputs <= result.filesWritten, "every output is counted");

    const int length = static_cast<int>(std::strlen(password));
    if (result.status == FileRunStatus::Stopped || listing.problem || listing.blockLength != length)
        return;
    fuzz::Check(result.status == FileRunStatus::Completed,
                "a container that lists whole restores whole");
    fuzz::Check(
        result.filesWritten + result.entriesSkipped == static_cast<int>(listing.entries.size()),
        "every entry is restored or skipped");
    std::map<std::string, std::int64_t> sizes;  // a later entry of the same name is skipped
    for (const ContainerListing::Entry& entry : listing.entries)
        if (StoredNameProblem(entry.name) == EntryProblem::None && entry.name != kContainerName)
            sizes.emplace(entry.name, entry.size);
    for (const auto& [name, size] : sizes) {
        const std::string* restored = files.Find(kTarget + name);
        fuzz::Check(restored && static_cast<std::int64_t>(restored->size()) == size,
                    "entry " + name + " is restored with its stored size");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    MemoryFileStore listed;
    listed.Put(kContainer, bytes);
    const ContainerListing listing = ListContainer(kContainer, listed);
    for (const char* password : fuzz::kContainerPasswords)
        CheckRestore(bytes, password, listing);
    return 0;
}
