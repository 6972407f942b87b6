#pragma once
// The code page of a DBF file written by another program, read from the
// language mark in its header, and its text turned into UTF-8.

#include <cstdint>
#include <string>
#include <string_view>

namespace qp::exchange {

enum class SourceCodePage {
    Windows1252,
    Dos437,
    Dos850,
    Dos852,
    Dos865,
    Dos866,
    Windows1250,
    Windows1251,
    Unknown, // bytes above 0x7F cannot be read and become '?'
};

// The code page of header byte 29. A file without a mark (0) is taken as
// Windows-1252, the code page of the files this program writes.
SourceCodePage codePageOfMark(std::uint8_t mark);
// "Windows-1252", "DOS 437", ... for messages.
std::string_view codePageName(SourceCodePage page);

// `bytes` as UTF-8. Bytes the code page does not define become '?' and are
// added to `*unreadable` when given.
std::string sourceTextToUtf8(std::string_view bytes, SourceCodePage page,
                             std::size_t* unreadable = nullptr);

} // namespace qp::exchange
