#pragma once
#include <cstddef>
#include <cstdint>

// Reads `data` as a layout stream every way the program does.
int ReadLayoutBytes(const std::uint8_t* data, std::size_t size);
