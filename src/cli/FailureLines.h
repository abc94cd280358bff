#pragma once

#include <string>

#include "filecrypt/FileRunResult.h"

namespace kiv {

// kiv-cli's wording of a text the engine or a file run addresses to the window. The window's
// texts speak of its two password boxes and its message boxes; kiv-cli has one password and
// prints lines. A text it does not know keeps its words, made printable, without its outer
// blanks and with a small first letter, so that it reads on after "kiv-cli: ".
std::string CliWording(const std::string& windowText);

// The one line kiv-cli prints for a file run that did not write everything: "kiv-cli: ", then
// what failed and the path it failed on. detail is kiv-cli's wording of the message the run
// showed, if any; it says why a password was refused and stands alone when the kind is unknown.
std::string FailureLine(FileRunFailure failure, const std::string& path, const std::string& detail);

// Lines of kiv-cli's own about passwords.
inline constexpr char kPasswordsDiffer[] = "the two passwords differ";
inline constexpr char kTextPasswordTooShort[] = "the password must be at least 3 characters long";

}  // namespace kiv
