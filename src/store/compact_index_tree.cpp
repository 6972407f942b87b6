// Tree operations: descent, in-place insert and remove with splits and
// unlinking, bottom-up bulk build, emptying, and the structural check.

#include "compact_index_impl.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <set>

namespace qp::store {

using namespace cdx;

namespace {

constexpr int kMaxDepth = 32;

// First index whose entry is >= (or > when `after`) the target.
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

} // namespace

namespace {

std::size_t heldBytes(const Node& node) {
    return sizeof(CachedNode) + node.keys.capacity() +
           sizeof(std::uint32_t) * (node.recnos.capacity() + node.children.capacity());
}

} // namespace

Result<Node> CompactIndexImpl::loadNode(const Tree& tree, std::uint32_t offset) {
    if (auto it = nodes.find(offset); it != nodes.end()) {
        if (it->second.keyLength != tree.keyLength)
            return damage("page " + hexOffset(offset) + " serves two tags");
        return it->second.node;
    }
    auto p = page(offset);
    if (!p)
        return Error{p.error()};
    Node node;
    std::string error;
    if (!decodeNode(*p, tree.keyLength, node, error))
        return damage("page " + hexOffset(offset) + ": " + error);
    auto validPage = [&](std::uint32_t o) {
        return o >= 2 * kPageSize && o % kPageSize == 0 && o != offset &&
               std::uint64_t(o) + kPageSize <= file.size();
    };
    for (std::uint32_t sibling : {node.left, node.right})
        if (sibling != kNoPage && !validPage(sibling))
            return damage("page " + hexOffset(offset) + " has sibling pointer " +
                          hexOffset(sibling));
    for (std::uint32_t child : node.children)
        if (!validPage(child))
            return damage("page " + hexOffset(offset) + " has child pointer " + hexOffset(child));
    return node;
}

void CompactIndexImpl::touched(CachedNode& entry) {
    entry.used = ++nodeClock;
    const std::size_t now = heldBytes(entry.node);
    nodeBytes = nodeBytes - entry.bytes + now;
    entry.bytes = now;
}

Result<CachedNode*> CompactIndexImpl::cachedNode(const Tree& tree, std::uint32_t offset) {
    if (auto it = nodes.find(offset); it != nodes.end()) {
        if (it->second.keyLength != tree.keyLength)
            return damage("page " + hexOffset(offset) + " serves two tags");
        it->second.used = ++nodeClock;
        return &it->second;
    }
    auto node = loadNode(tree, offset);
    if (!node)
        return Error{node.error()};
    CachedNode& entry = nodes[offset];
    entry.node = std::move(*node);
    entry.keyLength = tree.keyLength;
    touched(entry);
    return &entry;
}

Status CompactIndexImpl::storeNode(std::uint32_t offset, const Node& node, int keyLength) {
    auto p = pageForWrite(offset);
    if (!p)
        return Error{p.error()};
    if (!node.leaf) {
        encodeInterior(node, keyLength, *p);
        return {};
    }
    if (!encodeLeaf(node, keyLength, *p))
        return fail("Index file " + path + ": internal error, leaf does not fit its page");
    return {};
}

void CompactIndexImpl::keepNode(std::uint32_t offset, Node node, int keyLength) {
    CachedNode& entry = nodes[offset];
    entry.node = std::move(node);
    entry.keyLength = keyLength;
    entry.dirty = true;
    touched(entry);
}

Status CompactIndexImpl::setLink(std::uint32_t target, bool left, std::uint32_t value) {
    // A page as another engine packed it may not fit our encoding: its links
    // change in its bytes unless it was already re-encoded here.
    if (auto it = nodes.find(target); it != nodes.end() && it->second.dirty) {
        (left ? it->second.node.left : it->second.node.right) = value;
        it->second.dirty = true;
        return {};
    }
    auto p = pageForWrite(target);
    if (!p)
        return Error{p.error()};
    putLe32(*p + (left ? 4 : 8), value);
    return {};
}

Result<std::uint32_t> CompactIndexImpl::descend(const Tree& tree, Aim aim, std::string_view key,
                                                std::uint32_t recno, std::vector<Step>* path) {
    std::uint32_t offset = tree.root;
    for (int depth = 0; depth < kMaxDepth; ++depth) {
        auto entry = cachedNode(tree, offset);
        if (!entry)
            return Error{entry.error()};
        const Node* node = &(*entry)->node;
        if (node->leaf)
            return offset;
        const int n = node->size();
        int i = 0;
        switch (aim) {
        case Aim::First:
            i = 0;
            break;
        case Aim::Last:
            i = n - 1;
            break;
        case Aim::AtLeast:
        case Aim::After:
            i = std::min(n - 1, bound(*node, tree.keyLength, key, recno, aim == Aim::After));
            break;
        }
        if (path)
            path->push_back({offset, i});
        offset = node->children[i];
    }
    return damage("tree under page " + hexOffset(tree.root) + " is deeper than " +
                  std::to_string(kMaxDepth) + " levels");
}

Status CompactIndexImpl::insertEntry(Tree& tree, std::string_view key, std::uint32_t recno) {
    std::vector<Step> steps;
    auto leafPage = descend(tree, Aim::AtLeast, key, recno, &steps);
    if (!leafPage)
        return Error{leafPage.error()};
    auto entry = cachedNode(tree, *leafPage);
    if (!entry)
        return Error{entry.error()};
    Node& leaf = (*entry)->node;
    if (!leaf.leaf)
        return damage("page " + hexOffset(*leafPage) + " should be a leaf");
    const int kl = tree.keyLength;
    const int pos = bound(leaf, kl, key, recno, false);
    if (pos < leaf.size() && compareEntry(leaf.key(pos, kl), leaf.recnos[pos], key, recno) == 0)
        return fail("Index file " + path + ": record " + std::to_string(recno) +
                    " is already indexed under this key");
    if (pos < leaf.size()) {
        // Not a new highest entry: when the leaf still fits its page, the
        // parents stay as they are and the change stays in the decoded leaf.
        leaf.keys.insert(static_cast<std::size_t>(pos) * kl, key);
        leaf.recnos.insert(leaf.recnos.begin() + pos, recno);
        if (leafFits(leaf, kl)) {
            (*entry)->dirty = true;
            touched(**entry);
            return {};
        }
        leaf.keys.erase(static_cast<std::size_t>(pos) * kl, kl);
        leaf.recnos.erase(leaf.recnos.begin() + pos);
    }
    Node node = leaf;
    node.keys.insert(static_cast<std::size_t>(pos) * kl, key);
    node.recnos.insert(node.recnos.begin() + pos, recno);
    return rebuild(tree, steps, *leafPage, std::move(node));
}

Status CompactIndexImpl::removeEntry(Tree& tree, std::string_view key, std::uint32_t recno) {
    std::vector<Step> steps;
    auto leafPage = descend(tree, Aim::AtLeast, key, recno, &steps);
    if (!leafPage)
        return Error{leafPage.error()};
    auto entry = cachedNode(tree, *leafPage);
    if (!entry)
        return Error{entry.error()};
    Node& leaf = (*entry)->node;
    const int kl = tree.keyLength;
    const int pos = bound(leaf, kl, key, recno, false);
    if (pos >= leaf.size() || compareEntry(leaf.key(pos, kl), leaf.recnos[pos], key, recno) != 0)
        return fail("Index file " + path + ": record " + std::to_string(recno) +
                    " is not indexed under this key");
    if (pos + 1 < leaf.size()) {
        // The highest entry stays: when the rest still fits (the next key may
        // share fewer bytes with its new neighbour), only the decoded leaf
        // changes.
        leaf.keys.erase(static_cast<std::size_t>(pos) * kl, kl);
        leaf.recnos.erase(leaf.recnos.begin() + pos);
        if (leafFits(leaf, kl)) {
            (*entry)->dirty = true;
            touched(**entry);
            return {};
        }
        leaf.keys.insert(static_cast<std::size_t>(pos) * kl, key);
        leaf.recnos.insert(leaf.recnos.begin() + pos, recno);
    }
    Node node = leaf;
    node.keys.erase(static_cast<std::size_t>(pos) * kl, kl);
    node.recnos.erase(node.recnos.begin() + pos);
    return rebuild(tree, steps, *leafPage, std::move(node));
}

// Writes `node` back at `offset`, splitting or unlinking it as needed, and
// carries the change of its page list or highest entry up the path.
Status CompactIndexImpl::rebuild(Tree& tree, std::vector<Step>& path, std::uint32_t offset,
                                 Node node) {
    const int kl = tree.keyLength;
    const bool isRoot = path.empty();

    if (isRoot && !node.leaf && node.size() == 1) {
        // A root with a single child hands the root over to it.
        const std::uint32_t child = node.children[0];
        auto c = loadNode(tree, child);
        if (!c)
            return Error{c.error()};
        c->root = true;
        c->left = c->right = kNoPage;
        if (c->leaf && !leafFits(*c, kl))
            return fail("Index file " + this->path +
                        ": internal error, leaf does not fit its page");
        keepNode(child, std::move(*c), kl);
        if (auto s = setRoot(tree, child); !s)
            return s;
        return freePage(offset);
    }
    if (isRoot && node.size() == 0) {
        Node empty;
        empty.root = true;
        keepNode(offset, std::move(empty), kl);
        return {};
    }

    std::vector<Node> pieces;
    std::vector<std::uint32_t> pages;
    if (node.size() == 0) {
        if (node.left != kNoPage)
            if (auto s = setLink(node.left, false, node.right); !s)
                return s;
        if (node.right != kNoPage)
            if (auto s = setLink(node.right, true, node.left); !s)
                return s;
        if (auto s = freePage(offset); !s)
            return s;
    } else {
        pieces = splitNode(node, kl);
        pages.push_back(offset);
        for (std::size_t i = 1; i < pieces.size(); ++i) {
            auto p = allocPage();
            if (!p)
                return Error{p.error()};
            pages.push_back(*p);
        }
        const std::size_t n = pieces.size();
        for (std::size_t i = 0; i < n; ++i) {
            pieces[i].left = i == 0 ? node.left : pages[i - 1];
            pieces[i].right = i + 1 < n ? pages[i + 1] : node.right;
            pieces[i].root = isRoot && n == 1;
            keepNode(pages[i], pieces[i], kl);
        }
        if (n > 1 && node.right != kNoPage)
            if (auto s = setLink(node.right, true, pages.back()); !s)
                return s;
    }

    auto addRefs = [&](Node& parent) {
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            const int last = pieces[i].size() - 1;
            parent.keys.append(pieces[i].key(last, kl));
            parent.recnos.push_back(pieces[i].recnos[last]);
            parent.children.push_back(pages[i]);
        }
    };

