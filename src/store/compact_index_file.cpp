// The page file with its cache, and the file and tag headers: creating,
// opening and checking them, the free page list, and flushing.

#include "compact_index_impl.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace qp::store::cdx {

PageFile::~PageFile() {
    if (fd_ >= 0)
        ::close(fd_);
}

std::string PageFile::open(const std::string& path, bool create, bool readOnly) {
    const int flags = readOnly ? O_RDONLY : (O_RDWR | (create ? O_CREAT | O_TRUNC : 0));
    fd_ = ::open(path.c_str(), flags | O_CLOEXEC, 0644);
    if (fd_ < 0)
        return std::strerror(errno);
    struct stat st {};
    if (::fstat(fd_, &st) != 0)
        return std::strerror(errno);
    size_ = static_cast<std::uint64_t>(st.st_size);
    return {};
}

std::uint8_t* PageFile::load(std::uint32_t offset, std::string& error) {
    auto it = pages_.find(offset);
    if (it != pages_.end())
        return it->second->data.data();
    auto page = std::make_unique<Page>();
    std::size_t done = 0;
    while (done < kPageSize) {
        const ssize_t got = ::pread(fd_, page->data.data() + done, kPageSize - done,
                                    static_cast<off_t>(offset) + static_cast<off_t>(done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            error = got < 0 ? std::strerror(errno) : "unexpected end of file";
            return nullptr;
        }
        done += static_cast<std::size_t>(got);
    }
    std::uint8_t* data = page->data.data();
    pages_.emplace(offset, std::move(page));
    return data;
}

std::uint8_t* PageFile::overwrite(std::uint32_t offset) {
    auto& page = pages_[offset];
    if (!page)
        page = std::make_unique<Page>();
    if (!page->dirty) {
        page->dirty = true;
        ++dirtyCount_;
    }
    return page->data.data();
}

void PageFile::markDirty(std::uint32_t offset) {
    auto it = pages_.find(offset);
    if (it != pages_.end() && !it->second->dirty) {
        it->second->dirty = true;
        ++dirtyCount_;
    }
}

std::uint32_t PageFile::append() {
    const auto offset = static_cast<std::uint32_t>(size_);
    auto page = std::make_unique<Page>();
    page->dirty = true;
    auto& slot = pages_[offset];
    if (!slot || !slot->dirty)
        ++dirtyCount_;
    slot = std::move(page);
    size_ += kPageSize;
    return offset;
}

std::uint32_t PageFile::reserve(std::size_t count) {
    const auto offset = static_cast<std::uint32_t>(size_);
    size_ += std::uint64_t(count) * kPageSize;
    return offset;
}

std::string PageFile::writeThrough(std::uint32_t offset, const std::uint8_t* data,
                                   std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t put = ::pwrite(fd_, data + done, size - done,
                                     static_cast<off_t>(offset) + static_cast<off_t>(done));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return put < 0 ? std::strerror(errno) : "short write";
        done += static_cast<std::size_t>(put);
    }
    return {};
}

bool PageFile::hasDirty() const {
    return dirtyCount_ > 0;
}

std::string PageFile::flush() {
    std::vector<std::uint32_t> dirty;
    for (auto& [offset, page] : pages_)
        if (page->dirty)
            dirty.push_back(offset);
    std::sort(dirty.begin(), dirty.end());
    // Runs of adjacent pages go out in one write.
    std::vector<std::uint8_t> buffer;
    for (std::size_t i = 0; i < dirty.size();) {
        std::size_t j = i + 1;
        while (j < dirty.size() && dirty[j] == dirty[j - 1] + kPageSize)
            ++j;
        buffer.resize((j - i) * kPageSize);
        for (std::size_t k = i; k < j; ++k)
            std::memcpy(buffer.data() + (k - i) * kPageSize, pages_[dirty[k]]->data.data(),
                        kPageSize);
        std::size_t done = 0;
        while (done < buffer.size()) {
            const ssize_t put = ::pwrite(fd_, buffer.data() + done, buffer.size() - done,
                                         static_cast<off_t>(dirty[i]) + static_cast<off_t>(done));
            if (put < 0 && errno == EINTR)
                continue;
            if (put <= 0)
                return put < 0 ? std::strerror(errno) : "short write";
            done += static_cast<std::size_t>(put);
        }
        for (std::size_t k = i; k < j; ++k)
            pages_[dirty[k]]->dirty = false;
        dirtyCount_ -= j - i;
        i = j;
    }
    return {};
}

