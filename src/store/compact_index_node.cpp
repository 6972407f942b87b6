// Encoding and decoding of compact index pages: interior nodes with full keys,
// leaf nodes with bit-packed (recno, duplicate count, trail count) entries at
// the front and compressed key bytes growing from the end of the page.

#include "compact_index_impl.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>

namespace qp::store::cdx {

std::uint16_t getLe16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
std::uint32_t getLe32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}
std::uint32_t getBe32(const std::uint8_t* p) {
    return std::uint32_t(p[3]) | std::uint32_t(p[2]) << 8 | std::uint32_t(p[1]) << 16 |
           std::uint32_t(p[0]) << 24;
}
void putLe16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
void putLe32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
void putBe32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[3 - i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::string hexOffset(std::uint32_t offset) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%X", offset);
    return buf;
}

int compareEntry(std::string_view a, std::uint32_t ra, std::string_view b, std::uint32_t rb) {
    const int c = a.compare(b); // char_traits<char>::compare is unsigned-byte memcmp
    if (c != 0)
        return c < 0 ? -1 : 1;
    return ra < rb ? -1 : (ra > rb ? 1 : 0);
}

void Node::append(const Node& from, int i, int keyLength) {
    keys.append(from.key(i, keyLength));
    recnos.push_back(from.recnos[i]);
    if (!from.leaf)
        children.push_back(from.children[i]);
}

namespace {

int trailCount(std::string_view key) {
    int n = 0;
    for (auto it = key.rbegin(); it != key.rend() && *it == ' '; ++it)
        ++n;
    return n;
}

// Bytes shared with the previous key, never reaching into either key's
// trimmed blanks, so readers that keep only stored bytes agree.
int dupCount(std::string_view prev, int prevTrail, std::string_view key, int trail) {
    const int limit = static_cast<int>(key.size()) - std::max(prevTrail, trail);
    int n = 0;
    while (n < limit && prev[n] == key[n])
        ++n;
    return n;
}

int countBits(int keyLength) {
    return std::bit_width(static_cast<unsigned>(keyLength));
}

struct Widths {
    int bytes;
    int recBits;
};

Widths widths(int countBitsEach, std::uint32_t maxRecno) {
    const int need = std::max(1, static_cast<int>(std::bit_width(maxRecno)));
    const int bytes = std::max(3, (need + 2 * countBitsEach + 7) / 8);
    return {bytes, std::min(32, bytes * 8 - 2 * countBitsEach)};
}

std::uint32_t lowMask(int bits) {
    return bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1u;
}

} // namespace

LeafSizer::LeafSizer(int keyLength) : keyLength_(keyLength), countBits_(countBits(keyLength)) {}

void LeafSizer::reset() {
    count_ = 0;
    keyBytes_ = 0;
    maxRecno_ = 0;
    prev_ = {};
    prevTrail_ = 0;
}

bool LeafSizer::tryAdd(std::string_view key, std::uint32_t recno) {
    const int trail = trailCount(key);
    const int dup = count_ == 0 ? 0 : dupCount(prev_, prevTrail_, key, trail);
    const int bytes = keyLength_ - dup - trail;
    const std::uint32_t maxRecno = std::max(maxRecno_, recno);
    const int used = (count_ + 1) * widths(countBits_, maxRecno).bytes + keyBytes_ + bytes;
    if (used > kLeafSpace)
        return false;
    ++count_;
    keyBytes_ += bytes;
    maxRecno_ = maxRecno;
    prev_ = key;
    prevTrail_ = trail;
    return true;
}

int interiorCapacity(int keyLength) {
    return kInteriorSpace / (keyLength + 8);
}

bool leafFits(const Node& node, int keyLength) {
    // What LeafSizer finds adding the entries one by one, in one pass: its
    // count, widest record number and key bytes only grow, so the last
    // check decides.
    const int n = node.size();
    std::uint32_t maxRecno = 0;
    for (auto r : node.recnos)
        maxRecno = std::max(maxRecno, r);
    int used = n * widths(countBits(keyLength), maxRecno).bytes;
    std::string_view prev;
    int prevTrail = 0;
    for (int i = 0; i < n && used <= kLeafSpace; ++i) {
        const std::string_view key = node.key(i, keyLength);
        const int trail = trailCount(key);
        const int dup = i == 0 ? 0 : dupCount(prev, prevTrail, key, trail);
        used += keyLength - dup - trail;
        prev = key;
        prevTrail = trail;
    }
    return used <= kLeafSpace;
}

