#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// Reads `data` as a comma-separated import file every way the program does:
// each line split, the file scanned for the match window, and, when
// `addressFile` names an address file, imported into it. Every input must
// give fields or a message, never a crash, a hang or unbounded memory.
int ReadCsvBytes(const std::uint8_t* data, std::size_t size, const std::string& addressFile = {});
