#include "addressbook/getting_started_rules.h"

#include <array>
#include <cctype>
#include <utility>

namespace qp::addressbook {

namespace {

constexpr std::array<std::pair<std::string_view, int>, 9> kLinkTopics = {{
    {"NEW", 1037},
    {"DBASE", 1021},
    {"ASCII", 1023},
    {"ADD", 1030},
    {"CHANGE", 1030},
    {"DELETE", 2099},
    {"FREQUENTLY ASKED QUESTIONS", 2098},
    {"FIND", 1026},
    {"TECHNICAL SUPPORT", 1015},
}};

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

} // namespace

std::optional<int> HelpContextForLink(std::string_view linkText) {
    for (const auto& [text, topic] : kLinkTopics)
        if (equalsIgnoringCase(text, linkText))
            return topic;
    return std::nullopt;
}

} // namespace qp::addressbook
