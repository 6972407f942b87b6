#pragma once
// Internals shared by the compact_index*.cpp files: the page codec, the page
// file with its cache, and the tree engine behind CompactIndex.

#include "compact_index.h"

#include <array>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qp::store::cdx {

inline constexpr std::uint32_t kPageSize = 512;
inline constexpr std::uint32_t kNoPage = 0xFFFFFFFFu;
inline constexpr int kLeafHeader = 24;
inline constexpr int kLeafSpace = 488;
inline constexpr int kInteriorHeader = 12;
inline constexpr int kInteriorSpace = 500;
inline constexpr int kMaxKeyLength = 240;
inline constexpr int kTagNameLength = 10;

inline constexpr std::uint16_t kAttrRoot = 1;
inline constexpr std::uint16_t kAttrLeaf = 2;

inline constexpr std::uint8_t kOptUnique = 0x01;
inline constexpr std::uint8_t kOptFor = 0x08;
inline constexpr std::uint8_t kOptCompact = 0x20;
inline constexpr std::uint8_t kOptCompound = 0x40;
inline constexpr std::uint8_t kOptStructural = 0x80;

// Header field offsets (file header and tag headers alike).
inline constexpr int kHdrRoot = 0;
inline constexpr int kHdrFree = 4;
inline constexpr int kHdrVersion = 8;
inline constexpr int kHdrKeyLength = 12;
inline constexpr int kHdrOptions = 14;
inline constexpr int kHdrSignature = 15;
inline constexpr int kHdrExprTotal = 500;
inline constexpr int kHdrDescending = 502;
inline constexpr int kHdrForPos = 504;
inline constexpr int kHdrForLength = 506;
inline constexpr int kHdrKeyPos = 508;
inline constexpr int kHdrKeyLengthPool = 510;
inline constexpr int kHdrPool = 512;

std::uint16_t getLe16(const std::uint8_t* p);
std::uint32_t getLe32(const std::uint8_t* p);
std::uint32_t getBe32(const std::uint8_t* p);
void putLe16(std::uint8_t* p, std::uint16_t v);
void putLe32(std::uint8_t* p, std::uint32_t v);
void putBe32(std::uint8_t* p, std::uint32_t v);

// Asks for key i of a bulk build ahead of its use: keys laid out by record
// number are read in a random order, and a pass over many of them would
// otherwise wait on memory at every key. A key that repeats the one before
// it is not read.
inline constexpr std::size_t kPrefetchAhead = 48;
inline void prefetchKey(const FlatKeys& keys, std::size_t i, std::size_t keyLength) {
    if (keys.byRecno && i < keys.count && !keys.repeatsPrevious(i)) {
        const char* k = keys.keys + std::size_t(keys.recnos[i] - 1) * keyLength;
        __builtin_prefetch(k);
        __builtin_prefetch(k + keyLength - 1);
    }
}

// Page offsets in messages, as 0x... .
std::string hexOffset(std::uint32_t offset);

// (key, recno) order: unsigned bytes, then record number.
int compareEntry(std::string_view a, std::uint32_t ra, std::string_view b, std::uint32_t rb);

// One decoded tree page. Interior entries hold the highest entry of their child.
struct Node {
    bool leaf = true;
    bool root = false;
    std::uint32_t left = kNoPage;
    std::uint32_t right = kNoPage;
    std::string keys; // size() * keyLength bytes, blank padded
    std::vector<std::uint32_t> recnos;
    std::vector<std::uint32_t> children; // interior nodes only

    int size() const { return static_cast<int>(recnos.size()); }
    std::string_view key(int i, int keyLength) const {
        return std::string_view(keys).substr(static_cast<std::size_t>(i) * keyLength, keyLength);
    }
    void append(const Node& from, int i, int keyLength);
};

// Counts the bytes a leaf needs as entries are appended, with the exact rules
// of the encoder, so packing decisions never disagree with encoding.
class LeafSizer {
public:
    explicit LeafSizer(int keyLength);
    bool tryAdd(std::string_view key, std::uint32_t recno);
    int count() const { return count_; }
    void reset();

private:
    int keyLength_;
    int countBits_;
    int count_ = 0;
    int keyBytes_ = 0;
    std::uint32_t maxRecno_ = 0;
    std::string_view prev_;
    int prevTrail_ = 0;
};

