// How outputs reach the disk and what they look like there: permission bits, flushes, batches,
// FIFOs and other files that are not regular, and temporary files left to a termination signal.
// A binary of its own: it stands in for fdatasync, fsync, syncfs, sync_file_range, linkat,
// renameat and openat to watch their order and make them fail, and it forks.
#include <dlfcn.h>
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <linux/magic.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <functional>
#include <future>
#include <map>

#include "filecrypt/ContainerListing.h"
#include "filecrypt/FileDecryption.h"
#include "filecrypt/FileEncryption.h"
#include "filecrypt/LayoutContainer.h"
#include "filecrypt/TemporaryFileRegistry.h"
#include "filecrypt/internal/AtomicOutputFile.h"
#include "filecrypt/internal/DiskFolder.h"
#include "support/FixedClock.h"
#include "support/OrdinaryAccount.h"
#include "support/Process.h"
#include "support/RecordingObserver.h"
#include "support/TempFolder.h"

namespace {

// Calls of the watched functions while recording is on: "sync file", "sync folder", "sync
// filesystem" and "name N" when the name N appears in a folder (temporary names read "name
// temporary").
std::vector<std::string> events;
bool recording = false;

std::string Named(const char* path) {
    std::string name = path;
    name = name.substr(name.rfind('/') + 1);
    return "name " + (name.find(".kiv-") != std::string::npos ? std::string("temporary") : name);
}

void Record(const std::string& event) {
    if (recording) events.push_back(event);
}

template <typename Function>
Function Next(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

}  // namespace

// While not 0, fdatasync fails with this error, as when the disk lost the write.
static int syncError = 0;

// A call that fails: the at-th (from 1) of its kind after it was armed fails with error.
struct Fault {
    int error = 0;
    int at = 1;
    int seen = 0;
    bool Strikes() {
        if (error == 0 || ++seen != at) return false;
        errno = error;
        return true;
    }
};
Fault syncfsFault, writtenFault, linkFault, renameFault, folderSyncFault;
bool noUnnamedFiles = false;  // O_TMPFILE fails, as on FAT or NFS

extern "C" int syncfs(int fd) {
    Record("sync filesystem");
    return syncfsFault.Strikes() ? -1 : Next<int (*)(int)>("syncfs")(fd);
}

extern "C" int sync_file_range(int fd, off64_t offset, off64_t bytes, unsigned int flags) {
    if (writtenFault.Strikes()) return -1;
    return Next<int (*)(int, off64_t, off64_t, unsigned int)>("sync_file_range")(fd, offset, bytes,
                                                                                 flags);
}

extern "C" int openat(int folder, const char* path, int flags, ...) {
    va_list rest;
    va_start(rest, flags);
    const auto mode = static_cast<mode_t>(va_arg(rest, unsigned int));
    va_end(rest);
    if (noUnnamedFiles && (flags & O_TMPFILE) == O_TMPFILE) {
        errno = EOPNOTSUPP;
        return -1;
    }
    return Next<int (*)(int, const char*, int, mode_t)>("openat")(folder, path, flags, mode);
}

extern "C" int fdatasync(int fd) {
    Record("sync file");
    if (syncError != 0) {
        errno = syncError;
        return -1;
    }
    return Next<int (*)(int)>("fdatasync")(fd);
}

extern "C" int fsync(int fd) {
    struct stat info {};
    fstat(fd, &info);
    Record(S_ISDIR(info.st_mode) ? "sync folder" : "sync file");
    if (S_ISDIR(info.st_mode) && folderSyncFault.Strikes()) return -1;
    return Next<int (*)(int)>("fsync")(fd);
}

extern "C" int linkat(int fromFolder, const char* from, int toFolder, const char* to, int flags) {
    if (linkFault.Strikes()) return -1;
    const int result = Next<int (*)(int, const char*, int, const char*, int)>("linkat")(
        fromFolder, from, toFolder, to, flags);
    if (result == 0) Record(Named(to));
    return result;
}

// The permission bits of the last file renamed, as it was just before.
mode_t modeBeforeRename = 0;

extern "C" int renameat(int fromFolder, const char* from, int toFolder, const char* to) {
    if (renameFault.Strikes()) return -1;
    struct stat info {};
    if (fstatat(fromFolder, from, &info, AT_SYMLINK_NOFOLLOW) == 0)
        modeBeforeRename = info.st_mode & 07777;
    const int result = Next<int (*)(int, const char*, int, const char*)>("renameat")(
        fromFolder, from, toFolder, to);
    if (result == 0) Record(Named(to));
    return result;
}

namespace kiv {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using testing::ModeOf;
using testing::Process;
using testing::ProcessResult;
using testing::ReadAll;
using testing::RecordingObserver;
using ::testing::StartsWith;
using testing::TempFolder;
using testing::WriteAll;

constexpr char kPassword[] = "output password";

mode_t Umask() {
    const mode_t mask = umask(0);
    umask(mask);
    return mask;
}

class OutputFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        WriteAll(dir / "data", "plain data");
        ASSERT_TRUE(Encrypt(dir / "box.vrq").AllWritten());
        observer = RecordingObserver();
    }
    FileRunResult Encrypt(const std::string& output) {
        return EncryptFiles(kPassword, {dir / "data"}, output, observer, kFileRunClock);
    }
    FileRunResult Restore(const std::string& container) {
        return DecryptFiles(kPassword, container, observer, out.path.string() + "/", kFileRunClock);
    }

