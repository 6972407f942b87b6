#pragma once
// FoxPro compact index files: the structural compound index (.CDX, a tag
// directory plus one compact B-tree per tag) and the standalone compact index
// (.IDX, one tree). Keys are raw bytes of the tag's key length (character keys
// blank padded, logical keys "T" or "F"), ordered by unsigned bytes, then by
// record number; duplicates are allowed.

#include "result.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qp::store {

enum class IndexKind { Compound, Single };
enum class KeyType { Character, Logical };

struct TagInfo {
    std::string name; // upper case, at most 10 characters
    std::string expression;
    std::string forExpression; // empty: none
    int keyLength = 0;
    KeyType keyType = KeyType::Character;
    bool unique = false;
    bool descending = false;
};

struct KeyEntry {
    std::string key; // exactly keyLength bytes
    std::uint32_t recno = 0;
};

// Keys already sorted and laid out end to end: key i is the keyLength bytes
// at keys + i * keyLength, its record number recnos[i]. Bulk builds of large
// tags take this form to avoid one string per key.
struct FlatKeys {
    const char* keys = nullptr;
    const std::uint32_t* recnos = nullptr;
    std::size_t count = 0;
    // Keys laid out by record number instead: key i is the keyLength bytes at
    // keys + (recnos[i] - 1) * keyLength, so a build sorts record numbers only.
    bool byRecno = false;
    // With byRecno, optionally: repeats[i] is 1 when key i is the same as key
    // i - 1, so the build takes it from there instead of reading it again.
    const std::uint8_t* repeats = nullptr;
    bool repeatsPrevious(std::size_t i) const { return repeats && repeats[i]; }
    std::string_view key(std::size_t i, std::size_t keyLength) const {
        return {keys + (byRecno ? std::size_t(recnos[i] - 1) : i) * keyLength, keyLength};
    }
};

class CompactIndexImpl;

class CompactIndex {
public:
    // A new, empty compound file (no tags) or a single-tag file with `tag`.
    static Result<CompactIndex> createCompound(const std::string& path);
    static Result<CompactIndex> createSingle(const std::string& path, const TagInfo& tag);
    // Reads the header and tag directory; a file whose pages do not make sense
    // is refused here or on first use with an error, never read out of bounds.
    static Result<CompactIndex> open(const std::string& path, IndexKind kind, bool readOnly);

    CompactIndex(CompactIndex&&) noexcept;
    CompactIndex& operator=(CompactIndex&&) noexcept;
    ~CompactIndex(); // flushes and closes

    IndexKind kind() const;
    int tagCount() const;
    const TagInfo& tag(int i) const;
    std::optional<int> findTag(std::string_view name) const; // case-insensitive
    // The file holds no key type: the owner learns it from the tag's key
    // expression and says it here before keys are written or checked.
    Status setKeyType(int tag, KeyType type);

    // Adds a tag (compound files) built from entries already sorted by key,
    // then record number. Memory is that of the one tag.
    Status addTag(const TagInfo& info, const std::vector<KeyEntry>& sortedEntries);
    Status addTagFlat(const TagInfo& info, const FlatKeys& sorted);

    // Fills a tag that holds no key yet from entries already sorted, in one
    // bulk build instead of one insert per key.
    Status fillEmptyTag(int tag, const FlatKeys& sorted);

    Status insert(int tag, std::string_view key, std::uint32_t recno);
    Status remove(int tag, std::string_view key, std::uint32_t recno);
    Status clearTag(int tag); // every key gone, tag kept (zap)

    // Navigation in (key, recno) order. Calls with the entry last returned are
    // fast; any entry works, so positions survive inserts and removes.
    std::optional<KeyEntry> first(int tag) const;
    std::optional<KeyEntry> last(int tag) const;
    std::optional<KeyEntry> next(int tag, const KeyEntry& from) const;
    std::optional<KeyEntry> prior(int tag, const KeyEntry& from) const;
    // First entry whose key, cut to the length of `prefix`, is >= `prefix`.
    std::optional<KeyEntry> lowerBound(int tag, std::string_view prefix) const;
    // First entry with key == key and recno >= recno (exact position look-up).
    std::optional<KeyEntry> find(int tag, std::string_view key, std::uint32_t recno) const;

    Status flush();
    const std::string& path() const;

    // Navigation answers nothing once damage is found; this tells why. Any
    // damage found also stops all writing to the file.
    Status status() const;
    // Full structural check of one tag's tree (and the tag directory): page
    // contents, key order, parent keys, sibling links, depth.
    Status verify(int tag) const;
    // Every tree at once: besides what verify checks, no page serves two
    // trees or a tree and the free list.
    Status verifyAll() const;

private:
    explicit CompactIndex(std::unique_ptr<CompactIndexImpl> impl);
    std::unique_ptr<CompactIndexImpl> impl_;
};

} // namespace qp::store
