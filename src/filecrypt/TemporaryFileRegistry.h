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
    // Makes every signal whose default action ends the process (SIGHUP, SIGINT, SIGTERM,
    // SIGUSR1, SIGALRM, SIGSEGV, the real-time signals and the others) remove every recorded
    // file and then do what it did before: end the process by that signal, or run the handler
    // that was installed. Signals the process was started with ignored stay ignored, and
    // SIGXFSZ is ignored, so that a file-size limit fails a write with EFBIG instead of ending
    // the process. A handler installed later for one of them (the window's) takes its place.
    static void RemoveOnTermination();
};

}  // namespace kiv
