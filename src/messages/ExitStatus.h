#pragma once

namespace kiv {

// Exit statuses of kiv-cli. With several failures, a run ends with the status of the first.
// A signal ends the process as it would have without kiv-cli's handlers (128 + N in a shell).
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;       // a line, block or entry not encrypted, decrypted,
                                            // restored or listed, or a damaged container
inline constexpr int kExitUsage = 2;        // the command line asks for nothing kiv-cli does
inline constexpr int kExitPassword = 3;     // no password, or one refused: wrong for the container,
                                            // outside the cipher's lengths, holding a NUL
inline constexpr int kExitInputOutput = 4;  // a file, standard input or standard output could
                                            // not be read or written
inline constexpr int kExitStopped = 5;      // kiv-cli could not go on: out of memory, or a fault of
                                            // its own
inline constexpr int kExitNoWindow = 6;     // dde: no desktop program listens for it

// A message kiv-cli does not end on: a report line, a warning, a text of the window's.
inline constexpr int kNoExitStatus = -1;

// What each status means, as kiv-cli's help says it.
struct ExitStatusMeaning {
    int status;
    const char* meaning;
};
inline constexpr ExitStatusMeaning kExitStatusMeanings[] = {
    {kExitOk, "success"},
    {kExitFailed,
     "a line, block or stored file that could not be encrypted, decrypted, restored or listed, "
     "a damaged encrypted file, or a file in the way of an output (without -f or -n)"},
    {kExitUsage,
     "a usage error, or files that cannot go together (two files of one name, an output that is "
     "one of the files)"},
    {kExitPassword,
     "the password was refused: wrong for the encrypted file or for nearly every line of a text, "
     "outside the lengths the cipher accepts, holding a NUL byte, or not given"},
    {kExitInputOutput,
     "a file, standard input or standard output that could not be read or written"},
    {kExitStopped, "kiv-cli ran out of memory, or stopped on a fault of its own"},
    {kExitNoWindow, "dde: no window of the desktop program is running"},
};

}  // namespace kiv
