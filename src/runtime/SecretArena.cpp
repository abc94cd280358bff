#include "runtime/SecretArena.h"

#include <sys/mman.h>
#include <unistd.h>

#include <mutex>
#include <new>
#include <utility>

#include "runtime/SecretWipe.h"

namespace kiv {

namespace {

// Small blocks come from chunks of this size, in classes of 64, 128, ... 4096 bytes; a larger
// block gets pages of its own, returned to the system with it. Secrets are few and small (a
// password, a workspace of some 50 KiB), so a wasted tail or an unused class costs little.
constexpr std::size_t kChunk = std::size_t{64} << 10;
constexpr std::size_t kSmallest = 64;
constexpr std::size_t kLargestSmall = 4096;
constexpr int kClasses = 7;

std::size_t RoundToPages(std::size_t size) {
    static const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    return (size + page - 1) / page * page;
}

void* MapSecretPages(std::size_t size) {
    void* pages = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (pages == MAP_FAILED) throw std::bad_alloc();
    ::madvise(pages, size, MADV_DONTDUMP);
    // Beyond RLIMIT_MEMLOCK an ordinary account's lock fails: the pages then only stay out of
    // dumps.
    ::mlock(pages, size);
    return pages;
}

int ClassOf(std::size_t size) {
    int number = 0;
    for (std::size_t blockSize = kSmallest; blockSize < size; blockSize <<= 1)
        ++number;
    return number;
}

struct FreeBlock {
    FreeBlock* next;
};

struct Pool {
    std::mutex mutex;
    FreeBlock* free[kClasses] = {};
    char* unused = nullptr;  // the current chunk's part not yet handed out
    char* end = nullptr;
};

// Never destroyed: a secret may still be given back while the process exits.
Pool& ThePool() {
    static Pool* const pool = new Pool;
    return *pool;
}

}  // namespace

void* SecretArena::Allocate(std::size_t size) {
    if (size > kLargestSmall) return MapSecretPages(RoundToPages(size));
    const int number = ClassOf(size);
    const std::size_t blockSize = kSmallest << number;
    Pool& pool = ThePool();
    const std::lock_guard<std::mutex> lock(pool.mutex);
    if (FreeBlock* block = pool.free[number]) {
        pool.free[number] = block->next;
        block->next = nullptr;
        return block;
    }
    if (pool.unused == nullptr || static_cast<std::size_t>(pool.end - pool.unused) < blockSize) {
        pool.unused = static_cast<char*>(MapSecretPages(kChunk));
        pool.end = pool.unused + kChunk;
    }
    return std::exchange(pool.unused, pool.unused + blockSize);
}

void SecretArena::Release(void* block, std::size_t size) noexcept {
    if (block == nullptr) return;
    if (size > kLargestSmall) {
        const std::size_t pages = RoundToPages(size);
        WipeBytes(block, pages);
        ::munlock(block, pages);
        ::munmap(block, pages);
        return;
    }
    const int number = ClassOf(size);
    WipeBytes(block, kSmallest << number);
    Pool& pool = ThePool();
    const std::lock_guard<std::mutex> lock(pool.mutex);
    auto* freed = static_cast<FreeBlock*>(block);
    freed->next = pool.free[number];
    pool.free[number] = freed;
}

}  // namespace kiv