    if (isRoot) {
        if (pieces.size() <= 1)
            return {};
        Node top;
        top.leaf = false;
        top.root = true;
        addRefs(top);
        auto p = allocPage();
        if (!p)
            return Error{p.error()};
        if (auto s = setRoot(tree, *p); !s)
            return s;
        return rebuild(tree, path, *p, std::move(top));
    }

    const Step step = path.back();
    path.pop_back();
    auto loaded = cachedNode(tree, step.page);
    if (!loaded)
        return Error{loaded.error()};
    const Node& parent = (*loaded)->node;
    if (step.index >= parent.size() || parent.children[step.index] != offset)
        return damage("page " + hexOffset(step.page) + " lost its child " + hexOffset(offset));
    if (pieces.size() == 1) {
        const int last = pieces[0].size() - 1;
        if (compareEntry(pieces[0].key(last, kl), pieces[0].recnos[last],
                         parent.key(step.index, kl), parent.recnos[step.index]) == 0)
            return {}; // parent still right
    }
    Node updated;
    updated.leaf = false;
    updated.root = parent.root;
    updated.left = parent.left;
    updated.right = parent.right;
    for (int i = 0; i < step.index; ++i)
        updated.append(parent, i, kl);
    addRefs(updated);
    for (int i = step.index + 1; i < parent.size(); ++i)
        updated.append(parent, i, kl);
    return rebuild(tree, path, step.page, std::move(updated));
}

