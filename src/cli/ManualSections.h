#pragma once

#include <string>

#include "cli/CommandDescription.h"

namespace kiv {

// The manual page's SYNOPSIS, COMMANDS and OPTIONS sections in scdoc, each after a line
// "%%SECTION%%" that the build replaces in the page's hand-written rest
// (docs/man/kiv-cli.1.scd).
std::string ManualSections(const ProgramDescription& program);

// text with scdoc's markup characters taken literally.
std::string ScdocText(const std::string& text);

}  // namespace kiv