    TempFolder dir, out;
    RecordingObserver observer;
};

TEST_F(OutputFiles, AReplacedFileKeepsItsPermissionBitsAndANewOneGetsACreations) {
    const mode_t created = 0666 & ~Umask();
    struct Case {
        const char* what;
        bool restore;   // else the container is written again
        mode_t before;  // 0: no file there yet
        mode_t after;
    } const cases[] = {
        {"restored over a private file", true, 0600, 0600},
        {"restored over a group-readable file", true, 0640, 0640},
        {"restored over a set-user-id program", true, 04755, 0755},
        {"restored as a new file", true, 0, created},
        {"container rewritten over a private one", false, 0600, 0600},
        {"container written anew", false, 0, created},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string target = c.restore ? out / "data" : dir / "new.vrq";
        std::remove(target.c_str());
        if (c.before != 0) {
            WriteAll(target, "old");
            ASSERT_EQ(chmod(target.c_str(), c.before), 0);
        }
        ASSERT_TRUE((c.restore ? Restore(dir / "box.vrq") : Encrypt(target)).AllWritten());
        EXPECT_EQ(ModeOf(target) & 07777, c.after);
        EXPECT_NE(ReadAll(target), "old");
    }
}

TEST_F(OutputFiles, AReadOnlyFileIsReplacedOnlyByRoot) {
    WriteAll(out / "data", "old");
    ASSERT_EQ(chmod((out / "data").c_str(), 0444), 0);
    if (geteuid() == 0) {
        EXPECT_TRUE(Restore(dir / "box.vrq").AllWritten());
        EXPECT_EQ(ReadAll(out / "data"), "plain data");
    } else {
        EXPECT_EQ(Restore(dir / "box.vrq").status, FileRunStatus::Failed);
        EXPECT_EQ(observer.lines, std::vector<std::string>{" Write File not Open "});
        EXPECT_EQ(ReadAll(out / "data"), "old");
    }
    EXPECT_EQ(ModeOf(out / "data") & 0777, 0444u);
}

