#pragma once

#include <grp.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "support/Process.h"

namespace kiv::testing {

// The account a test borrows to act as an ordinary user when it runs as root.
inline constexpr uid_t kOrdinaryAccount = 65534;

// Whether check holds for an ordinary user: run as is, or, under root, in a child that has given
// root up (its groups too), after the paths were given to that user.
inline bool AsOrdinaryUser(const std::vector<std::string>& given,
                           const std::function<bool()>& check) {
    if (geteuid() != 0) return check();
    for (const std::string& path : given)
        if (chown(path.c_str(), kOrdinaryAccount, kOrdinaryAccount) != 0) return false;
    return Process([&] {
               if (setgroups(0, nullptr) != 0 || setgid(kOrdinaryAccount) != 0 ||
                   setuid(kOrdinaryAccount) != 0)
                   return 2;
               return check() ? 0 : 1;
           })
        .Run()
        .Exited(0);
}

}  // namespace kiv::testing
