#pragma once
// Street addresses written alike: the standard postal abbreviations of
// street suffixes (STREET = ST, AVENUE = AVE, ...), of directions (NORTH =
// N, ...) and of the common unit words, so that two ways of writing one
// address compare equal.

#include <string>
#include <string_view>

namespace qp::addressbook {

// The standard abbreviation of one word in capitals; the word itself when
// it has none.
std::string_view StandardStreetWord(std::string_view upperWord);

// Windows-1252 street text in capitals, with periods and commas dropped,
// runs of blanks made one and each word replaced by its standard
// abbreviation: "12 Main Street, North" -> "12 MAIN ST N".
std::string NormalizeStreet(std::string_view street);

} // namespace qp::addressbook