// A file of another account under the target's name lends the output none of its bits, neither
// in place nor while the output still has a temporary name; in a sticky folder, where such a
// file can never be replaced, the restore is refused before anything is decrypted.
TEST_F(OutputFiles, AnotherAccountsFileLendsNoModeAndInAStickyFolderRefusesAtOnce) {
    constexpr uid_t kOther = testing::kOrdinaryAccount;
    const mode_t created = 0666 & ~Umask();
    if (geteuid() != 0 || created == 0666) GTEST_SKIP() << "needs root and a umask";
    WriteAll(out / "data", "theirs");
    ASSERT_EQ(chown((out / "data").c_str(), kOther, kOther), 0);
    ASSERT_EQ(chmod((out / "data").c_str(), 0666), 0);
    modeBeforeRename = 0;
    ASSERT_TRUE(Restore(dir / "box.vrq").AllWritten());
    EXPECT_EQ(modeBeforeRename, created);
    EXPECT_EQ(ModeOf(out / "data") & 07777, created);

    // Root's 0666 file in a sticky folder, restored over by another account.
    const std::string sticky = out / "sticky";
    ASSERT_EQ(mkdir(sticky.c_str(), 01777), 0);
    ASSERT_EQ(chmod(sticky.c_str(), 01777), 0);
    WriteAll(sticky + "/data", "root's");
    ASSERT_EQ(chmod((sticky + "/data").c_str(), 0666), 0);
    for (const std::string& folder : {dir.path.string(), out.path.string()})
        ASSERT_EQ(chmod(folder.c_str(), 0755), 0);
    ASSERT_EQ(chmod((dir / "box.vrq").c_str(), 0644), 0);
    EXPECT_TRUE(testing::AsOrdinaryUser({}, [&] {
        events.clear();
        recording = true;
        const FileRunResult result =
            DecryptFiles(kPassword, dir / "box.vrq", observer, sticky + "/", kFileRunClock);
        recording = false;
        return result.failure == FileRunFailure::OutputUnwritable && result.failureError == EPERM &&
               events.empty();
    }));
    EXPECT_EQ(ReadAll(sticky + "/data"), "root's");
    EXPECT_EQ(ModeOf(sticky + "/data") & 07777, 0666u);
}

// A flush that fails leaves no output: its data may never have reached the disk.
TEST_F(OutputFiles, AFailedFlushLeavesNoOutput) {
    for (const bool unnamed : {true, false}) {
        SCOPED_TRACE(unnamed ? "unnamed file" : "named temporary file");
        AtomicOutputFile file(unnamed);
        ASSERT_TRUE(file.Create(out / "target"));
        ASSERT_EQ(write(file.fd(), "data", 4), 4);
        syncError = EIO;
        EXPECT_FALSE(file.Commit());
        syncError = 0;
        EXPECT_EQ(errno, EIO);
        EXPECT_THAT(out.Names(), IsEmpty());
    }
}

// A name chosen because it was free stays with whoever takes it before the output is complete.
TEST_F(OutputFiles, AnOutputThatKeepsExistingFilesFailsOnANameTakenMeanwhile) {
    for (const bool unnamed : {true, false}) {
        SCOPED_TRACE(unnamed ? "unnamed file" : "named temporary file");
        const std::string target = out / "free";
        std::remove(target.c_str());
        AtomicOutputFile file(unnamed);
        ASSERT_TRUE(file.Create(target, ExistingFile::Keep));
        ASSERT_EQ(write(file.fd(), "ours", 4), 4);
        WriteAll(target, "theirs");
        EXPECT_FALSE(file.Commit());
        EXPECT_EQ(errno, EEXIST);
        EXPECT_EQ(ReadAll(target), "theirs");
        EXPECT_THAT(out.Names(), ElementsAre("free"));
    }
}

