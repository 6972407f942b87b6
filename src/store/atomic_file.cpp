#include "atomic_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qp::store {

namespace fs = std::filesystem;

std::string systemReason(int error) {
    return std::strerror(error);
}

namespace {

Error failed(const std::string& what, const fs::path& path, int error) {
    return fail(what + " " + path.string() + ": " + systemReason(error));
}

} // namespace

Result<AtomicFile> AtomicFile::create(const fs::path& target) {
    AtomicFile f;
    f.target_ = target;
    // A device or a pipe (/dev/stdout, a FIFO) is written in place: it cannot
    // be replaced by renaming, and must never be replaced by a plain file.
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode)) {
        if (S_ISDIR(existing.st_mode))
            return failed("Unable to write", target, EISDIR);
        const int fd = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOCTTY);
        if (fd < 0)
            return failed("Unable to write", target, errno);
        f.fd_ = fd;
        return f;
    }
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0)
        return failed("Unable to create", target, errno);
    f.fd_ = fd;
    f.temp_ = pattern;
    // A new file gets the permissions the target has, or the usual ones.
    struct stat st {};
    mode_t mode = 0666;
    if (::stat(target.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode &= ~mask;
    }
    (void)::fchmod(fd, mode);
    return f;
}

AtomicFile::AtomicFile(AtomicFile&& other) noexcept
    : fd_(other.fd_), target_(std::move(other.target_)), temp_(std::move(other.temp_)),
      error_(std::move(other.error_)) {
    other.fd_ = -1;
    other.temp_.clear();
}

AtomicFile& AtomicFile::operator=(AtomicFile&& other) noexcept {
    if (this != &other) {
        discard();
        fd_ = other.fd_;
        target_ = std::move(other.target_);
        temp_ = std::move(other.temp_);
        error_ = std::move(other.error_);
        other.fd_ = -1;
        other.temp_.clear();
    }
    return *this;
}

AtomicFile::~AtomicFile() {
    discard();
}

void AtomicFile::discard() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!temp_.empty())
        ::unlink(temp_.c_str());
    temp_.clear();
}

Status AtomicFile::write(std::string_view bytes) {
    if (!error_.empty())
        return fail(error_);
    if (fd_ < 0)
        return fail("Unable to write " + target_.string() + ": the file is closed");
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error_ = failed("Unable to write", target_, n < 0 ? errno : ENOSPC).message;
            return fail(error_);
        }
        bytes.remove_prefix(std::size_t(n));
    }
    return Status::success();
}

Status AtomicFile::commit() {
    if (fd_ < 0)
        return fail(error_.empty() ? "Unable to write " + target_.string() : error_);
    const bool inPlace = temp_.empty();
    if (error_.empty() && ::fsync(fd_) != 0 && !(inPlace && (errno == EINVAL || errno == EROFS)))
        error_ = failed("Unable to write", target_, errno).message;
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 && error_.empty())
        error_ = failed("Unable to write", target_, errno).message;
    if (error_.empty() && !inPlace && ::rename(temp_.c_str(), target_.c_str()) != 0)
        error_ = failed("Unable to replace", target_, errno).message;
    if (!error_.empty()) {
        discard();
        return fail(error_);
    }
    temp_.clear();
    // The new name is on the disk only when the folder is.
    (void)syncPath(target_.has_parent_path() ? target_.parent_path() : fs::path("."));
    return Status::success();
}

Status writeFileAtomically(const fs::path& target, std::string_view bytes) {
    auto file = AtomicFile::create(target);
    if (!file)
        return fail(file.error());
    if (auto st = file->write(bytes); !st)
        return st;
    return file->commit();
}

Status syncPath(const fs::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return failed("Unable to open", path, errno);
    const int rc = ::fsync(fd);
    const int err = errno;
    ::close(fd);
    if (rc != 0 && err != EINVAL)
        return failed("Unable to write", path, err);
    return Status::success();
}

} // namespace qp::store