bool encodeLeaf(const Node& node, int keyLength, std::uint8_t* page) {
    const int bitsEach = countBits(keyLength);
    std::uint32_t maxRecno = 0;
    for (auto r : node.recnos)
        maxRecno = std::max(maxRecno, r);
    const Widths w = widths(bitsEach, maxRecno);
    const int n = node.size();
    if (n * w.bytes > kLeafSpace)
        return false;

    std::uint8_t body[kPageSize] = {};
    int keyEnd = kPageSize;
    int infoPos = kLeafHeader;
    std::string_view prev;
    int prevTrail = 0;
    for (int i = 0; i < n; ++i) {
        const std::string_view key = node.key(i, keyLength);
        const int trail = trailCount(key);
        const int dup = i == 0 ? 0 : dupCount(prev, prevTrail, key, trail);
        const int bytes = keyLength - dup - trail;
        keyEnd -= bytes;
        if (keyEnd < kLeafHeader + n * w.bytes)
            return false;
        std::memcpy(body + keyEnd, key.data() + dup, bytes);
        const std::uint64_t packed = std::uint64_t(node.recnos[i]) |
                                     std::uint64_t(dup) << w.recBits |
                                     std::uint64_t(trail) << (w.recBits + bitsEach);
        for (int b = 0; b < w.bytes; ++b)
            body[infoPos + b] = static_cast<std::uint8_t>(packed >> (8 * b));
        infoPos += w.bytes;
        prev = key;
        prevTrail = trail;
    }
    putLe16(body, static_cast<std::uint16_t>(kAttrLeaf | (node.root ? kAttrRoot : 0)));
    putLe16(body + 2, static_cast<std::uint16_t>(n));
    putLe32(body + 4, node.left);
    putLe32(body + 8, node.right);
    putLe16(body + 12, static_cast<std::uint16_t>(keyEnd - infoPos));
    putLe32(body + 14, lowMask(w.recBits));
    body[18] = static_cast<std::uint8_t>(lowMask(bitsEach));
    body[19] = static_cast<std::uint8_t>(lowMask(bitsEach));
    body[20] = static_cast<std::uint8_t>(w.recBits);
    body[21] = static_cast<std::uint8_t>(bitsEach);
    body[22] = static_cast<std::uint8_t>(bitsEach);
    body[23] = static_cast<std::uint8_t>(w.bytes);
    std::memcpy(page, body, kPageSize);
    return true;
}

void encodeInterior(const Node& node, int keyLength, std::uint8_t* page) {
    std::memset(page, 0, kPageSize);
    putLe16(page, node.root ? kAttrRoot : 0);
    putLe16(page + 2, static_cast<std::uint16_t>(node.size()));
    putLe32(page + 4, node.left);
    putLe32(page + 8, node.right);
    std::uint8_t* p = page + kInteriorHeader;
    for (int i = 0; i < node.size(); ++i) {
        std::memcpy(p, node.key(i, keyLength).data(), keyLength);
        putBe32(p + keyLength, node.recnos[i]);
        putBe32(p + keyLength + 4, node.children[i]);
        p += keyLength + 8;
    }
}

