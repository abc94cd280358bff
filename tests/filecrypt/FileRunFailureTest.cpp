#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <set>
#include <utility>

#include "filecrypt/ContainerListing.h"
#include "filecrypt/ContainerNames.h"
#include "filecrypt/FileDecryption.h"
#include "filecrypt/FileEncryption.h"
#include "filecrypt/FileKey.h"
#include "filecrypt/LayoutContainer.h"
#include "support/ContainerEditor.h"
#include "support/FixedClock.h"
#include "support/RecordingObserver.h"
#include "support/TempFolder.h"

namespace kiv {
namespace {

using testing::ContainerEditor;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using testing::ReadAll;
using testing::RecordingObserver;
using testing::TempFolder;
using testing::WriteAll;

int ResidueCount(const std::string& password) {
    CipherWorkspace ws;
    return PrepareFileKey(ws, password).residueCount;
}

class FileRunFailure : public ::testing::Test {
  protected:
    void SetUp() override {
        WriteAll(dir / "data", std::string(1000, 'd'));
        WriteAll(dir / "more", "more bytes here");
        ASSERT_TRUE(EncryptFiles(kPassword, {dir / "data", dir / "more"}, dir / "box.vrq", observer,
                                 kFileRunClock)
                        .AllWritten());
        container = ReadAll(dir / "box.vrq");
        observer = RecordingObserver();
    }
    FileRunResult Restore(const std::string& password, const std::string& path) {
        return DecryptFiles(password, path, observer, out.path.string() + "/", kFileRunClock);
    }

