#pragma once

#include <string>
#include <vector>

#include "filecrypt/FileRunResult.h"
#include "messages/MessageCatalogue.h"

namespace kiv {

// kiv-cli's words for message, with values put where %1, %2, ... stand (values the window's text
// has and kiv-cli's words leave out are dropped). The window's texts speak of its two password
// boxes and its message boxes; kiv-cli has one password and prints lines.
std::string CliWording(Message message, const std::vector<std::string>& values = {});

// The one line kiv-cli prints for a file run that did not write everything: "kiv-cli: ", then
// what failed and the path it failed on. detail is kiv-cli's wording of the message the run
// showed, if any; it says why a password was refused and stands alone when the kind is unknown.
std::string FailureLine(FileRunFailure failure, const std::string& path, const std::string& detail);

}  // namespace kiv
