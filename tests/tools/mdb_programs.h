// Runs the mdbtools programs mdb-export and mdb-json on a file and parses
// their output, as independent readers of what the writer stored.
#pragma once

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
std::vector<std::vector<std::optional<std::string>>> MdbExport(const std::string& path,
                                                               const std::string& table);

// mdb-json with ISO dates: one object per row (null cells are absent; numbers
// come as strings holding the digits mdb-json printed).
std::vector<nlohmann::json> MdbJson(const std::string& path, const std::string& table);

// mdb-tables -1: the user tables.
std::vector<std::string> MdbTables(const std::string& path);

}  // namespace accessdb_test
