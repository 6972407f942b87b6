#include "store/open_files.h"

#include <algorithm>
#include <mutex>
#include <sys/stat.h>
#include <vector>

namespace qp::store {

namespace {

std::mutex& registryLock() {
    static std::mutex lock;
    return lock;
}

std::vector<int>& registry() {
    static std::vector<int> descriptors;
    return descriptors;
}

} // namespace

void registerOpenFile(int descriptor) {
    std::lock_guard guard(registryLock());
    registry().push_back(descriptor);
}

void unregisterOpenFile(int descriptor) {
    std::lock_guard guard(registryLock());
    auto& r = registry();
    if (auto it = std::find(r.begin(), r.end(), descriptor); it != r.end())
        r.erase(it);
}

bool isOpenFile(const std::filesystem::path& path) {
    struct stat target {};
    if (::stat(path.c_str(), &target) != 0)
        return false;
    std::lock_guard guard(registryLock());
    for (int fd : registry()) {
        struct stat open {};
        if (::fstat(fd, &open) == 0 && open.st_dev == target.st_dev && open.st_ino == target.st_ino)
            return true;
    }
    return false;
}

Status checkNotOpenFile(const std::filesystem::path& path) {
    if (isOpenFile(path))
        return fail("\"" + path.string() +
                    "\" is a file of an open table; choose another file for the output.");
    return Status::success();
}

} // namespace qp::store