Result<std::uint32_t> CompactIndexImpl::buildTree(const TagState& tag, const FlatKeys& entries) {
    const int keyLength = tag.tree.keyLength;
    const auto length = static_cast<std::size_t>(keyLength);
    auto keyAt = [&](std::size_t i) { return entries.key(i, length); };
    struct Ref {
        std::string_view key;
        std::uint32_t recno;
        std::uint32_t page;
    };
    auto allocate = [&](std::size_t n, std::vector<std::uint32_t>& pages) -> Status {
        pages.clear();
        for (std::size_t i = 0; i < n; ++i) {
            auto p = allocPage();
            if (!p)
                return Error{p.error()};
            pages.push_back(*p);
        }
        return {};
    };

    // Leaves packed full, left to right, in one pass over the entries: keys
    // laid out by record number are read in sorted order, which at a large
    // count means a trip to memory per key, so each is read once. A leaf's
    // right neighbour is given its page before the leaf is written.
    // With no free pages to reuse, a build of more than one leaf takes
    // consecutive new pages and writes them straight to the file in large
    // writes, bypassing the page cache.
    bool direct = false;
    auto newPage = [&]() -> Result<std::uint32_t> {
        if (direct)
            return file.reserve(1);
        return allocPage();
    };
    constexpr std::size_t kBatchPages = 256;
    std::vector<std::uint8_t> batch;
    std::uint32_t batchFirst = 0;
    std::size_t batchCount = 0;
    auto writeBatch = [&]() -> Status {
        if (batchCount == 0)
            return {};
        if (auto err = file.writeThrough(batchFirst, batch.data(), batchCount * kPageSize);
            !err.empty())
            return ioError("cannot write: " + err);
        batchCount = 0;
        return {};
    };
    std::vector<Ref> refs;
    Node leaf;
    std::uint32_t page = kNoPage, previous = kNoPage;
    std::size_t lastIn = 0; // the entry last put in the leaf
    // Writes the gathered leaf; `more` when another leaf follows it.
    auto emitLeaf = [&](bool more) -> Status {
        if (page == kNoPage) {
            direct = more && freeList == kNoPage;
            if (direct)
                batch.resize(kBatchPages * kPageSize);
            auto p = newPage();
            if (!p)
                return Error{p.error()};
            page = *p;
        }
        std::uint32_t next = kNoPage;
        if (more) {
            auto p = newPage();
            if (!p)
                return Error{p.error()};
            next = *p;
        }
        leaf.left = previous;
        leaf.right = next;
        leaf.root = !more && previous == kNoPage;
        if (direct) {
            if (batchCount == 0)
                batchFirst = page;
            std::uint8_t* bytes = batch.data() + batchCount * kPageSize;
            std::memset(bytes, 0, kPageSize);
            if (!encodeLeaf(leaf, keyLength, bytes))
                return fail("Index file " + path + ": internal error, leaf does not fit its page");
            if (++batchCount == kBatchPages)
                if (auto s = writeBatch(); !s)
                    return s;
        } else if (auto s = storeNode(page, leaf, keyLength); !s) {
            return s;
        }
        if (leaf.size() > 0)
            refs.push_back({keyAt(lastIn), entries.recnos[lastIn], page});
        previous = page;
        page = next;
        leaf.keys.clear();
        leaf.recnos.clear();
        return {};
    };
    // Keys laid out by record number are first gathered a chunk at a time
    // into sorted order, in a tight loop that keeps many reads in flight; two
    // chunks alternate so that the previous key stays readable. A key that
    // repeats the one before it is copied from there, already at hand.
    constexpr std::size_t kChunk = 2048;
    std::string gathered[2];
    if (entries.byRecno)
        for (auto& g : gathered)
            g.resize(std::min(entries.count, kChunk) * length);
    const char* chunk = nullptr;
    auto sortedKey = [&](std::size_t i) -> std::string_view {
        if (!entries.byRecno)
            return keyAt(i);
        if (i % kChunk == 0) {
            std::string& into = gathered[(i / kChunk) % 2];
            const std::size_t n = std::min(kChunk, entries.count - i);
            const char* before = chunk ? chunk + (kChunk - 1) * length : nullptr;
            for (std::size_t j = 0; j < n; ++j) {
                prefetchKey(entries, i + j + kPrefetchAhead, length);
                char* to = into.data() + j * length;
                const bool repeat = before && entries.repeatsPrevious(i + j);
                std::memcpy(to, repeat ? before : keyAt(i + j).data(), length);
                before = to;
            }
            chunk = into.data();
        }
        return {chunk + (i % kChunk) * length, length};
    };
    LeafSizer sizer(keyLength);
    const bool logical = tag.info.keyType == KeyType::Logical;
    std::string_view prior;
    for (std::size_t i = 0; i < entries.count; ++i) {
        const std::string_view key = sortedKey(i);
        const std::uint32_t recno = entries.recnos[i];
        // Every key has the tag's length by construction; a logical key must
        // still be T or F.
        if (logical && key != "T" && key != "F")
            if (auto s = checkKey(tag, key); !s)
                return Error{s.error()};
        if (i > 0 && compareEntry(prior, entries.recnos[i - 1], key, recno) >= 0)
            return Error{unsortedAt(tag, i).error()};
        prior = key;
        if (!sizer.tryAdd(key, recno)) {
            if (auto s = emitLeaf(true); !s)
                return Error{s.error()};
            sizer.reset();
            sizer.tryAdd(key, recno);
        }
        leaf.keys.append(key);
        leaf.recnos.push_back(recno);
        lastIn = i;
    }
    if (auto s = emitLeaf(false); !s)
        return Error{s.error()};
    if (auto s = writeBatch(); !s)
        return Error{s.error()};
    if (refs.size() <= 1)
        return previous;

    // Interior levels, entries spread evenly over the fewest nodes.
    const std::size_t cap = static_cast<std::size_t>(interiorCapacity(keyLength));
    std::vector<std::uint32_t> pages;
    while (refs.size() > 1) {
        const std::size_t n = refs.size(), k = (n + cap - 1) / cap;
        if (auto s = allocate(k, pages); !s)
            return Error{s.error()};
        std::vector<Ref> up;
        for (std::size_t j = 0; j < k; ++j) {
            Node node;
            node.leaf = false;
            node.root = k == 1;
            node.left = j == 0 ? kNoPage : pages[j - 1];
            node.right = j + 1 < k ? pages[j + 1] : kNoPage;
            for (std::size_t i = n * j / k; i < n * (j + 1) / k; ++i) {
                node.keys.append(refs[i].key);
                node.recnos.push_back(refs[i].recno);
                node.children.push_back(refs[i].page);
            }
            if (auto s = storeNode(pages[j], node, keyLength); !s)
                return Error{s.error()};
            const std::size_t last = n * (j + 1) / k - 1;
            up.push_back({refs[last].key, refs[last].recno, pages[j]});
        }
        refs = std::move(up);
    }
    return refs[0].page;
}

