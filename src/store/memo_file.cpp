#include "store/memo_file.h"

#include <algorithm>
#include <array>

namespace qp::store {

namespace {

constexpr std::uint32_t kHeaderSize = 512;
constexpr std::uint32_t kTextMemo = 1;

std::uint32_t getBE32(const unsigned char* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) |
           std::uint32_t(p[3]);
}

void putBE32(unsigned char* p, std::uint32_t v) {
    p[0] = static_cast<unsigned char>(v >> 24);
    p[1] = static_cast<unsigned char>(v >> 16);
    p[2] = static_cast<unsigned char>(v >> 8);
    p[3] = static_cast<unsigned char>(v);
}

std::uint32_t firstBlock(std::uint32_t blockSize) {
    return (kHeaderSize + blockSize - 1) / blockSize;
}

Error damaged(const std::string& path, const std::string& what) {
    return fail("Memo file " + baseName(path) + " is damaged: " + what);
}

} // namespace

Result<MemoFile> MemoFile::create(const std::string& path, std::uint32_t blockSize) {
    auto file = OsFile::open(path, FileAccess::Truncate, FileLock::None);
    if (!file)
        return fail(file.error());
    MemoFile memo;
    memo.file_ = std::move(*file);
    memo.blockSize_ = blockSize;
    memo.nextFree_ = firstBlock(blockSize);
    if (auto st = memo.writeHeader(); !st)
        return fail(st.error());
    return memo;
}

Result<MemoFile> MemoFile::open(const std::string& path, bool readOnly) {
    auto file = OsFile::open(path, readOnly ? FileAccess::ReadOnly : FileAccess::ReadWrite);
    if (!file)
        return fail(file.error());
    MemoFile memo;
    std::array<unsigned char, 8> head{};
    auto n = file->readAt(0, head.data(), head.size());
    if (!n)
        return fail(n.error());
    auto size = file->size();
    if (!size)
        return fail(size.error());
    memo.file_ = std::move(*file);
    if (*n < head.size()) {
        memo.damage_ = damaged(path, "the header is truncated").message;
        memo.nextFree_ = 0;
        return memo;
    }
    memo.nextFree_ = getBE32(head.data());
    memo.blockSize_ = (std::uint32_t(head[6]) << 8) | head[7];
    // Some writers leave the block size at 0 and mean one byte blocks of 512.
    if (memo.blockSize_ == 0)
        memo.blockSize_ = kHeaderSize;
    // The next free block is where the file ends, rounded up to a block: one
    // before that would overwrite memos in use, one after it means the file
    // lost its end.
    std::uint64_t blocks = (*size + memo.blockSize_ - 1) / memo.blockSize_;
    std::uint64_t first = firstBlock(memo.blockSize_);
    if (*size < kHeaderSize) {
        memo.damage_ = damaged(path, "the header is truncated").message;
    } else if (memo.nextFree_ < first) {
        memo.damage_ = damaged(path, "its next free block " + std::to_string(memo.nextFree_) +
                                         " lies inside its header")
                           .message;
    } else if (memo.nextFree_ < blocks) {
        memo.tailAfterNextFree_ = true;
        memo.damage_ =
            damaged(path, "its next free block " + std::to_string(memo.nextFree_) +
                              " lies inside the " + std::to_string(blocks) + " blocks in use")
                .message;
    } else if (memo.nextFree_ > std::max(blocks, first)) {
        memo.damage_ = damaged(path, "it ends at block " + std::to_string(blocks) +
                                         " before its next free block " +
                                         std::to_string(memo.nextFree_) + " (truncated)")
                           .message;
    }
    return memo;
}

Status MemoFile::writeHeader() {
    std::array<unsigned char, kHeaderSize> head{};
    putBE32(head.data(), nextFree_);
    head[6] = static_cast<unsigned char>(blockSize_ >> 8);
    head[7] = static_cast<unsigned char>(blockSize_);
    return file_.writeAt(0, head.data(), head.size());
}

Result<std::string> MemoFile::read(std::uint32_t block) const {
    if (block == 0)
        return std::string();
    auto size = file_.size();
    if (!size)
        return fail(size.error());
    std::uint64_t at = std::uint64_t(block) * blockSize_;
    if (block < firstBlock(blockSize_) || at + 8 > *size)
        return damaged(path(), "memo block " + std::to_string(block) + " is past the end");
    std::array<unsigned char, 8> head{};
    if (auto st = file_.readExact(at, head.data(), head.size()); !st)
        return fail(st.error());
    std::uint32_t length = getBE32(head.data() + 4);
    if (at + 8 + length > *size)
        return damaged(path(), "memo block " + std::to_string(block) + " runs past the end");
    auto end = static_cast<std::uint32_t>(block + blocksFor(length));
    usedEnd_ = std::max(usedEnd_, end);
    std::string text(length, '\0');
    if (auto st = file_.readExact(at + 8, text.data(), length); !st)
        return fail(st.error());
    return text;
}

