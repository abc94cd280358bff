// kiv-cli as a process of its own: ended by signals in the middle of a restore, and handed files
// that a plain open() would wait on forever.
#include <dirent.h>
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>

#include "cli/CliContext.h"
#include "filecrypt/FileEncryption.h"
#include "support/BindMount.h"
#include "support/ContainerEditor.h"
#include "support/FixedClock.h"
#include "support/Process.h"
#include "support/RecordingObserver.h"
#include "support/TempFolder.h"

namespace kiv {
namespace {

using testing::BindMount;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::Process;
using testing::ProcessResult;
using testing::ReadAll;
using testing::TempFolder;
using testing::WriteAll;

constexpr char kPassword[] = "signal pass";
constexpr std::size_t kLength = sizeof kPassword - 1;

// kiv-cli with the words.
Process Cli(const std::vector<std::string>& words) {
    std::vector<std::string> all = {KIV_CLI_PATH};
    all.insert(all.end(), words.begin(), words.end());
    return Process(std::move(all));
}

// How many bytes the process has written to a file it holds open inside folder (an output in
// progress, named or not); -1 while it holds none.
long long BytesWrittenInto(pid_t pid, const std::string& folder) {
    const std::string fds = "/proc/" + std::to_string(pid) + "/fd";
    DIR* listing = opendir(fds.c_str());
    if (listing == nullptr) return -1;
    long long written = -1;
    while (const dirent* entry = readdir(listing)) {
        const std::string fd = fds + "/" + entry->d_name;
        char target[4096];
        const ssize_t n = readlink(fd.c_str(), target, sizeof target - 1);
        struct stat info {};
        if (n > 0 && std::string(target, static_cast<std::size_t>(n)).rfind(folder + "/", 0) == 0 &&
            stat(fd.c_str(), &info) == 0)
            written = info.st_size;
    }
    closedir(listing);
    return written;
}

class CliProcess : public ::testing::Test {
  protected:
    // One container of a 200 MB file of zeros, made in a moment: every full block of zeros is
    // stored as the same bytes, so a small container's first block is repeated.
    static void SetUpTestSuite() {
        folder = new TempFolder;
        WriteAll(*folder / "pw", std::string(kPassword) + "\n");
        WriteAll(*folder / "big", std::string(2 * kLength, '\0'));
        testing::RecordingObserver quiet;
        const FixedClock clock(1765000000, LocalTime{2026, 12, 7, 11, 0, 0, 0});
        ASSERT_TRUE(EncryptFiles(kPassword, {*folder / "big"}, *folder / "small.vrq", quiet, clock)
                        .AllWritten());
        testing::ContainerEditor small(ReadAll(*folder / "small.vrq"), static_cast<int>(kLength));
        const auto entry = small.Entry(1);
        const std::string block = entry.Block(0);
        const std::uint32_t blocks = (200u << 20) / kLength;
        const std::uint32_t size = blocks * kLength;
        std::ofstream big(*folder / "big.vrq", std::ios::binary);
        big << small.Bytes().substr(0, entry.SizeOffset());
        for (int shift = 0; shift < 32; shift += 8)
            big.put(static_cast<char>(size >> shift));
        std::string run;
        for (int k = 0; k < 4096; ++k)
            run += block;
        for (std::uint32_t k = 0; k < blocks / 4096; ++k)
            big << run;
        for (std::uint32_t k = 0; k < blocks % 4096; ++k)
            big << block;
        big << entry.Block(entry.BlockCount() - 1);
        ASSERT_TRUE(big.good());
        std::remove((*folder / "big").c_str());
    }
    static void TearDownTestSuite() { delete folder; }

