#pragma once
// The names spreadsheets and address books give their columns, and the
// address field each one proposes: "Surname" and "Family Name" feed Last
// Name, "Business Street" feeds Address 1, and so on.

#include "exchange/address_labels.h"

#include <string>
#include <string_view>
#include <vector>

namespace qp::exchange {

// A column name reduced for comparing: lower case, letters and digits only
// ("E-mail Address" and "email address" both give "emailaddress").
std::string foldName(std::string_view name);

// The fields a file with field names may fill: the visible character fields,
// then Actual Date and Memo.
std::vector<AddressLabel> namedImportFields();

// For each column name, the display label of the address field proposed for
// it, or an empty string. A column feeds at most one field and a field takes
// at most one column; a more telling name wins over a looser one ("Job
// Title" over "Title" for Title), and among equals the first column wins.
std::vector<std::string> proposeMatches(const std::vector<std::string>& columnNames);

// How many of `names` are known export names or address field labels.
std::size_t knownNameCount(const std::vector<std::string>& names);

} // namespace qp::exchange
