#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <random>

#include "filecrypt/ContainerListing.h"
#include "filecrypt/ContainerNames.h"
#include "filecrypt/FileDecryption.h"
#include "filecrypt/FileEncryption.h"
#include "filecrypt/LayoutContainer.h"
#include "filecrypt/MemoryFileStore.h"
#include "support/FixedClock.h"
#include "support/RecordingObserver.h"
#include "support/TempFolder.h"

namespace kiv {
namespace {

using testing::RandomBytes;
using testing::ReadAll;
using testing::RecordingObserver;
using testing::TempFolder;
using testing::WriteAll;

// Reads and skips in the given steps (negative: skip), from a file on disk and from the same
// bytes in memory; both must see the same bytes, positions and ends.
TEST(FileStore, MemoryReadsAsTheDiskDoes) {
    TempFolder dir;
    std::mt19937 rng(11);
    const std::string bytes = RandomBytes(rng, (1 << 20) + 4000);  // past the read buffer
    WriteAll(dir / "f", bytes);
    MemoryFileStore memory;
    memory.Put("f", bytes);
    const std::vector<std::vector<std::int64_t>> plans = {
        {4, 7, -3, 100, -(1 << 20), 5000},  // a skip past the buffer, a read at the end
        {(1 << 20) + 10, 1, -1, 3},         // one read larger than the buffer
        {0, 2, -((1 << 20) + 3995), 9},     // to the last bytes, then beyond
    };
    for (const auto& plan : plans) {
        ByteReader disk, mem;
        ASSERT_TRUE(DiskFileStore::Instance().OpenInput(dir / "f", disk));
        ASSERT_TRUE(memory.OpenInput("f", mem));
        EXPECT_EQ(mem.Size(), disk.Size());
        for (const std::int64_t step : plan) {
            if (step < 0) {
                EXPECT_EQ(mem.Skip(-step), disk.Skip(-step)) << step;
            } else {
                std::string a(static_cast<std::size_t>(step), 'a'), b = a;
                const std::size_t n = static_cast<std::size_t>(step);
                EXPECT_EQ(mem.Read(reinterpret_cast<std::uint8_t*>(a.data()), n),
                          disk.Read(reinterpret_cast<std::uint8_t*>(b.data()), n));
                EXPECT_EQ(a, b) << step;
            }
            EXPECT_EQ(mem.Position(), disk.Position());
        }
        EXPECT_FALSE(mem.failed());
    }
    ByteReader missing;
    EXPECT_FALSE(memory.OpenInput("g", missing));
    EXPECT_EQ(errno, ENOENT);
}

// The same container restored and listed on disk and in memory gives the same files, report
// lines and listing; an output appears in memory only when it is committed.
TEST(FileStore, RestoreInMemoryMatchesTheDisk) {
    TempFolder dir;
    std::mt19937 rng(12);
    WriteAll(dir / "a.bin", RandomBytes(rng, 3000));
    WriteAll(dir / "empty", "");
    RecordingObserver encrypting;
    ASSERT_TRUE(EncryptFiles("password", {dir / "a.bin", dir / "empty"}, dir / "x.vrq", encrypting,
                             kFileRunClock)
                    .AllWritten());
    const std::string container = ReadAll(dir / "x.vrq");

    TempFolder out;
    RecordingObserver onDisk, inMemory;
    const auto disk =
        DecryptFiles("password", dir / "x.vrq", onDisk, out.path.string() + "/", kFileRunClock);
    MemoryFileStore files;
    files.Put("x.vrq", container);
    const auto memory =
        DecryptFiles("password", "x.vrq", inMemory, "out/", kFileRunClock, FileRunSpeed(), files);
    ASSERT_TRUE(disk.AllWritten());
    ASSERT_TRUE(memory.AllWritten());
    EXPECT_EQ(inMemory.lines, onDisk.lines);
    EXPECT_THAT(out.Names(), ::testing::ElementsAre("a.bin", "empty"));
    ASSERT_EQ(files.Files().size(), 3u);
    EXPECT_EQ(*files.Find("out/a.bin"), ReadAll(out / "a.bin"));
    EXPECT_EQ(*files.Find("out/empty"), "");

    const ContainerListing listed = ListContainer("x.vrq", files);
    EXPECT_EQ(listed.blockLength, 8);
    ASSERT_EQ(listed.entries.size(), 2u);
    EXPECT_EQ(listed.entries[0].size, 3000);

    auto output = files.CreateOutput("late", ExistingFile::Replace);
    auto kept = files.CreateOutput("late", ExistingFile::Keep);
    output->Writer().Write(reinterpret_cast<const std::uint8_t*>("abc"), 3);
    EXPECT_EQ(files.Find("late"), nullptr);
    ASSERT_TRUE(output->Commit());
    EXPECT_EQ(*files.Find("late"), "abc");
    EXPECT_FALSE(kept->Commit());
    EXPECT_EQ(errno, EEXIST);
    EXPECT_EQ(*files.Find("late"), "abc");
}

// The restore's safety checks ask the store, so they hold in memory as on disk: with the
// container in the target folder, an entry named after it and a second entry of an earlier
// name are skipped; after an unconfirmed password an existing file is kept and the entry is
// written under a free name. Both stores end with the same files and report lines.
TEST(FileStore, MemoryRestoreKeepsTheSafetyChecks) {
    // Two entries of one name and one named after the container: no encryption writes these.
    const std::string container = testing::BuildContainer(
        "password", {{"note", "first"}, {"note", "second"}, {"c.vrq", "not the container"}},
        kFileRunClock);
    const std::string skippedContainer =
        report::EntrySkipped(EntryProblem::IsContainer, "c.vrq", 3).Filled();
    const std::string skippedRepeat =
        report::EntrySkipped(EntryProblem::RestoredEarlier, "note", 2).Filled();

    struct Case {
        const char* password;
        std::map<std::string, std::string> files;  // the target folder afterwards
        std::vector<std::string> reportLines;      // among the lines, in this order
    };
    const std::vector<Case> cases = {
        {"password",
         {{"c.vrq", container}, {"note", "first"}},
         {"note", skippedRepeat, skippedContainer}},
        {"passw0rd",
         {{"c.vrq", container}, {"note", "old"}, {"note (restored 2)", ""}},
         {"note", report::RestoredUnderAnotherName("note", "note (restored 2)").Filled(),
          skippedRepeat, skippedContainer}},
    };
    for (const Case& c : cases) {
        TempFolder out;
        WriteAll(out / "c.vrq", container);
        WriteAll(out / "note", "old");
        MemoryFileStore memory;
        memory.Put("out/c.vrq", container);
        memory.Put("out/note", "old");
        RecordingObserver onDisk, inMemory;
        onDisk.answers.assign(8, false);  // go on past every differing byte
        inMemory.answers = onDisk.answers;
        const auto disk = DecryptFiles(c.password, out / "c.vrq", onDisk, "", kFileRunClock);
        const auto mem = DecryptFiles(c.password, "out/c.vrq", inMemory, "", kFileRunClock,
                                      FileRunSpeed(), memory);
        EXPECT_EQ(disk.filesWritten, 1) << c.password;
        EXPECT_EQ(mem.filesWritten, 1) << c.password;
        EXPECT_EQ(disk.entriesSkipped, 2) << c.password;
        EXPECT_EQ(mem.entriesSkipped, 2) << c.password;
        EXPECT_EQ(inMemory.lines, onDisk.lines) << c.password;
        std::vector<std::string> found;
        for (const std::string& line : onDisk.lines)
            if (std::find(c.reportLines.begin(), c.reportLines.end(), line) != c.reportLines.end())
                found.push_back(line);
        EXPECT_EQ(found, c.reportLines) << c.password;

        std::map<std::string, std::string> onDiskFiles, inMemoryFiles;
        for (const std::string& name : out.Names())
            onDiskFiles[name] = ReadAll(out / name);
        for (const auto& [path, bytes] : memory.Files())
            inMemoryFiles[path.substr(4)] = bytes;
        if (std::string(c.password) == "passw0rd") {  // garbage of the right length
            ASSERT_EQ(onDiskFiles.count("note (restored 2)"), 1u);
            EXPECT_EQ(onDiskFiles["note (restored 2)"].size(), 5u);
            onDiskFiles["note (restored 2)"] = inMemoryFiles["note (restored 2)"] = "";
        }
        EXPECT_EQ(onDiskFiles, c.files) << c.password;
        EXPECT_EQ(inMemoryFiles, c.files) << c.password;
    }

    // A replaced file keeps its identity, which its readers report too.
    MemoryFileStore store;
    store.Put("x", "1");
    store.Put("y", "2");
    store.Put("x", "3");
    ByteReader reader;
    ASSERT_TRUE(store.OpenInput("x", reader));
    EXPECT_EQ(store.IdentityOf("x"), FileIdentity(reader.Device(), reader.Inode()));
    EXPECT_NE(store.IdentityOf("x"), store.IdentityOf("y"));
    EXPECT_EQ(store.IdentityOf("z"), std::nullopt);
    EXPECT_TRUE(store.NameTaken("y"));
    EXPECT_FALSE(store.NameTaken("z"));
}

// A FAT image mounted through FUSE, as a red team met a folder that ignores letter case and
// hands out a new inode at every lookup. Unmounted with the object; Mounted() is false where
// fusefat, mkfs.vfat or FUSE itself is missing.
class FatMount {
  public:
    FatMount() {
        const std::string image = store / "fat.img";
        const std::string command = "truncate -s 8M '" + image + "' && mkfs.vfat '" + image +
                                    "' >/dev/null 2>&1 && fusefat -o rw+ '" + image + "' '" +
                                    mount.path.string() + "' >/dev/null 2>&1";
        mounted_ = std::system(command.c_str()) == 0 &&
                   std::system(("mountpoint -q '" + mount.path.string() + "'").c_str()) == 0;
    }
    ~FatMount() {
        if (mounted_) {
            [[maybe_unused]] const int ignored =
                std::system(("fusermount -u '" + mount.path.string() + "'").c_str());
        }
    }
    bool Mounted() const { return mounted_; }

