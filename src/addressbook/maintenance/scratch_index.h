#pragma once
// A scratch index file on a table that is closed and deleted when the
// object goes, however the check that made it ended.

#include "store/result.h"
#include "store/table.h"

#include <filesystem>
#include <string>

namespace qp::addressbook {

class ScratchIndexFile {
public:
    ScratchIndexFile() = default;
    ~ScratchIndexFile() { close(); }
    ScratchIndexFile(const ScratchIndexFile&) = delete;
    ScratchIndexFile& operator=(const ScratchIndexFile&) = delete;

    // Creates the empty index (a file left from before is replaced).
    store::Status create(store::Table& table, const std::filesystem::path& path,
                         const std::string& keyExpression);
    // The order number that shows only the records added.
    int order() const;
    bool open() const { return table_ != nullptr; }
    const std::filesystem::path& path() const { return path_; }
    // Closes the index on its table and deletes the file (errors ignored).
    void close();

private:
    store::Table* table_ = nullptr;
    std::filesystem::path path_;
};

// Deletes a scratch file left behind (errors ignored).
void RemoveScratchFile(const std::filesystem::path& path);

} // namespace qp::addressbook
