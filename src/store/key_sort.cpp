#include "store/key_sort.h"

#include "store/build_buffer.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace qp::store {

namespace {

using Slot = KeySortSlot;

// Eight bytes as a big-endian number, so that numbers compare as the bytes do.
std::uint64_t bigEndian(const unsigned char* bytes) {
    std::uint64_t v;
    std::memcpy(&v, bytes, 8);
    if constexpr (std::endian::native == std::endian::little)
        v = __builtin_bswap64(v);
    return v;
}

// The first offset in [from, to) at which a and b differ, `to` when none.
// Eight bytes a step: a long run of equal keys compares dozens of bytes each,
// and a byte-wise loop leaves the processor too few keys in flight to hide
// the trips to memory.
std::size_t mismatchFrom(const char* a, const char* b, std::size_t from, std::size_t to) {
    std::size_t i = from;
    for (; i + 8 <= to; i += 8) {
        const std::uint64_t x = bigEndian(reinterpret_cast<const unsigned char*>(a + i));
        const std::uint64_t y = bigEndian(reinterpret_cast<const unsigned char*>(b + i));
        if (x != y)
            return i + std::size_t(std::countl_zero(x ^ y) / 8);
    }
    for (; i < to; ++i)
        if (a[i] != b[i])
            return i;
    return to;
}

bool slotLess(const Slot& a, const Slot& b) {
    return a.prefix < b.prefix || (a.prefix == b.prefix && a.recno < b.recno);
}

// Below this many slots a comparison sort beats the radix passes.
constexpr std::size_t kSmallRun = 64;

// Per byte of a prefix, how many slots have each value: what a radix pass
// needs before it can place anything.
using ByteCounts = std::array<std::array<std::uint32_t, 256>, 8>;

void countBytes(ByteCounts& counts, std::uint64_t prefix) {
    for (int b = 0; b < 8; ++b)
        ++counts[b][(prefix >> (8 * b)) & 0xFF];
}

class KeySorter {
public:
    // `recnos` and `repeats` take the result, indexed like `slots`, the whole
    // array sort() is first given.
    KeySorter(const char* keys, std::size_t keyLength, const Slot* slots, std::uint32_t* recnos,
              std::uint8_t* repeats)
        : keys_(keys), length_(keyLength), slots_(slots), recnos_(recnos), repeats_(repeats) {}

    // Runs of equal prefixes read their keys in record order with gaps: too
    // irregular for the processor to fetch ahead by itself.
    static constexpr std::size_t kAhead = 48;
    // Bytes [first, last] of the key of `recno`: both ends, since a stretch
    // of a long key often crosses into a second cache line.
    void fetch(std::uint32_t recno, std::size_t first, std::size_t last) const {
        const char* key = keys_ + std::size_t(recno - 1) * length_;
        __builtin_prefetch(key + first);
        __builtin_prefetch(key + last);
    }

    std::uint64_t prefix(std::uint32_t recno, std::size_t offset) const {
        const auto* k = reinterpret_cast<const unsigned char*>(keys_) +
                        std::size_t(recno - 1) * length_ + offset;
        if (length_ - offset >= 8)
            return bigEndian(k);
        // Short tails: zero bytes after, the same for every key.
        unsigned char tail[8] = {};
        std::memcpy(tail, k, length_ - offset);
        return bigEndian(tail);
    }

