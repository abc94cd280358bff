#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <random>

#include "filecrypt/ByteFile.h"
#include "filecrypt/FileDecryption.h"
#include "filecrypt/FileEncryption.h"
#include "filecrypt/LayoutContainer.h"
#include "filecrypt/OperationReport.h"
#include "filecrypt/internal/MappedReadGuard.h"
#include "support/FixedClock.h"
#include "support/RandomInput.h"
#include "support/RecordingObserver.h"
#include "support/TempFolder.h"

namespace kiv {
namespace {

using ::testing::ElementsAre;
using testing::RandomBytes;
using testing::ReadAll;
using testing::RecordingObserver;
using testing::TempFolder;
using testing::WriteAll;

// Cuts a file to nothing at the run's first check for a cancel, that is after its first chunk
// was written: the next chunk is then mapped already but not yet coded.
struct CuttingObserver : RecordingObserver {
    explicit CuttingObserver(std::filesystem::path victim) : path(std::move(victim)) {}
    bool CancelRequested() override {
        if (!cut) std::filesystem::resize_file(path, 0);
        cut = true;
        return false;
    }
    std::filesystem::path path;
    bool cut = false;
};

// Small chunks; one thread codes after the cut for certain, several may have coded before it.
FileRunSpeed Chunks(int threads) {
    FileRunSpeed speed;
    speed.threads = threads;
    speed.chunkBytes = 64 << 10;
    speed.parallelFrom = 0;
    return speed;
}

TEST(MappedRead, ASourceCutDuringTheRunFailsItAsChangedAndLeavesNoContainer) {
    for (const int threads : {1, 3}) {
        TempFolder dir;
        std::mt19937 rng(5);
        WriteAll(dir / "source", RandomBytes(rng, 1 << 20));
        CuttingObserver observer(dir / "source");
        const FileRunResult result = EncryptFiles("password", {dir / "source"}, dir / "box.vrq",
                                                  observer, kFileRunClock, Chunks(threads));
        EXPECT_EQ(result.status, FileRunStatus::Failed) << threads;
        EXPECT_EQ(result.failure, FileRunFailure::SourceUnreadable);
        EXPECT_EQ(result.failureError, 0) << "a file that shrank is no system error";
        EXPECT_EQ(result.FailureReason(), "The file changed length while it was read");
        EXPECT_THAT(observer.lines,
                    ElementsAre(std::string(WindowText(Message::EncryptReadNotOpen))));
        EXPECT_THAT(dir.Names(), ElementsAre("source"));
    }
}

TEST(MappedRead, AContainerCutDuringTheRunEndsAsACutContainer) {
    for (const int threads : {1, 3}) {
        TempFolder dir;
        std::mt19937 rng(6);
        WriteAll(dir / "source", RandomBytes(rng, 1 << 20));
        RecordingObserver made;
        ASSERT_TRUE(EncryptFiles("password", {dir / "source"}, dir / "box.vrq", made, kFileRunClock,
                                 Chunks(threads))
                        .AllWritten());
        TempFolder out;
        CuttingObserver observer(dir / "box.vrq");
        const FileRunResult result =
            DecryptFiles("password", dir / "box.vrq", observer, out.path.string() + "/",
                         kFileRunClock, Chunks(threads));
        EXPECT_EQ(result.status, FileRunStatus::Failed) << threads;
        EXPECT_EQ(result.failure, FileRunFailure::SourceUnreadable);
        EXPECT_EQ(result.FailureReason(), "The file changed length while it was read");
        EXPECT_THAT(observer.lines,
                    ::testing::Contains(report::EndsBeforeLastBlockOf("source").Filled()));
        EXPECT_TRUE(out.Names().empty());
    }
}

TEST(MappedRead, ViewsTakeWhatReadWouldAcrossBufferedMappedAndCopiedRuns) {
    TempFolder dir;
    std::mt19937 rng(7);
    const std::string content = RandomBytes(rng, (1 << 20) + 4099);
    WriteAll(dir / "file", content);
    ByteReader reader;
    ASSERT_TRUE(reader.Open(dir / "file"));
    std::uint8_t head[3];
    ASSERT_EQ(reader.Read(head, 3), 3u);  // the rest of a buffer's worth is buffered now
    std::size_t at = 3;
    ByteView view;
    // Small runs are copied, large ones mapped from an offset within a page; the last comes
    // up short at the end.
    for (const std::size_t n : {std::size_t{10}, std::size_t{200000}, std::size_t{5000},
                                std::size_t{300001}, std::size_t{1} << 20}) {
        const std::size_t got = reader.View(n, view);
        const std::size_t expected = std::min(n, content.size() - at);
        ASSERT_EQ(got, expected) << n;
        EXPECT_EQ(view.Mapped(), n >= 200000 && got == n) << n;
        ASSERT_EQ(std::string(reinterpret_cast<const char*>(view.data()), got),
                  content.substr(at, got))
            << n;
        at += got;
        EXPECT_EQ(reader.Position(), static_cast<std::int64_t>(at));
    }
    EXPECT_FALSE(reader.failed());
    // A view into the buffer keeps its bytes while the next one has the buffer filled again.
    ByteReader again;
    ASSERT_TRUE(again.Open(dir / "file"));
    ByteView first, second;
    ASSERT_EQ(again.View(1000, first), 1000u);
    ASSERT_EQ(again.Skip((1 << 20) - 1010), (1 << 20) - 1010);
    ASSERT_EQ(again.View(4000, second), 4000u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(first.data()), 1000),
              content.substr(0, 1000));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(second.data()), 4000),
              content.substr((1 << 20) - 10, 4000));
}

TEST(MappedReadGuard, EndsGuardedReadsPastAFilesEndAndPassesOtherSignalsOn) {
    TempFolder dir;
    WriteAll(dir / "file", std::string(3 * 4096, 'x'));
    const int fd = open((dir / "file").c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    void* mapping = mmap(nullptr, 3 * 4096, PROT_READ, MAP_SHARED, fd, 0);
    ASSERT_NE(mapping, MAP_FAILED);
    std::filesystem::resize_file(dir / "file", 4096);
    const auto* bytes = static_cast<const volatile std::uint8_t*>(mapping);
    int sum = 0;
    EXPECT_TRUE(MappedReadGuard::Run([&] { sum += bytes[100]; }));
    // Nested: the inner guard takes the fault, the outer goes on.
    bool inner = true;
    EXPECT_TRUE(MappedReadGuard::Run(
        [&] { inner = MappedReadGuard::Run([&] { sum += bytes[2 * 4096]; }); }));
    EXPECT_FALSE(inner);
    EXPECT_EQ(sum, 'x');
    munmap(mapping, 3 * 4096);
    close(fd);
    // Unguarded, a SIGBUS still goes where it went before the guard: to the default action, which
    // ends the process by it, or to a sanitizer's handler, which reports it and aborts.
    EXPECT_EXIT(
        {
            MappedReadGuard::Run([] {});
            raise(SIGBUS);
        },
        [](int status) { return WIFSIGNALED(status); }, "");
}

}  // namespace
}  // namespace kiv
