#include "store/os_file.h"

#include "store/open_files.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qp::store {

namespace {
std::string systemError(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}
} // namespace

std::string baseName(const std::string& path) {
    auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

Result<OsFile> OsFile::open(const std::string& path, FileAccess access, FileLock lock) {
    int flags = O_CLOEXEC;
    switch (access) {
    case FileAccess::ReadOnly:
        flags |= O_RDONLY;
        break;
    case FileAccess::ReadWrite:
        flags |= O_RDWR;
        break;
    case FileAccess::CreateNew:
        flags |= O_RDWR | O_CREAT | O_EXCL;
        break;
    case FileAccess::Truncate:
        flags |= O_RDWR | O_CREAT | O_TRUNC;
        break;
    }
    int fd = ::open(path.c_str(), flags, 0644);
    if (fd < 0) {
        if (errno == ENOENT)
            return fail("File " + path + " not found");
        return fail(systemError("Cannot open", path));
    }
    if (lock != FileLock::None) {
        int op = (lock == FileLock::Exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB;
        if (::flock(fd, op) != 0) {
            ::close(fd);
            return fail("File " + path + " is in use by another program");
        }
    }
    registerOpenFile(fd);
    OsFile file;
    file.fd_ = fd;
    file.writable_ = access != FileAccess::ReadOnly;
    file.path_ = path;
    return file;
}

OsFile::OsFile(OsFile&& other) noexcept
    : fd_(other.fd_), writable_(other.writable_), path_(std::move(other.path_)),
      gathering_(other.gathering_), gathered_(std::move(other.gathered_)),
      gatheredAt_(other.gatheredAt_) {
    other.fd_ = -1;
    other.gathering_ = false;
    other.gathered_.clear();
}

OsFile& OsFile::operator=(OsFile&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = other.fd_;
        writable_ = other.writable_;
        path_ = std::move(other.path_);
        gathering_ = other.gathering_;
        gathered_ = std::move(other.gathered_);
        gatheredAt_ = other.gatheredAt_;
        other.fd_ = -1;
        other.gathering_ = false;
        other.gathered_.clear();
    }
    return *this;
}

OsFile::~OsFile() {
    close();
}

void OsFile::close() {
    if (fd_ >= 0) {
        // What a caller did not write out before closing still reaches the
        // file; a failure here has no one left to report to.
        (void)writeGathered();
        gathering_ = false;
        gathered_ = std::string();
        unregisterOpenFile(fd_);
        ::close(fd_);
        fd_ = -1;
    }
}

bool OsFile::relock(FileLock lock) {
    if (fd_ < 0)
        return false;
    int op = lock == FileLock::None ? LOCK_UN : (lock == FileLock::Exclusive ? LOCK_EX : LOCK_SH);
    return ::flock(fd_, op | LOCK_NB) == 0;
}

void syncFolder(const std::string& pathInFolder) {
    auto slash = pathInFolder.find_last_of('/');
    std::string folder = slash == std::string::npos ? "." : pathInFolder.substr(0, slash + 1);
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        (void)::fsync(fd);
        ::close(fd);
    }
}

Status renameFile(const std::string& from, const std::string& to) {
    if (::rename(from.c_str(), to.c_str()) != 0)
        return fail("Cannot rename " + from + " to " + baseName(to) + ": " + std::strerror(errno));
    syncFolder(to);
    return {};
}

