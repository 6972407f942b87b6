#include "exchange/copy_out.h"

#include "exchange/address_labels.h"
#include "exchange/same_file.h"
#include "store/address_file.h"
#include "store/atomic_file.h"
#include "store/open_files.h"
#include "store/os_file.h"
#include "store/table_files.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <system_error>
#include <unistd.h>

namespace qp::exchange {

namespace {

bool endsWithDbf(const std::string& name) {
    return name.size() >= 4 &&
           equalsIgnoringCase(std::string_view(name).substr(name.size() - 4), ".DBF");
}

// The message names the reason: the engine's or the system's words.
CopyOutcome failed(CopyOutcome o, const std::string& reason) {
    o.ok = false;
    o.message = std::string(kCopyErrorMessage);
    if (!reason.empty())
        o.message += ":\n" + reason;
    return o;
}

// Files of an export under way, removed unless renamed into place.
struct TempTable {
    std::string dbf, memo;
    ~TempTable() {
        std::error_code ec;
        std::filesystem::remove(dbf, ec);
        std::filesystem::remove(memo, ec);
    }
};

int percentOf(std::uint32_t count, std::uint32_t total) {
    if (total == 0)
        return 100;
    return static_cast<int>(std::min<std::uint64_t>(100, std::uint64_t(count) * 100 / total));
}

} // namespace

std::optional<std::string> checkCopyName(CopyFormat format, const std::string& target,
                                         const std::string& addressPath) {
    if (format == CopyFormat::Dbf && !endsWithDbf(target))
        return std::string(kDbfExtensionMessage);
    if (isTableItself(target, addressPath))
        return std::string(kCopyToItselfMessage);
    return std::nullopt;
}

std::optional<std::string> existingCopyTarget(CopyFormat format, const std::string& target) {
    if (format == CopyFormat::Dbf) {
        auto family = store::existingFamilyFiles(target);
        if (!family.empty())
            return family.front();
        return std::nullopt;
    }
    if (store::fileExists(target))
        return target;
    return std::nullopt;
}

std::string overwriteQuestion(const std::string& target) {
    return target + " already exists." + "\r\n" + "Do you want to overwrite it?";
}

std::string textLine(const store::Table& table) {
    std::string line;
    line.reserve(256);
    for (std::size_t i = 0; i < kTextOrder.size(); ++i) {
        if (i)
            line += ',';
        line += '"';
        // A quote inside a value is doubled, the way spreadsheets write it,
        // so the import reads the value back unchanged.
        for (char c : table.getString(kTextOrder[i])) {
            line += c;
            if (c == '"')
                line += '"';
        }
        line += '"';
    }
    return line;
}

CopyOutcome copyRecordsOut(store::Table& table, CopyFormat format, const std::string& target,
                           const store::RecordSelection& selection, const CopyHooks& hooks,
                           const store::SelectionWalk::InfoHook& info) {
    CopyOutcome outcome;
    if (isTableItself(target, table.path())) {
        outcome.ok = false;
        outcome.message = std::string(kCopyToItselfMessage);
        return outcome;
    }
    if (auto st = store::checkNotOpenFile(target); !st)
        return failed(outcome, st.error());
    auto walk = store::SelectionWalk::begin(table, selection, info);
    if (!walk)
        return failed(outcome, walk.error());
    const std::uint32_t total = walk->count();
    auto progress = [&] {
        if (hooks.progress)
            hooks.progress(percentOf(outcome.copied, total));
    };
    auto stop = [&] {
        if (hooks.cancelled && hooks.cancelled()) {
            outcome.cancelled = true;
            return true;
        }
        return false;
    };

    if (format == CopyFormat::Text) {
        // Written beside the target and renamed over it only when whole.
        auto out = store::AtomicFile::create(target);
        if (!out)
            return failed(outcome, out.error());
        std::string block, line;
        for (bool more = walk->valid(); more && outcome.copied < total; more = walk->next()) {
            line = textLine(table);
            line += "\r\n";
            block += line;
            if (block.size() >= 65536) {
                if (auto st = out->write(block); !st)
                    return failed(outcome, st.error());
                block.clear();
            }
            ++outcome.copied;
            progress();
            if (stop())
                break;
        }
        if (auto st = out->write(block); !st)
            return failed(outcome, st.error());
        if (auto st = out->commit(); !st)
            return failed(outcome, st.error());
        return outcome;
    }

    // An existing table, whatever its letter case, is replaced under its own
    // name, and only while its lock is held: a table another program has
    // open stays as it is ("in use").
    std::string finalTarget = target;
    for (const auto& member : store::existingFamilyFiles(target))
        if (member != store::siblingFile(target, ".CDX") &&
            member != store::siblingFile(target, ".FPT"))
            finalTarget = member;
    std::optional<store::OsFile> held;
    if (store::fileExists(finalTarget)) {
        auto existing = store::OsFile::open(finalTarget, store::FileAccess::ReadOnly);
        if (!existing)
            return failed(outcome, existing.error());
        if (!existing->relock(store::FileLock::Exclusive))
            return failed(outcome, "File " + finalTarget + " is in use by another program");
        held = std::move(*existing);
    }
    // The table and its memo file are made under temporary names beside the
    // target and renamed over it only when whole, so a failure (a full disk)
    // leaves the old files as they were.
    const std::filesystem::path targetPath(finalTarget);
    const std::filesystem::path tempDbf =
        targetPath.parent_path() /
        (".~" + std::to_string(::getpid()) + "-" + targetPath.filename().string());
    TempTable temp{tempDbf.string(), store::siblingFile(tempDbf.string(), ".FPT")};
    if (auto st = table.copyStructure(temp.dbf); !st)
        return failed(outcome, st.error());
    auto out = store::Table::open(temp.dbf, store::OpenMode::Exclusive);
    if (!out)
        return failed(outcome, out.error());
    for (bool more = walk->valid(); more; more = walk->next()) {
        if (auto st = out->append(); !st)
            return failed(outcome, st.error());
        for (auto field : kTextOrder)
            if (auto st = out->replace(field, table.getString(field)); !st) {
                out->discard();
                return failed(outcome, st.error());
            }
        auto memo = table.getMemo("MEMO");
        if (!memo) {
            out->discard();
            return failed(outcome, memo.error());
        }
        if (!memo->empty())
            if (auto st = out->replace("MEMO", store::memoForStorage(*memo)); !st) {
                out->discard();
                return failed(outcome, st.error());
            }
        if (auto st = out->post(); !st) {
            out->discard();
            return failed(outcome, st.error());
        }
        ++outcome.copied;
        progress();
        if (stop())
            break;
    }
    if (auto st = out->flush(); !st)
        return failed(outcome, st.error());
    out = store::fail("closed"); // closes the table before its files are renamed
    for (const std::string& file : {temp.memo, temp.dbf})
        if (auto st = store::syncPath(file); !st && store::fileExists(file))
            return failed(outcome, st.error());
    const std::string cdx = store::siblingFile(finalTarget, ".CDX");
    std::error_code ec;
    if (!isTableItself(cdx, table.path()) && store::fileExists(cdx))
        std::filesystem::remove(cdx, ec);
    if (store::fileExists(temp.memo))
        std::filesystem::rename(temp.memo, store::siblingFile(finalTarget, ".FPT"), ec);
    if (!ec)
        std::filesystem::rename(temp.dbf, finalTarget, ec);
    if (ec)
        return failed(outcome, ec.message());
    return outcome;
}

} // namespace qp::exchange
