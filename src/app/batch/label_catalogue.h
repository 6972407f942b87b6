#pragma once
// The label stock catalogue and label definitions for batch commands: the
// catalogue in sysdata when there is one, else a scratch build of the
// shipped one; xBase string literals for values typed by the user.

#include "store/table.h"

#include <filesystem>
#include <optional>
#include <string>

namespace qp::batch {

class Catalogue {
public:
    Catalogue();
    ~Catalogue();
    Catalogue(const Catalogue&) = delete;
    Catalogue& operator=(const Catalogue&) = delete;
    store::Table& table() { return *table_; }

private:
    std::filesystem::path scratch_;
    std::optional<store::Table> table_;
};

// "text" (or 'text' when it holds a double quote); a usage error when it
// holds both kinds of quote, so no typed value changes a query's logic.
std::string xbaseLiteral(const std::string& text);

std::string threeDecimals(double v);

// sysdata/LABEL.DBF with its saved-label list.
store::Table openLabels();

} // namespace qp::batch
