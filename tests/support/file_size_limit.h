#pragma once
// Caps the size of the files this process writes, for tests of a disk that
// fills up: a write past the cap fails (EFBIG) instead of ending the process.

#include <csignal>
#include <cstdint>
#include <sys/resource.h>

namespace qp::testing {

class FileSizeLimit {
public:
    explicit FileSizeLimit(std::uint64_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &before_);
        signal_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit capped = before_;
        capped.rlim_cur = static_cast<rlim_t>(bytes);
        ::setrlimit(RLIMIT_FSIZE, &capped);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &before_);
        std::signal(SIGXFSZ, signal_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit before_{};
    void (*signal_)(int) = SIG_DFL;
};

} // namespace qp::testing