TEST_F(OutputFiles, DataReachesTheDiskBeforeItsNameAndTheNameBeforeTheRunGoesOn) {
    struct Case {
        const char* what;
        bool unnamed;
        bool existing;
        std::vector<std::string> expected;
    } const cases[] = {
        {"unnamed, new", true, false, {"sync file", "name data", "sync folder"}},
        {"unnamed, replacing",
         true,
         true,
         {"sync file", "name temporary", "name data", "sync folder"}},
        {"named, new", false, false, {"sync file", "name data", "sync folder"}},
        {"named, replacing", false, true, {"sync file", "name data", "sync folder"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::remove((out / "data").c_str());
        if (c.existing) WriteAll(out / "data", "old");
        events.clear();
        recording = true;
        if (c.unnamed) {
            EXPECT_TRUE(Restore(dir / "box.vrq").AllWritten());
        } else {
            AtomicOutputFile file(false);
            ASSERT_TRUE(file.Create(out / "data"));
            ASSERT_EQ(write(file.fd(), "plain data", 10), 10);
            EXPECT_TRUE(file.Commit());
        }
        recording = false;
        EXPECT_THAT(events, ElementsAreArray(c.expected));
        EXPECT_EQ(ReadAll(out / "data"), "plain data");
        EXPECT_THAT(out.Names(), ElementsAre("data"));
    }
}

// A restore's files wait for their names in batches: one flush of the filesystem per batch, the
// names in the order of the entries, then one flush of the folder; without unnamed files each is
// named alone. Whatever fails or is cancelled while files wait, nothing of the batch remains,
// every existing file is as it was, and the report says nothing of the waiting entries but what
// is true of them; a rename that fails after the names were given leaves the files before it.
TEST_F(OutputFiles, ABatchIsFlushedOnceAndNamedInOrderOrNotAtAll) {
    {
        DiskFolder probe;
        ASSERT_TRUE(probe.Open(out.path.string() + "/"));
        if (!probe.CreateOutput("probe", ExistingFile::Replace)->Batchable())
            GTEST_SKIP() << "this filesystem names each file alone";
    }
    const std::string box = dir / "batch.vrq";
    WriteAll(box, testing::BuildContainer(
                      kPassword,
                      {{"a", "first"}, {"sub/x", ""}, {"b", "second"}, {"c", "3"}, {"sub/y", ""}},
                      kFileRunClock));
    const auto restore = [&](const FileRunSpeed& speed) {
        return DecryptFiles(kPassword, box, observer, out.path.string() + "/", kFileRunClock,
                            speed);
    };
    WriteAll(out / "b", "old b");
    FileRunSpeed oneByOne;
    oneByOne.batchFiles = 1;
    ASSERT_TRUE(restore(oneByOne).status == FileRunStatus::Completed);
    const std::vector<std::string> allLines = observer.lines;
    const std::string skipped = " Entry 2 \"sub/x\" has a folder in its name; skipped";
    const std::string fail = " Write File not Open ";
    std::vector<std::string> aFail(allLines.begin(), allLines.begin() + 7);
    aFail.insert(aFail.end(), {skipped, fail});
    const std::vector<std::string> skipFail = {skipped, fail};
    // What is in the folder afterwards: everything, nothing new, or a alone.
    enum Left { kAll, kNothing, kA };
    const std::map<std::string, std::string> left[] = {
        {{"a", "first"}, {"b", "second"}, {"c", "3"}},
        {{"b", "old b"}},
        {{"a", "first"}, {"b", "old b"}}};
    const std::vector<std::string> one = {"sync filesystem", "name a", "name c",
                                          "name temporary",  "name b", "sync folder"};
    const std::vector<std::string> full = {"sync filesystem", "name a", "name temporary", "name b",
                                           "sync file",       "name c", "sync folder"};
    std::vector<std::string> alone;
    for (const char* name : {"name a", "name b", "name c"})
        alone.insert(alone.end(), {"sync file", name, "sync folder"});
    enum Also { kNone, kNoUnnamedFiles, kCancelAtC };
    // Links are counted with the one that finds b's name taken.
    struct Case {
        const char* what;
        std::int64_t batchFiles;
        Also also;
        Fault* fault;  // armed as armed
        Fault armed;
        std::vector<std::string> events;  // empty: not looked at
        Left files;
        std::vector<std::string> lines;
        std::string failed;  // the failure's file, "" for none
        int written;
    } const cases[] = {
        {"one batch", 4096, kNone, nullptr, {}, one, kAll, allLines, "", 3},
        {"a batch exactly full", 3, kNone, nullptr, {}, one, kAll, allLines, "", 3},
        {"full and one more, alone", 2, kNone, nullptr, {}, full, kAll, allLines, "", 3},
        {"no unnamed files", 9, kNoUnnamedFiles, nullptr, {}, alone, kAll, allLines, "", 3},
        {"flush fails", 9, kNone, &syncfsFault, {EIO}, {}, kNothing, {fail}, "a", 0},
        {"flush fails meanwhile", 2, kNone, &syncfsFault, {EIO}, {}, kNothing, {fail}, "a", 0},
        {"b's data is lost", 9, kNone, &writtenFault, {EIO, 2}, {}, kNothing, skipFail, "b", 0},
        {"c's link fails", 9, kNone, &linkFault, {ENOSPC, 3}, {}, kNothing, skipFail, "c", 0},
        {"link beside b fails", 9, kNone, &linkFault, {ENOSPC, 4}, {}, kA, aFail, "b", 1},
        {"rename over b fails", 9, kNone, &renameFault, {EBUSY}, {}, kA, aFail, "b", 1},
        {"cancelled at c", 9, kCancelAtC, nullptr, {}, {}, kNothing, {skipped}, "c", 0},
        // The names are given; making them last is the folder's best effort, as for one file.
        {"folder flush fails", 9, kNone, &folderSyncFault, {EIO}, one, kAll, allLines, "", 3},
    };
    struct statfs filesystem {};
    ASSERT_EQ(statfs(out.path.c_str(), &filesystem), 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // Memory has no write-back to fail.
        if (c.fault == &writtenFault && filesystem.f_type == TMPFS_MAGIC) continue;
        std::filesystem::remove_all(out.path);
        std::filesystem::create_directory(out.path);
        WriteAll(out / "b", "old b");
        observer = RecordingObserver();
        FileRunSpeed speed;
        speed.batchFiles = c.batchFiles;
        if (c.fault != nullptr) *c.fault = c.armed;
        noUnnamedFiles = c.also == kNoUnnamedFiles;
        if (c.also == kCancelAtC) observer.cancelAfterPositions = 3;
        events.clear();
        recording = true;
        const FileRunResult result = restore(speed);
        recording = false;
        syncfsFault = writtenFault = linkFault = renameFault = folderSyncFault = Fault();
        noUnnamedFiles = false;
        if (!c.events.empty()) {
            EXPECT_THAT(events, ElementsAreArray(c.events));
        }
        std::map<std::string, std::string> files;
        for (const std::string& name : out.Names())
            files[name] = ReadAll(out / name);
        EXPECT_EQ(files, left[c.files]);
        EXPECT_EQ(observer.lines, c.lines);
        EXPECT_EQ(result.failurePath, c.failed.empty() ? "" : out / c.failed);
        EXPECT_EQ(result.failureError, c.failed.empty() ? 0 : c.armed.error);
        EXPECT_EQ(result.filesWritten, c.written);
    }
}

// Runs run on a thread. Should it still be waiting after ten seconds (in open() on a FIFO), a
// writer opens each FIFO, which releases it, and the test fails.
void WithoutHanging(const std::function<void()>& run, const std::vector<std::string>& fifos) {
    auto done = std::async(std::launch::async, run);
    if (done.wait_for(std::chrono::seconds(10)) == std::future_status::ready) return done.get();
    ADD_FAILURE() << "the run waited for a writer";
    for (const std::string& fifo : fifos) {
        const int fd = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0) close(fd);
    }
    done.get();
}

TEST_F(OutputFiles, FifosDevicesAndFoldersAreRefusedWithoutWaiting) {
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    ASSERT_EQ(mkfifo((out / "data").c_str(), 0600), 0);  // where the restore would write
    std::filesystem::create_directory(dir / "folder");
    struct Case {
        const char* what;
        std::function<FileRunResult()> run;
        std::vector<std::string> lines;
    } const cases[] = {
        {"a FIFO to encrypt",
         [&] {
             return EncryptFiles(kPassword, {dir / "fifo"}, dir / "x.vrq", observer, kFileRunClock);
         },
         {"Read File not Open "}},
        {"a device to encrypt",
         [&] {
             return EncryptFiles(kPassword, {"/dev/zero"}, dir / "x.vrq", observer, kFileRunClock);
         },
         {"Read File not Open "}},
        {"a FIFO to restore", [&] { return Restore(dir / "fifo"); }, {" Read File not Open "}},
        {"a folder to restore", [&] { return Restore(dir / "folder"); }, {" Read File not Open "}},
        {"a FIFO where the container goes",
         [&] { return Encrypt(dir / "fifo"); },
         {"Write File not Open "}},
        {"a FIFO where a restored file goes",
         [&] { return Restore(dir / "box.vrq"); },
         {" Write File not Open "}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        observer = RecordingObserver();
        WithoutHanging([&] { EXPECT_EQ(c.run().status, FileRunStatus::Failed); },
                       {dir / "fifo", out / "data"});
        EXPECT_EQ(observer.lines, c.lines);
        EXPECT_THAT(dir.Names(), ElementsAre("box.vrq", "data", "fifo", "folder"));
        EXPECT_TRUE(S_ISFIFO(ModeOf(dir / "fifo")));
        EXPECT_TRUE(S_ISFIFO(ModeOf(out / "data")));
    }
    WithoutHanging(
        [&] { EXPECT_EQ(ListContainer(dir / "fifo").problem->Filled(), "cannot be opened"); },
        {dir / "fifo"});
}

// A child process that holds an output in progress until it is ended by a signal, or with
// fault, by a fault of its own once it is sent SIGCONT; returned once it holds it.
std::unique_ptr<Process> ChildWritingTo(const std::string& target, bool unnamed,
                                        bool fault = false) {
    auto child = std::make_unique<Process>([=]() -> int {
        sigset_t go;
        sigemptyset(&go);
        sigaddset(&go, SIGCONT);
        sigprocmask(SIG_BLOCK, &go, nullptr);
        TemporaryFileRegistry::RemoveOnTermination();
        TemporaryFileRegistry::RemoveOnTermination();  // as harmless as once
        AtomicOutputFile file(unnamed);
        const bool created = file.Create(target) && write(file.fd(), "secret", 6) == 6;
        if (write(1, created ? "y" : "n", 1) != 1 || !created) return 2;
        if (fault) {
            int number = 0;
            sigwait(&go, &number);
            // A page that may not be written: a fault no sanitizer catches before the kernel.
            void* page = mmap(nullptr, 4096, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            *static_cast<volatile int*>(page) = 1;
        }
        for (;;)
            pause();
    });
    if (!child->Limit(RLIMIT_CORE, 0).Start() || !child->AwaitOutput("y")) return nullptr;
    return child;
}

TEST(TemporaryFiles, TerminationSignalsRemoveANamedOutputInProgress) {
    // A sanitizer's handler of faults, run after the files are removed, ends the child its way.
    struct sigaction faults {};
    sigaction(SIGSEGV, nullptr, &faults);
    const bool sanitized = faults.sa_handler != SIG_DFL;
    for (const bool unnamed : {false, true}) {
        for (const int number :
             {SIGINT, SIGTERM, SIGHUP, SIGPIPE, SIGUSR1, SIGALRM, SIGXCPU, SIGSEGV, SIGRTMAX, 0}) {
            // 0: a genuine fault, which the kernel sends again when the handler returns.
            SCOPED_TRACE(std::string(unnamed ? "unnamed, " : "named, ") +
                         (number != 0 ? strsignal(number) : "fault"));
            TempFolder dir;
            const auto child = ChildWritingTo(dir / "restored", unnamed, number == 0);
            ASSERT_NE(child, nullptr);
            if (unnamed) {
                EXPECT_THAT(dir.Names(), IsEmpty());
            } else {
                EXPECT_THAT(dir.Names(), ElementsAre(StartsWith(".restored.kiv-")));
            }
            ASSERT_TRUE(child->Signal(number != 0 ? number : SIGCONT));
            const ProcessResult ended = child->Wait();
            const int expected = number != 0 ? number : SIGSEGV;
            if (!sanitized || expected != SIGSEGV) {
                EXPECT_TRUE(ended.Signalled(expected)) << ::testing::PrintToString(ended);
            }
            EXPECT_THAT(dir.Names(), IsEmpty());
        }
    }
}

TEST(TemporaryFiles, AnIgnoredSignalStaysIgnored) {
    const ProcessResult ended = Process([] {
                                    signal(SIGHUP, SIG_IGN);
                                    TemporaryFileRegistry::RemoveOnTermination();
                                    raise(SIGHUP);
                                    return 0;
                                }).Run();
    EXPECT_TRUE(ended.Exited(0)) << ::testing::PrintToString(ended);
}

}  // namespace
}  // namespace kiv
