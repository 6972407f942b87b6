#pragma once
#include <cstddef>
#include <cstdint>

// Reads `data` as every kind of layout picture and draws what can be shown.
int ReadPictureBytes(const std::uint8_t* data, std::size_t size);
