#include "support/Process.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <utmp.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <thread>

extern char** environ;

namespace kiv::testing {

void PrintTo(const ProcessResult& result, std::ostream* out) {
    if (result.timedOut)
        *out << "timed out";
    else if (result.signal != 0)
        *out << "signal " << result.signal << " (" << strsignal(result.signal) << ")";
    else
        *out << "exit " << result.status;
    if (!result.err.empty()) *out << ", standard error: " << result.err;
}

namespace {

// In the child, between fork and exec or body: only calls that are safe there.
void Fail(const char* what) {
    const char prefix[] = "test process: cannot ";
    (void)!write(2, prefix, sizeof prefix - 1);
    (void)!write(2, what, std::strlen(what));
    (void)!write(2, "\n", 1);
    _exit(127);
}

// The program's path: a name without a folder is looked for in the folders of the test's PATH,
// as execvp would, but before the fork.
std::string ProgramPath(const std::string& name) {
    if (name.find('/') != std::string::npos) return name;
    const char* path = std::getenv("PATH");
    const std::string folders = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
    for (std::size_t start = 0; start <= folders.size();) {
        const std::size_t end = std::min(folders.find(':', start), folders.size());
        const std::string candidate = folders.substr(start, end - start) + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0) return candidate;
        start = end + 1;
    }
    return name;
}

void OpenOnto(const char* path, int flags, int target) {
    const int fd = open(path, flags | O_CLOEXEC, 0600);
    if (fd < 0 || dup2(fd, target) < 0) Fail(path);
    close(fd);
}

}  // namespace

Process::Process(std::vector<std::string> argv) : argv_(std::move(argv)) {}

Process::Process(std::function<int()> body) : body_(std::move(body)) {}

Process::~Process() {
    if (pid_ > 0 && !reaped_) {
        kill(pid_, SIGKILL);
        Reap(true);
    }
    CloseAll();
    for (const int fd : {terminalFd_, terminalSlave_})
        if (fd >= 0) close(fd);
}

Process& Process::Input(std::string bytes) {
    input_ = std::move(bytes);
    return *this;
}
Process& Process::InputFrom(std::string path) {
    inputPath_ = std::move(path);
    return *this;
}
Process& Process::OutputTo(std::string path) {
    outputPath_ = std::move(path);
    return *this;
}
Process& Process::ErrorTo(std::string path) {
    errorPath_ = std::move(path);
    return *this;
}
Process& Process::ErrorToTestLog() {
    errorToTestLog_ = true;
    return *this;
}
Process& Process::Set(const std::string& name, const std::string& value) {
    changes_.emplace_back(name, value);
    return *this;
}
Process& Process::Unset(const std::string& name) {
    changes_.emplace_back(name, std::nullopt);
    return *this;
}
Process& Process::InFolder(std::string folder) {
    folder_ = std::move(folder);
    return *this;
}
Process& Process::Limit(int resource, rlim_t value) {
    limits_.emplace_back(resource, value);
    return *this;
}
Process& Process::OnTerminal() {
    terminal_ = true;
    return *this;
}
Process& Process::Timeout(std::chrono::milliseconds limit) {
    timeout_ = limit;
    return *this;
}

ProcessResult Process::Run() {
    if (!Start()) return result_;
    return Wait();
}

