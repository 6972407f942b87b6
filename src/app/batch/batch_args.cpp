#include "app/batch/batch_args.h"

#include <charconv>

namespace qp::batch {

Args::Args(const std::vector<std::string>& words, const std::set<std::string>& valueOptions,
           const std::set<std::string>& flags) {
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& w = words[i];
        if (w.size() > 2 && w.compare(0, 2, "--") == 0) {
            std::string name = w.substr(2);
            std::optional<std::string> inlineValue;
            if (auto eq = name.find('='); eq != std::string::npos) {
                inlineValue = name.substr(eq + 1);
                name.resize(eq);
            }
            if (valueOptions.count(name)) {
                if (inlineValue) {
                    values_.emplace(name, *inlineValue);
                } else {
                    if (i + 1 >= words.size())
                        throw UsageError("--" + name + " needs a value");
                    values_.emplace(name, words[++i]);
                }
            } else if (flags.count(name) && !inlineValue) {
                flags_.insert(name);
            } else {
                throw UsageError("unknown option --" + name);
            }
        } else {
            positionals_.push_back(w);
        }
    }
}

const std::string& Args::positional(std::size_t i, const char* what) const {
    if (i >= positionals_.size())
        throw UsageError(std::string("missing ") + what);
    return positionals_[i];
}

void Args::expectPositionals(std::size_t min, std::size_t max) const {
    if (positionals_.size() < min)
        throw UsageError("too few arguments");
    if (positionals_.size() > max)
        throw UsageError("too many arguments");
}

std::optional<std::string> Args::value(const std::string& name) const {
    auto range = values_.equal_range(name);
    if (range.first == range.second)
        return std::nullopt;
    return std::prev(range.second)->second;
}

std::vector<std::string> Args::values(const std::string& name) const {
    std::vector<std::string> out;
    auto range = values_.equal_range(name);
    for (auto it = range.first; it != range.second; ++it)
        out.push_back(it->second);
    return out;
}

std::optional<long> Args::number(const std::string& name) const {
    auto text = value(name);
    if (!text)
        return std::nullopt;
    long n = 0;
    auto [ptr, ec] = std::from_chars(text->data(), text->data() + text->size(), n);
    if (ec != std::errc() || ptr != text->data() + text->size())
        throw UsageError("--" + name + " takes a whole number");
    return n;
}

} // namespace qp::batch