    TempFolder store, mount;

  private:
    bool mounted_ = false;
};

// In a folder that ignores letter case, "X.VRQ" is the container "x.vrq" and "a.txt" the file
// "A.txt" restored before it, though every lookup gives them new identities; both entries are
// skipped. A folder that minds case restores all three. In memory, and on a real FAT mount.
TEST(FileStore, AFolderThatIgnoresCaseKeepsTheContainerAndEarlierFiles) {
    const std::string container = testing::BuildContainer(
        "password", {{"A.txt", "first"}, {"a.txt", "second"}, {"X.VRQ", "not it"}}, kFileRunClock);
    const std::vector<std::string> foldedLines = {
        report::EntrySkipped(EntryProblem::RestoredEarlier, "a.txt", 2).Filled(),
        report::EntrySkipped(EntryProblem::IsContainer, "X.VRQ", 3).Filled()};
    for (const auto names :
         {MemoryFileStore::Names::Exact, MemoryFileStore::Names::FoldedWithoutStableIdentity}) {
        const bool folded = names != MemoryFileStore::Names::Exact;
        MemoryFileStore files(names);
        files.Put("d/x.vrq", container);
        RecordingObserver observer;
        const auto result =
            DecryptFiles("password", "d/x.vrq", observer, "", kFileRunClock, FileRunSpeed(), files);
        EXPECT_EQ(result.filesWritten, folded ? 1 : 3);
        EXPECT_EQ(result.entriesSkipped, folded ? 2 : 0);
        EXPECT_EQ(*files.Find("d/x.vrq"), container);
        EXPECT_EQ(*files.Find("d/A.txt"), "first");
        EXPECT_EQ(*files.Find("d/a.txt"), folded ? "first" : "second");
        for (const std::string& line : foldedLines)
            EXPECT_EQ(std::count(observer.lines.begin(), observer.lines.end(), line), folded);
    }

    FatMount fat;
    if (!fat.Mounted()) GTEST_SKIP() << "no FAT image could be mounted through FUSE";
    WriteAll(fat.mount / "x.vrq", container);
    RecordingObserver observer;
    const auto result = DecryptFiles("password", fat.mount / "x.vrq", observer);
    EXPECT_EQ(result.filesWritten, 1);
    EXPECT_EQ(result.entriesSkipped, 2);
    EXPECT_THAT(fat.mount.Names(), ::testing::ElementsAre("A.txt", "x.vrq"));
    EXPECT_EQ(ReadAll(fat.mount / "x.vrq"), container);
    EXPECT_EQ(ReadAll(fat.mount / "A.txt"), "first");
    EXPECT_TRUE(DiskFileStore::Instance().FoldsLetterCase(fat.mount.path.string() + "/"));
    EXPECT_FALSE(DiskFileStore::Instance().FoldsLetterCase(fat.store.path.string() + "/"));
}

TEST(FileStore, FoldedNamesLowerTheLettersOfUtf8Text) {
    EXPECT_EQ(FoldedName("X.VRQ"), "x.vrq");
    EXPECT_EQ(FoldedName("\xc3\x84RGER.TXT"), "\xc3\xa4rger.txt");                  // Ä
    EXPECT_EQ(FoldedName("\xce\xa3\xce\x9f\xce\xa6"), "\xcf\x83\xce\xbf\xcf\x86");  // ΣΟΦ
    EXPECT_EQ(FoldedName("A\xff\xc3"
                         "B\xe2\x82"),
              "a\xff\xc3"
              "b\xe2\x82");  // no UTF-8: kept
}

}  // namespace
}  // namespace kiv
