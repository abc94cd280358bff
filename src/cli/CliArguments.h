#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace kiv {

// A command's options in the usual Unix form: "--name VALUE", "--name=VALUE", "-x VALUE",
// flags without values, and "--" ending the options. Every option is named once at most.
class CliArguments {
  public:
    // withValue: options that take a value; flags: options that do not. Names include dashes.
    CliArguments(std::set<std::string> withValue, std::set<std::string> flags)
        : withValue_(std::move(withValue)), flags_(std::move(flags)) {}

    // Parses args (the command's own words, after its name). Returns false and sets error() on
    // an unknown option, a missing value or an option given twice.
    bool Parse(const std::vector<std::string>& args);

    bool Has(const std::string& name) const { return values_.count(name) != 0; }
    std::optional<std::string> Value(const std::string& name) const;
    const std::vector<std::string>& Operands() const { return operands_; }
    const std::string& error() const { return error_; }

  private:
    std::set<std::string> withValue_;
    std::set<std::string> flags_;
    std::map<std::string, std::string> values_;
    std::vector<std::string> operands_;
    std::string error_;
};

}  // namespace kiv
