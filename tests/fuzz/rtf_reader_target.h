#pragma once
#include <cstddef>
#include <cstdint>

// Reads `data` as RTF, writes the result and reads that back.
int ReadRtfBytes(const std::uint8_t* data, std::size_t size);
