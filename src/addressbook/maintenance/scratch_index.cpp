#include "addressbook/maintenance/scratch_index.h"

#include <system_error>

namespace qp::addressbook {

store::Status ScratchIndexFile::create(store::Table& table, const std::filesystem::path& path,
                                       const std::string& keyExpression) {
    close();
    RemoveScratchFile(path);
    if (auto st = table.createScratchIndex(path.string(), keyExpression); !st) {
        RemoveScratchFile(path);
        return st;
    }
    table_ = &table;
    path_ = path;
    return {};
}

int ScratchIndexFile::order() const {
    return table_ ? table_->tagCount() : 0;
}

void ScratchIndexFile::close() {
    if (!table_)
        return;
    if (table_->changed())
        (void)table_->post();
    table_->closeScratchIndex();
    table_ = nullptr;
    RemoveScratchFile(path_);
}

void RemoveScratchFile(const std::filesystem::path& path) {
    std::error_code ec;
    std::filesystem::remove(path, ec);
}

} // namespace qp::addressbook
