#pragma once
// The properties a card written by this program carries for the address
// fields vCard has no name for, so that a card read back fills them again.

#include <array>
#include <string_view>
#include <utility>

namespace qp::exchange {

inline constexpr std::string_view kDateProperty = "X-QUILLPOST-DATE";

inline constexpr std::array<std::pair<std::string_view, std::string_view>, 3> kOwnProperties{{
    {"X-QUILLPOST-CODES", "CODES"},
    {"X-QUILLPOST-USER1", "USER1"},
    {"X-QUILLPOST-USER2", "USER2"},
}};

} // namespace qp::exchange
