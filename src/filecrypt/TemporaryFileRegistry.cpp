#include "filecrypt/TemporaryFileRegistry.h"

#include <limits.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>

namespace kiv {

namespace {

enum SlotState : int { kFree, kFilling, kArmed };

// Fixed storage: a signal handler may not allocate, and may read a slot at any moment.
struct Slot {
    std::atomic<int> state{kFree};
    char path[PATH_MAX];
};
static_assert(std::atomic<int>::is_always_lock_free);

constexpr int kSlots = 16;
Slot slots[kSlots];

constexpr int kSignals[] = {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGPIPE};

void OnTermination(int number) {
    const int saved = errno;
    TemporaryFileRegistry::RemoveAll();
    // SA_RESETHAND has restored the default action; the signal stays blocked until the handler
    // returns and then ends the process with the status its sender expects.
    raise(number);
    errno = saved;
}

}  // namespace

int TemporaryFileRegistry::Add(const std::string& path) {
    if (path.size() >= PATH_MAX) return -1;
    for (int i = 0; i < kSlots; ++i) {
        int expected = kFree;
        if (!slots[i].state.compare_exchange_strong(expected, kFilling)) continue;
        std::memcpy(slots[i].path, path.c_str(), path.size() + 1);
        slots[i].state.store(kArmed, std::memory_order_release);
        return i;
    }
    return -1;
}

void TemporaryFileRegistry::Remove(int slot) {
    if (slot >= 0 && slot < kSlots) slots[slot].state.store(kFree, std::memory_order_release);
}

void TemporaryFileRegistry::RemoveAll() {
    for (Slot& slot : slots) {
        if (slot.state.load(std::memory_order_acquire) == kArmed) unlink(slot.path);
    }
}

void TemporaryFileRegistry::RemoveOnTermination() {
    struct sigaction action = {};
    action.sa_handler = &OnTermination;
    sigemptyset(&action.sa_mask);
    for (const int number : kSignals)
        sigaddset(&action.sa_mask, number);
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    for (const int number : kSignals) {
        struct sigaction old = {};
        if (sigaction(number, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
        sigaction(number, &action, nullptr);
    }
}

}  // namespace kiv
