#pragma once
// Scratch memory for index builds, kept from tag to tag of a run: fresh
// pages for each tag cost the system as much again to clear. Plain pages:
// huge pages were tried, and finding 2 MB of free memory for each cost a
// million-record build more than the address translations it saved.

#include <cstddef>

namespace qp::store {

// Gives `buffer` (a std::string or std::vector) `count` elements. Contents
// do not survive a resize that grows the buffer: builds overwrite them whole.
template <class Buffer> void sizeBuildBuffer(Buffer& buffer, std::size_t count) {
    if (count > buffer.capacity()) {
        buffer = Buffer();
        buffer.reserve(count);
    }
    buffer.resize(count);
}

} // namespace qp::store
