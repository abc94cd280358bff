// A command service in a process of its own, for tests that must starve it of descriptors
// without starving the test: serves "kiv" with the window's topic in $XDG_RUNTIME_DIR, then
// lowers its descriptor limit to the first argument, says "ready" on standard output and serves
// until killed.
#include <sys/resource.h>

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>

#include "runtime/TDdeMgr.h"
#include "runtime/TDdeServerConv.h"

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    kiv::TDdeMgr manager(QStringLiteral("kiv"));
    kiv::TDdeServerConv component(manager, nullptr);
    rlimit limit{};
    if (argc < 2 || !manager.IsServing() || getrlimit(RLIMIT_NOFILE, &limit) != 0) {
        std::fputs("dde_service_child: the service did not start\n", stderr);
        return 1;
    }
    limit.rlim_cur = static_cast<rlim_t>(std::atoi(argv[1]));
    if (setrlimit(RLIMIT_NOFILE, &limit) != 0) {
        std::perror("dde_service_child: setrlimit");
        return 1;
    }
    std::puts("ready");
    std::fflush(stdout);
    return QCoreApplication::exec();
}
