#pragma once

#include <string>

namespace kiv {

// The names of temporary files in progress, kept where a signal handler can read them, so that
// a program ended by a termination signal removes them instead of leaving partial (decrypted)
// data behind. Outputs written into unnamed files need no entry: the kernel drops those itself.
class TemporaryFileRegistry {
  public:
    // Records path; returns its slot, or -1 when every slot is taken or the path is too long
    // (the file is then only removed the ordinary way). Thread-safe.
    static int Add(const std::string& path);
    // Forgets a slot returned by Add; -1 is ignored. Thread-safe.
    static void Remove(int slot);
    // Removes every recorded file. Async-signal-safe: only atomics and unlink.
    static void RemoveAll();
    // Makes SIGHUP, SIGINT, SIGQUIT, SIGTERM and SIGPIPE remove every recorded file and then
    // end the process by the same signal, as it would have ended without the handler. Signals
    // the process was started with ignored stay ignored.
    static void RemoveOnTermination();
};

}  // namespace kiv
