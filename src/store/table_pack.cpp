// Packing and repairing a table. The records (and their memos) are written
// to new files beside the table, which then take its place by renaming, so
// that a program killed at any moment leaves either the old files or the new
// ones, never a mixture.

#include "store/codepage.h"
#include "store/table.h"
#include "store/table_files.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace qp::store {

namespace fs = std::filesystem;

namespace {

std::uint32_t memoBlockAt(const char* p, int width) {
    std::uint32_t block = 0;
    if (width == 4) {
        std::memcpy(&block, p, 4);
        return block;
    }
    const char* end = p + width;
    while (p < end && *p == ' ')
        ++p;
    std::from_chars(p, end, block);
    return block;
}

void putMemoBlock(char* p, int width, std::uint32_t block) {
    if (width == 4) {
        std::memcpy(p, &block, 4);
        return;
    }
    std::memset(p, ' ', static_cast<std::size_t>(width));
    if (block == 0)
        return;
    std::string digits = std::to_string(block);
    std::memcpy(p + width - static_cast<int>(digits.size()), digits.data(), digits.size());
}

bool isMemo(const FieldDef& f) {
    return f.type == 'M' || f.type == 'G';
}

std::string backupName(const std::string& path) {
    fs::path p(path);
    return (p.parent_path() / (p.stem().string() + ".bak" + p.extension().string())).string();
}

void removeQuietly(const std::string& path) {
    std::error_code ec;
    fs::remove(path, ec);
}

Status copyDurably(const std::string& from, const std::string& to) {
    std::error_code ec;
    fs::copy_file(from, to, fs::copy_options::none, ec);
    if (ec)
        return fail("Cannot copy " + from + " to " + baseName(to) + ": " + ec.message());
    auto copy = OsFile::open(to, FileAccess::ReadWrite);
    if (!copy)
        return fail(copy.error());
    return copy->sync();
}

} // namespace

Status Table::pack() {
    if (auto st = commitPending(); !st)
        return st;
    if (auto st = ensureWritable(); !st)
        return st;
    if (alreadyPacked()) {
        // Copying the file would give the same records in the same places:
        // the index stays right, and a large table is spared the copy.
        if (progress_)
            progress_(100);
    } else if (auto st = rewrite(false, nullptr); !st) {
        return st;
    }
    atFirst_ = false;
    first();
    return {};
}

bool Table::alreadyPacked() {
    if (!damage_.empty() || countPending_)
        return false;
    const std::uint32_t total = header_.recordCount;
    const std::size_t length = header_.recordLength;
    // The size a pack writes: the records and the end-of-file mark.
    auto size = dbf_.size();
    if (!size || *size != header_.headerLength + std::uint64_t(total) * length + 1)
        return false;
    char last = 0;
    if (!dbf_.readExact(*size - 1, &last, 1) || last != kDbfEndOfFile)
        return false;
    const bool memos = header_.hasMemoField();
    if (memos && !memo_)
        return false;
    // The bytes read of each record: the deletion mark and the memo fields.
    std::vector<const FieldDef*> memoFields;
    std::vector<std::size_t> read{0};
    for (const auto& f : header_.fields)
        if (isMemo(f)) {
            memoFields.push_back(&f);
            read.push_back(static_cast<std::size_t>(f.offset));
        }
    std::vector<std::uint32_t> blocks;
    RecordWindows mapped(dbf_, header_.headerLength, length, total);
    for (std::uint32_t r = 1; r <= total; ++r) {
        const char* bytes = mapped.record(r);
        mapped.prefetch(r + RecordWindows::kAhead, read);
        if (!bytes || bytes[0] == '*')
            return false;
        for (const FieldDef* f : memoFields)
            if (std::uint32_t block = memoBlockAt(bytes + f->offset, f->length))
                blocks.push_back(block);
    }
    if (!memos)
        return true;
    auto packed = memo_->isPacked(std::move(blocks));
    return packed && *packed;
}

Status Table::recoverInterruptedPack() {
    const std::string packed = packedTablePath(path_);
    const std::string packedMemo = packedMemoPath(path_);
    if (mode_ != OpenMode::Exclusive && !dbf_.relock(FileLock::Exclusive))
        return fail("File " + path_ + " is in use by another program");
    // The new memo file is renamed first, so a new table still beside the old
    // one without its memo file means the change was committed.
    bool committed = false;
    if (!fileExists(packedMemo)) {
        if (auto st = loadHeader(); st)
            committed = header_.hasMemoField();
    }
    if (committed) {
        if (mode_ == OpenMode::ReadOnly)
            return fail("File " + path_ +
                        " was being packed when its program stopped; open it "
                        "for writing once to finish the pack");
        return renameFile(packed, path_);
    }
    removeQuietly(packedMemo);
    std::error_code ec;
    fs::remove(packed, ec);
    if (ec)
        return fail("Cannot delete " + packed + ": " + ec.message());
    return {};
}

