// Reads a table back through libmdb (mdbtools), the library the plug-in uses,
// to check what the writer stored. Each value comes from libmdb's own row
// handling: texts as libmdb converts them, numbers as libmdb prints them,
// long values joined from libmdb's long-value reads.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace accessdb_test {

struct MdbCell {
  bool null = false;   // from the row's null mask, as libmdb cracks the row
  std::string text;    // libmdb's bound text (numbers, text, booleans)
  std::string raw;     // binary: the stored bytes; memo: the whole text (UTF-8); ole and
                       // calculated memo results: the long value's bytes
  std::string stored;  // the cell's bytes in its row, as libmdb places them (also when null)
  double number = 0;   // single, double, datetime: the stored value
};

struct MdbColumnInfo {
  std::string name;
  int type = 0;  // MDB_TEXT, ...
  int size = 0;
};

class LibmdbTableReader {
 public:
  explicit LibmdbTableReader(const std::string& path);
  ~LibmdbTableReader();
  LibmdbTableReader(const LibmdbTableReader&) = delete;
  LibmdbTableReader& operator=(const LibmdbTableReader&) = delete;

  std::vector<std::string> UserTables() const;  // as mdb-tables lists them
  std::vector<std::string> AllTables() const;   // with the system tables
  std::string CatalogProperty(const std::string& object, const std::string& property) const;
  int code_page() const;
  int jet_version() const;

  // Calls `row` once per row; returns the row count. Throws std::runtime_error
  // when the table is missing.
  std::uint64_t Read(const std::string& table, std::vector<MdbColumnInfo>* columns,
                     const std::function<void(const std::vector<MdbCell>&)>& row) const;

 private:
  struct Handle;
  Handle* handle_;
};

}  // namespace accessdb_test