void PageFile::dropClean(std::size_t keepAtMost) {
    // Dirty pages stay until flush: scan only when clean ones are many
    // enough to be worth it, not on every call once dirty ones fill the cache.
    if (pages_.size() <= keepAtMost || pages_.size() - dirtyCount_ <= keepAtMost / 2)
        return;
    for (auto it = pages_.begin(); it != pages_.end();)
        it = it->second->dirty ? std::next(it) : pages_.erase(it);
}

} // namespace qp::store::cdx

namespace qp::store {

using namespace cdx;

std::string cdx::padTagName(std::string_view name) {
    std::string s(name);
    for (auto& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    s.resize(kTagNameLength, ' ');
    return s;
}

namespace {

std::string poolString(const std::uint8_t* pool, int pos, int length) {
    if (pos < 0 || length <= 0 || pos >= static_cast<int>(kPageSize))
        return {};
    length = std::min(length, static_cast<int>(kPageSize) - pos);
    const char* p = reinterpret_cast<const char*>(pool + pos);
    return std::string(p, strnlen(p, static_cast<std::size_t>(length)));
}

std::string stemName(const std::string& path) {
    std::string base = path.substr(path.find_last_of('/') + 1);
    base = base.substr(0, base.find('.'));
    if (base.size() > static_cast<std::size_t>(kTagNameLength))
        base.resize(kTagNameLength);
    for (auto& c : base)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return base;
}

} // namespace

Error CompactIndexImpl::damage(const std::string& what) {
    Error e = fail("Index file " + path + " is damaged: " + what);
    if (!damaged) {
        damaged = true;
        damageMessage = e.message;
    }
    return e;
}

Error CompactIndexImpl::ioError(const std::string& what) {
    return fail("Index file " + path + ": " + what);
}

Status CompactIndexImpl::writable() {
    if (damaged)
        return fail(damageMessage);
    if (readOnly)
        return fail("Index file " + path + " is open read-only");
    return {};
}

Result<const std::uint8_t*> CompactIndexImpl::page(std::uint32_t offset) {
    if (offset % kPageSize != 0)
        return damage("page offset " + hexOffset(offset) + " is not a multiple of 512");
    if (std::uint64_t(offset) + kPageSize > file.size())
        return damage("page offset " + hexOffset(offset) + " lies past the end of the file");
    if (auto it = nodes.find(offset); it != nodes.end() && it->second.dirty) {
        if (auto s = writeBackNode(offset, it->second); !s)
            return Error{s.error()};
    }
    std::string error;
    const std::uint8_t* p = file.load(offset, error);
    if (!p)
        return damage("cannot read page " + hexOffset(offset) + ": " + error);
    return p;
}

Result<std::uint8_t*> CompactIndexImpl::pageForWrite(std::uint32_t offset) {
    auto p = page(offset);
    if (!p)
        return Error{p.error()};
    dropNode(offset);
    file.markDirty(offset);
    return const_cast<std::uint8_t*>(*p);
}

Status CompactIndexImpl::writeBackNode(std::uint32_t offset, CachedNode& entry) {
    std::uint8_t* p = file.overwrite(offset);
    if (!entry.node.leaf) {
        encodeInterior(entry.node, entry.keyLength, p);
    } else if (!encodeLeaf(entry.node, entry.keyLength, p)) {
        return fail("Index file " + path + ": internal error, leaf does not fit its page");
    }
    entry.dirty = false;
    return {};
}

Status CompactIndexImpl::writeBackNodes() {
    for (auto& [offset, entry] : nodes)
        if (entry.dirty)
            if (auto s = writeBackNode(offset, entry); !s)
                return s;
    return {};
}

void CompactIndexImpl::dropNode(std::uint32_t offset) {
    if (auto it = nodes.find(offset); it != nodes.end()) {
        nodeBytes -= it->second.bytes;
        nodes.erase(it);
    }
}

Status CompactIndexImpl::trimNodes(std::size_t budget) {
    if (nodeBytes <= budget)
        return {};
    // The least recently used go first, down to three quarters of the
    // budget so that trimming is not needed again at once.
    std::vector<std::pair<std::uint64_t, std::uint32_t>> order;
    order.reserve(nodes.size());
    for (auto& [offset, entry] : nodes)
        order.emplace_back(entry.used, offset);
    std::sort(order.begin(), order.end());
    for (auto [used, offset] : order) {
        if (nodeBytes <= budget / 4 * 3)
            break;
        auto it = nodes.find(offset);
        if (it->second.dirty)
            if (auto s = writeBackNode(offset, it->second); !s)
                return s;
        nodeBytes -= it->second.bytes;
        nodes.erase(it);
    }
    return {};
}

Result<std::uint32_t> CompactIndexImpl::allocPage() {
    if (freeList == kNoPage)
        return file.append();
    const std::uint32_t offset = freeList;
    auto p = pageForWrite(offset);
    if (!p)
        return Error{p.error()};
    freeList = getLe32(*p);
    if (freeList == 0) // the header page is never free: 0 ends the list
        freeList = kNoPage;
    std::memset(*p, 0, kPageSize);
    auto h = pageForWrite(0);
    if (!h)
        return Error{h.error()};
    putLe32(*h + kHdrFree, freeList == kNoPage ? freeListEnd : freeList);
    return offset;
}

Status CompactIndexImpl::freePage(std::uint32_t offset) {
    auto p = pageForWrite(offset);
    if (!p)
        return Error{p.error()};
    std::memset(*p, 0, kPageSize);
    putLe32(*p, freeList == kNoPage ? freeListEnd : freeList);
    freeList = offset;
    auto h = pageForWrite(0);
    if (!h)
        return Error{h.error()};
    putLe32(*h + kHdrFree, freeList);
    return {};
}

Status CompactIndexImpl::setRoot(Tree& tree, std::uint32_t root) {
    auto h = pageForWrite(tree.header);
    if (!h)
        return Error{h.error()};
    putLe32(*h + kHdrRoot, root);
    tree.root = root;
    return {};
}

Status CompactIndexImpl::checkTagInfo(const TagInfo& info) const {
    const std::string what = "Tag " + info.name + ": ";
    if (info.name.empty() || info.name.size() > static_cast<std::size_t>(kTagNameLength))
        return fail("Tag name \"" + info.name + "\" must have 1 to 10 characters");
    for (std::size_t i = 0; i < info.name.size(); ++i) {
        const auto c = static_cast<unsigned char>(info.name[i]);
        if (!(std::isalpha(c) || c == '_' || (i > 0 && std::isdigit(c))))
            return fail("Tag name \"" + info.name + "\" may hold only letters, digits and _");
    }
    if (info.keyType == KeyType::Logical && info.keyLength != 1)
        return fail(what + "logical keys have length 1");
    if (info.keyLength < 1 || info.keyLength > kMaxKeyLength)
        return fail(what + "key length must be 1 to 240");
    if (info.expression.empty() || info.expression.size() + info.forExpression.size() + 2 > 512)
        return fail(what + "key and FOR expressions must be 1 to 510 characters together");
    return {};
}

Status CompactIndexImpl::checkKey(const TagState& tag, std::string_view key) const {
    if (key.size() != static_cast<std::size_t>(tag.tree.keyLength))
        return fail("Tag " + tag.info.name + ": key of " + std::to_string(key.size()) +
                    " bytes, expected " + std::to_string(tag.tree.keyLength));
    if (tag.info.keyType == KeyType::Logical && key != "T" && key != "F")
        return fail("Tag " + tag.info.name + ": logical keys are T or F");
    return {};
}

Status CompactIndexImpl::unsortedAt(const TagState& tag, std::size_t at) {
    return fail("Tag " + tag.info.name + ": entries are not sorted (at " + std::to_string(at) +
                ")");
}

Status CompactIndexImpl::writeTagHeader(std::uint32_t offset, const TagInfo& info,
                                        std::uint32_t root, std::uint8_t extraOptions) {
    std::uint8_t* pages[2];
    for (int i = 0; i < 2; ++i) {
        auto p = pageForWrite(offset + i * kPageSize);
        if (!p)
            return Error{p.error()};
        pages[i] = *p;
        std::memset(pages[i], 0, kPageSize);
    }
    std::uint8_t* h = pages[0];
    putLe32(h + kHdrRoot, root);
    putLe32(h + kHdrFree, kNoPage);
    putLe16(h + kHdrKeyLength, static_cast<std::uint16_t>(info.keyLength));
    h[kHdrOptions] =
        static_cast<std::uint8_t>(kOptCompact | extraOptions | (info.unique ? kOptUnique : 0) |
                                  (info.forExpression.empty() ? 0 : kOptFor));
    h[kHdrSignature] = 1;
    const auto keyLen = static_cast<std::uint16_t>(info.expression.size() + 1);
    const auto forLen = static_cast<std::uint16_t>(info.forExpression.size() + 1);
    putLe16(h + kHdrExprTotal, static_cast<std::uint16_t>(keyLen + forLen));
    putLe16(h + kHdrDescending, info.descending ? 1 : 0);
    putLe16(h + kHdrForPos, keyLen);
    putLe16(h + kHdrForLength, forLen);
    putLe16(h + kHdrKeyPos, 0);
    putLe16(h + kHdrKeyLengthPool, keyLen);
    std::memcpy(pages[1], info.expression.data(), info.expression.size());
    std::memcpy(pages[1] + keyLen, info.forExpression.data(), info.forExpression.size());
    return {};
}

Status CompactIndexImpl::create(const TagInfo* single) {
    if (auto err = file.open(path, true, false); !err.empty())
        return fail("Cannot create index file " + path + ": " + err);
    if (single) {
        kind = IndexKind::Single;
        if (auto s = checkTagInfo(*single); !s)
            return s;
    }
    file.append();
    file.append();
    const std::uint32_t rootPage = file.append();
    Node empty;
    empty.root = true;
    auto rp = pageForWrite(rootPage);
    if (!rp)
        return Error{rp.error()};
    encodeLeaf(empty, single ? single->keyLength : kTagNameLength, *rp);
    if (single) {
        TagState tag;
        tag.info = *single;
        tag.info.name = padTagName(single->name);
        tag.info.name.erase(tag.info.name.find_last_not_of(' ') + 1);
        tag.tree = Tree{0, single->keyLength, rootPage};
        if (auto s = writeTagHeader(0, *single, rootPage, 0); !s)
            return s;
        tags.push_back(std::move(tag));
    } else {
        auto h = pageForWrite(0);
        if (!h)
            return Error{h.error()};
        putLe32(*h + kHdrRoot, rootPage);
        putLe32(*h + kHdrFree, kNoPage);
        putLe16(*h + kHdrKeyLength, kTagNameLength);
        (*h)[kHdrOptions] = kOptCompact | kOptCompound | kOptStructural;
        (*h)[kHdrSignature] = 1;
        directory = Tree{0, kTagNameLength, rootPage};
    }
    return flush();
}

namespace {

struct HeaderFields {
    std::uint32_t root;
    int keyLength;
    std::uint8_t options;
};

} // namespace

Status CompactIndexImpl::load() {
    if (auto err = file.open(path, false, readOnly); !err.empty())
        return fail("Cannot open index file " + path + ": " + err);
    if (file.size() < 3 * kPageSize)
        return damage("file is only " + std::to_string(file.size()) + " bytes long");
    if (file.size() % kPageSize != 0)
        return damage("file size " + std::to_string(file.size()) +
                      " is not a whole number of pages (truncated?)");
    if (file.size() > 0xFFFFFE00u)
        return damage("file is larger than 4 GB");

    auto readHeader = [&](std::uint32_t offset) -> Result<HeaderFields> {
        auto h = page(offset);
        if (!h)
            return Error{h.error()};
        HeaderFields f{getLe32(*h + kHdrRoot), getLe16(*h + kHdrKeyLength), (*h)[kHdrOptions]};
        if (!(f.options & kOptCompact))
            return damage("header at " + hexOffset(offset) + " is not a compact index header");
        if (f.keyLength < 1 || f.keyLength > kMaxKeyLength)
            return damage("header at " + hexOffset(offset) + " has key length " +
                          std::to_string(f.keyLength));
        if (f.root < 2 * kPageSize || f.root % kPageSize != 0 ||
            std::uint64_t(f.root) + kPageSize > file.size())
            return damage("header at " + hexOffset(offset) + " has root page " + hexOffset(f.root));
        return f;
    };
    auto tagFromHeader = [&](std::uint32_t offset, const std::string& name) -> Result<TagState> {
        auto f = readHeader(offset);
        if (!f)
            return Error{f.error()};
        auto pool = page(offset + kPageSize);
        if (!pool)
            return Error{pool.error()};
        auto h = page(offset);
        const std::uint8_t* hp = *h;
        TagState tag;
        tag.tree = Tree{offset, f->keyLength, f->root};
        tag.info.name = name;
        tag.info.keyLength = f->keyLength;
        tag.info.unique = (f->options & kOptUnique) != 0;
        tag.info.descending = getLe16(hp + kHdrDescending) != 0;
        tag.info.expression =
            poolString(*pool, getLe16(hp + kHdrKeyPos), getLe16(hp + kHdrKeyLengthPool));
        if (f->options & kOptFor)
            tag.info.forExpression =
                poolString(*pool, getLe16(hp + kHdrForPos), getLe16(hp + kHdrForLength));
        return tag;
    };

    auto fileHeader = readHeader(0);
    if (!fileHeader)
        return Status(Error{fileHeader.error()});
    if (kind == IndexKind::Compound) {
        if (!(fileHeader->options & kOptCompound) || fileHeader->keyLength != kTagNameLength)
            return damage("not a compound index header");
        directory = Tree{0, kTagNameLength, fileHeader->root};
    } else {
        if (fileHeader->options & kOptCompound)
            return damage("a compound index where a single index was expected");
        auto tag = tagFromHeader(0, stemName(path));
        if (!tag)
            return Status(Error{tag.error()});
        tags.push_back(std::move(*tag));
    }

    // The free list must be a chain of distinct pages inside the file. It ends
    // in 0xFFFFFFFF or, as some engines write it, in 0: the header page can
    // never be free, so 0 means "none" too.
    {
        auto h = page(0);
        freeList = getLe32(*h + kHdrFree);
        if (freeList == 0) {
            freeList = kNoPage;
            freeListEnd = 0;
        }
        std::set<std::uint32_t> seen;
        for (std::uint32_t p = freeList; p != kNoPage;) {
            if (p < 2 * kPageSize || !seen.insert(p).second)
                return damage("free page list is broken at " + hexOffset(p));
            auto fp = page(p);
            if (!fp)
                return Status(Error{fp.error()});
            p = getLe32(*fp);
            if (p == 0) {
                p = kNoPage;
                freeListEnd = 0;
            }
        }
    }

    if (kind == IndexKind::Compound) {
        auto entries = readAll(directory);
        if (!entries)
            return Status(Error{entries.error()});
        std::set<std::uint32_t> headers;
        for (auto& e : *entries) {
            if (e.recno < 2 * kPageSize || e.recno % kPageSize != 0 ||
                std::uint64_t(e.recno) + 2 * kPageSize > file.size() ||
                !headers.insert(e.recno).second)
                return damage("tag " + e.key + " has header offset " + hexOffset(e.recno));
            std::string name = e.key;
            name.erase(name.find_last_not_of(' ') + 1);
            auto tag = tagFromHeader(e.recno, name);
            if (!tag)
                return Status(Error{tag.error()});
            tags.push_back(std::move(*tag));
        }
        // Creation order: headers are appended as tags are added.
        std::sort(tags.begin(), tags.end(),
                  [](auto& a, auto& b) { return a.tree.header < b.tree.header; });
    }
    return {};
}

Status CompactIndexImpl::flush() {
    if (readOnly)
        return {};
    if (damaged)
        return fail(damageMessage);
    if (auto s = writeBackNodes(); !s)
        return s;
    if (file.hasDirty()) {
        auto h = pageForWrite(0);
        if (!h)
            return Error{h.error()};
        putLe32(*h + kHdrVersion, getLe32(*h + kHdrVersion) + 1);
    }
    if (auto err = file.flush(); !err.empty())
        return ioError("cannot write: " + err);
    return {};
}

} // namespace qp::store
