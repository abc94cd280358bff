#pragma once

#include <optional>
#include <string>

namespace kiv {

// Where kiv-cli takes its password from. At most one of file and fd is set; with neither, the
// password is asked for on the controlling terminal with echo off.
struct PasswordSource {
    std::optional<std::string> file;
    std::optional<int> fd;
};

// The outcome of reading a password: the bytes, or the reason there are none.
struct PasswordReading {
    std::optional<std::string> password;
    std::string error;      // set when password is empty
    bool mismatch = false;  // the two terminal entries differed
};

// Reads the first line of the file or descriptor, without its line break (LF or CR LF). On the
// terminal, asks once, or twice when confirm is set; both entries must agree.
PasswordReading ReadPassword(const PasswordSource& source, bool confirm);

}  // namespace kiv
