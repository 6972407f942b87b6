#pragma once
// Windows-1252 is the code page of every table we write (code page mark 0x03).
// The rest of the program speaks UTF-8; conversion happens here, at the
// boundary of the store.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace qp::store {

std::string cp1252ToUtf8(std::string_view bytes);

struct Cp1252Text {
    std::string bytes;
    std::size_t replaced = 0; // characters Windows-1252 cannot hold, stored as '?'
};
Cp1252Text utf8ToCp1252(std::string_view utf8);

// The text in Windows-1252, or nothing when a character has no place there.
std::optional<std::string> utf8ToCp1252Exact(std::string_view utf8);

bool isValidUtf8(std::string_view text);

// Characters in valid UTF-8 text: the bytes Windows-1252 gives it when every
// character has a place there.
std::size_t utf8CharacterCount(std::string_view utf8);

// Upper case of one Windows-1252 byte, accented letters included.
unsigned char upperCp1252(unsigned char c);
std::string upperCp1252(std::string_view bytes);

} // namespace qp::store
