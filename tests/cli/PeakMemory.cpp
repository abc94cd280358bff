// peak_memory IN OUT COMMAND [ARG]...: runs COMMAND with standard input from IN and output to OUT,
// prints its peak resident memory in bytes and ends with its exit status (nothing, and status
// 127, when it could not be run or a signal ended it). A
// process started from a large one counts that one's memory as its own until it runs its
// program; started from this small one, only its own memory is counted.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 4) return 2;
    const pid_t pid = fork();
    if (pid == 0) {
        const int in = open(argv[1], O_RDONLY);
        const int out = open(argv[2], O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (in < 0 || out < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0) _exit(127);
        execv(argv[3], argv + 3);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status)) return 127;
    std::printf("%lld\n", static_cast<long long>(usage.ru_maxrss) * 1024);
    return WEXITSTATUS(status);
}
