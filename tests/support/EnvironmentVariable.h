#pragma once

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>

namespace kiv::testing {

// Sets or removes one environment variable of the test process for the object's lifetime, then
// puts back what was there, so that no test leaves its folders to the next one.
class EnvironmentVariable {
  public:
    explicit EnvironmentVariable(std::string name) : name_(std::move(name)) {
        if (const char* value = std::getenv(name_.c_str())) saved_ = value;
    }
    EnvironmentVariable(std::string name, const std::string& value)
        : EnvironmentVariable(std::move(name)) {
        Set(value);
    }
    ~EnvironmentVariable() {
        if (saved_)
            Set(*saved_);
        else
            Unset();
    }
    EnvironmentVariable(const EnvironmentVariable&) = delete;
    EnvironmentVariable& operator=(const EnvironmentVariable&) = delete;

    void Set(const std::string& value) const { ::setenv(name_.c_str(), value.c_str(), 1); }
    void Unset() const { ::unsetenv(name_.c_str()); }

  private:
    std::string name_;
    std::optional<std::string> saved_;
};

}  // namespace kiv::testing
