#pragma once
// Command-line arguments of one batch command: positionals, --name value
// options (repeatable) and --flags.

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace qp::batch {

class UsageError {
public:
    explicit UsageError(std::string message) : message(std::move(message)) {}
    std::string message;
};

class Args {
public:
    // `valueOptions` take a value; `flags` take none; anything else is a usage error.
    Args(const std::vector<std::string>& words, const std::set<std::string>& valueOptions,
         const std::set<std::string>& flags);

    const std::vector<std::string>& positionals() const { return positionals_; }
    const std::string& positional(std::size_t i, const char* what) const;
    void expectPositionals(std::size_t min, std::size_t max) const;
    std::optional<std::string> value(const std::string& name) const;
    std::vector<std::string> values(const std::string& name) const;
    bool flag(const std::string& name) const { return flags_.count(name) > 0; }
    // A whole number option; a usage error when it is not one.
    std::optional<long> number(const std::string& name) const;

private:
    std::vector<std::string> positionals_;
    std::multimap<std::string, std::string> values_;
    std::set<std::string> flags_;
};

} // namespace qp::batch
