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

// Every signal whose default action ends the process, but SIGKILL and SIGSTOP, which cannot be
// caught, and SIGXFSZ, which is ignored instead. The real-time signals end it too.
constexpr int kSignals[] = {SIGHUP,  SIGINT,    SIGQUIT, SIGILL,  SIGTRAP, SIGABRT, SIGBUS,
                            SIGFPE,  SIGUSR1,   SIGSEGV, SIGUSR2, SIGPIPE, SIGALRM, SIGTERM,
                            SIGXCPU, SIGVTALRM, SIGPROF, SIGIO,   SIGPWR,  SIGSYS,  SIGSTKFLT};
// Signals the kernel sends for a fault of the instruction just run; returning re-runs it.
constexpr int kFaults[] = {SIGILL, SIGTRAP, SIGBUS, SIGFPE, SIGSEGV, SIGSYS};

// What each signal did before, so that after the cleaning up it does that again (a sanitizer's
// report, a core dump). Written before the handlers are installed, read only by them.
struct sigaction previous[NSIG];

void OnTermination(int number, siginfo_t* info, void*) {
    const int saved = errno;
    TemporaryFileRegistry::RemoveAll();
    sigaction(number, &previous[number], nullptr);
    bool fault = false;
    for (const int f : kFaults)
        fault = fault || f == number;
    // A fault the kernel raised comes again when the handler returns; any other signal is sent
    // again. It stays blocked until the handler returns and then acts as it would have without
    // the handler, so the process ends with the status its sender expects.
    if (!fault || info == nullptr || info->si_code <= 0) raise(number);
    errno = saved;
}

// Ignored signals stay ignored; installed twice, the handler would go on calling itself.
void Install(int number, const struct sigaction& action) {
    struct sigaction old = {};
    if (sigaction(number, nullptr, &old) != 0 || old.sa_handler == SIG_IGN ||
        ((old.sa_flags & SA_SIGINFO) != 0 && old.sa_sigaction == &OnTermination))
        return;
    previous[number] = old;
    sigaction(number, &action, nullptr);
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
    action.sa_sigaction = &OnTermination;
    sigfillset(&action.sa_mask);
    // On the alternate stack where there is one, so that a stack overflow is handled too.
    action.sa_flags = SA_SIGINFO | SA_RESTART | SA_ONSTACK;
    for (const int number : kSignals)
        Install(number, action);
    for (int number = SIGRTMIN; number <= SIGRTMAX; ++number)
        Install(number, action);
    // A file-size limit then fails the write with EFBIG, which the run reports, instead of
    // ending the process in the middle of an output.
    signal(SIGXFSZ, SIG_IGN);
}

}  // namespace kiv