bool Process::Start() {
    // Everything the child needs is made before the fork: after it, in a test process with
    // threads, only calls that are safe between fork and exec may run.
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry)
        environment.emplace_back(*entry);
    for (const auto& [name, value] : changes_) {
        std::erase_if(environment, [&name = name](const std::string& entry) {
            return entry.compare(0, name.size() + 1, name + "=") == 0;
        });
        if (value) environment.push_back(name + "=" + *value);
    }
    std::vector<std::string> words = argv_;
    if (!words.empty()) words.front() = ProgramPath(words.front());
    std::vector<char*> envp, argv;
    for (std::string& entry : environment)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    int in[2] = {-1, -1}, out[2] = {-1, -1}, err[2] = {-1, -1};
    const auto pipeFor = [](int(&ends)[2]) { return pipe2(ends, O_CLOEXEC) == 0; };
    bool ready = true;
    if (terminal_) {
        ready = openpty(&terminalFd_, &terminalSlave_, nullptr, nullptr, nullptr) == 0;
        if (ready)
            for (const int fd : {terminalFd_, terminalSlave_})
                fcntl(fd, F_SETFD, FD_CLOEXEC);
    } else {
        if (input_) ready = pipeFor(in);
        if (ready && outputPath_.empty()) ready = pipeFor(out);
        if (ready && errorPath_.empty() && !errorToTestLog_) ready = pipeFor(err);
    }
    if (!ready) {
        ADD_FAILURE() << "cannot make the streams of a process: " << std::strerror(errno);
        return false;
    }

    pid_ = fork();
    if (pid_ == 0) {
        if (terminal_) {
            close(terminalFd_);
            if (login_tty(terminalSlave_) != 0) Fail("take the terminal");
        } else {
            if (input_) {
                if (dup2(in[0], 0) < 0) Fail("read standard input");
            } else {
                OpenOnto(inputPath_.c_str(), O_RDONLY, 0);
            }
            if (outputPath_.empty()) {
                if (dup2(out[1], 1) < 0) Fail("write standard output");
            } else {
                OpenOnto(outputPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 1);
            }
            if (!errorPath_.empty()) {
                OpenOnto(errorPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 2);
            } else if (!errorToTestLog_ && dup2(err[1], 2) < 0) {
                Fail("write standard error");
            }
        }
        for (const auto& [resource, value] : limits_) {
            rlimit limit{};
            getrlimit(resource, &limit);
            limit.rlim_cur = value;
            if (setrlimit(resource, &limit) != 0) Fail("set a limit");
        }
        if (!folder_.empty() && chdir(folder_.c_str()) != 0) Fail(folder_.c_str());
        if (body_) _exit(body_());
        // A program starts as a shell would start it: no signal blocked or ignored.
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        for (int number = 1; number < NSIG; ++number)
            if (number != SIGKILL && number != SIGSTOP) signal(number, SIG_DFL);
        execve(argv[0], argv.data(), envp.data());
        Fail(argv[0]);
    }
    for (const int fd : {in[0], out[1], err[1]})
        if (fd >= 0) close(fd);
    if (pid_ < 0) {
        for (const int fd : {in[1], out[0], err[0]})
            if (fd >= 0) close(fd);
        ADD_FAILURE() << "cannot fork: " << std::strerror(errno);
        return false;
    }
    inputFd_ = in[1];
    if (inputFd_ >= 0) fcntl(inputFd_, F_SETFL, O_NONBLOCK);
    if (terminal_) {
        fcntl(terminalFd_, F_SETFL, O_NONBLOCK);
        streams_.push_back({terminalFd_, &result_.out});
    }
    if (out[0] >= 0) streams_.push_back({out[0], &result_.out});
    if (err[0] >= 0) streams_.push_back({err[0], &result_.err});
    return true;
}

bool Process::Signal(int number) const {
    return pid_ > 0 && !reaped_ && kill(pid_, number) == 0;
}

bool Process::Type(const std::string& keys) const {
    return terminalFd_ >= 0 &&
           write(terminalFd_, keys.data(), keys.size()) == static_cast<ssize_t>(keys.size());
}

bool Process::TerminalEchoes() const {
    termios settings{};
    return terminalSlave_ >= 0 && tcgetattr(terminalSlave_, &settings) == 0 &&
           (settings.c_lflag & ECHO) != 0;
}

