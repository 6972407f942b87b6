#pragma once
// Orders the keys of an index build: fixed-length keys of raw bytes laid out
// by record number, sorted by unsigned bytes, then by record number.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qp::store {

// Record numbers 1..count in (key, record number) order, where the key of
// record r is the keyLength bytes at keys + (r - 1) * keyLength. A radix sort
// on eight key bytes at a time, so the cost grows with the count and the
// bytes that tell keys apart, not with count * log(count).
std::vector<std::uint32_t> sortKeysByRecno(const char* keys, std::size_t keyLength,
                                           std::uint32_t count);

} // namespace qp::store
