#pragma once
// FoxPro memo file (.FPT): a 512-byte big-endian header (next free block,
// block size) followed by blocks; each memo starts a block with its type and
// length. There is no free list, so a memo that outgrows its blocks moves to
// the end of the file.

#include "os_file.h"
#include "result.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qp::store {

class MemoFile {
public:
    static constexpr std::uint32_t kDefaultBlockSize = 64;

    static Result<MemoFile> create(const std::string& path,
                                   std::uint32_t blockSize = kDefaultBlockSize);
    // A file whose header disagrees with its size opens with damage() set:
    // its memos can be read where they are whole, but nothing is written.
    static Result<MemoFile> open(const std::string& path, bool readOnly);

    // Block 0 means no memo. A pointer past the end of the file or a length
    // the file cannot hold is an error, never a read out of bounds.
    Result<std::string> read(std::uint32_t block) const;
    // Writes `text` in place of the memo at `oldBlock` when it still fits
    // there, else at the end; returns the block it now starts at (0 for an
    // empty text).
    Result<std::uint32_t> write(const std::string& text, std::uint32_t oldBlock);
    // Writes `text` at the end without updating the header (bulk copies);
    // finish() writes the header once they are done.
    Result<std::uint32_t> append(const std::string& text);
    Status finish();
    Status reset(); // empty the file (zap)
    Status sync() { return file_.sync(); }

    // Why the file cannot be written: its next free block lies inside blocks
    // in use or past its end. Empty when it is sound.
    const std::string& damage() const { return damage_; }
    // True when the damage is blocks past the next free one. A write cut
    // short leaves such blocks, which no record uses; the table clears the
    // damage once it has seen that none of its records points there.
    bool tailAfterNextFree() const { return tailAfterNextFree_; }
    std::uint32_t nextFree() const { return nextFree_; }
    void acceptUnusedTail() {
        damage_.clear();
        tailAfterNextFree_ = false;
    }
    // Takes the file's new name after it was renamed.
    void renamed(const std::string& path) { file_.setPath(path); }

    // Whether the text memos starting at `blocks` (none of them 0) fill the
    // file end to end, each in blocks of its own: the file a pack would
    // write for them, up to the order of the memos.
    Result<bool> isPacked(std::vector<std::uint32_t> blocks) const;

    std::uint32_t blockSize() const { return blockSize_; }
    const std::string& path() const { return file_.path(); }

private:
    Status writeHeader();
    // Blocks a memo of `textLength` bytes takes.
    std::uint64_t blocksFor(std::uint64_t textLength) const;
    // A text memo as stored: type, length and text, padded to whole blocks.
    std::string memoBlocks(const std::string& text) const;
    Result<std::uint32_t> blocksHeldAt(std::uint32_t block) const;

    OsFile file_;
    std::uint32_t blockSize_ = kDefaultBlockSize;
    std::uint32_t nextFree_ = 0;
    std::string damage_;
    bool tailAfterNextFree_ = false;
    // The end of the furthest memo read so far: a next free block before it
    // would make the next write overwrite that memo.
    mutable std::uint32_t usedEnd_ = 0;
};

} // namespace qp::store