    static TempFolder* folder;
    TempFolder out;
};

TempFolder* CliProcess::folder = nullptr;

// Runs kiv-cli restoring big.vrq into folder and sends it the signal once 16 MiB of the file
// are written.
ProcessResult RestoreInterrupted(const TempFolder& folder, const std::string& into, int number) {
    Process restore = Cli(
        {"decrypt-file", "-f", "--password-file", folder / "pw", "-C", into, folder / "big.vrq"});
    if (!restore.Timeout(std::chrono::seconds(30)).Start()) return {};
    long long written = -1;
    restore.WaitUntil(
        [&] { return (written = BytesWrittenInto(restore.Pid(), into)) >= (16 << 20); },
        std::chrono::seconds(30));
    restore.Signal(number);
    EXPECT_GE(written, 16 << 20) << "the restore did not get that far";
    return restore.Wait();
}

TEST_F(CliProcess, ASignalInTheMiddleOfARestoreLeavesNothingOfTheFile) {
    for (const int number : {SIGINT, SIGTERM, SIGHUP, SIGKILL}) {
        for (const bool existing : {false, true}) {
            SCOPED_TRACE(std::string(strsignal(number)) + (existing ? ", replacing" : ", new"));
            std::remove((out / "big").c_str());
            if (existing) WriteAll(out / "big", "the old file");
            const ProcessResult ended = RestoreInterrupted(*folder, out.path.string(), number);
            EXPECT_TRUE(ended.Signalled(number)) << ::testing::PrintToString(ended);
            if (existing) {
                EXPECT_THAT(out.Names(), ElementsAre("big"));
                EXPECT_EQ(ReadAll(out / "big"), "the old file");
            } else {
                EXPECT_THAT(out.Names(), IsEmpty());
            }
        }
    }
}

// Where the output in progress has a name, every signal that ends the process removes it, not
// only those meant to stop a program (SIGKILL cannot be caught: no name is safe from it).
TEST_F(CliProcess, AnySignalThatEndsARestoreRemovesItsNamedTemporaryFile) {
    const BindMount fuse;
    if (!fuse.Mounted()) GTEST_SKIP() << "no folder could be mounted through bindfs";
    for (const int number : {SIGUSR1, SIGALRM, SIGTERM, SIGQUIT, SIGRTMIN + 3}) {
        SCOPED_TRACE(strsignal(number));
        const ProcessResult ended = RestoreInterrupted(*folder, fuse.path(), number);
        EXPECT_TRUE(ended.Signalled(number)) << ::testing::PrintToString(ended);
        EXPECT_THAT(fuse.over.Names(), IsEmpty());
    }
}

// A file-size limit fails the write like a full disk: a kiv-cli line, its status, nothing left.
TEST_F(CliProcess, AFileSizeLimitIsAWriteFailureWithItsLine) {
    const BindMount fuse;
    std::vector<std::string> folders = {out.path.string()};
    if (fuse.Mounted()) folders.push_back(fuse.path());
    for (const std::string& into : folders) {
        SCOPED_TRACE(into);
        const ProcessResult ended = Cli({"decrypt-file", "--password-file", *folder / "pw", "-C",
                                         into, *folder / "big.vrq"})
                                        .Limit(RLIMIT_FSIZE, 4 << 20)
                                        .Timeout(std::chrono::seconds(60))
                                        .Run();
        EXPECT_TRUE(ended.Exited(kExitInputOutput)) << ::testing::PrintToString(ended);
        EXPECT_THAT(ended.err, ::testing::EndsWith("kiv-cli: cannot write '" + into +
                                                   "/big': File too large\n"));
        EXPECT_TRUE(std::filesystem::is_empty(into));
    }
}

TEST_F(CliProcess, FifosAndOtherFilesThatAreNotRegularAreRefusedAtOnce) {
    const std::string fifo = out / "fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    WriteAll(out / "plain", "plain");
    const std::string pw = *folder / "pw";
    struct Case {
        std::vector<std::string> words;
        std::string line;
    } const cases[] = {
        {{"encrypt-files", "--password-file", pw, "-o", out / "x.vrq", fifo},
         "kiv-cli: cannot read '" + fifo + "': Not a regular file"},
        {{"encrypt-files", "--password-file", pw, "-o", out / "x.vrq", out / "plain", "/dev/zero"},
         "kiv-cli: cannot read '/dev/zero': Not a regular file"},
        {{"encrypt-files", "--password-file", pw, "-o", fifo, out / "plain"},
         "kiv-cli: cannot write '" + fifo + "': Not a regular file"},
        {{"decrypt-file", "--password-file", pw, fifo},
         "kiv-cli: cannot read '" + fifo + "': Not a regular file"},
        {{"decrypt-file", "--password-file", pw, out.path.string()},
         "kiv-cli: cannot read '" + out.path.string() + "': Is a directory"},
        {{"list", fifo}, "kiv-cli: cannot read '" + fifo + "': Not a regular file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.words.front() + " " + c.words.back());
        const ProcessResult ended = Cli(c.words).Timeout(std::chrono::seconds(10)).Run();
        EXPECT_TRUE(ended.Exited(kExitInputOutput)) << ::testing::PrintToString(ended);
        EXPECT_EQ(ended.err, c.line + "\n");
        EXPECT_THAT(out.Names(), ElementsAre("fifo", "plain"));
    }
}

// Descriptor 0 is a descriptor like any other: a password piped in. A listing that cannot reach
// its standard output is a failed run, not a silent success.
TEST_F(CliProcess, StandardInputAndOutputAreDescriptorsLikeAnyOther) {
    const ProcessResult restored =
        Cli({"decrypt-file", "--password-fd", "0", "-C", out.path.string(), *folder / "small.vrq"})
            .InputFrom(*folder / "pw")
            .Timeout(std::chrono::seconds(10))
            .Run();
    EXPECT_TRUE(restored.Exited(0)) << ::testing::PrintToString(restored);
    EXPECT_EQ(ReadAll(out / "big"), std::string(2 * kLength, '\0'));
    const ProcessResult listed = Cli({"list", *folder / "small.vrq"})
                                     .OutputTo("/dev/full")
                                     .Timeout(std::chrono::seconds(10))
                                     .Run();
    EXPECT_TRUE(listed.Exited(kExitInputOutput)) << ::testing::PrintToString(listed);
}

}  // namespace
}  // namespace kiv
