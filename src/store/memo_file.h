#pragma once
// FoxPro memo file (.FPT): a 512-byte big-endian header (next free block,
// block size) followed by blocks; each memo starts a block with its type and
// length. There is no free list, so a memo that outgrows its blocks moves to
// the end of the file.

#include "os_file.h"
#include "result.h"

#include <cstdint>
#include <string>

namespace qp::store {

class MemoFile {
public:
    static constexpr std::uint32_t kDefaultBlockSize = 64;

    static Result<MemoFile> create(const std::string& path,
                                   std::uint32_t blockSize = kDefaultBlockSize);
    static Result<MemoFile> open(const std::string& path, bool readOnly);

    // Block 0 means no memo. A pointer past the end of the file or a length
    // the file cannot hold is an error, never a read out of bounds.
    Result<std::string> read(std::uint32_t block) const;
    // Writes `text` in place of the memo at `oldBlock` when it still fits
    // there, else at the end; returns the block it now starts at (0 for an
    // empty text).
    Result<std::uint32_t> write(const std::string& text, std::uint32_t oldBlock);
    Status reset(); // empty the file (zap)

    std::uint32_t blockSize() const { return blockSize_; }
    const std::string& path() const { return file_.path(); }

private:
    Status writeHeader();
    Result<std::uint32_t> blocksHeldAt(std::uint32_t block) const;

    OsFile file_;
    std::uint32_t blockSize_ = kDefaultBlockSize;
    std::uint32_t nextFree_ = 0;
};

} // namespace qp::store
