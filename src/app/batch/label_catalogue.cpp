#include "app/batch/label_catalogue.h"

#include "app/batch/batch_command.h"
#include "labels/label_definition.h"
#include "labels/label_stock.h"
#include "store/number_text.h"
#include "store/shared_routines.h"

#include <unistd.h>

namespace qp::batch {

namespace fs = std::filesystem;

Catalogue::Catalogue() {
    fs::path sysdata = store::SysdataFolder();
    std::error_code ec;
    if (fs::exists(store::resolveCaseInsensitive(sysdata, "LBLTPL.DBF"), ec)) {
        // A catalogue of another release is renewed as at the program's start.
        if (auto st = labels::upgradeLabelCatalogue(sysdata.string()); !st)
            throw Failure(st.error());
        auto t = labels::openLabelTemplateTable(sysdata.string());
        if (!t)
            throw Failure(t.error());
        table_.emplace(std::move(*t));
        return;
    }
    std::string pattern = (fs::temp_directory_path() / "qp_stock_XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw Failure("Cannot make a scratch folder");
    scratch_ = pattern;
    if (auto st = labels::buildLabelTemplateTable((scratch_ / "LBLTPL.DBF").string()); !st)
        throw Failure(st.error());
    auto t = labels::openLabelTemplateTable(scratch_.string());
    if (!t)
        throw Failure(t.error());
    table_.emplace(std::move(*t));
}

Catalogue::~Catalogue() {
    table_.reset();
    if (!scratch_.empty()) {
        std::error_code ec;
        fs::remove_all(scratch_, ec);
    }
}

std::string xbaseLiteral(const std::string& text) {
    if (text.find('"') == std::string::npos)
        return "\"" + text + "\"";
    if (text.find('\'') == std::string::npos)
        return "'" + text + "'";
    throw UsageError("A value may not hold both kinds of quote: " + text);
}

std::string threeDecimals(double v) {
    return store::fixedText(v, 3);
}

store::Table openLabels() {
    auto t = labels::openLabelTable(store::SysdataFolder().string());
    if (!t)
        throw Failure(t.error());
    if (auto st = labels::showSavedLabels(*t); !st)
        throw Failure(st.error());
    return std::move(*t);
}

} // namespace qp::batch
