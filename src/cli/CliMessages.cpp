#include "cli/CliMessages.h"

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

}  // namespace kiv
