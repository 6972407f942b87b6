#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// Reads `data` as a DBF table of another program with its memo file, the way
// the DBF import does: byte 0 chooses the memo file (none, .DBT, .FPT),
// bytes 1 and 2 give the table's length, the table follows and the memo
// file is the rest. Every record's values and memos are read; when
// `addressFile` names an address file the table is imported into it. Every
// input must give values or a message, never a read out of bounds, a crash
// or a hang.
int ReadDbfSourceBytes(const std::uint8_t* data, std::size_t size,
                       const std::string& addressFile = {});

// An input for ReadDbfSourceBytes from a table and its memo file.
std::string DbfSourceInput(int memoKind, const std::string& table, const std::string& memo);
