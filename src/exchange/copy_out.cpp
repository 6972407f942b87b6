#include "exchange/copy_out.h"

#include "exchange/address_labels.h"
#include "exchange/same_file.h"
#include "store/address_file.h"
#include "store/table_files.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

namespace qp::exchange {

namespace {

bool endsWithDbf(const std::string& name) {
    return name.size() >= 4 &&
           equalsIgnoringCase(std::string_view(name).substr(name.size() - 4), ".DBF");
}

CopyOutcome failed(CopyOutcome o) {
    o.ok = false;
    o.message = std::string(kCopyErrorMessage);
    return o;
}

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
    auto walk = store::SelectionWalk::begin(table, selection, info);
    if (!walk)
        return failed(outcome);
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
        std::unique_ptr<std::FILE, int (*)(std::FILE*)> out(std::fopen(target.c_str(), "wb"),
                                                            &std::fclose);
        if (!out)
            return failed(outcome);
        std::string line;
        for (bool more = walk->valid(); more && outcome.copied < total; more = walk->next()) {
            line = textLine(table);
            line += "\r\n";
            if (std::fwrite(line.data(), 1, line.size(), out.get()) != line.size())
                return failed(outcome);
            ++outcome.copied;
            progress();
            if (stop())
                break;
        }
        // Buffered writes fail only when flushed.
        std::FILE* f = out.release();
        bool bad = std::fflush(f) != 0 || std::ferror(f);
        bad |= std::fclose(f) != 0;
        if (bad)
            return failed(outcome);
        return outcome;
    }

    // The target is locked before anything of it is cut: a table another
    // program holds stays as it is.
    auto written = table.copyStructureOver(target);
    if (!written) {
        outcome.ok = false;
        outcome.message = std::string(kCopyErrorMessage) + "\n" + written.error();
        return outcome;
    }
    auto out = store::Table::open(*written, store::OpenMode::Exclusive);
    if (!out)
        return failed(outcome);
    for (bool more = walk->valid(); more; more = walk->next()) {
        if (auto st = out->append(); !st)
            return failed(outcome);
        for (auto field : kTextOrder)
            if (auto st = out->replace(field, table.getString(field)); !st) {
                out->discard();
                return failed(outcome);
            }
        auto memo = table.getMemo("MEMO");
        if (!memo) {
            out->discard();
            return failed(outcome);
        }
        if (!memo->empty())
            if (auto st = out->replace("MEMO", store::memoForStorage(*memo)); !st) {
                out->discard();
                return failed(outcome);
            }
        if (auto st = out->post(); !st) {
            out->discard();
            return failed(outcome);
        }
        ++outcome.copied;
        progress();
        if (stop())
            break;
    }
    if (auto st = out->flush(); !st)
        return failed(outcome);
    return outcome;
}

} // namespace qp::exchange
