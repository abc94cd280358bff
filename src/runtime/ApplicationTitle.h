#pragma once

namespace kiv {

// The caption of every plain message box and of the exception display, and the name the
// desktop shows for the running program.
inline constexpr char kApplicationTitle[] = "Pulm Vostra";

}  // namespace kiv
