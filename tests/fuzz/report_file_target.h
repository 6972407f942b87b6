#pragma once
#include <cstddef>
#include <cstdint>

// Reads `data` as a report layout file: three bands and the settings.
int ReadReportBytes(const std::uint8_t* data, std::size_t size);
