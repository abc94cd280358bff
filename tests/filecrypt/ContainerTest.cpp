#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>

#include "filecrypt/FileDecryption.h"
#include "filecrypt/FileEncryption.h"
#include "filecrypt/LayoutContainer.h"
#include "support/FixedClock.h"
#include "support/RandomInput.h"
#include "support/RecordingObserver.h"
#include "support/TempFolder.h"

namespace kiv {
namespace {

using testing::BuildContainer;
using ::testing::ElementsAre;
using testing::RandomBytes;
using testing::ReadAll;
using testing::RecordingObserver;
using testing::TempFolder;
using testing::WriteAll;

TEST(Container, ByteExactAgainstTheLayout) {
    TempFolder dir;
    std::mt19937 rng(4);
    const std::vector<std::pair<std::string, std::string>> files = {
        {"plan.txt", RandomBytes(rng, 1000)}, {"empty", ""}, {"exact", RandomBytes(rng, 7 * 12)}};
    for (const auto& [name, content] : files)
        WriteAll(dir / name, content);
    for (const std::string password : {"abc", "seven77", "twenty-three characters"}) {
        RecordingObserver observer;
        const auto result = EncryptFiles(password, {dir / "plan.txt", dir / "empty", dir / "exact"},
                                         dir / "x.vrq", observer, kFileRunClock);
        ASSERT_TRUE(result.AllWritten());
        EXPECT_EQ(ReadAll(dir / "x.vrq"), BuildContainer(password, files, kFileRunClock))
            << password;
    }
}

TEST(Container, ThreeFilesReportAndRestoreInOrder) {
    TempFolder dir;
    std::mt19937 rng(5);
    const std::string a = RandomBytes(rng, 5000), b = "", c = RandomBytes(rng, 12 * 10);
    WriteAll(dir / "a.bin", a);
    WriteAll(dir / "b.txt", b);
    WriteAll(dir / "c", c);
    RecordingObserver enc;
    const std::string password = "twelve chars";
    ASSERT_TRUE(EncryptFiles(password, {dir / "a.bin", dir / "b.txt", dir / "c"}, dir / "all.vrq",
                             enc, kFileRunClock)
                    .AllWritten());
    ASSERT_EQ(enc.lines.size(), 12u);
    EXPECT_EQ(enc.lines[0], "File Byte Amount = 5000");
    EXPECT_EQ(enc.lines[1], "File Byte Part   = 416");
    EXPECT_EQ(enc.lines[2], "Open Long Byte   = 12");
    EXPECT_EQ(enc.lines[5], "File Byte Part   = 0");
    EXPECT_EQ(enc.lines[9], "File Byte Part   = 10");
    const std::string d = enc.lines[3].substr(std::string("Close Long Byte  = ").size());

    TempFolder out;
    RecordingObserver dec;
    const auto result =
        DecryptFiles(password, dir / "all.vrq", dec, out.path.string() + "/", kFileRunClock);
    ASSERT_TRUE(result.AllWritten());
    EXPECT_EQ(result.filesWritten, 3);
    EXPECT_EQ(ReadAll(out / "a.bin"), a);
    EXPECT_EQ(ReadAll(out / "b.txt"), b);
    EXPECT_EQ(ReadAll(out / "c"), c);
    EXPECT_THAT(out.Names(), ElementsAre("a.bin", "b.txt", "c"));
    ASSERT_EQ(dec.lines.size(), 21u);
    const std::int64_t total = static_cast<std::int64_t>(ReadAll(dir / "all.vrq").size());
    const int residueBytes = std::stoi(d) - 1;
    EXPECT_THAT(std::vector<std::string>(dec.lines.begin(), dec.lines.begin() + 7),
                ElementsAre("a.bin", "Open File Byte Amount = 5000", "Open File Byte Part   = 417",
                            "Open Long Byte        = 12", "Close Long Byte       = " + d,
                            "Close File Byte no    = " + std::to_string(residueBytes * 417 + 1),
                            "Close File Byte yes   = " + std::to_string(total)));
    EXPECT_EQ(dec.lines[7], "b.txt");
    EXPECT_EQ(dec.lines[9], "Open File Byte Part   = 1");
    EXPECT_EQ(dec.lines[14], "c");
    EXPECT_EQ(dec.lines[16], "Open File Byte Part   = 11");
    EXPECT_FALSE(dec.overallVisible);
}

TEST(Container, RestoresBesideTheContainerReplacingExistingFiles) {
    TempFolder dir;
    WriteAll(dir / "note", "the original");
    RecordingObserver observer;
    ASSERT_TRUE(EncryptFiles("pass", {dir / "note"}, dir / "note.vrq", observer, kFileRunClock)
                    .AllWritten());
    WriteAll(dir / "note", "changed since");
    ASSERT_TRUE(DecryptFiles("pass", dir / "note.vrq", observer, "", kFileRunClock).AllWritten());
    EXPECT_EQ(ReadAll(dir / "note"), "the original");
    EXPECT_THAT(dir.Names(), ElementsAre("note", "note.vrq"));
}

TEST(Container, SameSecondGivesIdenticalContainers) {
    TempFolder dir;
    WriteAll(dir / "f", "identical twins in one second");
    RecordingObserver observer;
    EncryptFiles("secret", {dir / "f"}, dir / "1.vrq", observer, kFileRunClock);
    EncryptFiles("secret", {dir / "f"}, dir / "2.vrq", observer, kFileRunClock);
    EXPECT_EQ(ReadAll(dir / "1.vrq"), ReadAll(dir / "2.vrq"));
    const FixedClock later(kFileRunClock.ClockSeconds() + 1, kFileRunClock.LocalNow());
    EncryptFiles("secret", {dir / "f"}, dir / "3.vrq", observer, later);
    const std::string one = ReadAll(dir / "1.vrq"), three = ReadAll(dir / "3.vrq");
    ASSERT_EQ(one.size(), three.size());
    EXPECT_NE(one, three);
    // Only the final block (fewer than 40 bytes) differs.
    EXPECT_EQ(one.substr(0, one.size() - 40), three.substr(0, three.size() - 40));
}

TEST(Container, ThousandRandomContainersRoundTrip) {
    TempFolder dir;
    std::mt19937 rng(77);
    int refused = 0;
    for (int trial = 0; trial < 1000; ++trial) {
        const int length = 3 + static_cast<int>(rng() % 21);
        std::string password;
        for (int i = 0; i < length; ++i)
            password.push_back(
                static_cast<char>(trial % 3 == 0 ? 1 + rng() % 255 : 32 + rng() % 95));
        const int count = 1 + static_cast<int>(rng() % 3);
        std::vector<std::string> paths, contents;
        for (int f = 0; f < count; ++f) {
            const std::size_t size = rng() % 4 == 0 ? 0 : rng() % 3000;
            contents.push_back(RandomBytes(rng, size));
            paths.push_back(dir / ("src" + std::to_string(f)));
            WriteAll(paths.back(), contents.back());
        }
        RecordingObserver observer;
        const auto encrypted =
            EncryptFiles(password, paths, dir / "c.vrq", observer, kFileRunClock);
        if (encrypted.status == FileRunStatus::Refused) {
            ++refused;
            ASSERT_THAT(observer.messages, ElementsAre(WindowText(Message::RepeatedModuliFile)));
            continue;
        }
        ASSERT_TRUE(encrypted.AllWritten()) << trial;
        const std::string out = dir / "out/";
        std::filesystem::create_directories(out);
        ASSERT_TRUE(
            DecryptFiles(password, dir / "c.vrq", observer, out, kFileRunClock).AllWritten())
            << trial;
        ASSERT_TRUE(observer.questions.empty()) << trial;
        for (int f = 0; f < count; ++f)
            ASSERT_EQ(ReadAll(out + "src" + std::to_string(f)), contents[f]) << trial;
        std::filesystem::remove_all(out);
    }
    EXPECT_GT(refused, 0);
}

// The points of one chunk are reached at once: only the last of them is shown.
TEST(Container, ProgressMovesAtTheRhythmOfTheBlocks) {
    TempFolder dir;
    WriteAll(dir / "f", std::string(250 * 3, 'x'));
    RecordingObserver observer;
    FileRunSpeed blockByBlock;
    blockByBlock.chunkBytes = 1;
    EncryptFiles("abc", {dir / "f"}, dir / "f.vrq", observer, kFileRunClock, blockByBlock);
    ASSERT_EQ(observer.filePositions.size(), 83u);  // 250 blocks, step 2: at 3, 6, ..., 249
    EXPECT_EQ(observer.filePositions.front(), 3);
    EXPECT_EQ(observer.filePositions.back(), 249);
    observer = RecordingObserver();
    EncryptFiles("abc", {dir / "f"}, dir / "f.vrq", observer, kFileRunClock);
    EXPECT_THAT(observer.filePositions, ElementsAre(249));
}

}  // namespace
}  // namespace kiv