Result<std::size_t> OsFile::readAt(std::uint64_t offset, void* buffer, std::size_t size) const {
    if (auto st = writeGathered(); !st)
        return fail(st.error());
    std::size_t done = 0;
    auto* out = static_cast<char*>(buffer);
    while (done < size) {
        ssize_t n = ::pread(fd_, out + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail(systemError("Cannot read", path_));
        }
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

Status OsFile::readExact(std::uint64_t offset, void* buffer, std::size_t size) const {
    auto n = readAt(offset, buffer, size);
    if (!n)
        return fail(n.error());
    if (*n != size)
        return fail("File " + baseName(path_) + " is shorter than its header says");
    return {};
}

namespace {
// Gathered writes go out once this many bytes wait, in pieces that each end
// on a boundary of kGatherPiece: the system keeps each piece in one large
// page, and finds pages of this size without reclaiming memory for them.
constexpr std::size_t kGatherBytes = std::size_t(1) << 20;
constexpr std::uint64_t kGatherPiece = std::uint64_t(256) << 10;
} // namespace

Status OsFile::writeAt(std::uint64_t offset, const void* data, std::size_t size) {
    if (!writable_)
        return fail("File " + path_ + " is open read-only");
    if (!gathering_)
        return writeThrough(offset, data, size);
    if (gathered_.empty())
        gatheredAt_ = offset;
    if (offset < gatheredAt_ || offset > gatheredAt_ + gathered_.size()) {
        if (auto st = writeGathered(); !st)
            return st;
        return writeThrough(offset, data, size);
    }
    const auto at = static_cast<std::size_t>(offset - gatheredAt_);
    if (at + size > gathered_.size())
        gathered_.resize(at + size);
    std::memcpy(gathered_.data() + at, data, size);
    if (gathered_.size() < kGatherBytes)
        return {};
    return writeGatheredUpTo((gatheredAt_ + gathered_.size()) / kGatherPiece * kGatherPiece);
}

Status OsFile::gatherWrites(bool on) {
    if (on) {
        gathering_ = writable_;
        return {};
    }
    auto st = writeGathered();
    gathering_ = false;
    if (st)
        gathered_ = std::string();
    return st;
}

Status OsFile::writeGathered() const {
    return writeGatheredUpTo(gatheredAt_ + gathered_.size());
}

// Writes the gathered bytes before `end` and keeps the rest. On failure the
// pieces written are gone from memory and the rest stays, so that nothing
// counts as written that may not be.
Status OsFile::writeGatheredUpTo(std::uint64_t end) const {
    if (gathered_.empty() || end <= gatheredAt_)
        return {};
    std::size_t done = 0;
    Status st;
    for (std::uint64_t at = gatheredAt_; at < end && st;) {
        const std::uint64_t next = std::min(end, (at / kGatherPiece + 1) * kGatherPiece);
        st = writeThrough(at, gathered_.data() + done, static_cast<std::size_t>(next - at));
        if (st) {
            done += static_cast<std::size_t>(next - at);
            at = next;
        }
    }
    gathered_.erase(0, done);
    gatheredAt_ += done;
    return st;
}

std::optional<std::uint64_t> OsFile::dropGathered() {
    if (gathered_.empty())
        return std::nullopt;
    gathered_.clear();
    return gatheredAt_;
}

Status OsFile::writeThrough(std::uint64_t offset, const void* data, std::size_t size) const {
    std::size_t done = 0;
    const auto* in = static_cast<const char*>(data);
    while (done < size) {
        ssize_t n = ::pwrite(fd_, in + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail(systemError("Cannot write", path_));
        }
        done += static_cast<std::size_t>(n);
    }
    return {};
}

Result<std::uint64_t> OsFile::size() const {
    if (auto written = writeGathered(); !written)
        return fail(written.error());
    struct stat st {};
    if (::fstat(fd_, &st) != 0)
        return fail(systemError("Cannot read", path_));
    return static_cast<std::uint64_t>(st.st_size);
}

Status OsFile::truncate(std::uint64_t size) {
    if (auto st = writeGathered(); !st)
        return st;
    if (::ftruncate(fd_, static_cast<off_t>(size)) != 0)
        return fail(systemError("Cannot write", path_));
    return {};
}

Status OsFile::sync() {
    if (auto st = writeGathered(); !st)
        return st;
    if (::fsync(fd_) != 0)
        return fail(systemError("Cannot write", path_));
    return {};
}

MappedRegion::MappedRegion(MappedRegion&& other) noexcept
    : base_(other.base_), mappedLength_(other.mappedLength_), data_(other.data_) {
    other.base_ = nullptr;
    other.data_ = nullptr;
    other.mappedLength_ = 0;
}

MappedRegion& MappedRegion::operator=(MappedRegion&& other) noexcept {
    if (this != &other) {
        this->~MappedRegion();
        new (this) MappedRegion(std::move(other));
    }
    return *this;
}

MappedRegion::~MappedRegion() {
    if (base_)
        ::munmap(base_, mappedLength_);
}

MappedRegion MappedRegion::map(const OsFile& file, std::uint64_t offset, std::size_t length,
                               bool populate) {
    MappedRegion region;
    if (length == 0 || !file.isOpen() || !file.writeGathered())
        return region;
    auto page = static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
    std::uint64_t start = offset / page * page;
    std::size_t total = static_cast<std::size_t>(offset - start) + length;
    int flags = MAP_SHARED | (populate ? MAP_POPULATE : 0);
    void* base =
        ::mmap(nullptr, total, PROT_READ, flags, file.descriptor(), static_cast<off_t>(start));
    if (base == MAP_FAILED)
        return region;
    region.base_ = base;
    region.mappedLength_ = total;
    region.data_ = static_cast<const char*>(base) + (offset - start);
    return region;
}

RecordWindows::RecordWindows(const OsFile& file, std::uint64_t firstRecord,
                             std::size_t recordLength, std::uint32_t count, std::size_t windowBytes)
    : file_(&file), firstRecord_(firstRecord), recordLength_(recordLength), count_(count),
      perWindow_(static_cast<std::uint32_t>(
          std::max<std::size_t>(1, windowBytes / std::max<std::size_t>(1, recordLength)))) {}

const char* RecordWindows::record(std::uint32_t recno) {
    if (recno == 0 || recno > count_)
        return nullptr;
    if (recno < windowFirst_ || recno >= windowFirst_ + windowCount_) {
        window_ = MappedRegion(); // the old window leaves memory first
        windowFirst_ = windowCount_ = 0;
        const std::uint32_t first = recno;
        const std::uint32_t n = std::min(perWindow_, count_ - first + 1);
        window_ = MappedRegion::map(*file_, firstRecord_ + std::uint64_t(first - 1) * recordLength_,
                                    std::size_t(n) * recordLength_, true);
        if (!window_.data())
            return nullptr;
        windowFirst_ = first;
        windowCount_ = n;
    }
    return window_.data() + std::size_t(recno - windowFirst_) * recordLength_;
}

void RecordWindows::prefetch(std::uint32_t recno, const std::vector<std::size_t>& offsets) const {
    if (recno < windowFirst_ || recno >= windowFirst_ + windowCount_)
        return;
    const char* bytes = window_.data() + std::size_t(recno - windowFirst_) * recordLength_;
    for (std::size_t offset : offsets)
        __builtin_prefetch(bytes + offset);
}

} // namespace qp::store
