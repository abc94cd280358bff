#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <random>

#include "filecrypt/FileDecryption.h"
#include "filecrypt/FileEncryption.h"
#include "filecrypt/LayoutContainer.h"
#include "filecrypt/internal/ChunkWorkers.h"
#include "residue/ResidueDecoding.h"
#include "support/FixedClock.h"
#include "support/RandomInput.h"
#include "support/RecordingObserver.h"
#include "support/TempFolder.h"

namespace kiv {
namespace {

using testing::BuildContainer;
using testing::DigitCountEqualsLength;
using ::testing::ElementsAre;
using testing::RandomBytes;
using testing::ReadAll;
using testing::RecordingObserver;
using testing::TempFolder;
using testing::WriteAll;

// Every thread, the vector code, small chunks and no size threshold: even small files are split
// into many chunks and pieces shared between threads.
FileRunSpeed Fast() {
    FileRunSpeed speed;
    speed.threads = 3;
    speed.chunkBytes = 64 << 10;
    speed.parallelFrom = 0;
    return speed;
}

// One thread, the portable code; the chunks of Fast, so that the bar shows the same positions.
FileRunSpeed Plain() {
    FileRunSpeed speed;
    speed.kernel = InstructionSet::Portable;
    speed.threads = 1;
    speed.chunkBytes = 64 << 10;
    return speed;
}

// The first random password of the given length and byte range that has the property.
template <typename Property>
std::string FindPassword(int length, int lowest, int span, Property property) {
    std::mt19937 rng(3);
    for (;;) {
        std::string password;
        for (int i = 0; i < length; ++i)
            password.push_back(static_cast<char>(lowest + static_cast<int>(rng() % span)));
        if (property(password)) return password;
    }
}

std::string HeadroomPassword() {
    return FindPassword(14, 33, 90, DigitCountEqualsLength);
}

std::string RepeatedModuliPassword() {
    return FindPassword(9, 128, 128, [](const std::string& password) {
        CipherWorkspace ws;
        return !PrepareFileKey(ws, password).distinctModuli;
    });
}

class ParallelRun : public ::testing::Test {
  protected:
    void SetUp() override {
        std::mt19937 rng(11);
        files = {{"big", RandomBytes(rng, (2 << 20) + 12345)},
                 {"text", std::string(700000, 'x') + "tail"},
                 {"empty", ""},
                 {"small", RandomBytes(rng, 1001)}};
        for (const auto& [name, content] : files) {
            WriteAll(dir / name, content);
            paths.push_back(dir / name);
        }
    }

