#pragma once
// Writing a file whole or not at all: the bytes go to a temporary file beside
// the target, are flushed to the disk and checked, and only then is the
// temporary renamed over the target. On any failure the target keeps its old
// content and the message names the system's reason ("No space left on
// device").

#include "result.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace qp::store {

// The system's words for an errno value.
std::string systemReason(int error);

class AtomicFile {
public:
    // Opens a temporary file in the target's folder.
    static Result<AtomicFile> create(const std::filesystem::path& target);
    AtomicFile(AtomicFile&& other) noexcept;
    AtomicFile& operator=(AtomicFile&& other) noexcept;
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;
    // Removes the temporary file unless committed.
    ~AtomicFile();

    // Appends bytes; the first failure is kept and reported by commit too.
    Status write(std::string_view bytes);
    // Flushes to disk, closes and renames over the target.
    Status commit();
    const std::filesystem::path& target() const { return target_; }
    const std::filesystem::path& tempPath() const { return temp_; }
    int descriptor() const { return fd_; }

private:
    AtomicFile() = default;
    void discard();
    int fd_ = -1;
    std::filesystem::path target_, temp_;
    std::string error_;
};

Status writeFileAtomically(const std::filesystem::path& target, std::string_view bytes);

// Flushes a file (or folder) already written to the disk; the reason on failure.
Status syncPath(const std::filesystem::path& path);

} // namespace qp::store
