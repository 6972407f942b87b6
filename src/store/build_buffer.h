#pragma once
// Scratch memory for index builds: tens of megabytes read in a random order
// (keys by record number, radix passes), so it asks the system for huge pages
// where it offers them: one address translation per 2 MB instead of per 4 KB.

#include <cstddef>

namespace qp::store {

// A hint for the pages of [data, data + bytes) not yet touched; without it a
// build is slower, not wrong.
void adviseHugePages(const void* data, std::size_t bytes);

// Gives `buffer` (a std::string or std::vector) `count` elements. Contents
// do not survive a resize that grows the buffer: builds overwrite them whole.
template <class Buffer> void sizeBuildBuffer(Buffer& buffer, std::size_t count) {
    if (count > buffer.capacity()) {
        buffer = Buffer();
        buffer.reserve(count);
        adviseHugePages(buffer.data(), count * sizeof(*buffer.data()));
    }
    buffer.resize(count);
}

} // namespace qp::store
