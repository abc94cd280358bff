#include <grp.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>

#include "runtime/SecretArena.h"

namespace kiv {
namespace {

#ifdef __SANITIZE_ADDRESS__
constexpr bool kLocking = false;  // AddressSanitizer makes mlock do nothing
#else
constexpr bool kLocking = true;
#endif

// Whether blocks of each kind (the smallest class, the largest small one, the first with pages
// of its own, a workspace's size) lie in pages that /proc/self/smaps flags as left out of dumps
// ("dd") and as locked ("lo") or not, come zeroed, and are wiped before they are handed out again.
bool BlocksAreSecret(bool locked) {
    bool secret = true;
    for (const std::size_t size : {1, 64, 4096, 4097, 60000}) {
        auto* block = static_cast<unsigned char*>(SecretArena::Allocate(size));
        std::ifstream smaps("/proc/self/smaps");
        std::string flags;
        for (std::string line; flags.empty() && std::getline(smaps, line);) {
            unsigned long start = 0, end = 0, at = reinterpret_cast<unsigned long>(block);
            if (std::sscanf(line.c_str(), "%lx-%lx", &start, &end) == 2 && start <= at && at < end)
                while (flags.empty() && std::getline(smaps, line))
                    if (line.rfind("VmFlags:", 0) == 0) flags = line + ' ';
        }
        secret = secret && flags.find(" dd ") != std::string::npos &&
                 (flags.find(" lo ") != std::string::npos) == locked;
        for (int round = 0; round < 2; ++round) {
            for (std::size_t i = 0; i < size; ++i)
                secret = secret && block[i] == 0;
            std::memset(block, 0xA5, size);
            SecretArena::Release(block, size);
            block = static_cast<unsigned char*>(SecretArena::Allocate(size));
        }
        SecretArena::Release(block, size);
    }
    return secret;
}

TEST(SecretArena, BlocksStayOutOfDumpsAndSwapAsFarAsTheLimitAllows) {
    rlimit limit{};
    ASSERT_EQ(getrlimit(RLIMIT_MEMLOCK, &limit), 0);
    EXPECT_TRUE(BlocksAreSecret(kLocking && (geteuid() == 0 || limit.rlim_cur >= (1u << 20))));
    // An ordinary account without room to lock (root may lock beyond the limit): the memory is
    // there all the same, still out of dumps.
    const pid_t child = fork();
    if (child == 0) {
        const rlimit none{0, 0};
        const bool ordinary = setrlimit(RLIMIT_MEMLOCK, &none) == 0 &&
                              (geteuid() != 0 || (setgroups(0, nullptr) == 0 &&
                                                  setgid(65534) == 0 && setuid(65534) == 0));
        _exit(ordinary && BlocksAreSecret(false) ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_EQ(status, 0);
}

}  // namespace
}  // namespace kiv
