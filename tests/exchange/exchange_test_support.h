#pragma once
// Files for the exchange tests: address files, text files, reading back.

#include "store/address_file.h"
#include "support/file_bytes.h"
#include "support/sample_addresses.h"

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace qp::testing {

inline void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline store::Table newAddressFile(const std::string& path) {
    if (auto st = store::createAddressFile(path, {}); !st)
        throw std::runtime_error(st.error());
    auto t = store::openAddressFile(path, store::OpenMode::Exclusive);
    if (!t)
        throw std::runtime_error(t.error());
    return std::move(*t);
}

// Values of `field` in record order.
inline std::vector<std::string> column(store::Table& t, const std::string& field) {
    std::vector<std::string> out;
    (void)t.setOrder(0);
    for (bool more = t.first(); more; more = t.next())
        out.push_back(t.getString(field));
    return out;
}

} // namespace qp::testing
