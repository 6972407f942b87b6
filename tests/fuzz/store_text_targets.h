#pragma once
#include <cstddef>
#include <cstdint>

// Reads `data` as the settings file QUILLP.ini: every section the program
// reads, then a value written into it and read back.
int ReadSettingsBytes(const std::uint8_t* data, std::size_t size);
// Reads `data` as a filter file and applies the filter to a small address file.
int ReadFilterBytes(const std::uint8_t* data, std::size_t size);