    static constexpr char kPassword[] = "good password";
    TempFolder dir, out;
    RecordingObserver observer;
    std::string container;
};

TEST(ContainerNames, SingleFileOutputNames) {
    EXPECT_EQ(SingleFileOutputName("/data/plan.txt"), "/data/plan.vrq");
    EXPECT_EQ(SingleFileOutputName("/data/photo.jpeg"), "/data/photo.vrq");
    EXPECT_EQ(SingleFileOutputName("/data/README"), "/data/README.vrq");
    EXPECT_EQ(SingleFileOutputName("/data.d/README"), "/data.d/README.vrq");
    EXPECT_EQ(SingleFileOutputName("/home/u/.profile"), "/home/u/.profile.vrq");
    EXPECT_EQ(SingleFileOutputName("a.tar.gz"), "a.tar.vrq");
    EXPECT_EQ(SingleFileOutputName("x"), "x.vrq");
}

TEST(ContainerNames, RestoredCopyNamesFitAFilesystemsNames) {
    const std::string longStem(250, 'a');
    const std::string dotlessI = "\xc4\xb1";
    const struct {
        std::string name;
        int number;
        std::string copy;
        std::string mark = WindowText(Message::RestoredCopyMark);
    } cases[] = {
        {"notes.txt", 2, "notes (restored 2).txt"},
        {"README", 3, "README (restored 3)"},
        {".profile", 2, ".profile (restored 2)"},
        {"a.tar.gz", 12, "a.tar (restored 12).gz"},
        {longStem + ".txt", 2, std::string(238, 'a') + " (restored 2).txt"},
        {longStem, 10, std::string(241, 'a') + " (restored 10)"},
        {"a." + longStem, 2, "a." + std::string(240, 'a') + " (restored 2)"},
        // Room for 242 bytes before the mark: the cut falls inside the first two-byte character.
        {std::string(241, 'x') + dotlessI + dotlessI, 2, std::string(241, 'x') + " (restored 2)"},
        // A window's own mark, up to 64 bytes; one that would not name one file gives way.
        {longStem + ".txt", 2, std::string(232, 'a') + " (geri y\xc3\xbcklendi 2).txt",
         " (geri y\xc3\xbcklendi %1)"},
        {"a.txt", 2, "a 2" + std::string(61, 'm') + ".txt", " %1" + std::string(61, 'm')},
        {"a.txt", 2, "a (restored 2).txt", " %1" + std::string(62, 'm')},
        {"a.txt", 2, "a (restored 2).txt", " (restored)"},
        {"a.txt", 2, "a (restored 2).txt", "/../%1"},
        {"a.txt", 2, "a (restored 2).txt", std::string(" %1\0", 4)},
    };
    for (const auto& c : cases) {
        const std::string copy = RestoredCopyName(c.name, c.number, c.mark);
        EXPECT_EQ(copy, c.copy) << c.name;
        EXPECT_LE(copy.size(), 255u) << c.name;
    }
}

TEST_F(FileRunFailure, UnreadableSourceEndsTheRunBeforeAnythingIsWritten) {
    const auto result = EncryptFiles(kPassword, {dir / "data", dir / "missing"}, dir / "new.vrq",
                                     observer, kFileRunClock);
    EXPECT_EQ(result.status, FileRunStatus::Failed);
    EXPECT_THAT(observer.lines, ElementsAre("Read File not Open "));
    EXPECT_THAT(dir.Names(), ElementsAre("box.vrq", "data", "more"));
    // Sources are looked at first and opened when their turn comes: one that cannot be opened
    // then ends the run there, and nothing is written either.
    struct Removing : RecordingObserver {
        std::string path;
        void AddLine(const ReportText& line) override {
            RecordingObserver::AddLine(line);
            if (!path.empty()) std::remove(std::exchange(path, "").c_str());
        }
    } removing;
    removing.path = dir / "more";
    const auto late = EncryptFiles(kPassword, {dir / "data", dir / "more"}, dir / "new.vrq",
                                   removing, kFileRunClock);
    EXPECT_EQ(late.failurePath, dir / "more");
    EXPECT_EQ(late.FailureReason(), "No such file or directory");
    ASSERT_EQ(removing.lines.size(), 5u);
    EXPECT_EQ(removing.lines.back(), "Read File not Open ");
    EXPECT_THAT(dir.Names(), ElementsAre("box.vrq", "data"));
}

TEST_F(FileRunFailure, ReadOnlySourcesAndContainersWork) {
    chmod((dir / "data").c_str(), 0400);
    chmod((dir / "box.vrq").c_str(), 0400);
    EXPECT_TRUE(EncryptFiles(kPassword, {dir / "data"}, dir / "ro.vrq", observer, kFileRunClock)
                    .AllWritten());
    EXPECT_TRUE(Restore(kPassword, dir / "box.vrq").AllWritten());
    EXPECT_EQ(ReadAll(out / "data"), std::string(1000, 'd'));
}

// A source whose length changes after the run has checked it is not encrypted under its old one.
TEST_F(FileRunFailure, ASourceThatChangesLengthDuringTheRunEndsIt) {
    struct Growing : RecordingObserver {
        std::string path;
        void AddLine(const ReportText& line) override {
            RecordingObserver::AddLine(line);
            if (!path.empty()) WriteAll(std::exchange(path, ""), "grown, so longer than before");
        }
    } growing;
    growing.path = dir / "more";
    const auto result = EncryptFiles(kPassword, {dir / "data", dir / "more"}, dir / "new.vrq",
                                     growing, kFileRunClock);
    EXPECT_EQ(result.status, FileRunStatus::Failed);
    EXPECT_EQ(result.failurePath, dir / "more");
    EXPECT_THAT(dir.Names(), ElementsAre("box.vrq", "data", "more"));
}

TEST_F(FileRunFailure, OutputNamingASourceIsRefused) {
    const auto result =
        EncryptFiles(kPassword, {dir / "box.vrq"}, dir / "box.vrq", observer, kFileRunClock);
    EXPECT_EQ(result.status, FileRunStatus::Refused);
    EXPECT_THAT(observer.messages, ElementsAre(OutputIsSourceMessage(dir / "box.vrq").Filled()));
    EXPECT_EQ(ReadAll(dir / "box.vrq"), container);
}

// The largest size a container can hold is accepted (the run is cancelled once it has begun:
// coding 2 GiB proves nothing more), one byte more is refused before anything is written.
TEST_F(FileRunFailure, SourcesOfTwoGibibytesAreRefused) {
    for (const std::int64_t size : {(std::int64_t{1} << 31) - 1, std::int64_t{1} << 31}) {
        ASSERT_EQ(truncate((dir / "more").c_str(), size), 0);  // sparse: no disk used
        observer = RecordingObserver();
        observer.cancelAfterPositions = 0;
        const auto result = EncryptFiles(kPassword, {dir / "data", dir / "more"}, dir / "big.vrq",
                                         observer, kFileRunClock);
        const bool fits = size <= INT32_MAX;
        EXPECT_EQ(result.status, fits ? FileRunStatus::Cancelled : FileRunStatus::Refused) << size;
        const std::vector<std::string> refusal = {SourceTooLargeMessage(dir / "more").Filled()};
        EXPECT_EQ(observer.messages, fits ? std::vector<std::string>() : refusal) << size;
        EXPECT_THAT(dir.Names(), ElementsAre("box.vrq", "data", "more"));
    }
}

TEST_F(FileRunFailure, PasswordLengthsAreChecked) {
    EXPECT_EQ(EncryptFiles("ab", {dir / "data"}, dir / "x.vrq", observer, kFileRunClock).status,
              FileRunStatus::Refused);
    EXPECT_EQ(
        EncryptFiles(std::string(24, 'p'), {dir / "data"}, dir / "x.vrq", observer, kFileRunClock)
            .status,
        FileRunStatus::Refused);
    EXPECT_EQ(Restore("ab", dir / "box.vrq").status, FileRunStatus::Refused);
    EXPECT_EQ(Restore(std::string(24, 'p'), dir / "box.vrq").status, FileRunStatus::Refused);
    EXPECT_THAT(observer.messages, ElementsAre(WindowText(Message::FilePasswordLength),
                                               WindowText(Message::FilePasswordLength),
                                               WindowText(Message::RestorePasswordTooShort),
                                               WindowText(Message::RestorePasswordTooLong)));
    EXPECT_TRUE(
        EncryptFiles(std::string(23, 'p'), {dir / "data"}, dir / "x.vrq", observer, kFileRunClock)
            .AllWritten());
}

TEST_F(FileRunFailure, PasswordOfAnotherResidueCount) {
    std::string other = "a";
    while (ResidueCount(other + "bc") == ResidueCount(kPassword))
        other += "x";
    const auto result = Restore(other + "bc", dir / "box.vrq");
    EXPECT_EQ(result.status, FileRunStatus::Stopped);
    EXPECT_THAT(observer.messages, ElementsAre(" Password's length is wrong."));
    EXPECT_EQ(observer.passwordBoxShown, 1);
    EXPECT_THAT(out.Names(), IsEmpty());
}

TEST_F(FileRunFailure, WrongPasswordOfTheSameCountAsksOnce) {
    std::string wrong = kPassword;
    wrong[0] = 'G';
    wrong[5] = 'P';
    ASSERT_EQ(ResidueCount(wrong), ResidueCount(kPassword));
    observer.answers = {true};
    EXPECT_EQ(Restore(wrong, dir / "box.vrq").status, FileRunStatus::Stopped);
    EXPECT_THAT(observer.questions, ElementsAre("Change Password|Password is wrong"));
    EXPECT_THAT(out.Names(), IsEmpty());

    observer = RecordingObserver();
    // Going on: asked once however many bytes differ; the run restores with the entered
    // password, whatever that yields, and says so.
    observer.answers = {false, false};
    const auto result = Restore(wrong, dir / "box.vrq");
    EXPECT_EQ(observer.questions.size(), 1u);
    EXPECT_TRUE(result.passwordUnconfirmed);
    EXPECT_FALSE(result.AllWritten());
    EXPECT_THAT(out.Names(), ElementsAre("data", "more"));
    EXPECT_NE(ReadAll(out / "data"), std::string(1000, 'd'));
}

// A password block that decodes to the password with its last byte changed: the last byte
// counts as any other.
TEST_F(FileRunFailure, EveryByteOfThePasswordBlockIsCompared) {
    CipherWorkspace ws;
    const FileKey key = PrepareFileKey(ws, kPassword);
    std::string stored = kPassword;
    stored.back() = 'D';
    for (int j = 1; j < key.residueCount; ++j)
        ws.BlockValues[j] = j <= key.blockLength ? static_cast<std::uint8_t>(stored[j - 1]) : 0;
    ComputeResidues(ws, 256, key.residueCount);
    std::string residues;
    for (int i = 2; i <= key.residueCount; ++i)
        residues.push_back(static_cast<char>(ws.Residues[i]));
    WriteAll(dir / "changed.vrq", ContainerEditor(container).SetPasswordBlock(residues).Bytes());
    observer.answers = {false, false};
    EXPECT_TRUE(Restore(kPassword, dir / "changed.vrq").passwordUnconfirmed);
    EXPECT_EQ(observer.questions.size(), 1u);
}

TEST_F(FileRunFailure, ContainerTruncatedAtEveryLengthOfItsLastBlock) {
    const int residueBytes = ContainerEditor(container).ResidueBytes();
    for (int cut = 1; cut <= residueBytes; ++cut) {
        WriteAll(dir / "cut.vrq", container.substr(0, container.size() - cut));
        observer = RecordingObserver();
        const auto result = Restore(kPassword, dir / "cut.vrq");
        EXPECT_EQ(result.status, FileRunStatus::Failed);
        EXPECT_EQ(result.filesWritten, 1);
        ASSERT_GE(observer.lines.size(), 2u);
        EXPECT_THAT(observer.lines[observer.lines.size() - 2],
                    HasSubstr("ends before the last block of more"));
        EXPECT_EQ(observer.lines.back(), " Entry 2 was not restored");
        EXPECT_THAT(out.Names(), ElementsAre("data"));  // no partial "more"
        std::filesystem::remove(out / "data");
    }
}

TEST_F(FileRunFailure, ShortHeadersAndDamagedFields) {
    for (std::size_t size : {0u, 2u, 4u, 10u}) {
        WriteAll(dir / "short.vrq", container.substr(0, size));
        observer = RecordingObserver();
        EXPECT_EQ(Restore(kPassword, dir / "short.vrq").status, FileRunStatus::Failed) << size;
        ASSERT_EQ(observer.lines.size(), 1u);
    }
    for (std::int32_t length : {-1, 256, 0x7fffffff}) {
        ContainerEditor damaged(container);
        damaged.Entry(1).SetNameLength(length);
        WriteAll(dir / "damaged.vrq", damaged.Bytes());
        observer = RecordingObserver();
        EXPECT_EQ(Restore(kPassword, dir / "damaged.vrq").status, FileRunStatus::Failed);
        EXPECT_THAT(observer.lines, ElementsAre(report::BadNameLength(1, length).Filled(),
                                                " Entries 1 to 2 were not restored"));
    }
    EXPECT_THAT(out.Names(), IsEmpty());
}

// A size below 0 still gives the entry a length (size div L + 1 blocks, none below 1), so only
// that entry is lost; a file count below 0 leaves nothing to go on with, and 0 is an empty run.
// At each end of the block count: -1 (one block), -L (none), -2L (-1 blocks: none).
TEST_F(FileRunFailure, ANegativeSizeCostsOnlyItsEntryAndANegativeCountTheRun) {
    const std::string built = testing::BuildContainer(
        kPassword, {{"empty", ""}, {"two", "second file"}, {"three", "third"}}, kFileRunClock);
    const auto skippedLine = [](std::int32_t size) {
        return " Entry 1 \"empty\" has a size of " + std::to_string(size) +
               " bytes: the encrypted file is damaged there; the entry was not restored";
    };
    const std::int32_t length = static_cast<std::int32_t>(sizeof kPassword - 1);
    const struct {
        bool fileCount;  // the file count, or else the first entry's size
        std::int32_t value;
        bool blockless;                  // the entry's one block taken out
        std::vector<std::string> lines;  // the report lines that are not an entry's figures
        std::vector<std::string> names;
    } cases[] = {
        {false, -1, false, {skippedLine(-1)}, {"three", "two"}},
        {false, -length, true, {skippedLine(-length)}, {"three", "two"}},
        {false, -2 * length, true, {skippedLine(-2 * length)}, {"three", "two"}},
        {false, INT32_MIN, true, {skippedLine(INT32_MIN)}, {"three", "two"}},
        {true,
         -1,
         false,
         {" The encrypted file has a file count of -1: it is damaged, nothing was restored"},
         {}},
        {true, 0, false, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE((c.fileCount ? "file count: " : "size: ") + std::to_string(c.value));
        for (const std::string& name : out.Names())
            std::remove((out / name).c_str());
        ContainerEditor damaged(built);
        if (c.fileCount) {
            damaged.SetFileCount(c.value);
        } else {
            damaged.Entry(1).SetSize(c.value);
        }
        if (c.blockless) damaged.Entry(1).RemoveBlocks(1);
        WriteAll(dir / "negative.vrq", damaged.Bytes());
        observer = RecordingObserver();
        const FileRunResult result = Restore(kPassword, dir / "negative.vrq");
        EXPECT_EQ(result.status, c.value == 0 ? FileRunStatus::Completed : FileRunStatus::Failed);
        EXPECT_EQ(result.failure,
                  c.value == 0 ? kiv::FileRunFailure::None : kiv::FileRunFailure::ContainerDamaged);
        EXPECT_EQ(result.filesWritten, static_cast<int>(c.names.size()));
        std::vector<std::string> lines;
        for (const std::string& line : observer.lines)
            if (line.rfind(" Entry", 0) == 0 || line.rfind(" The", 0) == 0) lines.push_back(line);
        EXPECT_EQ(lines, c.lines);
        EXPECT_EQ(out.Names(), c.names);
        for (const std::string& name : c.names)
            EXPECT_EQ(ReadAll(out / name), name == "two" ? "second file" : "third");
    }
}

TEST_F(FileRunFailure, PlausibilityCheckStopsIn64BitsAndSaysWhere) {
    for (std::int32_t size : {5000, 0x7ffffff0}) {
        ContainerEditor damaged(container);
        damaged.Entry(1).SetSize(size);
        WriteAll(dir / "implausible.vrq", damaged.Bytes());
        observer = RecordingObserver();
        const auto result = Restore(kPassword, dir / "implausible.vrq");
        EXPECT_EQ(result.status, FileRunStatus::Failed);
        EXPECT_EQ(result.failure, kiv::FileRunFailure::ContainerDamaged);
        EXPECT_THAT(observer.lines,
                    ElementsAre(" Entry 1 \"data\" claims more blocks than the encrypted file "
                                "holds: it and the entries after it, up to entry 2, were not "
                                "restored"));
        EXPECT_THAT(out.Names(), IsEmpty());
        EXPECT_FALSE(observer.overallVisible);
    }
}

// A container whose entries are named by the test; blocks copied from a genuine one.
std::string WithNames(const std::string& container, const std::vector<std::string>& names) {
    // The genuine container holds one empty file, whose entry is a single final block.
    ContainerEditor edit(container);
    const std::string finalBlock = edit.Entry(1).Block(0);
    edit.RemoveEntries();
    for (const std::string& name : names)
        edit.AddEntry(name, 0, finalBlock);
    return edit.Bytes();
}

TEST_F(FileRunFailure, UnsafeStoredNamesAreSkipped) {
    WriteAll(dir / "x", "");
    ASSERT_TRUE(
        EncryptFiles(kPassword, {dir / "x"}, dir / "x.vrq", observer, kFileRunClock).AllWritten());
    const std::vector<std::string> names = {
        "", "../escape", "/etc/passwd", ".", "..", std::string("nul\0byte", 8), "evil.vrq", "fine"};
    WriteAll(out / "evil.vrq", WithNames(ReadAll(dir / "x.vrq"), names));
    observer = RecordingObserver();
    const auto result = DecryptFiles(kPassword, out / "evil.vrq", observer, "", kFileRunClock);
    EXPECT_EQ(result.status, FileRunStatus::Completed);
    EXPECT_EQ(result.entriesSkipped, 7);
    EXPECT_EQ(result.filesWritten, 1);
    EXPECT_FALSE(result.AllWritten());
    EXPECT_THAT(out.Names(), ElementsAre("evil.vrq", "fine"));
    EXPECT_EQ(observer.lines.size(), 7u + 7u);
    EXPECT_EQ(observer.lines[0], report::EntrySkipped(EntryProblem::NoName, "", 1).Filled());
    EXPECT_EQ(observer.lines[6],
              report::EntrySkipped(EntryProblem::IsContainer, "evil.vrq", 7).Filled());
    EXPECT_EQ(observer.lines[7], "fine");
}

// Past "Password is wrong" with Cancel, the bytes may be garbage: they never replace a file.
TEST_F(FileRunFailure, AnUnconfirmedPasswordWritesBesideExistingFiles) {
    struct Case {
        std::string stored, written;
    };
    const Case cases[] = {
        {"notes.txt", "notes (restored 3).txt"},  // "notes (restored 2).txt" is taken too
        {"README", "README (restored 2)"},
        {".profile", ".profile (restored 2)"},
        {"archive.tar.gz", "archive.tar (restored 2).gz"},
        {"fresh", "fresh"},  // nothing of that name: written under its own
    };
    TempFolder sources;
    std::vector<std::string> paths;
    for (const Case& c : cases) {
        WriteAll(sources / c.stored, "secret of " + c.stored);
        paths.push_back(sources / c.stored);
        if (c.stored != c.written) WriteAll(out / c.stored, "mine: " + c.stored);
    }
    WriteAll(out / "notes (restored 2).txt", "taken");
    ASSERT_TRUE(
        EncryptFiles(kPassword, paths, dir / "named.vrq", observer, kFileRunClock).AllWritten());
    std::string wrong = kPassword;
    wrong[0] = 'G';
    ASSERT_EQ(ResidueCount(wrong), ResidueCount(kPassword));

    observer = RecordingObserver();
    observer.answers = std::deque<bool>(13, false);
    const auto result = Restore(wrong, dir / "named.vrq");
    EXPECT_EQ(result.status, FileRunStatus::Completed);
    EXPECT_EQ(result.filesWritten, 5);
    EXPECT_FALSE(result.AllWritten());
    EXPECT_EQ(ReadAll(out / "notes (restored 2).txt"), "taken");
    for (const Case& c : cases) {
        EXPECT_TRUE(std::filesystem::exists(out / c.written)) << c.written;
        if (c.stored == c.written) continue;
        EXPECT_EQ(ReadAll(out / c.stored), "mine: " + c.stored);
        EXPECT_THAT(
            observer.lines,
            ::testing::Contains(" The password differs from the stored one, so \"" + c.stored +
                                "\" was not replaced: restored as \"" + c.written + "\""));
    }
    EXPECT_EQ(out.Names().size(), 10u);
}

TEST_F(FileRunFailure, SourcesOfOneNameAreRefusedBeforeAnythingIsWritten) {
    TempFolder other;
    WriteAll(other / "data", "another data");
    for (const auto& twins : {std::vector<std::string>{dir / "data", other / "data"},
                              std::vector<std::string>{dir / "data", dir / "more", dir / "data"}}) {
        observer = RecordingObserver();
        const auto result =
            EncryptFiles(kPassword, twins, dir / "both.vrq", observer, kFileRunClock);
        EXPECT_EQ(result.status, FileRunStatus::Refused);
        EXPECT_EQ(result.failure, kiv::FileRunFailure::OutputUnwritable);
        EXPECT_THAT(observer.messages,
                    ElementsAre("Two of the files to encrypt are named \"data\". An encrypted file "
                                "keeps only the names, so restoring it would give back just one "
                                "of them. Please rename one, or encrypt them separately."));
        EXPECT_THAT(dir.Names(), ElementsAre("box.vrq", "data", "more"));
    }
}

TEST_F(FileRunFailure, ARestoreNeverReplacesWhatItWroteOrTheContainer) {
    WriteAll(dir / "x", "");
    ASSERT_TRUE(
        EncryptFiles(kPassword, {dir / "x"}, dir / "x.vrq", observer, kFileRunClock).AllWritten());
    const std::string one = ReadAll(dir / "x.vrq");
    TempFolder elsewhere;
    struct Case {
        std::vector<std::string> names;
        std::string container, restored, target;  // restored: the path given to the run
        std::vector<std::string> lines;           // the report lines that are not figures
        std::string alias = "";  // a link to the first entry's name, in the folder beforehand
    };
    const Case cases[] = {
        {{"twin", "twin", "other"},
         "twins.vrq",
         "twins.vrq",
         "",
         {"twin", " Entry 2 \"twin\" has the name of a file restored earlier in this run; skipped",
          "other"}},
        // link.vrq -> real.vrq: the entry names the container's real name.
        {{"real.vrq", "fine"},
         "real.vrq",
         "link.vrq",
         "",
         {" Entry 1 \"real.vrq\" would replace the encrypted file itself; skipped", "fine"}},
        // Into another folder the container's own name is free.
        {{"box.vrq"}, "box.vrq", "box.vrq", elsewhere.path.string() + "/", {"box.vrq"}},
        // A link to a file restored earlier, which still waits for its name.
        {{"first", "alias"},
         "links.vrq",
         "links.vrq",
         "",
         {"first",
          " Entry 2 \"alias\" has the name of a file restored earlier in this run; skipped"},
         "alias"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.container);
        WriteAll(out / c.container, WithNames(one, c.names));
        if (c.restored != c.container) symlink(c.container.c_str(), (out / c.restored).c_str());
        if (!c.alias.empty()) symlink(c.names.front().c_str(), (out / c.alias).c_str());
        const std::string before = ReadAll(out / c.container);
        observer = RecordingObserver();
        const auto result =
            DecryptFiles(kPassword, out / c.restored, observer, c.target, kFileRunClock);
        std::vector<std::string> lines;
        for (const std::string& line : observer.lines)
            if (line.find(" = ") == std::string::npos) lines.push_back(line);
        EXPECT_EQ(lines, c.lines);
        EXPECT_EQ(result.entriesSkipped, static_cast<int>(c.lines.size()) - result.filesWritten);
        EXPECT_EQ(ReadAll(out / c.container), before);
    }
    EXPECT_TRUE(std::filesystem::exists(elsewhere / "box.vrq"));
}

// A stop names the entry and the entries not restored; a header count no password gives (below
// 6 or above 37) is no encrypted file at all, not a password of the wrong length.
TEST_F(FileRunFailure, DamagedContainersSayWhatWasNotRestored) {
    WriteAll(dir / "x", "");
    ASSERT_TRUE(
        EncryptFiles(kPassword, {dir / "x"}, dir / "x.vrq", observer, kFileRunClock).AllWritten());
    ContainerEditor skippedThenImplausible(WithNames(ReadAll(dir / "x.vrq"), {"../bad", "fine"}),
                                           sizeof kPassword - 1);
    skippedThenImplausible.Entry(2).SetSize(5000);
    struct Case {
        std::string bytes;
        std::vector<std::string> lines;
    };
    std::vector<Case> cases = {
        // head -c 100: the first entry's fields are whole, its blocks are not.
        {container.substr(0, 100),
         {" Entry 1 \"data\" claims more blocks than the encrypted file holds: it and the "
          "entries after it, up to entry 2, were not restored"}},
        {skippedThenImplausible.Bytes(),
         {" Entry 1 \"../bad\" has a folder in its name; skipped",
          " Entry 2 \"fine\" claims more blocks than the encrypted file holds: it was not "
          "restored"}},
    };
    for (std::int32_t count : {0, 5, 38, 0x01020304, -1}) {
        cases.push_back({ContainerEditor(container).SetResidueCount(count).Bytes(),
                         {" This is not an encrypted file: no password gives its "
                          "header count of " +
                          std::to_string(count)}});
    }
    for (const Case& c : cases) {
        WriteAll(dir / "cut.vrq", c.bytes);
        observer = RecordingObserver();
        observer.asks = true;  // looking at the files in the way first changes nothing here
        const auto result = Restore(kPassword, dir / "cut.vrq");
        EXPECT_EQ(result.status, FileRunStatus::Failed);
        EXPECT_EQ(result.failure, kiv::FileRunFailure::ContainerDamaged);
        EXPECT_EQ(observer.lines, c.lines);
        EXPECT_THAT(observer.messages, IsEmpty());
        EXPECT_EQ(observer.passwordBoxShown, 0);
        EXPECT_THAT(out.Names(), IsEmpty());
    }
}

TEST_F(FileRunFailure, CancelledRunsLeaveNothingHalfWritten) {
    WriteAll(dir / "big", std::string(3 << 20, 'b'));
    observer.cancelAfterPositions = 1;
    EXPECT_EQ(
        EncryptFiles(kPassword, {dir / "big"}, dir / "big.vrq", observer, kFileRunClock).status,
        FileRunStatus::Cancelled);
    EXPECT_THAT(dir.Names(), ElementsAre("big", "box.vrq", "data", "more"));
    observer = RecordingObserver();
    ASSERT_TRUE(EncryptFiles(kPassword, {dir / "big"}, dir / "big.vrq", observer, kFileRunClock)
                    .AllWritten());
    observer = RecordingObserver();
    observer.cancelAfterPositions = 1;
    EXPECT_EQ(Restore(kPassword, dir / "big.vrq").status, FileRunStatus::Cancelled);
    EXPECT_THAT(out.Names(), IsEmpty());
    // Also while a file in the way, differing only in its last byte, is compared.
    const std::string edited = std::string((3 << 20) - 1, 'b') + "B";
    WriteAll(out / "big", edited);
    observer = RecordingObserver();
    observer.asks = true;
    observer.cancelAfterPositions = 1;
    EXPECT_EQ(Restore(kPassword, dir / "big.vrq").status, FileRunStatus::Cancelled);
    EXPECT_THAT(observer.inTheWay, IsEmpty());
    EXPECT_EQ(ReadAll(out / "big"), edited);
}

// A name that was free when the restore looked is not replaced when another program takes it
// before the restore gets there: that entry fails instead, and with it the batch it waits in.
TEST_F(FileRunFailure, ANameFreeWhenTheRestoreLookedIsNeverReplaced) {
    for (const std::int64_t batch : {1, 2}) {
        SCOPED_TRACE(batch);
        WriteAll(out / "data", "in the way");
        std::remove((out / "more").c_str());
        observer = RecordingObserver();
        observer.asks = true;
        observer.whenAsked = [&] { WriteAll(out / "more", "taken meanwhile"); };
        FileRunSpeed speed;
        speed.batchFiles = batch;
        const auto result =
            DecryptFiles(kPassword, dir / "box.vrq", observer, out / "", kFileRunClock, speed);
        EXPECT_THAT(observer.inTheWay, ElementsAre("data"));
        EXPECT_EQ(result.failureError, EEXIST);
        EXPECT_EQ(ReadAll(out / "data"), batch == 1 ? std::string(1000, 'd') : "in the way");
        EXPECT_EQ(ReadAll(out / "more"), "taken meanwhile");
    }
}

// Each file that waits for its name holds a descriptor: a batch stays within what the process
// may open, and when the limit is lowered while files wait, they get their names first.
TEST_F(FileRunFailure, ALowDescriptorLimitStillRestoresEveryFile) {
    std::vector<std::string> sources;
    for (int i = 0; i < 100; ++i) {
        sources.push_back(dir / ("s" + std::to_string(i)));
        WriteAll(sources.back(), std::string(static_cast<std::size_t>(i), 'x'));
    }
    ASSERT_TRUE(
        EncryptFiles(kPassword, sources, dir / "many.vrq", observer, kFileRunClock).AllWritten());
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &old), 0);
    const auto lower = [&](rlim_t to) {
        rlimit low = old;
        low.rlim_cur = to;
        ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &low), 0);
    };
    struct Lowering : RecordingObserver {
        std::function<void()> atFirstFile;
        void SetFileRange(int, int) override {
            std::exchange(atFirstFile, [] {})();
        }
    };
    for (const bool meanwhile : {false, true}) {
        SCOPED_TRACE(meanwhile ? "lowered while files wait" : "64 from the start");
        std::filesystem::remove_all(out.path);
        std::filesystem::create_directory(out.path);
        Lowering lowering;
        lowering.atFirstFile = [&] {
            // Room for a few descriptors more than are open now.
            std::set<int> open;
            for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
                open.insert(std::stoi(entry.path().filename().string()));
            int limit = 0;
            for (int free = 0; free < 4; ++limit)
                free += open.count(limit) == 0 ? 1 : 0;
            if (meanwhile) lower(static_cast<rlim_t>(limit));
        };
        if (!meanwhile) lower(64);
        const FileRunResult result =
            DecryptFiles(kPassword, dir / "many.vrq", lowering, out / "", kFileRunClock);
        setrlimit(RLIMIT_NOFILE, &old);
        EXPECT_TRUE(result.AllWritten()) << result.FailureReason();
        EXPECT_EQ(result.filesWritten, 100);
        EXPECT_EQ(lowering.lines.size(), 700u);
        EXPECT_EQ(ReadAll(out / "s99"), std::string(99, 'x'));
    }
}

