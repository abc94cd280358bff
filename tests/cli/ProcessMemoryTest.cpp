#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <sys/resource.h>

#include <cstdlib>
#include <random>
#include <string>

#include "cli/CliContext.h"
#include "runtime/ProcessProtection.h"
#include "support/Process.h"
#include "support/TempFolder.h"

namespace kiv {
namespace {

using testing::TempFolder;
using testing::WriteAll;

TEST(ProcessProtection, LeavesNoCoreAndNothingForOtherProcessesToRead) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            const bool protectedNow = ProtectProcessMemory();
            rlimit core{};
            getrlimit(RLIMIT_CORE, &core);
            std::exit(protectedNow && prctl(PR_GET_DUMPABLE) == 0 && core.rlim_cur == 0 &&
                              core.rlim_max == 0
                          ? 0
                          : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

// The peak resident memory, in bytes, of kiv-cli running command on input; -1 when it failed.
long long PeakMemory(const std::string& command, const std::string& input,
                     const std::string& output, const std::string& password) {
    const testing::ProcessResult peak =
        testing::Process({KIV_PEAK_MEMORY_PATH, input, output, KIV_CLI_PATH, command,
                          "--password-file", password})
            .Run();
    if (!peak.Exited(0)) return -1;
    return std::stoll("0" + peak.out);
}

// One long line costs about its own length and that of what is made of it, never several
// copies of either: encrypting takes at most three times the line beyond what a one-byte line
// takes, decrypting (whose line, the cipher text, is three times the plain text) at most one
// and a half times its line.
TEST(TextLineMemory, ALongLineTakesAboutItsOwnLengthNotCopiesOfIt) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer's redzones and quarantine are not the program's memory";
#endif
    TempFolder folder;
    const std::string password = folder / "pw";
    WriteAll(password, "long line key\n");
    std::string line(16 << 20, ' ');
    std::mt19937 random(7);
    for (char& c : line)
        c = static_cast<char>('a' + random() % 26);
    WriteAll(folder / "short", "x\n");
    WriteAll(folder / "plain", line + "\n");

    const long long base = PeakMemory("encrypt-text", folder / "short", folder / "s", password);
    const long long encrypting =
        PeakMemory("encrypt-text", folder / "plain", folder / "cipher", password);
    const long long cipherLine = static_cast<long long>(testing::ReadAll(folder / "cipher").size());
    const long long decrypting =
        PeakMemory("decrypt-text", folder / "cipher", folder / "back", password);
    ASSERT_GT(base, 0);
    ASSERT_GT(encrypting, 0);
    ASSERT_GT(decrypting, 0);
    EXPECT_EQ(testing::ReadAll(folder / "back").substr(0, line.size()), line);
    EXPECT_LE(encrypting - base, 3 * static_cast<long long>(line.size()));
    EXPECT_LE(decrypting - base, 3 * cipherLine / 2);
    std::printf(
        "peak beyond a short line: encrypting %lld MB for a %zu MB line, decrypting %lld "
        "MB for a %lld MB line\n",
        (encrypting - base) >> 20, line.size() >> 20, (decrypting - base) >> 20, cipherLine >> 20);
}

// A line that never ends is read past, not held: kiv-cli keeps at most its bound of 64 MiB of it.
// The generator writes four times that much.
TEST(TextLineMemory, AnEndlessLineIsReadPastNotHeld) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer's redzones and quarantine are not the program's memory";
#endif
    TempFolder folder;
    WriteAll(folder / "pw", "long line key\n");
    WriteAll(folder / "short", "x\n");
    const long long base =
        PeakMemory("encrypt-text", folder / "short", folder / "s", folder / "pw");
    const testing::ProcessResult endless =
        testing::Process({"/bin/sh", "-c",
                          "head -c 268435456 /dev/zero | tr '\\0' q | " KIV_PEAK_MEMORY_PATH
                          " /dev/stdin " +
                              folder / "cipher" +
                              " " KIV_CLI_PATH " encrypt-text --password-file " + folder / "pw"})
            .Run();
    ASSERT_GT(base, 0);
    EXPECT_EQ(endless.status, kExitFailed);
    EXPECT_EQ(testing::ReadAll(folder / "cipher"), "\n");
    EXPECT_LE(std::stoll("0" + endless.out) - base, 80 << 20);
}

}  // namespace
}  // namespace kiv
