#include "filecrypt/internal/MappedReadGuard.h"

#include <atomic>
#include <csignal>
#include <mutex>

namespace kiv {

namespace {

// Read by the handler, so initial-exec: its address needs no lookup that might allocate.
__attribute__((tls_model("initial-exec"))) thread_local sigjmp_buf* innermost = nullptr;

// What SIGBUS did before the guard came, for every SIGBUS that is not a guarded read's.
struct sigaction previous;
std::once_flag installed;

void OnBus(int number, siginfo_t* info, void* context) {
    // si_code above 0: raised by the kernel for this thread's own access, not sent by anybody.
    if (sigjmp_buf* const jump = innermost; jump != nullptr && info != nullptr && info->si_code > 0)
        siglongjmp(*jump, 1);
    if ((previous.sa_flags & SA_SIGINFO) != 0) {
        previous.sa_sigaction(number, info, context);
    } else if (previous.sa_handler == SIG_DFL) {
        // The fault comes again when the handler returns and then ends the process as it would
        // have without the guard; a sent signal is sent again.
        sigaction(SIGBUS, &previous, nullptr);
        if (info == nullptr || info->si_code <= 0) raise(SIGBUS);
    } else if (previous.sa_handler != SIG_IGN) {
        previous.sa_handler(number);
    }
}

void Install() {
    struct sigaction action = {};
    action.sa_sigaction = &OnBus;
    sigemptyset(&action.sa_mask);
    // Nothing blocked while it runs, so that leaving it by siglongjmp leaves no signal blocked.
    action.sa_flags = SA_SIGINFO | SA_NODEFER | SA_ONSTACK | SA_RESTART;
    sigaction(SIGBUS, &action, &previous);
}

}  // namespace

MappedReadGuard::Scope::Scope(sigjmp_buf* jump) : outer_(innermost) {
    std::call_once(installed, Install);
    innermost = jump;
    // The handler, on this thread, must see the guard before any guarded read.
    std::atomic_signal_fence(std::memory_order_seq_cst);
}

MappedReadGuard::Scope::~Scope() {
    std::atomic_signal_fence(std::memory_order_seq_cst);
    innermost = outer_;
}

}  // namespace kiv