TEST_F(FileRunFailure, ListingWithoutThePassword) {
    const ContainerListing listing = ListContainer(dir / "box.vrq");
    EXPECT_FALSE(listing.problem);
    EXPECT_EQ(listing.blockLength, 13);
    ASSERT_EQ(listing.entries.size(), 2u);
    EXPECT_EQ(listing.entries[0].name, "data");
    EXPECT_EQ(listing.entries[0].size, 1000);
    EXPECT_EQ(listing.entries[1].name, "more");
    const auto problem = [](const std::string& path) {
        const ContainerListing listing = ListContainer(path);
        return listing.problem ? listing.problem->Filled() : "none";
    };
    const std::string damaged = "is damaged: its entries do not fill it exactly";
    WriteAll(dir / "cut.vrq", container.substr(0, container.size() - 1));
    EXPECT_EQ(problem(dir / "cut.vrq"), damaged);
    WriteAll(dir / "long.vrq", container + "x");
    EXPECT_EQ(problem(dir / "long.vrq"), damaged);
    WriteAll(dir / "tiny.vrq", "ab");
    EXPECT_EQ(problem(dir / "tiny.vrq"), "is too short to be an encrypted file");
    // A file count at the least that is whole and one below: the two entries are left over.
    for (const std::int32_t count : {0, -1}) {
        WriteAll(dir / "counted.vrq", ContainerEditor(container).SetFileCount(count).Bytes());
        EXPECT_EQ(problem(dir / "counted.vrq"),
                  count == 0 ? damaged : "is damaged: its file count, -1, is negative");
    }

    // The greatest header count a password can give, with one empty entry: its final block
    // fills the file under any block length. One more is no container's.
    for (const std::int32_t count : {37, 38}) {
        const std::string block(static_cast<std::size_t>(count - 1), '\x07');
        WriteAll(dir / "edge.vrq",
                 ContainerEditor(std::string(4, '\0') + block + std::string(4, '\0'))
                     .SetResidueCount(count)
                     .AddEntry("e", 0, block)
                     .Bytes());
        const ContainerListing listing = ListContainer(dir / "edge.vrq");
        if (count == 37) {
            EXPECT_EQ(problem(dir / "edge.vrq"), "none");
            ASSERT_EQ(listing.entries.size(), 1u);
            EXPECT_EQ(listing.entries[0].name, "e");
        } else {
            EXPECT_EQ(problem(dir / "edge.vrq"),
                      "has a header count of 38, which no password gives");
        }
    }
}

}  // namespace
}  // namespace kiv
