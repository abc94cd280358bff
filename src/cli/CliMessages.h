#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>

#include "cli/CliContext.h"

namespace kiv {

// kiv-cli's words for the cases its second round of conventions added, each with the exit status
// it ends with, kept together so that they move into a catalogue as one. "%1" and "%2" stand
// for the words Worded puts in.
struct CliMessage {
    const char* text;
    int status;
};

// Usage.
inline constexpr CliMessage kDidYouMean{"%1; did you mean '%2'?", kExitUsage};
inline constexpr CliMessage kTryCommandHelp{"Try 'kiv-cli help %1' for more information.",
                                            kExitUsage};
inline constexpr CliMessage kFlagTakesNoValue{"option '%1' takes no value", kExitUsage};
inline constexpr CliMessage kPasswordFdClash{
    "--password-fd 0 reads the password from standard input, which holds %1", kExitUsage};

// dde.
inline constexpr CliMessage kNoWindowRunning{"no window is running: nothing listens at %1",
                                             kExitNoWindow};

// The names by which dde finds the desktop program's window: its name, as the desktop shows it,
// and the caption the service knows the main window by.
inline constexpr char kProgramName[] = "Pulm Vostra";
inline constexpr char kMainWindowCaption[] = "Protect the lives of your information";

// Overwriting.
inline constexpr CliMessage kOutputExists{"'%1' exists: give -f to replace it, or -n to keep it",
                                          kExitFailed};
inline constexpr CliMessage kKeptExisting{"'%1' exists and is kept", kExitOk};

// decrypt-text: the line after its first few failure lines; %1 lines of %2 failed.
inline constexpr std::size_t kShownLineFailures = 5;
inline constexpr CliMessage kTextLinesFailed{"%1 of %2 lines were not decrypted whole",
                                             kExitFailed};
inline constexpr CliMessage kTextPasswordWrong{"%1 of %2 lines were not decrypted: wrong password",
                                               kExitPassword};

// kiv-cli's own lines for what the engine does not word (with "kiv-cli: "), each with the exit
// status it ends a run with (0: the run goes on, or succeeds, after it).
namespace cli_message {

// A restore wrote a file stored in parts as its parts.
inline constexpr CliMessage kJoinParts = {
    "kiv-cli: '%1' was stored in %2 parts, restored as its parts; join them: %3", kExitOk};

// decrypt-file --entry NAME: no container given holds a file of that name.
inline constexpr CliMessage kNotStored = {"kiv-cli: no stored file is named '%1'", kExitFailed};

}  // namespace cli_message

// message's text with %1, %2, ... replaced by the fills, in order.
std::string Filled(const CliMessage& message, std::initializer_list<std::string> fills);

// text with %1 and %2 replaced by first and second.
std::string Worded(const CliMessage& message, const std::string& first,
                   const std::string& second = {});

}  // namespace kiv
