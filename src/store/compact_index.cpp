// The public face of the compact index, and navigation through a per-tag
// cursor holding the last decoded leaf.

#include "compact_index_impl.h"

#include <algorithm>
#include <atomic>
#include <cctype>

namespace qp::store {

namespace {

std::atomic<std::size_t> pageLimit{std::size_t(8) << 20};

} // namespace

std::size_t cdx::decodedPageLimit() {
    return pageLimit.load(std::memory_order_relaxed);
}

void cdx::setDecodedPageLimit(std::size_t bytes) {
    pageLimit.store(bytes, std::memory_order_relaxed);
}

using namespace cdx;

namespace {

constexpr std::size_t kCachePages = 4096;

int bound(const Node& node, int keyLength, std::string_view key, std::uint32_t recno, bool after) {
    int lo = 0, hi = node.size();
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        const int c = compareEntry(node.key(mid, keyLength), node.recnos[mid], key, recno);
        if (c < 0 || (after && c == 0))
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

KeyEntry entryAt(const Cursor& c, int i, int keyLength) {
    return KeyEntry{std::string(c.leaf.key(i, keyLength)), c.leaf.recnos[i]};
}

} // namespace

Status CompactIndexImpl::loadCursor(const Tree& tree, Cursor& cursor, std::uint32_t leaf) {
    cursor.page = kNoPage;
    auto node = loadNode(tree, leaf);
    if (!node)
        return Error{node.error()};
    if (!node->leaf)
        return damage("page " + hexOffset(leaf) + " should be a leaf");
    if (node->size() == 0 && !node->root)
        return damage("leaf " + hexOffset(leaf) + " is empty");
    if (node->root && (node->left != kNoPage || node->right != kNoPage))
        return damage("root leaf " + hexOffset(leaf) + " has siblings");
    cursor.leaf = std::move(*node);
    cursor.page = leaf;
    cursor.generation = generation;
    return {};
}

Result<bool> CompactIndexImpl::stepRight(const Tree& tree, Cursor& cursor) {
    const std::uint32_t from = cursor.page, to = cursor.leaf.right;
    if (to == kNoPage)
        return false;
    const int kl = tree.keyLength;
    const std::string lastKey(cursor.leaf.key(cursor.leaf.size() - 1, kl));
    const std::uint32_t lastRecno = cursor.leaf.recnos.back();
    if (auto s = loadCursor(tree, cursor, to); !s)
        return Error{s.error()};
    if (cursor.leaf.root) {
        cursor.page = kNoPage;
        return damage("leaf " + hexOffset(from) + " has the root as its sibling");
    }
    // Strictly rising keys and matching back links rule out sibling cycles.
    if (cursor.leaf.left != from ||
        compareEntry(cursor.leaf.key(0, kl), cursor.leaf.recnos[0], lastKey, lastRecno) <= 0) {
        cursor.page = kNoPage;
        return damage("sibling links between leaves " + hexOffset(from) + " and " + hexOffset(to) +
                      " are inconsistent");
    }
    return true;
}

Result<bool> CompactIndexImpl::stepLeft(const Tree& tree, Cursor& cursor) {
    const std::uint32_t from = cursor.page, to = cursor.leaf.left;
    if (to == kNoPage)
        return false;
    const int kl = tree.keyLength;
    const std::string firstKey(cursor.leaf.key(0, kl));
    const std::uint32_t firstRecno = cursor.leaf.recnos[0];
    if (auto s = loadCursor(tree, cursor, to); !s)
        return Error{s.error()};
    if (cursor.leaf.root) {
        cursor.page = kNoPage;
        return damage("leaf " + hexOffset(from) + " has the root as its sibling");
    }
    const int n = cursor.leaf.size();
    if (cursor.leaf.right != from ||
        compareEntry(cursor.leaf.key(n - 1, kl), cursor.leaf.recnos[n - 1], firstKey, firstRecno) >=
            0) {
        cursor.page = kNoPage;
        return damage("sibling links between leaves " + hexOffset(to) + " and " + hexOffset(from) +
                      " are inconsistent");
    }
    return true;
}

Result<int> CompactIndexImpl::seek(const Tree& tree, Cursor& cursor, Aim aim, std::string_view key,
                                   std::uint32_t recno) {
    auto leaf = descend(tree, aim, key, recno, nullptr);
    if (!leaf)
        return Error{leaf.error()};
    if (auto s = loadCursor(tree, cursor, *leaf); !s)
        return Error{s.error()};
    const int n = cursor.leaf.size();
    if (n == 0)
        return -1;
    if (aim == Aim::First)
        return 0;
    if (aim == Aim::Last)
        return n - 1;
    const bool after = aim == Aim::After;
    int i = bound(cursor.leaf, tree.keyLength, key, recno, after);
    // An interior key may be higher than what is left below it.
    while (i == cursor.leaf.size()) {
        auto moved = stepRight(tree, cursor);
        if (!moved)
            return Error{moved.error()};
        if (!*moved)
            return -1;
        i = bound(cursor.leaf, tree.keyLength, key, recno, after);
    }
    return i;
}

Result<std::vector<KeyEntry>> CompactIndexImpl::readAll(const Tree& tree) {
    Cursor cursor;
    std::vector<KeyEntry> all;
    auto i = seek(tree, cursor, Aim::First, {}, 0);
    if (!i)
        return Error{i.error()};
    if (*i < 0)
        return all;
    for (;;) {
        for (int j = 0; j < cursor.leaf.size(); ++j)
            all.push_back(entryAt(cursor, j, tree.keyLength));
        auto moved = stepRight(tree, cursor);
        if (!moved)
            return Error{moved.error()};
        if (!*moved)
            return all;
    }
}

CompactIndex::CompactIndex(std::unique_ptr<CompactIndexImpl> impl) : impl_(std::move(impl)) {}
CompactIndex::CompactIndex(CompactIndex&&) noexcept = default;
CompactIndex& CompactIndex::operator=(CompactIndex&& other) noexcept {
    if (this != &other) {
        if (impl_)
            (void)impl_->flush();
        impl_ = std::move(other.impl_);
    }
    return *this;
}
CompactIndex::~CompactIndex() {
    if (impl_)
        (void)impl_->flush();
}

Result<CompactIndex> CompactIndex::createCompound(const std::string& path) {
    auto impl = std::make_unique<CompactIndexImpl>();
    impl->path = path;
    impl->kind = IndexKind::Compound;
    if (auto s = impl->create(nullptr); !s)
        return fail(s.error());
    return CompactIndex(std::move(impl));
}

Result<CompactIndex> CompactIndex::createSingle(const std::string& path, const TagInfo& tag) {
    auto impl = std::make_unique<CompactIndexImpl>();
    impl->path = path;
    impl->kind = IndexKind::Single;
    if (auto s = impl->create(&tag); !s)
        return fail(s.error());
    return CompactIndex(std::move(impl));
}

Result<CompactIndex> CompactIndex::open(const std::string& path, IndexKind kind, bool readOnly) {
    auto impl = std::make_unique<CompactIndexImpl>();
    impl->path = path;
    impl->kind = kind;
    impl->readOnly = readOnly;
    if (auto s = impl->load(); !s)
        return fail(s.error());
    return CompactIndex(std::move(impl));
}

IndexKind CompactIndex::kind() const {
    return impl_->kind;
}
int CompactIndex::tagCount() const {
    return static_cast<int>(impl_->tags.size());
}
const TagInfo& CompactIndex::tag(int i) const {
    return impl_->tags.at(i).info;
}
const std::string& CompactIndex::path() const {
    return impl_->path;
}

std::optional<int> CompactIndex::findTag(std::string_view name) const {
    const std::string wanted = padTagName(name);
    if (name.size() > static_cast<std::size_t>(kTagNameLength))
        return std::nullopt;
    for (int i = 0; i < tagCount(); ++i)
        if (padTagName(impl_->tags[i].info.name) == wanted)
            return i;
    return std::nullopt;
}

Status CompactIndex::setKeyType(int tag, KeyType type) {
    if (tag < 0 || tag >= tagCount())
        return fail("Index file " + impl_->path + " has no tag number " + std::to_string(tag));
    auto& info = impl_->tags[static_cast<std::size_t>(tag)].info;
    if (type == KeyType::Logical && info.keyLength != 1)
        return fail("Tag " + info.name + " of " + impl_->path + " has a logical key of " +
                    std::to_string(info.keyLength) + " bytes");
    info.keyType = type;
    return {};
}

Status CompactIndex::addTag(const TagInfo& info, const std::vector<KeyEntry>& sortedEntries) {
    const auto length = static_cast<std::size_t>(std::max(info.keyLength, 0));
    std::string keys;
    std::vector<std::uint32_t> recnos;
    keys.reserve(sortedEntries.size() * length);
    recnos.reserve(sortedEntries.size());
    for (const KeyEntry& e : sortedEntries) {
        if (e.key.size() != length)
            return fail("Index file " + impl_->path + ": a key of tag " + info.name +
                        " has the wrong length");
        keys += e.key;
        recnos.push_back(e.recno);
    }
    return addTagFlat(info, FlatKeys{keys.data(), recnos.data(), recnos.size()});
}

namespace {

// Entries given in key order are checked before anything is written, so that
// bad ones leave the file as it was. Keys laid out by record number come
// from this program's own sort; the build checks them as it reads them, which
// spares a pass of reads in random order.
Status checkEntries(const CompactIndexImpl& d, const CompactIndexImpl::TagState& tag,
                    const FlatKeys& sorted) {
    if (sorted.byRecno)
        return {};
    const auto length = static_cast<std::size_t>(tag.tree.keyLength);
    for (std::size_t i = 0; i < sorted.count; ++i) {
        std::string_view key = sorted.key(i, length);
        if (auto s = d.checkKey(tag, key); !s)
            return s;
        if (i > 0 && compareEntry(sorted.key(i - 1, length), sorted.recnos[i - 1], key,
                                  sorted.recnos[i]) >= 0)
            return CompactIndexImpl::unsortedAt(tag, i);
    }
    return {};
}

} // namespace

Status CompactIndex::addTagFlat(const TagInfo& info, const FlatKeys& sorted) {
    CompactIndexImpl& d = *impl_;
    if (auto s = d.writable(); !s)
        return s;
    if (d.kind != IndexKind::Compound)
        return fail("Index file " + d.path + " is a single index and holds one tag only");
    if (auto s = d.checkTagInfo(info); !s)
        return s;
    if (findTag(info.name))
        return fail("Index file " + d.path + " already has a tag " + info.name);
    CompactIndexImpl::TagState tag;
    tag.info = info;
    tag.info.name = padTagName(info.name);
    tag.info.name.erase(tag.info.name.find_last_not_of(' ') + 1);
    tag.tree.keyLength = info.keyLength;
    if (auto s = checkEntries(d, tag, sorted); !s)
        return s;
    d.file.dropClean(kCachePages);
    ++d.generation;
    // The header and its expression pool must be adjacent pages.
    const std::uint32_t header = d.file.append();
    d.file.append();
    auto root = d.buildTree(tag, sorted);
    if (!root)
        return fail(root.error());
    if (auto s = d.writeTagHeader(header, tag.info, *root, kOptCompound); !s)
        return s;
    if (auto s = d.insertEntry(d.directory, padTagName(tag.info.name), header); !s)
        return s;
    tag.tree = Tree{header, info.keyLength, *root};
    d.tags.push_back(std::move(tag));
    // The finished tag goes to disk now, so that a run of builds holds one
    // tag's pages at most, never the whole file's.
    if (auto s = d.flush(); !s)
        return s;
    d.file.dropClean(0);
    return d.trimNodes(0);
}

namespace {

Status tagIndexError(const CompactIndexImpl& d, int tag) {
    return fail("Index file " + d.path + " has no tag number " + std::to_string(tag));
}

} // namespace

Status CompactIndex::fillEmptyTag(int tag, const FlatKeys& sorted) {
    CompactIndexImpl& d = *impl_;
    if (auto s = d.writable(); !s)
        return s;
    if (tag < 0 || tag >= tagCount())
        return tagIndexError(d, tag);
    CompactIndexImpl::TagState& state = d.tags[static_cast<std::size_t>(tag)];
    if (auto s = checkEntries(d, state, sorted); !s)
        return s;
    auto root = d.loadNode(state.tree, state.tree.root);
    if (!root)
        return Error{root.error()};
    if (!root->leaf || root->size() != 0)
        return fail("Tag " + state.info.name + " of " + d.path + " is not empty");
    if (sorted.count == 0)
        return {};
    d.file.dropClean(kCachePages);
    ++d.generation;
    const std::uint32_t oldRoot = state.tree.root;
    auto built = d.buildTree(state, sorted);
    if (!built)
        return Error{built.error()};
    if (auto s = d.setRoot(state.tree, *built); !s)
        return s;
    return d.freePage(oldRoot);
}

Status CompactIndex::insert(int tag, std::string_view key, std::uint32_t recno) {
    CompactIndexImpl& d = *impl_;
    if (auto s = d.writable(); !s)
        return s;
    if (tag < 0 || tag >= tagCount())
        return tagIndexError(d, tag);
    if (auto s = d.checkKey(d.tags[tag], key); !s)
        return s;
    d.file.dropClean(kCachePages);
    if (auto s = d.trimNodes(d.nodeBudget); !s)
        return s;
    ++d.generation;
    return d.insertEntry(d.tags[tag].tree, key, recno);
}

Status CompactIndex::remove(int tag, std::string_view key, std::uint32_t recno) {
    CompactIndexImpl& d = *impl_;
    if (auto s = d.writable(); !s)
        return s;
    if (tag < 0 || tag >= tagCount())
        return tagIndexError(d, tag);
    if (auto s = d.checkKey(d.tags[tag], key); !s)
        return s;
    d.file.dropClean(kCachePages);
    if (auto s = d.trimNodes(d.nodeBudget); !s)
        return s;
    ++d.generation;
    return d.removeEntry(d.tags[tag].tree, key, recno);
}

Status CompactIndex::clearTag(int tag) {
    CompactIndexImpl& d = *impl_;
    if (auto s = d.writable(); !s)
        return s;
    if (tag < 0 || tag >= tagCount())
        return tagIndexError(d, tag);
    ++d.generation;
    return d.clearTree(d.tags[tag].tree);
}

namespace {

// Shared shape of the navigation calls: a valid tag, then a cursor result.
template <class F> std::optional<KeyEntry> navigate(CompactIndexImpl& d, int tag, F&& f) {
    if (tag < 0 || tag >= static_cast<int>(d.tags.size()) || d.damaged)
        return std::nullopt;
    d.file.dropClean(kCachePages);
    if (!d.trimNodes(d.nodeBudget))
        return std::nullopt;
    auto& t = d.tags[tag];
    auto r = f(t.tree, t.cursor);
    if (!r || *r < 0)
        return std::nullopt;
    return entryAt(t.cursor, *r, t.tree.keyLength);
}

bool cursorHolds(const CompactIndexImpl& d, const Cursor& c, int kl, const KeyEntry& e) {
    if (c.page == kNoPage || c.generation != d.generation || c.leaf.size() == 0)
        return false;
    const int n = c.leaf.size();
    return compareEntry(c.leaf.key(0, kl), c.leaf.recnos[0], e.key, e.recno) <= 0 &&
           compareEntry(e.key, e.recno, c.leaf.key(n - 1, kl), c.leaf.recnos[n - 1]) <= 0;
}

} // namespace

std::optional<KeyEntry> CompactIndex::first(int tag) const {
    return navigate(*impl_, tag,
                    [&](const Tree& t, Cursor& c) { return impl_->seek(t, c, Aim::First, {}, 0); });
}

std::optional<KeyEntry> CompactIndex::last(int tag) const {
    return navigate(*impl_, tag,
                    [&](const Tree& t, Cursor& c) { return impl_->seek(t, c, Aim::Last, {}, 0); });
}

std::optional<KeyEntry> CompactIndex::next(int tag, const KeyEntry& from) const {
    CompactIndexImpl& d = *impl_;
    return navigate(d, tag, [&](const Tree& t, Cursor& c) -> Result<int> {
        if (!cursorHolds(d, c, t.keyLength, from))
            return d.seek(t, c, Aim::After, from.key, from.recno);
        const int i = bound(c.leaf, t.keyLength, from.key, from.recno, true);
        if (i < c.leaf.size())
            return i;
        auto moved = d.stepRight(t, c);
        if (!moved)
            return Error{moved.error()};
        return *moved ? 0 : -1;
    });
}

std::optional<KeyEntry> CompactIndex::prior(int tag, const KeyEntry& from) const {
    CompactIndexImpl& d = *impl_;
    return navigate(d, tag, [&](const Tree& t, Cursor& c) -> Result<int> {
        int i;
        if (cursorHolds(d, c, t.keyLength, from)) {
            i = bound(c.leaf, t.keyLength, from.key, from.recno, false);
        } else {
            auto found = d.seek(t, c, Aim::AtLeast, from.key, from.recno);
            if (!found)
                return found;
            if (*found < 0) // beyond every entry: the cursor rests on the last leaf
                return c.leaf.size() - 1;
            i = *found;
        }
        if (i > 0)
            return i - 1;
        auto moved = d.stepLeft(t, c);
        if (!moved)
            return Error{moved.error()};
        return *moved ? c.leaf.size() - 1 : -1;
    });
}

std::optional<KeyEntry> CompactIndex::lowerBound(int tag, std::string_view prefix) const {
    CompactIndexImpl& d = *impl_;
    return navigate(d, tag, [&](const Tree& t, Cursor& c) {
        const auto kl = static_cast<std::size_t>(t.keyLength);
        if (prefix.size() > kl) // a key equal to the cut prefix is still shorter, hence lower
            return d.seek(t, c, Aim::After, prefix.substr(0, kl), 0xFFFFFFFFu);
        std::string target(prefix);
        target.resize(kl, '\0');
        return d.seek(t, c, Aim::AtLeast, target, 0);
    });
}

std::optional<KeyEntry> CompactIndex::find(int tag, std::string_view key,
                                           std::uint32_t recno) const {
    CompactIndexImpl& d = *impl_;
    auto found = navigate(
        d, tag, [&](const Tree& t, Cursor& c) { return d.seek(t, c, Aim::AtLeast, key, recno); });
    if (found && found->key != key)
        return std::nullopt;
    return found;
}

Status CompactIndex::flush() {
    return impl_->flush();
}

Status CompactIndex::status() const {
    if (impl_->damaged)
        return fail(impl_->damageMessage);
    return {};
}

Status CompactIndex::verify(int tag) const {
    CompactIndexImpl& d = *impl_;
    if (tag < 0 || tag >= tagCount())
        return tagIndexError(d, tag);
    if (d.damaged)
        return fail(d.damageMessage);
    d.file.dropClean(kCachePages);
    if (d.kind == IndexKind::Compound) {
        std::set<std::uint32_t> seen;
        if (auto s = d.verifyTree(d.directory, seen); !s)
            return s;
    }
    std::set<std::uint32_t> seen;
    return d.verifyTree(d.tags[tag].tree, seen);
}

Status CompactIndex::verifyAll() const {
    CompactIndexImpl& d = *impl_;
    if (d.damaged)
        return fail(d.damageMessage);
    d.file.dropClean(kCachePages);
    // Header pages first: no tree or free page may be one of them.
    std::set<std::uint32_t> seen{0, kPageSize};
    for (const auto& t : d.tags)
        if (!seen.insert(t.tree.header).second || !seen.insert(t.tree.header + kPageSize).second)
            return d.damage("tag headers at " + hexOffset(t.tree.header) + " overlap");
    if (d.kind == IndexKind::Compound)
        if (auto s = d.verifyTree(d.directory, seen); !s)
            return s;
    for (const auto& t : d.tags)
        if (auto s = d.verifyTree(t.tree, seen); !s)
            return s;
    std::set<std::uint32_t> free;
    for (std::uint32_t p = d.freeList; p != kNoPage && free.insert(p).second;) {
        if (seen.count(p))
            return d.damage("page " + hexOffset(p) + " is both free and in use");
        auto fp = d.page(p);
        if (!fp)
            return Error{fp.error()};
        p = getLe32(*fp);
        if (p == 0)
            p = kNoPage;
    }
    return {};
}

} // namespace qp::store
