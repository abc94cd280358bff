#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <functional>
#include <memory>

#include "filecrypt/FileDecryption.h"
#include "filecrypt/FileEncryption.h"
#include "filecrypt/FileKey.h"
#include "filecrypt/FilePasswordCheck.h"
#include "filecrypt/MemoryFileStore.h"
#include "support/ContainerEditor.h"
#include "support/FixedClock.h"
#include "support/RecordingObserver.h"
#include "support/TempFolder.h"

namespace kiv {
namespace {

using testing::ReadAll;
using testing::RecordingObserver;
using testing::TempFolder;
using testing::WriteAll;
using Status = FileRunStatus;
using Failure = FileRunFailure;

constexpr char kPassword[] = "good password";

// Reads from the disk; every output fails as on a full disk: its writes go to /dev/full, or, with
// commitError set, everything is written and putting it under its name fails with that error
// (fdatasync, link or rename).
class FailingOutputs final : public FileStore {
  public:
    explicit FailingOutputs(int commitError = 0) : commitError_(commitError) {}
    bool OpenInput(const std::string& path, ByteReader& reader) override {
        return reader.Open(path);
    }
    std::unique_ptr<Output> CreateOutput(const std::string&, ExistingFile) override {
        return std::make_unique<FailingOutput>(commitError_);
    }
    std::optional<FileIdentity> IdentityOf(const std::string& path) const override {
        return DiskFileStore::Instance().IdentityOf(path);
    }
    bool NameTaken(const std::string& path) const override {
        return DiskFileStore::Instance().NameTaken(path);
    }
    bool IsIrregular(const std::string& path) const override {
        return DiskFileStore::Instance().IsIrregular(path);
    }
    bool FoldsLetterCase(const std::string& folder) const override {
        return DiskFileStore::Instance().FoldsLetterCase(folder);
    }

  private:
    class FailingOutput final : public Output {
      public:
        explicit FailingOutput(int commitError)
            : error_(commitError),
              fd_(open("/dev/full", O_WRONLY | O_CLOEXEC)),
              writer_(commitError != 0 ? ByteWriter(kept_) : ByteWriter(fd_)) {}
        ~FailingOutput() override { close(fd_); }
        ByteWriter& Writer() override { return writer_; }
        bool Commit() override {
            if (!writer_.Flush()) return false;
            errno = error_;
            return false;
        }