Status Table::rewrite(bool keepDeleted, RepairReport* report) {
    const std::string name = baseName(path_);
    // Nobody else may read the old files while they are replaced.
    if (mode_ != OpenMode::Exclusive && !dbf_.relock(FileLock::Exclusive))
        return fail("File " + path_ + " is in use by another program");
    struct SharedAgain {
        OsFile* file;
        bool shared;
        ~SharedAgain() {
            if (shared)
                (void)file->relock(FileLock::Shared);
        }
    } again{&dbf_, mode_ != OpenMode::Exclusive};

    const std::uint32_t total = report ? wholeRecords_ : header_.recordCount;
    const std::size_t length = header_.recordLength;
    // Mapped a window at a time: memory stays flat whatever the table's size.
    RecordWindows mapped(dbf_, header_.headerLength, length, total);
    std::string single(length, ' ');
    auto recordAt = [&](std::uint32_t r) -> const char* {
        if (const char* bytes = mapped.record(r))
            return bytes;
        if (!dbf_.readExact(header_.headerLength + std::uint64_t(r - 1) * length, single.data(),
                            length))
            return nullptr;
        return single.data();
    };

    std::uint32_t live = 0;
    for (std::uint32_t r = 1; r <= total; ++r) {
        const char* bytes = recordAt(r);
        if (!bytes)
            return fail("Cannot read record " + std::to_string(r) + " of " + name);
        if (keepDeleted || bytes[0] != '*')
            ++live;
    }
    std::uint64_t memoBytes = 0;
    if (memo_) {
        std::error_code ec;
        memoBytes = fs::file_size(memo_->path(), ec);
    }
    const std::uint64_t needed =
        header_.headerLength + std::uint64_t(live) * length + 1 + memoBytes;
    fs::path folder = fs::path(path_).parent_path();
    std::error_code spaceError;
    auto space = fs::space(folder.empty() ? fs::path(".") : folder, spaceError);
    auto noRoom = [&](std::uint64_t available) {
        return fail("Not enough disk space to pack " + name + ": it needs up to " +
                    std::to_string(needed) + " bytes free beside it, and " +
                    std::to_string(available) + " are free");
    };
    if (!spaceError && space.available < needed)
        return noRoom(space.available);

    const std::string packed = packedTablePath(path_);
    const std::string packedMemo = packedMemoPath(path_);
    auto cleanUp = [&](Status st) {
        removeQuietly(packed);
        removeQuietly(packedMemo);
        if (!st.ok() && st.error().find("No space") != std::string::npos) {
            auto now = fs::space(folder.empty() ? fs::path(".") : folder, spaceError);
            return Status(noRoom(spaceError ? 0 : now.available));
        }
        return st;
    };
    (void)cleanUp({});
    // The new memo file exists before the new table: see recoverInterruptedPack.
    std::optional<MemoFile> newMemo;
    if (header_.hasMemoField()) {
        auto created =
            MemoFile::create(packedMemo, memo_ ? memo_->blockSize() : MemoFile::kDefaultBlockSize);
        if (!created)
            return cleanUp(fail(created.error()));
        newMemo = std::move(*created);
    }
    auto out = OsFile::open(packed, FileAccess::CreateNew, FileLock::Exclusive);
    if (!out)
        return cleanUp(fail(out.error()));

    DbfHeader header = header_;
    header.damage.clear();
    header.recordCount = 0;
    std::string buffer = serializeDbfHeader(header);
    std::uint64_t written = 0;
    std::uint32_t kept = 0;
    int lastPercent = -1;
    for (std::uint32_t r = 1; r <= total; ++r) {
        const char* bytes = recordAt(r);
        if (!bytes)
            return cleanUp(fail("Cannot read record " + std::to_string(r) + " of " + name));
        if (!keepDeleted && bytes[0] == '*')
            continue;
        const std::size_t at = buffer.size();
        buffer.append(bytes, length);
        if (newMemo) {
            for (const auto& f : header.fields) {
                if (!isMemo(f))
                    continue;
                std::uint32_t block = memoBlockAt(bytes + f.offset, f.length);
                if (block == 0)
                    continue;
                Result<std::string> text =
                    memo_ ? memo_->read(block) : Result<std::string>(fail("no memo file"));
                std::uint32_t newBlock = 0;
                if (text) {
                    auto appended = newMemo->append(*text);
                    if (!appended)
                        return cleanUp(fail(appended.error()));
                    newBlock = *appended;
                    if (report)
                        ++report->memosKept;
                } else if (report) {
                    report->memosDropped.push_back(r);
                } else {
                    return cleanUp(
                        fail("Record " + std::to_string(r) + " of " + name + ": " + text.error()));
                }
                putMemoBlock(buffer.data() + at + f.offset, f.length, newBlock);
            }
        }
        ++kept;
        if (report && bytes[0] == '*')
            ++report->deletedKept;
        if (buffer.size() >= (1u << 20)) {
            if (auto st = out->writeAt(written, buffer.data(), buffer.size()); !st)
                return cleanUp(st);
            written += buffer.size();
            buffer.clear();
        }
        int percent = static_cast<int>(std::uint64_t(r) * 100 / total);
        if (progress_ && percent != lastPercent)
            progress_(lastPercent = percent);
    }
    buffer += kDbfEndOfFile;
    if (auto st = out->writeAt(written, buffer.data(), buffer.size()); !st)
        return cleanUp(st);
    header.recordCount = kept;
    header.lastUpdate = today();
    std::string fixed = serializeDbfFixedPart(header);
    if (auto st = out->writeAt(0, fixed.data(), fixed.size()); !st)
        return cleanUp(st);
    if (newMemo) {
        if (auto st = newMemo->finish(); !st)
            return cleanUp(st);
        if (auto st = newMemo->sync(); !st)
            return cleanUp(st);
    }
    if (auto st = out->sync(); !st)
        return cleanUp(st);

    // The index names the old record numbers: it goes before the new files
    // take over, so a kill from here on leaves a table whose index is
    // reported missing and rebuilt, never one that serves stale keys.
    std::vector<std::pair<std::string, std::string>> tags;
    if (cdx_)
        for (int t = 0; t < cdx_->tagCount(); ++t)
            tags.emplace_back(cdx_->tag(t).name, cp1252ToUtf8(cdx_->tag(t).expression));
    const int order = order_;
    const bool hadIndex = cdx_.has_value() || !indexError_.empty();
    std::string cdxPath = cdx_ ? cdx_->path() : siblingFile(path_, ".CDX");
    int structural = cdx_ ? cdx_->tagCount() : 0;
    cdx_.reset();
    tagExprs_.clear();
    if (hadIndex && fileExists(cdxPath)) {
        std::error_code ec;
        fs::remove(cdxPath, ec);
        if (ec)
            return cleanUp(fail("Cannot delete " + cdxPath + ": " + ec.message()));
        syncFolder(cdxPath);
    }
    order_ = order_ > structural ? order_ - structural : 0;

    // Commit: the memo file first, the table last (see recoverInterruptedPack).
    if (newMemo) {
        std::string memoPath = memo_ ? memo_->path() : siblingFile(path_, ".FPT");
        if (auto st = renameFile(packedMemo, memoPath); !st)
            return cleanUp(st);
        newMemo->renamed(memoPath);
    }
    if (auto st = renameFile(packed, path_); !st)
        return st; // the next open finishes the rename
    out->setPath(path_);
    dbf_ = std::move(*out);
    countPending_ = false; // the new file's header counts its records
    memo_ = std::move(newMemo);
    again.shared = false;
    if (mode_ == OpenMode::Shared)
        (void)dbf_.relock(FileLock::Shared);
    if (writeBlock_ == damage_)
        writeBlock_.clear();
    damage_.clear();
    header.damage.clear();
    header_ = header;
    wholeRecords_ = kept;
    invalidateCache();
    indexError_.clear();
    if (tags.empty()) {
        if (hadIndex && (header_.tableFlags & 0x01))
            indexError_ = "Index file " + baseName(cdxPath) + " not found";
        return {};
    }
    if (auto st = indexTags(tags); !st)
        return st;
    order_ = order;
    return {};
}