bool decodeNode(const std::uint8_t* page, int keyLength, Node& out, std::string& error) {
    const std::uint16_t attr = getLe16(page);
    if (attr > 3) {
        error = "unknown node attribute " + std::to_string(attr);
        return false;
    }
    const int n = getLe16(page + 2);
    out.leaf = (attr & kAttrLeaf) != 0;
    out.root = (attr & kAttrRoot) != 0;
    out.left = getLe32(page + 4);
    out.right = getLe32(page + 8);
    out.keys.clear();
    out.recnos.clear();
    out.children.clear();

    if (!out.leaf) {
        if (n == 0 || n > interiorCapacity(keyLength)) {
            error = "interior node holds " + std::to_string(n) + " keys";
            return false;
        }
        out.keys.reserve(static_cast<std::size_t>(n) * keyLength);
        const std::uint8_t* p = page + kInteriorHeader;
        for (int i = 0; i < n; ++i) {
            out.keys.append(reinterpret_cast<const char*>(p), keyLength);
            out.recnos.push_back(getBe32(p + keyLength));
            out.children.push_back(getBe32(p + keyLength + 4));
            p += keyLength + 8;
        }
        return true;
    }

    const int freeSpace = getLe16(page + 12);
    const std::uint32_t recMask = getLe32(page + 14);
    const int dupMask = page[18], trailMask = page[19];
    const int recBits = page[20], dupBits = page[21], trailBits = page[22];
    const int bytes = page[23];
    if (n == 0) {
        if (freeSpace != kLeafSpace) {
            error = "empty leaf with free space " + std::to_string(freeSpace);
            return false;
        }
        return true;
    }
    if (bytes < 1 || bytes > 8 || recBits > 32 || dupBits > 8 || trailBits > 8 ||
        recBits + dupBits + trailBits > bytes * 8 || recMask != lowMask(recBits) ||
        dupMask != static_cast<int>(lowMask(dupBits)) ||
        trailMask != static_cast<int>(lowMask(trailBits))) {
        error = "leaf bit widths do not add up";
        return false;
    }
    if (n * bytes > kLeafSpace) {
        error =
            "leaf holds " + std::to_string(n) + " keys of " + std::to_string(bytes) + " bytes each";
        return false;
    }
    out.keys.assign(static_cast<std::size_t>(n) * keyLength, ' ');
    out.recnos.resize(n);
    int keyEnd = kPageSize;
    const int infoEnd = kLeafHeader + n * bytes;
    for (int i = 0; i < n; ++i) {
        std::uint64_t packed = 0;
        const std::uint8_t* p = page + kLeafHeader + i * bytes;
        for (int b = 0; b < bytes; ++b)
            packed |= std::uint64_t(p[b]) << (8 * b);
        const std::uint32_t recno = static_cast<std::uint32_t>(packed) & recMask;
        const int dup = static_cast<int>(packed >> recBits) & dupMask;
        const int trail = static_cast<int>(packed >> (recBits + dupBits)) & trailMask;
        if (dup + trail > keyLength || (i == 0 && dup != 0)) {
            error = "leaf key " + std::to_string(i) + " has bad duplicate/trail counts";
            return false;
        }
        const int stored = keyLength - dup - trail;
        keyEnd -= stored;
        if (keyEnd < infoEnd) {
            error = "leaf keys overlap their entries";
            return false;
        }
        char* dst = out.keys.data() + static_cast<std::size_t>(i) * keyLength;
        if (dup > 0)
            std::memcpy(dst, dst - keyLength, dup);
        std::memcpy(dst + dup, page + keyEnd, stored);
        out.recnos[i] = recno;
    }
    if (keyEnd - infoEnd != freeSpace) {
        error = "leaf free space " + std::to_string(freeSpace) + " does not match its keys (" +
                std::to_string(keyEnd - infoEnd) + ")";
        return false;
    }
    return true;
}

std::vector<Node> splitNode(const Node& node, int keyLength) {
    const int n = node.size();
    auto piece = [&](int from, int to) {
        Node p;
        p.leaf = node.leaf;
        for (int i = from; i < to; ++i)
            p.append(node, i, keyLength);
        return p;
    };
    std::vector<Node> pieces;
    if (!node.leaf) {
        const int cap = interiorCapacity(keyLength);
        if (n <= cap)
            return {node};
        const int k = (n + cap - 1) / cap;
        for (int j = 0; j < k; ++j)
            pieces.push_back(piece(n * j / k, n * (j + 1) / k));
        return pieces;
    }
    if (leafFits(node, keyLength))
        return {node};
    // Two halves near the middle when they fit, else greedy pages.
    for (int delta = 0; delta < n / 2; ++delta) {
        for (int cut : {n / 2 - delta, n / 2 + delta + 1}) {
            if (cut <= 0 || cut >= n)
                continue;
            Node a = piece(0, cut), b = piece(cut, n);
            if (leafFits(a, keyLength) && leafFits(b, keyLength))
                return {std::move(a), std::move(b)};
        }
        if (delta > 8)
            break;
    }
    LeafSizer sizer(keyLength);
    int start = 0;
    for (int i = 0; i < n; ++i) {
        if (!sizer.tryAdd(node.key(i, keyLength), node.recnos[i])) {
            pieces.push_back(piece(start, i));
            start = i;
            sizer.reset();
            sizer.tryAdd(node.key(i, keyLength), node.recnos[i]);
        }
    }
    pieces.push_back(piece(start, n));
    return pieces;
}

} // namespace qp::store::cdx
