#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

#include "data/KnownAnswers.h"
#include "filecrypt/ContainerListing.h"
#include "filecrypt/FileDecryption.h"
#include "filecrypt/FileEncryption.h"
#include "filecrypt/LayoutContainer.h"
#include "residue/KernelRegistry.h"
#include "support/EachKernel.h"
#include "support/RecordingObserver.h"
#include "support/TempFolder.h"

namespace kiv {
namespace {

using testing::KnownAnswerPath;
using testing::KnownContainer;
using testing::KnownContainers;
using testing::ReadAll;
using testing::RecordingObserver;
using testing::TempFolder;

std::string Stored(const KnownContainer& known) {
    return KnownAnswerPath("containers/" + known.file);
}

std::string Plain(const std::string& entry) {
    return KnownAnswerPath("plain/" + entry);
}

// Through each kernel the processor has; the others are skipped.
using KnownContainersThrough = testing::EachKernel;

TEST_P(KnownContainersThrough, RestoreToTheirPlainFiles) {
    ASSERT_GE(KnownContainers().size(), 6u);
    for (const KnownContainer& known : KnownContainers()) {
        {
            const InstructionSet kernel = GetParam();
            SCOPED_TRACE(known.file);
            TempFolder out;
            RecordingObserver observer;
            FileRunSpeed speed;
            speed.kernel = kernel;
            const FileRunResult result =
                DecryptFiles(known.password, Stored(known), observer, out.path.string() + "/",
                             testing::kKnownAnswerClock, speed);
            ASSERT_TRUE(result.AllWritten());
            EXPECT_TRUE(observer.questions.empty());
            EXPECT_EQ(result.filesWritten, static_cast<int>(known.entries.size()));
            for (const std::string& entry : known.entries)
                EXPECT_EQ(ReadAll(out / entry), ReadAll(Plain(entry))) << entry;
        }
    }
}

TEST_P(KnownContainersThrough, ReencryptToTheSameBytes) {
    for (const KnownContainer& known : KnownContainers()) {
        TempFolder out;
        std::vector<std::string> sources;
        for (const std::string& entry : known.entries)
            sources.push_back(Plain(entry));
        RecordingObserver observer;
        FileRunSpeed speed;
        speed.kernel = GetParam();
        ASSERT_TRUE(EncryptFiles(known.password, sources, out / "again.vrq", observer,
                                 testing::kKnownAnswerClock, speed)
                        .AllWritten())
            << known.file;
        EXPECT_EQ(ReadAll(out / "again.vrq"), ReadAll(Stored(known))) << known.file;
    }
}

INSTANTIATE_TEST_SUITE_P(EveryKernel, KnownContainersThrough, testing::kEveryInstructionSet,
                         testing::KernelName);

TEST(KnownContainers, ListTheirEntriesWithoutThePassword) {
    for (const KnownContainer& known : KnownContainers()) {
        const ContainerListing listing = ListContainer(Stored(known));
        EXPECT_FALSE(listing.problem) << known.file;
        ASSERT_EQ(listing.entries.size(), known.entries.size()) << known.file;
        for (std::size_t k = 0; k < known.entries.size(); ++k) {
            EXPECT_EQ(listing.entries[k].name, known.entries[k]);
            EXPECT_EQ(listing.entries[k].size,
                      static_cast<std::int64_t>(ReadAll(Plain(known.entries[k])).size()));
        }
    }
}

// The stored set covers what its names promise: every password length the format's edges give,
// a password whose blocks need their top byte mended, bytes above 127, an empty file and the
// longest name an entry can have.
TEST(KnownContainers, CoverTheFormatsEdges) {
    std::set<std::size_t> lengths;
    bool headroom = false, highBytes = false, empty = false, longestName = false;
    for (const KnownContainer& known : KnownContainers()) {
        lengths.insert(known.password.size());
        headroom = headroom || testing::DigitCountEqualsLength(known.password);
        for (const char c : known.password)
            highBytes = highBytes || static_cast<unsigned char>(c) > 127;
        for (const std::string& entry : known.entries) {
            empty = empty || ReadAll(Plain(entry)).empty();
            longestName = longestName || entry.size() == 255;
        }
    }
    EXPECT_THAT(lengths, ::testing::IsSupersetOf({3u, 8u, 17u, 23u}));
    EXPECT_TRUE(headroom);
    EXPECT_TRUE(highBytes);
    EXPECT_TRUE(empty);
    EXPECT_TRUE(longestName);
}

}  // namespace
}  // namespace kiv
