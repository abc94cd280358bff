#pragma once

#include <cstddef>

#include "messages/ExitStatus.h"
#include "messages/Message.h"
#include "messages/TranslatableText.h"

namespace kiv {

// What a row of messages/MessageTable.h says in place of a text.
struct SameWords {};
inline constexpr const char* kCliOnly = nullptr;     // the window never shows it
inline constexpr const char* kWindowOnly = nullptr;  // kiv-cli never prints it
inline constexpr SameWords kSameWords{};             // kiv-cli prints the window's English words

// One message: its identity and what each front end says for it.
struct MessageRow {
    constexpr MessageRow(Message id, const char* identity, const char* windowText,
                         const char* cliText, int exitStatus)
        : message(id), name(identity), window(windowText), cli(cliText), status(exitStatus) {}
    constexpr MessageRow(Message id, const char* identity, const char* windowText, SameWords,
                         int exitStatus)
        : MessageRow(id, identity, windowText, windowText, exitStatus) {}

    Message message;
    const char* name;    // the identity as written in the table
    const char* window;  // the window's English text, translated as it is shown; or null
    const char* cli;     // kiv-cli's words; or null
    int status;          // kiv-cli's exit status when it says this message, or kNoExitStatus
};

inline constexpr MessageRow kMessageRows[] = {
#define KIV_MESSAGE(identity, window, cli, status) \
    MessageRow(Message::identity, #identity, window, cli, status),
#include "messages/MessageTable.h"
#undef KIV_MESSAGE
};

constexpr const MessageRow& RowOf(Message message) {
    return kMessageRows[static_cast<std::size_t>(message)];
}

// The window's English text of message, the key of its translation; null for kiv-cli's own.
constexpr const char* WindowText(Message message) {
    return RowOf(message).window;
}

// kiv-cli's words for message; null for a text only the window shows.
constexpr const char* CliText(Message message) {
    return RowOf(message).cli;
}

// kiv-cli's exit status when it says message, or kNoExitStatus.
constexpr int ExitStatusOf(Message message) {
    return RowOf(message).status;
}

namespace catalogue_check {
// Each row stands at its identity's place and says something to one front end at least.
constexpr bool RowsAreWhole() {
    std::size_t index = 0;
    for (const MessageRow& row : kMessageRows) {
        if (static_cast<std::size_t>(row.message) != index++) return false;
        if (row.window == nullptr && row.cli == nullptr) return false;
    }
    return true;
}
static_assert(RowsAreWhole(), "a row of messages/MessageTable.h says nothing");
}  // namespace catalogue_check

}  // namespace kiv
