#pragma once
// A file handle with positioned reads and writes and an advisory lock, so that
// a second program cannot open a table we hold exclusively.

#include "result.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qp::store {

enum class FileAccess { ReadOnly, ReadWrite, CreateNew, Truncate };
enum class FileLock { None, Shared, Exclusive };

class OsFile {
public:
    OsFile() = default;
    static Result<OsFile> open(const std::string& path, FileAccess access,
                               FileLock lock = FileLock::None);
    OsFile(OsFile&& other) noexcept;
    OsFile& operator=(OsFile&& other) noexcept;
    OsFile(const OsFile&) = delete;
    OsFile& operator=(const OsFile&) = delete;
    ~OsFile();

    bool isOpen() const { return fd_ >= 0; }
    const std::string& path() const { return path_; }
    bool writable() const { return writable_; }

    // Reads up to `size` bytes at `offset`; the count read (short at the end).
    Result<std::size_t> readAt(std::uint64_t offset, void* buffer, std::size_t size) const;
    Status readExact(std::uint64_t offset, void* buffer, std::size_t size) const;
    Status writeAt(std::uint64_t offset, const void* data, std::size_t size);
    Result<std::uint64_t> size() const;

    // While on, writes that each continue the one before (appends, each
    // over the end mark the last one left) are gathered in memory and reach
    // the file once a megabyte waits, in pieces that end on 256 KB
    // boundaries: far fewer system calls, and the system can keep the file
    // in large pages that later passes map cheaply. Every other write,
    // read, map, size, truncate and sync writes what is gathered first, so
    // writes reach the file in the order they were made. Turning it off
    // writes what is gathered.
    Status gatherWrites(bool on);
    Status writeGathered() const;
    // After a failed write of gathered bytes: forgets them, and returns the
    // offset up to which the file holds everything written; nothing when
    // no bytes were waiting.
    std::optional<std::uint64_t> dropGathered();
    Status truncate(std::uint64_t size);
    Status sync();
    void close();
    int descriptor() const { return fd_; }
    // The advisory lock changed on the open file; false when another program
    // holds a lock that conflicts.
    bool relock(FileLock lock);
    // Takes the file's new name after it was renamed.
    void setPath(std::string path) { path_ = std::move(path); }

private:
    Status writeThrough(std::uint64_t offset, const void* data, std::size_t size) const;
    Status writeGatheredUpTo(std::uint64_t end) const;

    int fd_ = -1;
    bool writable_ = false;
    std::string path_;
    bool gathering_ = false;
    // Bytes for [gatheredAt_, gatheredAt_ + gathered_.size()), not yet in
    // the file; mutable so that const reads can write them first.
    mutable std::string gathered_;
    mutable std::uint64_t gatheredAt_ = 0;
};

// A read-only view of part of a file, for whole-file passes without copying.
class MappedRegion {
public:
    MappedRegion() = default;
    MappedRegion(MappedRegion&& other) noexcept;
    MappedRegion& operator=(MappedRegion&& other) noexcept;
    MappedRegion(const MappedRegion&) = delete;
    MappedRegion& operator=(const MappedRegion&) = delete;
    ~MappedRegion();
    // Nothing mapped (an empty region or a failed map) leaves data() null.
    static MappedRegion map(const OsFile& file, std::uint64_t offset, std::size_t length,
                            bool populate = false);
    const char* data() const { return data_; }

private:
    void* base_ = nullptr;
    std::size_t mappedLength_ = 0;
    const char* data_ = nullptr;
};

// Fixed-length records of a file, mapped a window at a time for passes over
// the whole table: only the current window is resident, whatever the file's
// size, and moving on unmaps the one before.
class RecordWindows {
public:
    RecordWindows(const OsFile& file, std::uint64_t firstRecord, std::size_t recordLength,
                  std::uint32_t count, std::size_t windowBytes = std::size_t(16) << 20);
    // Record `recno` (1-based), valid until a call outside its window; null
    // when it is out of range or cannot be mapped.
    const char* record(std::uint32_t recno);
    // Asks the processor for the given bytes of record `recno` when it lies
    // in the current window: a pass that reads a few bytes of each record
    // otherwise waits on memory at every one once the table outgrows the
    // cache. Passes ask kAhead records ahead of the one they read.
    static constexpr std::uint32_t kAhead = 8;
    void prefetch(std::uint32_t recno, const std::vector<std::size_t>& offsets) const;

private:
    const OsFile* file_;
    std::uint64_t firstRecord_;
    std::size_t recordLength_;
    std::uint32_t count_;
    std::uint32_t perWindow_;
    std::uint32_t windowFirst_ = 0; // 1-based; 0: nothing mapped
    std::uint32_t windowCount_ = 0;
    MappedRegion window_;
};

// Renames `from` to `to` (replacing it) and makes the rename durable.
Status renameFile(const std::string& from, const std::string& to);
// Makes the folder's entries (creations, renames) durable.
void syncFolder(const std::string& pathInFolder);

// The file name part of a path, for messages.
std::string baseName(const std::string& path);

} // namespace qp::store