// Moves what is ready between the test and the child, waiting at most wait for something.
void Process::Pump(std::chrono::milliseconds wait) {
    std::vector<pollfd> ready;
    for (const Stream& stream : streams_)
        ready.push_back({stream.fd, POLLIN, 0});
    const bool sending = inputFd_ >= 0;
    if (sending) ready.push_back({inputFd_, POLLOUT, 0});
    if (ready.empty()) {
        std::this_thread::sleep_for(wait);
        return;
    }
    if (poll(ready.data(), ready.size(), static_cast<int>(wait.count())) <= 0) return;
    for (std::size_t i = 0; i < streams_.size(); ++i) {
        if (ready[i].revents == 0) continue;
        char buffer[65536];
        const ssize_t got = read(streams_[i].fd, buffer, sizeof buffer);
        if (got > 0) {
            streams_[i].into->append(buffer, static_cast<std::size_t>(got));
        } else if (got == 0 || (errno != EAGAIN && errno != EINTR)) {
            // The end of a pipe; a terminal says EIO once the child has let it go.
            if (streams_[i].fd != terminalFd_) close(streams_[i].fd);
            streams_[i].fd = -1;
        }
    }
    std::erase_if(streams_, [](const Stream& stream) { return stream.fd < 0; });
    if (sending && ready.back().revents != 0) {
        // A child that stops reading must not end the test with SIGPIPE.
        sigset_t pipeSignal, before;
        sigemptyset(&pipeSignal);
        sigaddset(&pipeSignal, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipeSignal, &before);
        const ssize_t sent = write(inputFd_, input_->data() + inputSent_,
                                   std::min<std::size_t>(input_->size() - inputSent_, 65536));
        const int error = errno;
        if (sent < 0 && error == EPIPE) {
            const timespec now{};
            sigtimedwait(&pipeSignal, nullptr, &now);
        }
        pthread_sigmask(SIG_SETMASK, &before, nullptr);
        if (sent > 0) inputSent_ += static_cast<std::size_t>(sent);
        if ((sent < 0 && error != EAGAIN && error != EINTR) || inputSent_ == input_->size()) {
            close(inputFd_);
            inputFd_ = -1;
        }
    }
}

bool Process::Reap(bool block) {
    if (reaped_) return true;
    int status = 0;
    const pid_t ended = waitpid(pid_, &status, block ? 0 : WNOHANG);
    if (ended != pid_) return false;
    reaped_ = true;
    if (WIFEXITED(status)) result_.status = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result_.signal = WTERMSIG(status);
    return true;
}

bool Process::WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    const auto deadline = Clock::now() + limit;
    while (!condition()) {
        if (Clock::now() >= deadline) return false;
        Pump(std::chrono::milliseconds(1));
    }
    return true;
}

bool Process::AwaitOutput(const std::string& text, std::chrono::milliseconds limit) {
    return WaitUntil([&] { return result_.out.find(text) != std::string::npos; }, limit);
}

ProcessResult Process::Wait() {
    if (pid_ <= 0) return result_;
    const auto deadline = Clock::now() + timeout_;
    // A terminal stays open in the test as long as the object, so only its child's end ends it.
    const auto open = [&] {
        for (const Stream& stream : streams_)
            if (stream.fd != terminalFd_) return true;
        return false;
    };
    while (!Reap(false) || open()) {
        if (Clock::now() >= deadline) {
            ADD_FAILURE() << (argv_.empty() ? "a forked child" : argv_.front())
                          << " still ran after "
                          << std::chrono::duration_cast<std::chrono::seconds>(timeout_).count()
                          << " s";
            kill(pid_, SIGKILL);
            Reap(true);
            result_.timedOut = true;
            break;
        }
        Pump(std::chrono::milliseconds(reaped_ ? 50 : 5));
    }
    if (terminalFd_ >= 0) Pump(std::chrono::milliseconds(0));
    CloseAll();
    return result_;
}

void Process::CloseAll() {
    for (const Stream& stream : streams_)
        if (stream.fd != terminalFd_) close(stream.fd);
    streams_.clear();
    if (inputFd_ >= 0) close(inputFd_);
    inputFd_ = -1;
}

}  // namespace kiv::testing
