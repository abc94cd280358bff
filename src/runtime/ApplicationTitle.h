#pragma once

namespace kiv {

// The caption of every plain message box and of the exception display, and the name the
// desktop shows for the running program.
inline constexpr char kApplicationTitle[] = "Pulm Vostra";

// The installed menu entry's name without ".desktop"; desktops match the program's windows to
// that entry (and its icon) by it.
inline constexpr char kDesktopFileName[] = KIV_APP_ID;

}  // namespace kiv
