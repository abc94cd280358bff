#pragma once

#include <string>

namespace kiv {

// The folder for the user's sockets, or why there is none to be trusted.
struct RuntimeFolder {
    std::string path;     // empty when refused
    std::string refusal;  // why, when path is empty
};

// $XDG_RUNTIME_DIR when it is set; otherwise "runtime-<user>" in $TMPDIR (or /tmp), made here
// with mode 0700 when it does not exist. Either is used only when it is a real folder (not a
// symbolic link), belongs to the user and is closed to everybody else, checked after it was
// made: anyone may make that name in /tmp first, and whoever owns or may write the folder can
// put their own socket where clients look for ours.
RuntimeFolder UserRuntimeFolder();

// path when it passes the same checks, else why not.
RuntimeFolder CheckedRuntimeFolder(const std::string& path);

}  // namespace kiv