std::uint64_t MemoFile::blocksFor(std::uint64_t textLength) const {
    return (8 + textLength + blockSize_ - 1) / blockSize_; // the type and length, then the text
}

std::string MemoFile::memoBlocks(const std::string& text) const {
    std::string data(blocksFor(text.size()) * blockSize_, '\0');
    auto* p = reinterpret_cast<unsigned char*>(data.data());
    putBE32(p, kTextMemo);
    putBE32(p + 4, static_cast<std::uint32_t>(text.size()));
    std::copy(text.begin(), text.end(), data.begin() + 8);
    return data;
}

Result<std::uint32_t> MemoFile::blocksHeldAt(std::uint32_t block) const {
    std::array<unsigned char, 8> head{};
    auto n = file_.readAt(std::uint64_t(block) * blockSize_, head.data(), head.size());
    if (!n)
        return fail(n.error());
    if (*n < head.size())
        return 0u;
    return static_cast<std::uint32_t>(blocksFor(getBE32(head.data() + 4)));
}

Result<bool> MemoFile::isPacked(std::vector<std::uint32_t> blocks) const {
    if (!damage_.empty())
        return false;
    auto size = file_.size();
    if (!size)
        return fail(size.error());
    if (*size != std::uint64_t(nextFree_) * blockSize_)
        return false;
    std::sort(blocks.begin(), blocks.end());
    std::uint32_t at = firstBlock(blockSize_);
    for (std::uint32_t block : blocks) {
        if (block != at)
            return false; // a gap, or two records sharing a memo
        std::array<unsigned char, 8> head{};
        if (auto st = file_.readExact(std::uint64_t(block) * blockSize_, head.data(), head.size());
            !st)
            return false;
        const std::uint32_t length = getBE32(head.data() + 4);
        if (getBE32(head.data()) != kTextMemo || length == 0)
            return false; // a pack writes text memos, and none of no length
        const std::uint64_t end = block + blocksFor(length);
        if (end > nextFree_)
            return false;
        at = static_cast<std::uint32_t>(end);
    }
    return at == nextFree_;
}

Result<std::uint32_t> MemoFile::write(const std::string& text, std::uint32_t oldBlock) {
    if (!damage_.empty())
        return fail(damage_);
    if (usedEnd_ > nextFree_)
        return damaged(path(), "its next free block " + std::to_string(nextFree_) +
                                   " lies inside a memo in use (up to block " +
                                   std::to_string(usedEnd_) + ")");
    if (text.empty())
        return 0u;
    auto needBlocks = static_cast<std::uint32_t>(blocksFor(text.size()));

    std::uint32_t block = nextFree_;
    bool atEnd = true;
    if (oldBlock >= firstBlock(blockSize_) && oldBlock < nextFree_) {
        auto held = blocksHeldAt(oldBlock);
        if (!held)
            return fail(held.error());
        // Reuse the old place when the new text fits and the old memo did not
        // claim blocks beyond the end of the file.
        if (*held >= needBlocks && oldBlock + *held <= nextFree_) {
            block = oldBlock;
            atEnd = false;
        }
    }

    const std::string data = memoBlocks(text);
    // The last block is written only as far as the text goes, so that a
    // reused memo does not zero what follows it.
    std::size_t writeLength = atEnd ? data.size() : 8 + text.size();
    if (auto st = file_.writeAt(std::uint64_t(block) * blockSize_, data.data(), writeLength); !st)
        return fail(st.error());
    if (atEnd) {
        nextFree_ = block + needBlocks;
        if (auto st = writeHeader(); !st)
            return fail(st.error());
    }
    return block;
}

Result<std::uint32_t> MemoFile::append(const std::string& text) {
    if (text.empty())
        return 0u;
    auto needBlocks = static_cast<std::uint32_t>(blocksFor(text.size()));
    const std::string data = memoBlocks(text);
    std::uint32_t block = nextFree_;
    if (auto st = file_.writeAt(std::uint64_t(block) * blockSize_, data.data(), data.size()); !st)
        return fail(st.error());
    nextFree_ = block + needBlocks;
    return block;
}

Status MemoFile::finish() {
    return writeHeader();
}

Status MemoFile::reset() {
    damage_.clear();
    usedEnd_ = 0;
    nextFree_ = firstBlock(blockSize_);
    if (auto st = file_.truncate(kHeaderSize); !st)
        return st;
    return writeHeader();
}

} // namespace qp::store