      private:
        int error_;
        int fd_;
        std::string kept_;
        ByteWriter writer_;
    };
    int commitError_;
};

// Runs with every file the process writes limited to a few bytes, as a real disk refuses a file
// that outgrows the limit: write fails with EFBIG (SIGXFSZ ignored).
FileRunResult WithFileSizeLimit(const std::function<FileRunResult()>& run) {
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit tiny = old;
    tiny.rlim_cur = 1024;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &tiny);
    const FileRunResult result = run();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    return result;
}

// Every way a run ends early says what failed and which file, for each front end to word, and,
// where the system refused a read or write, the system's reason.
TEST(FileRunFailureKinds, EachIsReportedWithItsPathAndReason) {
    TempFolder dir;
    WriteAll(dir / "data", std::string(3000, 'd'));
    RecordingObserver quiet;
    ASSERT_TRUE(EncryptFiles(kPassword, {dir / "data"}, dir / "box.vrq", quiet, kFileRunClock)
                    .AllWritten());
    const std::string box = ReadAll(dir / "box.vrq");
    WriteAll(dir / "cut.vrq", box.substr(0, box.size() - 1));
    // Header and entry fields whole, blocks gone: the entry claims more than the file holds.
    WriteAll(dir / "fields.vrq",
             box.substr(0, testing::ContainerEditor(box).Entry(1).BlocksOffset()));
    std::filesystem::create_directories(dir / "blocked/data");  // a folder where a file would go
    std::filesystem::create_directories(dir / "piped");
    mkfifo((dir / "piped/data").c_str(), 0600);  // a FIFO where a file would go
    std::filesystem::create_directory(dir / "out");

    const auto encrypt = [&](std::string password, std::vector<std::string> sources,
                             std::string output) {
        return [=](RecordingObserver& o) {
            return EncryptFiles(password, sources, output, o, kFileRunClock);
        };
    };
    const auto restore = [&](std::string password, std::string container, std::string folder,
                             std::shared_ptr<FileStore> files = nullptr) {
        return [=](RecordingObserver& o) {
            return DecryptFiles(password, container, o, folder, kFileRunClock, FileRunSpeed(),
                                files ? *files : DiskFileStore::Instance());
        };
    };
    const auto limited = [](std::function<FileRunResult(RecordingObserver&)> run) {
        return [=](RecordingObserver& o) { return WithFileSizeLimit([&] { return run(o); }); };
    };
    const auto full = std::make_shared<FailingOutputs>();
    const auto unsynced = std::make_shared<FailingOutputs>(EIO);
    struct Case {
        const char* what;
        std::function<FileRunResult(RecordingObserver&)> run;
        bool cancel;
        Status status;
        Failure failure;
        std::string path;
        std::string reason = "";
        std::vector<std::string> lines = {};  // the whole report, where a case names it
    };
    const std::string noFile = "No such file or directory", tooLarge = "File too large";
    const std::string out = dir / "out/", blocked = dir / "blocked/", fresh = dir / "new.vrq";
    const Case cases[] = {
        {"done", encrypt(kPassword, {dir / "data"}, fresh), false, Status::Completed, Failure::None,
         ""},
        {"source missing", encrypt(kPassword, {dir / "data", dir / "gone"}, fresh), false,
         Status::Failed, Failure::SourceUnreadable, dir / "gone", noFile},
        {"source is a folder", encrypt(kPassword, {dir / "blocked"}, fresh), false, Status::Failed,
         Failure::SourceUnreadable, dir / "blocked", "Is a directory"},
        {"source is a FIFO", encrypt(kPassword, {dir / "piped/data"}, fresh), false, Status::Failed,
         Failure::SourceUnreadable, dir / "piped/data", "Not a regular file"},
        {"output is a FIFO", encrypt(kPassword, {dir / "data"}, dir / "piped/data"), false,
         Status::Failed, Failure::OutputUnwritable, dir / "piped/data", "Not a regular file"},
        {"output folder missing",
         encrypt(kPassword, {dir / "data"}, dir / "no/x.vrq"),
         false,
         Status::Failed,
         Failure::OutputUnwritable,
         dir / "no/x.vrq",
         noFile,
         {"Write File not Open "}},
        {"container outgrows the disk", limited(encrypt(kPassword, {dir / "data"}, fresh)), false,
         Status::Failed, Failure::OutputUnwritable, fresh, tooLarge},
        {"output is a source", encrypt(kPassword, {dir / "box.vrq"}, dir / "box.vrq"), false,
         Status::Refused, Failure::OutputUnwritable, dir / "box.vrq"},
        {"short password", encrypt("ab", {dir / "data"}, fresh), false, Status::Refused,
         Failure::PasswordRefused, fresh},
        {"encryption cancelled", encrypt(kPassword, {dir / "data"}, fresh), true, Status::Cancelled,
         Failure::Cancelled, fresh},
        {"container missing",
         restore(kPassword, dir / "gone.vrq", out),
         false,
         Status::Failed,
         Failure::SourceUnreadable,
         dir / "gone.vrq",
         noFile,
         {" Read File not Open "}},
        {"target blocked",
         restore(kPassword, dir / "box.vrq", blocked),
         false,
         Status::Failed,
         Failure::OutputUnwritable,
         dir / "blocked/data",
         "Is a directory",
         {" Write File not Open "}},
        {"target is a FIFO",
         restore(kPassword, dir / "box.vrq", dir / "piped/"),
         false,
         Status::Failed,
         Failure::OutputUnwritable,
         dir / "piped/data",
         "Not a regular file",
         {" Write File not Open "}},
        {"container is a FIFO", restore(kPassword, dir / "piped/data", out), false, Status::Failed,
         Failure::SourceUnreadable, dir / "piped/data", "Not a regular file"},
        {"target outgrows the disk", limited(restore(kPassword, dir / "box.vrq", out)), false,
         Status::Failed, Failure::OutputUnwritable, out + "data", tooLarge},
        {"target disk full", restore(kPassword, dir / "box.vrq", out, full), false, Status::Failed,
         Failure::OutputUnwritable, out + "data", "No space left on device"},
        {"target not flushed", restore(kPassword, dir / "box.vrq", out, unsynced), false,
         Status::Failed, Failure::OutputUnwritable, out + "data", "Input/output error"},
        {"container cut", restore(kPassword, dir / "cut.vrq", out), false, Status::Failed,
         Failure::ContainerDamaged, dir / "cut.vrq"},
        {"implausible entry", restore(kPassword, dir / "fields.vrq", out), false, Status::Failed,
         Failure::ContainerDamaged, dir / "fields.vrq"},
        {"long password", restore(std::string(24, 'p'), dir / "box.vrq", out), false,
         Status::Refused, Failure::PasswordRefused, dir / "box.vrq"},
        {"other residue count", restore("abc", dir / "box.vrq", out), false, Status::Stopped,
         Failure::PasswordRefused, dir / "box.vrq"},
        {"password block differs", restore("Good Password", dir / "box.vrq", out), false,
         Status::Stopped, Failure::PasswordRefused, dir / "box.vrq"},
        {"restore cancelled", restore(kPassword, dir / "box.vrq", out), true, Status::Cancelled,
         Failure::Cancelled, out + "data"},
    };
    for (const Case& c : cases) {
        RecordingObserver observer;
        observer.cancelAfterPositions = c.cancel ? 0 : -1;
        const FileRunResult result = c.run(observer);
        EXPECT_EQ(result.status, c.status) << c.what;
        EXPECT_EQ(result.failure, c.failure) << c.what;
        EXPECT_EQ(result.failurePath, c.path) << c.what;
        EXPECT_EQ(result.FailureReason(), c.reason) << c.what;
        if (!c.lines.empty()) {
            EXPECT_EQ(observer.lines, c.lines) << c.what;
        }
    }
    // No restore left a target or a temporary file behind.
    EXPECT_TRUE(std::filesystem::is_empty(dir / "out"));
}

// One check for the window and both runs: a difference between the boxes comes first, then the
// length, and a NUL byte counts as too long; each kind keeps its own blanks.
TEST(FilePasswordRefusal, EachKindKeepsItsTextsAndOrder) {
    const std::string nul("ab\0cd", 5), same = "abc", other = "abd", two = "ab";
    struct Case {
        std::string password;
        const std::string* confirmation;
        std::optional<Message> encryption;
        std::optional<Message> restore;
    };
    const Case cases[] = {
        {"abc", &same, std::nullopt, std::nullopt},
        {std::string(23, 'p'), nullptr, std::nullopt, std::nullopt},
        {"abc", &other, Message::EncryptFilesMismatch, Message::RestoreMismatch},
        {"ab", &other, Message::EncryptFilesMismatch, Message::RestoreMismatch},
        {"ab", &two, Message::FilePasswordLength, Message::RestorePasswordTooShort},
        {std::string(24, 'p'), nullptr, Message::FilePasswordLength,
         Message::RestorePasswordTooLong},
        {nul, nullptr, Message::FilePasswordLength, Message::RestorePasswordTooLong},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FilePasswordRefusal(FileRunKind::Encryption, c.password, c.confirmation),
                  c.encryption)
            << c.password;
        EXPECT_EQ(FilePasswordRefusal(FileRunKind::Restore, c.password, c.confirmation), c.restore)
            << c.password;
    }
}

}  // namespace
}  // namespace kiv
