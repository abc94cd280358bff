#pragma once

#include <sys/resource.h>
#include <sys/types.h>

#include <chrono>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace kiv::testing {

// How a process ended and what it wrote.
struct ProcessResult {
    int status = -1;        // its exit status; -1 when a signal ended it or it never started
    int signal = 0;         // the signal that ended it; 0 when it exited
    bool timedOut = false;  // still running at its timeout, then killed
    std::string out, err;   // standard output (on a terminal: all it showed) and error

    bool Exited(int code) const { return signal == 0 && status == code; }
    bool Signalled(int number) const { return signal == number; }
};

// "exit 3" or "signal 15", with standard error: what a failed expectation should show.
void PrintTo(const ProcessResult& result, std::ostream* out);

// One process as a test starts it: a program (argv[0] a path) or, for code that must run under
// another account, with other limits or into a signal without touching the test itself, a
// function in a forked child. Standard input is /dev/null unless given; standard output and
// error are kept. The environment is the test's own with the changes asked for. A child still
// running when the object goes is killed.
class Process {
  public:
    using Clock = std::chrono::steady_clock;

    explicit Process(std::vector<std::string> argv);
    // The child runs body after its streams are set up, and ends with what it returns.
    explicit Process(std::function<int()> body);
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    // Standard input: these bytes, then its end.
    Process& Input(std::string bytes);
    // Standard input, output or error from or into a file; output and error are then not kept.
    Process& InputFrom(std::string path);
    Process& OutputTo(std::string path);
    Process& ErrorTo(std::string path);
    // Standard error stays the test's own: for a child that runs beside the test, whose messages
    // belong in the test's log and which nobody reads while the test goes on.
    Process& ErrorToTestLog();
    Process& Set(const std::string& name, const std::string& value);
    Process& Unset(const std::string& name);
    Process& InFolder(std::string folder);
    // A soft limit (RLIMIT_AS, RLIMIT_NOFILE, RLIMIT_FSIZE, RLIMIT_CORE...) for the child alone.
    Process& Limit(int resource, rlim_t value);
    // Standard input, output and error on a new pseudo-terminal, the child's controlling one.
    Process& OnTerminal();
    // How long Wait lets it run before it kills it and fails the test.
    Process& Timeout(std::chrono::milliseconds limit);

    // Starts it and waits for its end.
    ProcessResult Run();

    // Starts it; false (and a failed test) when it could not be.
    bool Start();
    pid_t Pid() const { return pid_; }
    bool Signal(int number) const;
    // Reads the child's streams until condition holds; false when it did not within limit.
    bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit);
    // Waits until standard output (or the terminal) shows text.
    bool AwaitOutput(const std::string& text,
                     std::chrono::milliseconds limit = std::chrono::seconds(10));
    // Types keys on the terminal.
    bool Type(const std::string& keys) const;
    // Whether the terminal echoes what is typed, as the child left it.
    bool TerminalEchoes() const;
    // Whether it has ended (then reaped), without waiting.
    bool Ended() { return pid_ > 0 && Reap(false); }
    // Waits for the end, up to the timeout, reading the streams meanwhile.
    ProcessResult Wait();

  private:
    struct Stream {
        int fd = -1;
        std::string* into = nullptr;
    };
    void Pump(std::chrono::milliseconds wait);
    bool Reap(bool block);
    void CloseAll();

    std::vector<std::string> argv_;
    std::function<int()> body_;
    std::optional<std::string> input_;
    std::string inputPath_ = "/dev/null", outputPath_, errorPath_, folder_;
    std::vector<std::pair<std::string, std::optional<std::string>>> changes_;
    bool terminal_ = false, errorToTestLog_ = false;
    std::vector<std::pair<int, rlim_t>> limits_;
    std::chrono::milliseconds timeout_ = std::chrono::minutes(5);

    pid_t pid_ = -1;
    bool reaped_ = false;
    int inputFd_ = -1, terminalFd_ = -1, terminalSlave_ = -1;
    std::size_t inputSent_ = 0;
    std::vector<Stream> streams_;
    ProcessResult result_;
};

}  // namespace kiv::testing
