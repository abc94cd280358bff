#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "filecrypt/FileDecryption.h"
#include "filecrypt/FileEncryption.h"
#include "filecrypt/FileKey.h"
#include "filecrypt/FilePasswordCheck.h"
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

const FixedClock kClock(1765000000, LocalTime{2026, 12, 7, 11, 0, 0, 0});
constexpr char kPassword[] = "good password";

// Every way a run ends early says what failed and which file, for each front end to word.
TEST(FileRunFailureKinds, EachIsReportedWithItsPath) {
    TempFolder dir;
    WriteAll(dir / "data", std::string(3000, 'd'));
    RecordingObserver quiet;
    ASSERT_TRUE(
        EncryptFiles(kPassword, {dir / "data"}, dir / "box.vrq", quiet, kClock).AllWritten());
    const std::string box = ReadAll(dir / "box.vrq");
    WriteAll(dir / "cut.vrq", box.substr(0, box.size() - 1));
    // Header and entry fields whole, blocks gone: the entry claims more than the file holds.
    CipherWorkspace ws;
    const std::size_t fields = 4 + PrepareFileKey(ws, kPassword).ResidueBytes() + 4 + 12;
    WriteAll(dir / "fields.vrq", box.substr(0, fields));
    std::filesystem::create_directories(dir / "blocked/data");  // a folder where a file would go
    std::filesystem::create_directory(dir / "out");

    const auto encrypt = [&](std::string password, std::vector<std::string> sources,
                             std::string output) {
        return [=](RecordingObserver& o) {
            return EncryptFiles(password, sources, output, o, kClock);
        };
    };
    const auto restore = [&](std::string password, std::string container, std::string folder) {
        return [=](RecordingObserver& o) {
            return DecryptFiles(password, container, o, folder, kClock);
        };
    };
    struct Case {
        const char* what;
        std::function<FileRunResult(RecordingObserver&)> run;
        bool cancel;
        Status status;
        Failure failure;
        std::string path;
    };
    const std::string out = dir / "out/", blocked = dir / "blocked/", fresh = dir / "new.vrq";
    const Case cases[] = {
        {"done", encrypt(kPassword, {dir / "data"}, fresh), false, Status::Completed, Failure::None,
         ""},
        {"source missing", encrypt(kPassword, {dir / "data", dir / "gone"}, fresh), false,
         Status::Failed, Failure::SourceUnreadable, dir / "gone"},
        {"output folder missing", encrypt(kPassword, {dir / "data"}, dir / "no/x.vrq"), false,
         Status::Failed, Failure::OutputUnwritable, dir / "no/x.vrq"},
        {"output is a source", encrypt(kPassword, {dir / "box.vrq"}, dir / "box.vrq"), false,
         Status::Refused, Failure::OutputUnwritable, dir / "box.vrq"},
        {"short password", encrypt("ab", {dir / "data"}, fresh), false, Status::Refused,
         Failure::PasswordRefused, fresh},
        {"encryption cancelled", encrypt(kPassword, {dir / "data"}, fresh), true, Status::Cancelled,
         Failure::Cancelled, fresh},
        {"container missing", restore(kPassword, dir / "gone.vrq", out), false, Status::Failed,
         Failure::SourceUnreadable, dir / "gone.vrq"},
        {"target blocked", restore(kPassword, dir / "box.vrq", blocked), false, Status::Failed,
         Failure::OutputUnwritable, dir / "blocked/data"},
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
    }
}

// One check for the window and both runs: a difference between the boxes comes first, then the
// length, and a NUL byte counts as too long; each kind keeps its own blanks.
TEST(FilePasswordRefusal, EachKindKeepsItsTextsAndOrder) {
    const std::string nul("ab\0cd", 5), same = "abc", other = "abd", two = "ab";
    struct Case {
        std::string password;
        const std::string* confirmation;
        const char* encryption;
        const char* restore;
    };
    const Case cases[] = {
        {"abc", &same, nullptr, nullptr},
        {std::string(23, 'p'), nullptr, nullptr, nullptr},
        {"abc", &other, kEncryptFilesMismatch, kRestoreMismatch},
        {"ab", &other, kEncryptFilesMismatch, kRestoreMismatch},
        {"ab", &two, kFilePasswordLength, kRestorePasswordTooShort},
        {std::string(24, 'p'), nullptr, kFilePasswordLength, kRestorePasswordTooLong},
        {nul, nullptr, kFilePasswordLength, kRestorePasswordTooLong},
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
