#include "runtime/ProcessProtection.h"

#include <sys/prctl.h>
#include <sys/resource.h>

namespace kiv {

bool ProtectProcessMemory() {
    // A core size of 0 covers a core pattern that pipes to a helper too, which the dumpable flag
    // alone does not stop for a process running as root.
    const rlimit noCore{0, 0};
    const bool coreOff = ::setrlimit(RLIMIT_CORE, &noCore) == 0;
    const bool undumpable = ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0) == 0;
    return coreOff && undumpable;
}

}  // namespace kiv
