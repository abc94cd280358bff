// What the system does to the file runs' reads, writes and closes: calls interrupted by a signal
// (EINTR), short counts, a close that reports a failed write-back, and an ordinary user's
// permissions, also when the tests run as root. Stands in for read, write and close, as
// OutputFileTest.cpp does for the flushes and renames of the same binary.
#include <dlfcn.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <functional>
#include <random>

#include "filecrypt/FileDecryption.h"
#include "filecrypt/FileEncryption.h"
#include "filecrypt/internal/AtomicOutputFile.h"
#include "support/FixedClock.h"
#include "support/OrdinaryAccount.h"
#include "support/RandomInput.h"
#include "support/RecordingObserver.h"
#include "support/TempFolder.h"

namespace {

// The faults, applied to regular files only and only while `injecting` is set.
std::atomic<bool> injecting{false};
bool interrupt = false;     // every other read and write fails with EINTR before moving a byte
std::size_t mostBytes = 0;  // reads and writes move at most this many bytes (0: no limit)
int closeError = 0;         // a close of a file open for writing closes it, then fails so
bool diskFull = false;      // writes move nothing and report no error, as at the end of a disk

template <typename Function>
Function Real(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

bool Targeted(int fd) {
    struct stat info {};
    return injecting && fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}

// True when this call is to fail with EINTR.
bool Interrupted(std::size_t& count) {
    thread_local bool last = false;
    if (mostBytes != 0) count = std::min(count, mostBytes);
    last = interrupt && !last;
    return last;
}

}  // namespace

extern "C" ssize_t read(int fd, void* into, std::size_t count) {
    if (Targeted(fd) && Interrupted(count)) {
        errno = EINTR;
        return -1;
    }
    static const auto real = Real<ssize_t (*)(int, void*, std::size_t)>("read");
    return real(fd, into, count);
}

extern "C" ssize_t write(int fd, const void* from, std::size_t count) {
    if (Targeted(fd) && Interrupted(count)) {
        errno = EINTR;
        return -1;
    }
    if (diskFull && Targeted(fd)) return 0;
    static const auto real = Real<ssize_t (*)(int, const void*, std::size_t)>("write");
    return real(fd, from, count);
}

extern "C" int close(int fd) {
    const int flags = fcntl(fd, F_GETFL);
    const bool fail = closeError != 0 && Targeted(fd) && (flags & O_ACCMODE) != O_RDONLY;
    static const auto real = Real<int (*)(int)>("close");
    const int result = real(fd);
    if (result != 0 || !fail) return result;
    errno = closeError;
    return -1;
}

namespace kiv {
namespace {

using testing::AsOrdinaryUser;
using testing::ReadAll;
using testing::RecordingObserver;
using testing::TempFolder;
using testing::WriteAll;

constexpr char kPassword[] = "fault password";

struct Injection {
    Injection(bool interrupted, std::size_t most, int error = 0) {
        interrupt = interrupted;
        mostBytes = most;
        closeError = error;
        injecting = true;
    }
    ~Injection() {
        injecting = false;
        interrupt = false;
        mostBytes = 0;
        closeError = 0;
        diskFull = false;
    }
};

// Larger than one read buffer, so that reads of both sizes are met, and not a multiple of the
// block length.
TEST(SystemFaults, InterruptedAndShortReadsAndWritesLoseNothing) {
    TempFolder dir, out;
    std::mt19937 rng(22);
    const std::string data = testing::RandomBytes(rng, 3 * 512 * 1024 + 5);
    WriteAll(dir / "data", data);
    WriteAll(dir / "small", "a few bytes");
    RecordingObserver observer;
    ASSERT_TRUE(EncryptFiles(kPassword, {dir / "data", dir / "small"}, dir / "plain.vrq", observer,
                             kFileRunClock)
                    .AllWritten());
    for (const std::size_t most : {std::size_t{0}, std::size_t{4093}}) {
        SCOPED_TRACE(most);
        {
            const Injection faults(true, most);
            EXPECT_TRUE(EncryptFiles(kPassword, {dir / "data", dir / "small"}, dir / "box.vrq",
                                     observer, kFileRunClock)
                            .AllWritten());
            EXPECT_TRUE(DecryptFiles(kPassword, dir / "box.vrq", observer, out / "", kFileRunClock)
                            .AllWritten());
        }
        EXPECT_EQ(ReadAll(dir / "box.vrq"), ReadAll(dir / "plain.vrq"));
        EXPECT_EQ(ReadAll(out / "data"), data);
        EXPECT_EQ(ReadAll(out / "small"), "a few bytes");
    }
}

// A close can be where a failed write-back shows (NFS, a full quota): the output is not complete.
TEST(SystemFaults, AFailedCloseLeavesNoOutput) {
    for (const bool unnamed : {true, false}) {
        SCOPED_TRACE(unnamed ? "unnamed file" : "named temporary file");
        TempFolder dir;
        AtomicOutputFile file(unnamed);
        ASSERT_TRUE(file.Create(dir / "target"));
        ASSERT_EQ(write(file.fd(), "data", 4), 4);
        const Injection faults(false, 0, EIO);
        EXPECT_FALSE(file.Commit());
        EXPECT_EQ(errno, EIO);
        EXPECT_TRUE(dir.Names().empty());
    }
    TempFolder dir, out;
    WriteAll(dir / "data", "plain data");
    RecordingObserver observer;
    ASSERT_TRUE(EncryptFiles(kPassword, {dir / "data"}, dir / "box.vrq", observer, kFileRunClock)
                    .AllWritten());
    const Injection faults(false, 0, EIO);
    const FileRunResult result =
        DecryptFiles(kPassword, dir / "box.vrq", observer, out / "", kFileRunClock);
    EXPECT_EQ(result.failure, FileRunFailure::OutputUnwritable);
    EXPECT_EQ(result.FailureReason(), "Input/output error");
    EXPECT_TRUE(out.Names().empty());
}

// A write that moves nothing, without an error, means the disk has no room for the rest.
TEST(SystemFaults, AWriteOfNothingIsAFullDisk) {
    TempFolder dir;
    WriteAll(dir / "data", "plain data");
    RecordingObserver observer;
    const Injection faults(false, 0);
    diskFull = true;
    const FileRunResult result =
        EncryptFiles(kPassword, {dir / "data"}, dir / "box.vrq", observer, kFileRunClock);
    EXPECT_EQ(result.failure, FileRunFailure::OutputUnwritable);
    EXPECT_EQ(result.FailureReason(), "No space left on device");
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"data"});
}

// The folder would let the file be replaced, but a file its runner may not write is kept.
TEST(SystemFaults, AnOrdinaryUserDoesNotReplaceAReadOnlyFile) {
    TempFolder dir;
    WriteAll(dir / "kept", "old");
    ASSERT_EQ(chmod((dir / "kept").c_str(), 0444), 0);
    EXPECT_TRUE(AsOrdinaryUser({dir.path.string()}, [&] {
        AtomicOutputFile file;
        return !file.Create(dir / "kept") && errno == EACCES && file.Create(dir / "fresh");
    }));
    EXPECT_EQ(ReadAll(dir / "kept"), "old");
}

}  // namespace
}  // namespace kiv
