#include "cli/CliArguments.h"

namespace kiv {

bool CliArguments::Parse(const std::vector<std::string>& args) {
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (optionsEnded || word.size() < 2 || word[0] != '-') {
            operands_.push_back(word);
            continue;
        }
        if (word == "--") {
            optionsEnded = true;
            continue;
        }
        std::string name = word;
        std::optional<std::string> value;
        if (const auto eq = word.find('='); word.rfind("--", 0) == 0 && eq != std::string::npos) {
            name = word.substr(0, eq);
            value = word.substr(eq + 1);
        }
        if (values_.count(name)) {
            error_ = "option '" + name + "' given twice";
            return false;
        }
        if (flags_.count(name)) {
            if (value) {
                error_ = "option '" + name + "' takes no value";
                return false;
            }
            values_[name] = "";
            continue;
        }
        if (!withValue_.count(name)) {
            error_ = "unknown option '" + name + "'";
            return false;
        }
        if (!value) {
            if (i + 1 >= args.size()) {
                error_ = "option '" + name + "' needs a value";
                return false;
            }
            value = args[++i];
        }
        values_[name] = *value;
    }
    return true;
}

std::optional<std::string> CliArguments::Value(const std::string& name) const {
    const auto it = values_.find(name);
    if (it == values_.end()) return std::nullopt;
    return it->second;
}

}  // namespace kiv
