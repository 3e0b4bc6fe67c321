// Runs the mdbtools programs mdb-export and mdb-json on a file and parses
// their output, as independent readers of what the writer stored.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace accessdb_test {

// stdout of a shell command; throws std::runtime_error when it fails.
std::string RunCommand(const std::string& command);
std::string ShellQuote(const std::string& s);

// mdb-export with "-b hex", ISO dates and a null marker: rows of cells, the
// header row first; a null cell is std::nullopt.
using CsvRow = std::vector<std::optional<std::string>>;
std::vector<CsvRow> MdbExport(const std::string& path, const std::string& table);
// The same, one row at a time as the program prints it (for large tables).
void MdbExportRows(const std::string& path, const std::string& table,
                   const std::function<void(const CsvRow&)>& row);

// mdb-json with ISO dates: one object per row (null cells are absent; numbers
// come as strings holding the digits mdb-json printed).
std::vector<nlohmann::json> MdbJson(const std::string& path, const std::string& table);

// mdb-tables -1: the user tables.
std::vector<std::string> MdbTables(const std::string& path);

}  // namespace accessdb_test
