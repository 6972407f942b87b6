#pragma once
// Orders the keys of an index build: fixed-length keys of raw bytes laid out
// by record number, sorted by unsigned bytes, then by record number.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qp::store {

// Eight key bytes from some offset, big endian, and the record they are of.
// Packed to twelve bytes: a sort holds two slots per key, so a million keys
// take 8 MB less.
struct __attribute__((packed)) KeySortSlot {
    std::uint64_t prefix;
    std::uint32_t recno;
};
static_assert(sizeof(KeySortSlot) == 12);

// Memory that a run of sorts reuses: for a large table, fresh pages for each
// sort cost the system as much time again to clear as a radix pass.
struct KeySortScratch {
    std::vector<KeySortSlot> workspace; // twice the count: the radix passes go back and forth
    std::vector<std::uint32_t> recnos;
    // By place in the order: 1 where the key is the same as the one before
    // it. A build copies such a key from its neighbour instead of reading it
    // again from where it lies, which at a large count is a trip to memory.
    std::vector<std::uint8_t> repeats;
};

// Record numbers 1..count in (key, record number) order, where the key of
// record r is the keyLength bytes at keys + (r - 1) * keyLength. A radix sort
// on eight key bytes at a time, so the cost grows with the count and the
// bytes that tell keys apart, not with count * log(count). The result lives
// in `scratch` until its next use, with `scratch.repeats` beside it.
const std::vector<std::uint32_t>& sortKeysByRecno(const char* keys, std::size_t keyLength,
                                                  std::uint32_t count, KeySortScratch& scratch);
std::vector<std::uint32_t> sortKeysByRecno(const char* keys, std::size_t keyLength,
                                           std::uint32_t count);

} // namespace qp::store