    std::vector<std::pair<std::string, std::string>> files;
    std::vector<std::string> paths;
    TempFolder dir;
};

TEST_F(ParallelRun, ContainersAndRestoresEqualThoseOfOnePortableThread) {
    for (const std::string& password :
         {std::string("abc"), std::string("eight888"), std::string("seventeen chars!!"),
          std::string("twenty-three characters"), HeadroomPassword()}) {
        RecordingObserver fast, plain;
        ASSERT_TRUE(EncryptFiles(password, paths, dir / "fast.vrq", fast, kFileRunClock, Fast())
                        .AllWritten());
        ASSERT_TRUE(EncryptFiles(password, paths, dir / "plain.vrq", plain, kFileRunClock, Plain())
                        .AllWritten());
        const std::string container = ReadAll(dir / "fast.vrq");
        ASSERT_EQ(container, ReadAll(dir / "plain.vrq")) << password;
        EXPECT_EQ(fast.filePositions, plain.filePositions);
        EXPECT_EQ(fast.lines, plain.lines);
        if (password.size() == 23) {
            EXPECT_EQ(container, BuildContainer(password, files, kFileRunClock));
        }

        for (const FileRunSpeed& speed : {Fast(), Plain()}) {
            TempFolder out;
            RecordingObserver observer;
            ASSERT_TRUE(DecryptFiles(password, dir / "fast.vrq", observer, out.path.string() + "/",
                                     kFileRunClock, speed)
                            .AllWritten())
                << password;
            EXPECT_TRUE(observer.questions.empty());
            for (const auto& [name, content] : files)
                ASSERT_EQ(ReadAll(out / name), content) << name;
        }
    }
}

TEST_F(ParallelRun, RepeatedModuliContainersRestoreAsOnOneThread) {
    // Made elsewhere: decoded through the workspace, which only one thread may use.
    const std::string password = RepeatedModuliPassword();
    WriteAll(dir / "other.vrq", BuildContainer(password, {files[0], files[1]}, kFileRunClock));
    std::vector<std::string> restored;
    for (const FileRunSpeed& speed : {Fast(), Plain()}) {
        TempFolder out;
        RecordingObserver observer;
        observer.answers.assign(64, false);  // go on, whatever the password block says
        EXPECT_EQ(DecryptFiles(password, dir / "other.vrq", observer, out.path.string() + "/",
                               kFileRunClock, speed)
                      .status,
                  FileRunStatus::Completed);
        restored.push_back(ReadAll(out / "big") + ReadAll(out / "text"));
    }
    EXPECT_EQ(restored[0].size(), files[0].second.size() + files[1].second.size());
    EXPECT_EQ(restored[0], restored[1]);
}

TEST_F(ParallelRun, CancelAndTruncationLeaveNothingBehind) {
    RecordingObserver observer;
    observer.cancelAfterPositions = 1;
    EXPECT_EQ(
        EncryptFiles("cancelled", {dir / "big"}, dir / "big.vrq", observer, kFileRunClock, Fast())
            .status,
        FileRunStatus::Cancelled);
    EXPECT_THAT(dir.Names(), ElementsAre("big", "empty", "small", "text"));

    observer = RecordingObserver();
    ASSERT_TRUE(
        EncryptFiles("cancelled", {dir / "big"}, dir / "big.vrq", observer, kFileRunClock, Fast())
            .AllWritten());
    const std::string container = ReadAll(dir / "big.vrq");
    TempFolder out;
    observer = RecordingObserver();
    observer.cancelAfterPositions = 1;
    EXPECT_EQ(DecryptFiles("cancelled", dir / "big.vrq", observer, out.path.string() + "/",
                           kFileRunClock, Fast())
                  .status,
              FileRunStatus::Cancelled);
    EXPECT_TRUE(out.Names().empty());

    // Cut within the blocks the plausibility check lets pass, and cut far enough for it to stop.
    for (const std::size_t cut :
         {container.size() - 1, container.size() - 20, container.size() / 2}) {
        WriteAll(dir / "cut.vrq", container.substr(0, cut));
        observer = RecordingObserver();
        EXPECT_EQ(DecryptFiles("cancelled", dir / "cut.vrq", observer, out.path.string() + "/",
                               kFileRunClock, Fast())
                      .status,
                  FileRunStatus::Failed);
        if (cut > container.size() / 2) {
            EXPECT_THAT(observer.lines, ElementsAre(report::EndsBeforeLastBlockOf("big").Filled(),
                                                    report::EntriesNotRestored(1, 1).Filled()));
        } else {
            EXPECT_THAT(observer.lines,
                        ElementsAre(report::ImplausibleEntry("big", 1, 1).Filled()));
        }
        EXPECT_TRUE(out.Names().empty());
    }
}

// A write that fails while the other threads code (here past the process's file size limit) ends
// the run with its reason (EFBIG), and nothing is left behind; in a child, whose limit dies with
// it.
TEST_F(ParallelRun, AWriteFailingMidRunSaysWhyAndLeavesNothing) {
    const auto runs = [&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{1 << 20, 1 << 20};
        setrlimit(RLIMIT_FSIZE, &limit);
        for (const std::string password : {"abc", "twenty-three bytes long"}) {
            RecordingObserver observer;
            const FileRunResult result = EncryptFiles(password, {dir / "big"}, dir / "big.vrq",
                                                      observer, kFileRunClock, Fast());
            if (result.status != FileRunStatus::Failed ||
                result.failure != FileRunFailure::OutputUnwritable ||
                result.failureError != EFBIG ||
                dir.Names() != std::vector<std::string>{"big", "empty", "small", "text"})
                return 1;
        }
        return 0;
    };
    EXPECT_EXIT(std::_Exit(runs()), ::testing::ExitedWithCode(0), "");
}

TEST(ChunkWorkers, EveryPieceOnceInEveryJob) {
    ChunkWorkers workers(3);
    for (std::size_t pieces : {0u, 1u, 2u, 7u, 100u, 1000u}) {
        std::vector<std::atomic<int>> taken(pieces);
        workers.Start(pieces, [&](std::size_t i) { taken[i].fetch_add(1); });
        workers.Finish();
        for (std::size_t i = 0; i < pieces; ++i)
            ASSERT_EQ(taken[i].load(), 1) << i;
    }
}

}  // namespace
}  // namespace kiv