int interiorCapacity(int keyLength);
bool leafFits(const Node& node, int keyLength);
// False when the entries do not fit one page.
bool encodeLeaf(const Node& node, int keyLength, std::uint8_t* page);
void encodeInterior(const Node& node, int keyLength, std::uint8_t* page);
// Decodes and checks one page; on failure `error` says what does not add up.
bool decodeNode(const std::uint8_t* page, int keyLength, Node& out, std::string& error);

// A tag name as stored in the tag directory: upper case, blank padded.
std::string padTagName(std::string_view name);

// Splits an overfull node into pieces that each fit a page.
std::vector<Node> splitNode(const Node& node, int keyLength);

// The file as 512-byte pages with an in-memory cache; dirty pages are written
// by flush().
class PageFile {
public:
    PageFile() = default;
    PageFile(const PageFile&) = delete;
    PageFile& operator=(const PageFile&) = delete;
    ~PageFile();

    // Empty string on success, else an I/O error text.
    std::string open(const std::string& path, bool create, bool readOnly);
    std::uint64_t size() const { return size_; }
    // Page must lie inside the file and be aligned (checked by the caller);
    // nullptr on an I/O failure.
    std::uint8_t* load(std::uint32_t offset, std::string& error);
    // The page to be written whole: dirty, its old bytes not read.
    std::uint8_t* overwrite(std::uint32_t offset);
    void markDirty(std::uint32_t offset);
    std::uint32_t append(); // a zeroed dirty page at the end
    // `count` pages at the end that bypass the cache: the caller writes them
    // with writeThrough. Returns the first one's offset.
    std::uint32_t reserve(std::size_t count);
    std::string writeThrough(std::uint32_t offset, const std::uint8_t* data, std::size_t size);
    bool hasDirty() const;
    std::string flush();
    void dropClean(std::size_t keepAtMost);

private:
    struct Page {
        std::array<std::uint8_t, kPageSize> data{};
        bool dirty = false;
    };
    int fd_ = -1;
    std::uint64_t size_ = 0;
    std::size_t dirtyCount_ = 0;
    std::unordered_map<std::uint32_t, std::unique_ptr<Page>> pages_;
};

struct Tree {
    std::uint32_t header = 0;
    int keyLength = 0;
    std::uint32_t root = kNoPage;
};

// A decoded page kept between operations, so that a run of key changes
// works on decoded nodes and encodes each page once, when it is written out.
struct CachedNode {
    Node node;
    int keyLength = 0;
    bool dirty = false;     // newer than the page's bytes
    std::uint64_t used = 0; // last use, for dropping the oldest
    std::size_t bytes = 0;  // memory held, roughly
};

// The last decoded leaf of a tag, valid while the generation is unchanged.
struct Cursor {
    std::uint32_t page = kNoPage;
    std::uint64_t generation = 0;
    Node leaf;
};

struct Step {
    std::uint32_t page;
    int index;
};

enum class Aim { AtLeast, After, First, Last };

// Bytes of decoded pages each index file opened from now on keeps between
// key changes: 8 MB unless set, enough for the pages a run of record updates
// touches across all tags. Tests set it low to write pages back often.
std::size_t decodedPageLimit();
void setDecodedPageLimit(std::size_t bytes);

} // namespace qp::store::cdx

namespace qp::store {

class CompactIndexImpl {
public:
    struct TagState {
        TagInfo info;
        cdx::Tree tree;
        cdx::Cursor cursor;
    };

    std::string path;
    IndexKind kind = IndexKind::Compound;
    bool readOnly = false;
    cdx::PageFile file;
    std::vector<TagState> tags;
    cdx::Tree directory; // compound files: tag names -> tag header offsets
    std::uint32_t freeList = cdx::kNoPage;
    // What this file writes for "no free page": FoxPro writes 0xFFFFFFFF, other
    // engines 0. Kept as found so the file stays as its writer expects.
    std::uint32_t freeListEnd = cdx::kNoPage;
    std::uint64_t generation = 1;
    bool damaged = false;
    std::string damageMessage;
    // Decoded pages by offset. A dirty node is the page's true content: raw
    // access to its page encodes it first (page()), and writing the raw page
    // drops it (pageForWrite()).
    std::unordered_map<std::uint32_t, cdx::CachedNode> nodes;
    std::size_t nodeBytes = 0;
    std::size_t nodeBudget = cdx::decodedPageLimit();
    std::uint64_t nodeClock = 0;