Status CompactIndexImpl::clearTree(Tree& tree) {
    // Every page is read before anything is written, so damage stops the zap.
    std::vector<std::uint32_t> pages;
    std::set<std::uint32_t> seen{tree.root};
    std::vector<std::pair<std::uint32_t, int>> stack{{tree.root, 0}};
    while (!stack.empty()) {
        auto [offset, depth] = stack.back();
        stack.pop_back();
        auto node = loadNode(tree, offset);
        if (!node)
            return Error{node.error()};
        if (offset != tree.root)
            pages.push_back(offset);
        if (node->leaf)
            continue;
        if (depth + 1 >= kMaxDepth)
            return damage("tree under page " + hexOffset(tree.root) + " is too deep");
        for (auto child : node->children) {
            if (!seen.insert(child).second)
                return damage("page " + hexOffset(child) + " is reachable twice");
            stack.push_back({child, depth + 1});
        }
    }
    for (auto p : pages)
        if (auto s = freePage(p); !s)
            return s;
    Node empty;
    empty.root = true;
    return storeNode(tree.root, empty, tree.keyLength);
}

Status CompactIndexImpl::verifyTree(const Tree& tree, std::set<std::uint32_t>& seen) {
    const int kl = tree.keyLength;
    std::vector<std::vector<std::pair<std::uint32_t, Node>>> levels;
    int leafDepth = -1;
    bool havePrev = false;
    std::string prevKey;
    std::uint32_t prevRecno = 0;

    // Depth first, left to right; returns the highest entry below `offset`.
    std::function<Status(std::uint32_t, int, std::string&, std::uint32_t&)> visit =
        [&](std::uint32_t offset, int depth, std::string& maxKey,
            std::uint32_t& maxRecno) -> Status {
        if (depth >= kMaxDepth)
            return damage("tree under page " + hexOffset(tree.root) + " is too deep");
        if (!seen.insert(offset).second)
            return damage("page " + hexOffset(offset) + " is reachable twice");
        auto loaded = loadNode(tree, offset);
        if (!loaded)
            return Error{loaded.error()};
        const Node& node = *loaded;
        if (node.root != (depth == 0))
            return damage("page " + hexOffset(offset) + " has a wrong root mark");
        if (static_cast<int>(levels.size()) <= depth)
            levels.resize(depth + 1);
        levels[depth].push_back({offset, Node{}});
        levels[depth].back().second.left = node.left;
        levels[depth].back().second.right = node.right;
        if (node.leaf) {
            if (leafDepth >= 0 && leafDepth != depth)
                return damage("leaf " + hexOffset(offset) + " is at another depth than its peers");
            leafDepth = depth;
            if (node.size() == 0 && depth > 0)
                return damage("leaf " + hexOffset(offset) + " is empty");
            for (int i = 0; i < node.size(); ++i) {
                if (havePrev &&
                    compareEntry(prevKey, prevRecno, node.key(i, kl), node.recnos[i]) >= 0)
                    return damage("keys out of order in leaf " + hexOffset(offset));
                prevKey.assign(node.key(i, kl));
                prevRecno = node.recnos[i];
                havePrev = true;
            }
            if (node.size() > 0) {
                maxKey = prevKey;
                maxRecno = prevRecno;
            }
            return {};
        }
        for (int i = 0; i < node.size(); ++i) {
            std::string childMax;
            std::uint32_t childRecno = 0;
            if (auto s = visit(node.children[i], depth + 1, childMax, childRecno); !s)
                return s;
            if (compareEntry(childMax, childRecno, node.key(i, kl), node.recnos[i]) > 0)
                return damage("page " + hexOffset(offset) + " has a key below that of its child " +
                              hexOffset(node.children[i]));
        }
        maxKey.assign(node.key(node.size() - 1, kl));
        maxRecno = node.recnos.back();
        return {};
    };
    std::string maxKey;
    std::uint32_t maxRecno = 0;
    if (auto s = visit(tree.root, 0, maxKey, maxRecno); !s)
        return s;
    for (auto& level : levels) {
        for (std::size_t i = 0; i < level.size(); ++i) {
            const std::uint32_t wantLeft = i == 0 ? kNoPage : level[i - 1].first;
            const std::uint32_t wantRight = i + 1 < level.size() ? level[i + 1].first : kNoPage;
            if (level[i].second.left != wantLeft || level[i].second.right != wantRight)
                return damage("sibling links of page " + hexOffset(level[i].first) + " are wrong");
        }
    }
    return {};
}

} // namespace qp::store
