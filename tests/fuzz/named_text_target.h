#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// Reads `data` as delimited text with every separator (records, the format
// detection, the scan for the match window) and, when `addressFile` names an
// address file, imports it with the proposed matches. Records written back
// the standard way must read back the same.
int ReadDelimitedBytes(const std::uint8_t* data, std::size_t size,
                       const std::string& addressFile = {});

// Reads `data` as a vCard file card by card, makes each card's record under
// every choice, and, when `addressFile` names an address file, imports it.
int ReadVCardBytes(const std::uint8_t* data, std::size_t size, const std::string& addressFile = {});
