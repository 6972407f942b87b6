#pragma once
// The help topics behind the links of the Getting Started page.

#include <optional>
#include <string_view>

namespace qp::addressbook {

// The context number of a link text, letter case ignored.
std::optional<int> HelpContextForLink(std::string_view linkText);

} // namespace qp::addressbook
