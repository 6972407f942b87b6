#pragma once
// The files this program holds open (tables, indexes, memo files), known by
// their identity on the disk, so that no output is ever written over one of
// them whatever name or link it is reached by.

#include "result.h"

#include <filesystem>

namespace qp::store {

void registerOpenFile(int descriptor);
void unregisterOpenFile(int descriptor);

// True when `path` is the same file (device and inode) as one held open.
bool isOpenFile(const std::filesystem::path& path);

// Refuses an output file that is one of the open files, with a message.
Status checkNotOpenFile(const std::filesystem::path& path);

} // namespace qp::store