    // file handling (compact_index_file.cpp)
    Status create(const TagInfo* single);
    Status load();
    Status flush();
    Error damage(const std::string& what);
    Error ioError(const std::string& what);
    Status writable();
    Result<const std::uint8_t*> page(std::uint32_t offset);
    Result<std::uint8_t*> pageForWrite(std::uint32_t offset);
    Result<std::uint32_t> allocPage();
    Status freePage(std::uint32_t offset);
    Status setRoot(cdx::Tree& tree, std::uint32_t root);
    Status writeTagHeader(std::uint32_t offset, const TagInfo& info, std::uint32_t root,
                          std::uint8_t extraOptions);
    Status checkTagInfo(const TagInfo& info) const;
    Status checkKey(const TagState& tag, std::string_view key) const;
    // The failure of a bulk build whose entry `at` does not follow the one
    // before it.
    static Status unsortedAt(const TagState& tag, std::size_t at);
    // Keeps the decoded pages under `budget` bytes, writing the oldest dirty
    // ones back into the page cache (not yet to disk).
    Status trimNodes(std::size_t budget);
    Status writeBackNode(std::uint32_t offset, cdx::CachedNode& entry);
    Status writeBackNodes();
    void dropNode(std::uint32_t offset);

    // tree operations (compact_index_tree.cpp)
    // A copy of the node: from the decoded cache when there, else decoded
    // without filling the cache (walks and checks pass over many pages once).
    Result<cdx::Node> loadNode(const cdx::Tree& tree, std::uint32_t offset);
    // The decoded node, kept in the cache; valid until the next trimNodes()
    // or raw write of its page.
    Result<cdx::CachedNode*> cachedNode(const cdx::Tree& tree, std::uint32_t offset);
    // Encodes the node into its page now (bulk builds, zap).
    Status storeNode(std::uint32_t offset, const cdx::Node& node, int keyLength);
    // Keeps the node decoded and dirty; encoded when written out.
    void keepNode(std::uint32_t offset, cdx::Node node, int keyLength);
    void touched(cdx::CachedNode& entry);
    Status setLink(std::uint32_t target, bool left, std::uint32_t value);
    Result<std::uint32_t> descend(const cdx::Tree& tree, cdx::Aim aim, std::string_view key,
                                  std::uint32_t recno, std::vector<cdx::Step>* path);
    Status insertEntry(cdx::Tree& tree, std::string_view key, std::uint32_t recno);
    Status removeEntry(cdx::Tree& tree, std::string_view key, std::uint32_t recno);
    Status rebuild(cdx::Tree& tree, std::vector<cdx::Step>& path, std::uint32_t offset,
                   cdx::Node node);
    // The tree of `entries`, checked against the tag's key rules and order as
    // they are read; its root page.
    Result<std::uint32_t> buildTree(const TagState& tag, const FlatKeys& entries);
    Status clearTree(cdx::Tree& tree);
    // `seen` collects the pages of the tree; a page already in it is damage.
    Status verifyTree(const cdx::Tree& tree, std::set<std::uint32_t>& seen);

    // navigation (compact_index.cpp)
    Status loadCursor(const cdx::Tree& tree, cdx::Cursor& cursor, std::uint32_t leaf);
    Result<bool> stepRight(const cdx::Tree& tree, cdx::Cursor& cursor);
    Result<bool> stepLeft(const cdx::Tree& tree, cdx::Cursor& cursor);
    // Positions the cursor on the entry the aim selects; -1: none.
    Result<int> seek(const cdx::Tree& tree, cdx::Cursor& cursor, cdx::Aim aim, std::string_view key,
                     std::uint32_t recno);
    Result<std::vector<KeyEntry>> readAll(const cdx::Tree& tree);
};

} // namespace qp::store
