// One Access database file opened read-only through libmdb. Internal to the
// DAO server of platform/automation/.
//
// The catalog is read once, right after opening, and tables are opened from
// its entries only: libmdb frees the entries whenever the catalog is read
// again, and a table opened earlier would then point into freed memory.
// Every libmdb call runs inside a StandardErrorCapture; a failing open
// carries what libmdb wrote in its error text.
//
// Shared (shared_ptr) by the database object and every table cursor on it,
// so the handle lives until the last of them is gone.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/automation/mdb_api.h"
#include "runtime/unicode_string.h"

class MdbDatabaseFile {
 public:
  // Raises EOleError: "Could not find file '%s'." when the path does not
  // exist, "Cannot open the file '%s'. You need permission to view its
  // data." when it cannot be read, and "Unrecognized database format '%s'."
  // (followed by libmdb's own report, if it made one) when the file is not an
  // Access database libmdb can read.
  explicit MdbDatabaseFile(const UnicodeString& path);
  ~MdbDatabaseFile();
  MdbDatabaseFile(const MdbDatabaseFile&) = delete;
  MdbDatabaseFile& operator=(const MdbDatabaseFile&) = delete;

  const UnicodeString& Path() const { return path_; }
  MdbHandle* Handle() const { return mdb_; }
  bool IsJet3() const;
  // Code page of a Jet 3 file's text (from its header; 1252 when unset).
  int CodePage() const;
  // The database password from the file's header; empty when it has none.
  const UnicodeString& Password() const { return password_; }

  // Names of the saved queries, in catalog order.
  const std::vector<UnicodeString>& QueryNames() const { return queryNames_; }
  // Index into the catalog of the local table named `name` (letter case
  // ignored, as the engine does for object names), or -1. System tables count.
  int FindTable(UnicodeStringView name) const;
  // True when `name` is a linked table (opening one as a table is not
  // possible: linked through the Jet engine or through ODBC) or a saved
  // query; letter case ignored.
  bool IsLinkedTable(UnicodeStringView name) const;
  bool IsQuery(UnicodeStringView name) const;
  // DAO's type of the complex column (attachment, multi-value or version
  // history) that MSysComplexColumns lists under `complexId`: 101 for an
  // attachment, 102 to 109 for a multi-value column of bytes, integers, long
  // integers, singles, doubles, GUIDs, decimals or texts, chosen by the name
  // of its MSysComplexType_... template table; 109 (text) for any other, such
  // as a memo's version history.
  int ComplexColumnDaoType(int32_t complexId) const;

 private:
  struct CatalogName {
    UnicodeString name;
    int objectType;
    bool odbcLink = false;
  };
  // libmdb keeps only the low 7 bits of an object's type, so a table linked
  // through ODBC (type 4) looks like a report (type 0x8004); the catalog's own
  // Type column tells them apart.
  void MarkOdbcLinks();
  // Reads MSysComplexColumns (ACE files) into complexTypes_.
  void ReadComplexColumns();
  // Calls `row` with the bound texts of `columns` for every row of the local
  // table `table`; nothing when the table or a column is missing.
  void ForEachRow(UnicodeStringView table, const std::vector<const char*>& columns,
                  const std::function<void(const std::vector<std::string>&)>& row);
  UnicodeString path_;
  MdbHandle* mdb_ = nullptr;
  std::vector<CatalogName> catalog_;  // same order as mdb_->catalog
  std::vector<UnicodeString> queryNames_;
  std::map<int32_t, int> complexTypes_;  // ComplexID -> DAO type
  UnicodeString password_;
};