Result<RepairReport> Table::repair() {
    if (mode_ == OpenMode::ReadOnly)
        return fail("File " + path_ + " is open read-only");
    pendingMemos_.clear();
    dirty_ = appending_ = false;
    RepairReport report;
    report.headerCount = storedCount_;
    for (const auto& problem : {damage_, writeBlock_, indexError_})
        if (!problem.empty() && std::find(report.problems.begin(), report.problems.end(),
                                          problem) == report.problems.end())
            report.problems.push_back(problem);
    auto size = dbf_.size();
    if (!size)
        return fail(size.error());
    std::uint64_t extra =
        *size - header_.headerLength - std::uint64_t(wholeRecords_) * header_.recordLength;
    if (extra > 0) {
        char last = 0;
        if (dbf_.readExact(*size - 1, &last, 1) && last == kDbfEndOfFile)
            --extra;
    }
    report.bytesDropped = extra;

    // Copies of the originals first, kept until the new files are in place.
    std::vector<std::string> originals{path_};
    if (memo_)
        originals.push_back(memo_->path());
    if (cdx_)
        originals.push_back(cdx_->path());
    else if (std::string cdx = siblingFile(path_, ".CDX"); fileExists(cdx))
        originals.push_back(cdx);
    for (const auto& original : originals)
        if (fileExists(backupName(original)))
            return fail(backupName(original) + " already exists: move it away before repairing");
    std::vector<std::string> backups;
    for (const auto& original : originals) {
        if (auto st = copyDurably(original, backupName(original)); !st) {
            for (const auto& b : backups)
                removeQuietly(b);
            return fail(st.error());
        }
        backups.push_back(backupName(original));
    }
    if (cdx_)
        (void)cdx_->flush();
    if (auto st = rewrite(true, &report); !st)
        return fail(st.error() + "\nThe original files are kept as " + backups.front() +
                    (backups.size() > 1 ? " and beside it" : ""));
    report.recordsKept = header_.recordCount;
    if (report.anythingDropped()) {
        report.backups = backups;
    } else {
        for (const auto& b : backups)
            removeQuietly(b);
    }
    atFirst_ = false;
    first();
    return report;
}

} // namespace qp::store
