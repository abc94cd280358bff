#pragma once

namespace kiv {

// What an output does to a file that holds its name when it is put in place.
enum class ExistingFile {
    Replace,  // the output takes the name over, as a run's outputs normally do
    Keep,     // the output fails (EEXIST) instead: a name chosen because it was free stays the
              // other file's when somebody else takes it first
};

}  // namespace kiv
