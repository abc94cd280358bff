#include "messages/MessageDocuments.h"

#include <cstdio>
#include <sstream>
#include <string_view>

#include "data/KnownAnswers.h"
#include "messages/MessageCatalogue.h"

namespace kiv::testing {

namespace {

// A text as one field: "-" when there is none, control bytes and backslashes as "\xNN".
std::string Field(const char* text) {
    if (text == nullptr) return "-";
    std::string field;
    for (const char c : std::string_view(text)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f || c == '\\') {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            field += escaped;
        } else {
            field += c;
        }
    }
    return field;
}

std::string Status(int status) {
    return status == kNoExitStatus ? "-" : std::to_string(status);
}

// A text in a cell of a Markdown table: quoted, so that its blanks show, with its line breaks
// written as in the code and "|" kept from ending the cell.
std::string Cell(const char* text) {
    if (text == nullptr) return "";
    std::string cell = "\"";
    for (const char c : std::string_view(text)) {
        if (c == '\n')
            cell += "\\n";
        else if (c == '|')
            cell += "\\|";
        else
            cell += c;
    }
    return cell + "\"";
}

}  // namespace

std::string MessagesTsv() {
    std::ostringstream out;
    out << "# Every row of the message catalogue (src/messages/MessageTable.h), made by "
           "message_documents.\n"
           "# identity<TAB>window's text<TAB>kiv-cli's words<TAB>exit status (\"-\": none; "
           "\"\\xNN\" is one byte)\n";
    for (const MessageRow& row : kMessageRows)
        out << row.name << '\t' << Field(row.window) << '\t' << Field(row.cli) << '\t'
            << Status(row.status) << '\n';
    return out.str();
}

std::string ErrorsList() {
    std::ostringstream out;
    out << kErrorsListHeading
        << "\nMade from `src/messages/MessageTable.h` by `cmake --build build --target "
           "update_message_documents`; a test fails when it differs. The window shows its text "
           "translated; kiv-cli prints its words after \"kiv-cli: \" and ends with the status. "
           "A blank cell: the front end never says it, or kiv-cli says no status; \"same\": "
           "kiv-cli prints the window's English words.\n\n"
           "| Message | Window | kiv-cli | Status |\n|---|---|---|---|\n";
    for (const MessageRow& row : kMessageRows) {
        const bool same =
            row.cli != nullptr && row.window != nullptr && std::string_view(row.cli) == row.window;
        out << "| `" << row.name << "` | " << Cell(row.window) << " | "
            << (same ? "same" : Cell(row.cli)) << " | "
            << (row.status == kNoExitStatus ? "" : Status(row.status)) << " |\n";
    }
    return out.str();
}

std::string MessagesTsvPath() {
    return KnownAnswerPath("messages.tsv");
}

std::string ErrorsDocumentPath() {
    return KnownAnswerPath("../../docs/errors.md");
}

}  // namespace kiv::testing
