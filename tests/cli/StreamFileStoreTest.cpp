#include <gtest/gtest.h>

#include "cli/StreamFileStore.h"
#include "filecrypt/MemoryFileStore.h"

namespace kiv {
namespace {

// A run whose every output goes to a descriptor writes no folder, so none is probed and no
// name can collide: its folder minds case whatever the disk's does. Where only one output is
// streamed, the others go to the folder, which is asked.
TEST(StreamFileStore, TheCaseProbeAsksTheDiskOnlyWhereFilesAreWritten) {
    MemoryFileStore folding(MemoryFileStore::Names::FoldedWithoutStableIdentity);
    const struct {
        int fd;  // -1: nothing sent to a descriptor
        const char* alias;
        bool folds;
    } cases[] = {
        {-1, "", true},
        {1, "", false},
        {0, "", false},
        {1, "/dev/stdout", true},
    };
    for (const auto& c : cases) {
        StreamFileStore store(folding);
        if (c.fd >= 0) store.SendOutputsTo(c.fd, c.alias);
        EXPECT_EQ(store.FoldsLetterCase("d/"), c.folds) << c.fd << " " << c.alias;
    }
}

}  // namespace
}  // namespace kiv
