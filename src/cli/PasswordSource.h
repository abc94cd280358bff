#pragma once

#include <optional>
#include <string>

namespace kiv {

// Where kiv-cli takes its password from. At most one of file, fd and environment is set; with
// none, the password is asked for on the controlling terminal with echo off.
struct PasswordSource {
    std::optional<std::string> file;
    std::optional<int> fd;
    std::optional<std::string> environment;  // the name of the variable that holds it
};

// The outcome of reading a password: the bytes, or the reason there are none.
struct PasswordReading {
    std::optional<std::string> password;
    std::string error;        // set when password is empty
    bool mismatch = false;    // the two terminal entries differed
    bool unreadable = false;  // the file, descriptor or terminal could not be read
};

// Reads the first line of the file or descriptor, without its line break (LF or CR LF), or the
// whole value of the environment variable. On the terminal, asks once, or twice when confirm is
// set; both entries must agree. Ctrl+C, SIGTERM or SIGHUP at the prompt put the terminal's
// settings back before the process ends; Ctrl+D is no password given.
PasswordReading ReadPassword(const PasswordSource& source, bool confirm);

}  // namespace kiv
