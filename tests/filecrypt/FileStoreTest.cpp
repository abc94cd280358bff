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
#include "support/BindMount.h"
#include "support/FatMount.h"
#include "support/FixedClock.h"
#include "support/RandomInput.h"
#include "support/RecordingObserver.h"
#include "support/TempFolder.h"

namespace kiv {
namespace {

using testing::BindMount;
using testing::FatMount;
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

    // Bytes are compared in place, past the buffer's length, the readers' positions kept; the
    // first differing byte and one byte more or less tell two files apart.
    std::string changed = bytes, first = bytes;
    changed[1 << 20] ^= 1;
    first[0] ^= 1;
    memory.Put("same", bytes);
    memory.Put("changed", changed);
    memory.Put("shorter", bytes.substr(0, bytes.size() - 1));
    memory.Put("first", first);
    ByteReader disk;
    ASSERT_TRUE(DiskFileStore::Instance().OpenInput(dir / "f", disk));
    ASSERT_EQ(disk.Skip(7), 7);
    for (const auto& [name, same] : {std::pair("same", true), std::pair("changed", false),
                                     std::pair("shorter", false), std::pair("first", false)}) {
        ByteReader other;
        ASSERT_TRUE(memory.OpenInput(name, other));
        EXPECT_EQ(disk.HoldsSameBytesAs(other), same) << name;
        EXPECT_EQ(other.HoldsSameBytesAs(disk), same) << name;
        EXPECT_EQ(other.Position(), 0);
    }
    EXPECT_EQ(disk.Position(), 7);
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
// written under a free name, one that no earlier entry's file has taken either, though that file
// may still wait for its name. Both stores end with the same files and report lines.
TEST(FileStore, MemoryRestoreKeepsTheSafetyChecks) {
    // Two entries of one name and one named after the container: no encryption writes these.
    const std::string container = testing::BuildContainer("password",
                                                          {{"note (restored 2)", "third"},
                                                           {"note", "first"},
                                                           {"note", "second"},
                                                           {"c.vrq", "not the container"}},
                                                          kFileRunClock);
    const std::string skippedContainer =
        report::EntrySkipped(EntryProblem::IsContainer, "c.vrq", 4).Filled();
    const std::string skippedRepeat =
        report::EntrySkipped(EntryProblem::RestoredEarlier, "note", 3).Filled();

    struct Case {
        const char* password;
        std::map<std::string, std::string> files;  // the target folder afterwards
        std::vector<std::string> reportLines;      // among the lines, in this order
    };
    const std::vector<Case> cases = {
        {"password",
         {{"c.vrq", container}, {"note", "first"}, {"note (restored 2)", "third"}},
         {"note", skippedRepeat, skippedContainer}},
        {"passw0rd",
         {{"c.vrq", container},
          {"note", "old"},
          {"note (restored 2)", ""},
          {"note (restored 3)", ""}},
         {"note", report::RestoredUnderAnotherName("note", "note (restored 3)").Filled(),
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
        EXPECT_EQ(disk.filesWritten, 2) << c.password;
        EXPECT_EQ(mem.filesWritten, 2) << c.password;
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
            for (const char* copy : {"note (restored 2)", "note (restored 3)"}) {
                ASSERT_EQ(onDiskFiles.count(copy), 1u);
                EXPECT_EQ(onDiskFiles[copy].size(), 5u);
                onDiskFiles[copy] = inMemoryFiles[copy] = "";
            }
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

// The names of files in folder, sorted.
std::vector<std::string> NamesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// In a folder that ignores letter case, "X.VRQ" is the container "x.vrq" and "a.txt" the file
// "A.txt" restored before it, though every lookup gives them new identities; both entries are
// skipped, also when the folder is given in another spelling ("D/" for "d/"). A folder that
// minds case restores all three. An encryption's output there is a source under another
// spelling. In memory, and on a real FAT mount and a bindfs view of the container's folder.
TEST(FileStore, AFolderThatIgnoresCaseKeepsTheContainerAndEarlierFiles) {
    const std::string container = testing::BuildContainer(
        "password", {{"A.txt", "first"}, {"a.txt", "second"}, {"X.VRQ", "not it"}}, kFileRunClock);
    const std::vector<std::string> foldedLines = {
        report::EntrySkipped(EntryProblem::RestoredEarlier, "a.txt", 2).Filled(),
        report::EntrySkipped(EntryProblem::IsContainer, "X.VRQ", 3).Filled()};
    for (const auto names :
         {MemoryFileStore::Names::Exact, MemoryFileStore::Names::FoldedWithoutStableIdentity}) {
        for (const std::string into : {"", "D/"}) {
            SCOPED_TRACE(into);
            const bool folded = names != MemoryFileStore::Names::Exact;
            const std::string folder = into.empty() ? "d/" : into;
            MemoryFileStore files(names);
            files.Put("d/x.vrq", container);
            files.Put("d/src.txt", "source");
            RecordingObserver observer;
            const auto result = DecryptFiles("password", "d/x.vrq", observer, into, kFileRunClock,
                                             FileRunSpeed(), files);
            EXPECT_EQ(result.filesWritten, folded ? 1 : 3);
            EXPECT_EQ(result.entriesSkipped, folded ? 2 : 0);
            EXPECT_EQ(*files.Find("d/x.vrq"), container);
            EXPECT_EQ(*files.Find(folder + "A.txt"), "first");
            EXPECT_EQ(*files.Find(folder + "a.txt"), folded ? "first" : "second");
            for (const std::string& line : foldedLines)
                EXPECT_EQ(std::count(observer.lines.begin(), observer.lines.end(), line), folded);
            EXPECT_EQ(EncryptFiles("password", {"d/src.txt"}, into + "SRC.TXT", observer,
                                   kFileRunClock, FileRunSpeed(), files)
                          .status,
                      folded && !into.empty() ? FileRunStatus::Refused : FileRunStatus::Completed);
            EXPECT_EQ(*files.Find("d/src.txt"), "source");
        }
    }

    FatMount fat;
    BindMount view;
    if (!fat.Mounted() || !view.Mounted())
        GTEST_SKIP() << "no FAT image or bindfs view could be mounted through FUSE";
    const std::string sub = fat.mount / "sub", under = view.under.path.string();
    std::filesystem::create_directory(sub);
    const struct {
        std::string container, into, folder;
        std::vector<std::string> names;  // in folder afterwards
    } restores[] = {
        {sub + "/x.vrq", "", sub, {"A.txt", "x.vrq"}},
        {sub + "/x.vrq", fat.mount / "SUB/", sub, {"A.txt", "x.vrq"}},
        {under + "/X.VRQ", view.path() + "/", under, {"A.txt", "X.VRQ", "a.txt"}},
    };
    for (const auto& c : restores) {
        SCOPED_TRACE(c.container + " into " + c.into);
        for (const std::string& name : NamesIn(c.folder))
            std::filesystem::remove(c.folder + "/" + name);
        WriteAll(c.container, container);
        RecordingObserver observer;
        const auto result = DecryptFiles("password", c.container, observer, c.into);
        EXPECT_EQ(result.filesWritten + result.entriesSkipped, 3);
        EXPECT_THAT(observer.lines, ::testing::Contains(foldedLines[1]));
        EXPECT_EQ(NamesIn(c.folder), c.names);
        EXPECT_EQ(ReadAll(c.container), container);
        EXPECT_EQ(ReadAll(c.folder + "/A.txt"), "first");
    }
    // An output that is the source in another spelling, or seen through the view.
    WriteAll(sub + "/src.txt", "source");
    WriteAll(under + "/src.txt", "source");
    for (const auto& [source, output] : {std::pair(sub + "/src.txt", fat.mount / "SUB/SRC.TXT"),
                                         std::pair(under + "/src.txt", view.path() + "/src.txt")}) {
        RecordingObserver observer;
        EXPECT_EQ(EncryptFiles("password", {source}, output, observer).status,
                  FileRunStatus::Refused)
            << output;
        EXPECT_EQ(ReadAll(source), "source");
    }
    EXPECT_TRUE(DiskFileStore::Instance().FoldsLetterCase(sub + "/"));
    EXPECT_FALSE(DiskFileStore::Instance().FoldsLetterCase(view.path() + "/"));
}

TEST(FileStore, FoldedNamesLowerTheLettersOfUtf8Text) {
    // The ends of the letter ranges and the bytes beside them.
    EXPECT_EQ(FoldedName("@AZ[`az{"), "@az[`az{");
    EXPECT_EQ(CaseTurned("@AZ[`az{\xc3\x84"), "@az[`AZ{\xc3\x84");
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
