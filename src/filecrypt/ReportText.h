#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "messages/MessageCatalogue.h"

namespace kiv {

// A report line or message as a run produces it: a message of the catalogue, whose window text
// is an English template with %1, %2, ... where its values go, and the values as they are shown:
// names already made printable, numbers in decimal. The window translates the template and then
// puts the values in, so a Turkish window shows a Turkish line around the same names and
// figures; kiv-cli words the message by its identity, and the tests read the English text
// (Filled). A fixed text is a message without values.
struct ReportText {
    ReportText(Message id) : message(id), templ(WindowText(id)) {}  // a fixed text converts
    ReportText(Message id, std::vector<std::string> values)
        : message(id), templ(WindowText(id)), args(std::move(values)) {}

    // A line that is only a value, such as a path or a stored name: made printable here.
    static ReportText Value(std::string_view bytes);

    // The English text with the values put in.
    std::string Filled() const;

    Message message;
    const char* templ;  // the message's window text
    std::vector<std::string> args;
};

// Puts values into a template in one pass, so a value that itself holds "%2" stays as it is:
// %N (N from 1 to 9) becomes values[N - 1]; a %N without a value and any other "%" are kept.
std::string FillTemplate(std::string_view templ, const std::vector<std::string>& values);

}  // namespace kiv