    // Sorts slots [a, a + n) whose prefixes hold the key bytes at `offset`,
    // then each run of equal prefixes on the bytes after. Ties are in record
    // number order on entry (a stable sort keeps them so). `counts`, when
    // given, are the slots' byte counts, taken as the prefixes were filled in.
    // Each run writes its part of the result as soon as it is in order, while
    // its slots are still at hand: no pass over all of them afterwards.
    void sort(Slot* a, Slot* tmp, std::size_t n, std::size_t offset,
              const ByteCounts* counts = nullptr) {
        if (n < kSmallRun)
            std::sort(a, a + n, slotLess);
        else
            radix(a, tmp, n, counts);
        const std::size_t next = offset + 8;
        const auto at = static_cast<std::size_t>(a - slots_);
        for (std::size_t begin = 0; begin < n;) {
            std::size_t end = begin + 1;
            while (end < n && a[end].prefix == a[begin].prefix)
                ++end;
            // Bytes that every key of the run has alike (the blank rest of a
            // short name) take no pass of their own.
            const std::size_t from = end - begin > 1 && next < length_
                                         ? firstDifference(a + begin, end - begin, next)
                                         : length_;
            if (from >= length_) {
                // In order, every key the same as the one before it.
                for (std::size_t i = begin; i < end; ++i) {
                    recnos_[at + i] = a[i].recno;
                    repeats_[at + i] = i > begin;
                }
            } else {
                for (std::size_t i = begin; i < end; ++i) {
                    if (i + kAhead < end)
                        fetch(a[i + kAhead].recno, from, std::min(from + 7, length_ - 1));
                    a[i].prefix = prefix(a[i].recno, from);
                }
                sort(a + begin, tmp + begin, end - begin, from);
            }
            begin = end;
        }
    }

private:
    // The first offset from `offset` on at which some key of the run differs
    // from the others; the key length when they are all alike from there on
    // (blank fields mostly), so the run is in order already.
    std::size_t firstDifference(const Slot* a, std::size_t n, std::size_t offset) const {
        std::size_t first = length_;
        const char* lead = keys_ + std::size_t(a[0].recno - 1) * length_;
        for (std::size_t i = 1; i < n && first > offset; ++i) {
            if (i + kAhead < n)
                fetch(a[i + kAhead].recno, offset, first - 1);
            const char* key = keys_ + std::size_t(a[i].recno - 1) * length_;
            first = mismatchFrom(lead, key, offset, first);
        }
        return first;
    }

    // Least significant byte first, one stable counting pass per byte; bytes
    // that are the same in every slot take no pass.
    static void radix(Slot* a, Slot* tmp, std::size_t n, const ByteCounts* given) {
        ByteCounts counts{};
        if (given) {
            counts = *given;
        } else {
            for (std::size_t i = 0; i < n; ++i)
                countBytes(counts, a[i].prefix);
        }
        Slot* from = a;
        Slot* to = tmp;
        for (int b = 0; b < 8; ++b) {
            auto& count = counts[b];
            if (count[(from[0].prefix >> (8 * b)) & 0xFF] == n)
                continue;
            std::uint32_t sum = 0;
            for (auto& c : count) {
                const std::uint32_t here = c;
                c = sum;
                sum += here;
            }
            for (std::size_t i = 0; i < n; ++i)
                to[count[(from[i].prefix >> (8 * b)) & 0xFF]++] = from[i];
            std::swap(from, to);
        }
        if (from != a)
            std::memcpy(a, from, n * sizeof(Slot));
    }

    const char* keys_;
    std::size_t length_;
    const Slot* slots_;
    std::uint32_t* recnos_;
    std::uint8_t* repeats_;
};

} // namespace

const std::vector<std::uint32_t>& sortKeysByRecno(const char* keys, std::size_t keyLength,
                                                  std::uint32_t count, KeySortScratch& scratch) {
    std::vector<std::uint32_t>& recnos = scratch.recnos;
    sizeBuildBuffer(recnos, count);
    sizeBuildBuffer(scratch.repeats, count);
    // A tag on a field no record fills has every key the same: in record
    // order already. Other tags tell in their first few keys.
    const auto same = [&](std::uint32_t r) {
        return std::memcmp(keys, keys + std::size_t(r) * keyLength, keyLength) == 0;
    };
    std::uint32_t alike = 1;
    while (alike < count && same(alike))
        ++alike;
    if (alike >= count) {
        for (std::uint32_t i = 0; i < count; ++i) {
            recnos[i] = i + 1;
            scratch.repeats[i] = i > 0;
        }
        return recnos;
    }
    sizeBuildBuffer(scratch.workspace, std::size_t(count) * 2);
    Slot* slots = scratch.workspace.data();
    Slot* tmp = slots + count;
    KeySorter sorter(keys, keyLength, slots, recnos.data(), scratch.repeats.data());
    ByteCounts counts{};
    for (std::uint32_t i = 0; i < count; ++i) {
        slots[i] = {sorter.prefix(i + 1, 0), i + 1};
        countBytes(counts, slots[i].prefix);
    }
    sorter.sort(slots, tmp, count, 0, &counts);
    return recnos;
}

std::vector<std::uint32_t> sortKeysByRecno(const char* keys, std::size_t keyLength,
                                           std::uint32_t count) {
    KeySortScratch scratch;
    return sortKeysByRecno(keys, keyLength, count, scratch);
}

} // namespace qp::store
