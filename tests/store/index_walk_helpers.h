#pragma once
// Checks a table's tags the long way, through the public cursor only: walks
// every tag with deleted records shown and compares each key with the
// expression evaluated on its record. Independent of Table::checkIndex, so
// tests can hold that check to account.

#include <string>

namespace qp::testing {

// Empty when every tag holds one key per record, in (key, record number)
// order, each equal to the key computed from its record; else what is wrong.
std::string tagWalkProblem(const std::string& dbfPath);

} // namespace qp::testing
