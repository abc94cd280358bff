#include "cli/CliMessages.h"

#include <string_view>

namespace kiv {

std::string Filled(const CliMessage& message, std::initializer_list<std::string> fills) {
    std::string text = message.text;
    int number = 0;
    for (const std::string& fill : fills) {
        const std::string mark = "%" + std::to_string(++number);
        if (const auto at = text.find(mark); at != std::string::npos)
            text.replace(at, mark.size(), fill);
    }
    return text;
}

std::string Worded(const CliMessage& message, const std::string& first, const std::string& second) {
    // One pass over the text, so that a word that itself holds "%2" stays as given.
    const std::string_view text = message.text;
    std::string out;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] == '%' && at + 1 < text.size() &&
            (text[at + 1] == '1' || text[at + 1] == '2')) {
            out += text[++at] == '1' ? first : second;
            continue;
        }
        out += text[at];
    }
    return out;
}

}  // namespace kiv
