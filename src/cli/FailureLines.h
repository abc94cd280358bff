#pragma once

#include <string>

#include "filecrypt/FileRunResult.h"

namespace kiv {

// kiv-cli's wording of a message the engine or a file run addresses to the window, known by the
// message's identity: the address of its constant (a ReportText's templ), not its words, which
// several messages share. The window's texts speak of its two password boxes and its message
// boxes; kiv-cli has one password and prints lines. A message it does not know keeps its words,
// made printable, without their outer blanks and with a small first letter, so that they read
// on after "kiv-cli: ".
std::string CliWording(const char* message);

// The one line kiv-cli prints for a file run that did not write everything: "kiv-cli: ", then
// what failed and the path it failed on. detail is kiv-cli's wording of the message the run
// showed, if any; it says why a password was refused and stands alone when the kind is unknown.
std::string FailureLine(FileRunFailure failure, const std::string& path, const std::string& detail);

// Lines of kiv-cli's own about passwords.
inline constexpr char kPasswordsDiffer[] = "the two passwords differ";
inline constexpr char kTextPasswordTooShort[] = "the password must be at least 3 characters long";

}  // namespace kiv
