#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>

#include "filecrypt/ContainerListing.h"
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

const FixedClock kClock(1765000000, LocalTime{2026, 12, 7, 11, 0, 0, 0});

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
    ASSERT_TRUE(
        EncryptFiles("password", {dir / "a.bin", dir / "empty"}, dir / "x.vrq", encrypting, kClock)
            .AllWritten());
    const std::string container = ReadAll(dir / "x.vrq");

    TempFolder out;
    RecordingObserver onDisk, inMemory;
    const auto disk =
        DecryptFiles("password", dir / "x.vrq", onDisk, out.path.string() + "/", kClock);
    MemoryFileStore files;
    files.Put("x.vrq", container);
    const auto memory =
        DecryptFiles("password", "x.vrq", inMemory, "out/", kClock, FileRunSpeed(), files);
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

    auto output = files.CreateOutput("late");
    output->Writer().Write(reinterpret_cast<const std::uint8_t*>("abc"), 3);
    EXPECT_EQ(files.Find("late"), nullptr);
    ASSERT_TRUE(output->Commit());
    EXPECT_EQ(*files.Find("late"), "abc");
}

}  // namespace
}  // namespace kiv
