// One Access database file opened read-only through libmdb. Internal to the
// DAO server of platform/automation/.
//
// The catalog (the rows of MSysObjects) is read once, right after opening,
// by this class itself through an MdbTableCursor, not by mdb_read_catalog:
// libmdb also parses every object's property long value there and loops for
// ever on a chain that points back at itself, while the names, types and
// definition pages needed here come from plain columns. Every libmdb call
// runs inside a StandardErrorCapture; a failing open carries what libmdb
// wrote in its error text.
//
// Shared (shared_ptr) by the database object and every table cursor on it,
// so the handle lives until the last of them is gone.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "jet/mdb_api.h"
#include "runtime/unicode_string.h"

class MdbDatabaseFile {
 public:
  // One row of the catalog.
  struct CatalogObject {
    UnicodeString name;
    int objectType;      // libmdb's MDB_TABLE, MDB_QUERY, ...
    uint32_t tablePage;  // a table's definition page
    // A table linked through ODBC: Type 4 exactly (a report's 0x8004 has the
    // same low 7 bits).
    bool odbcLink = false;
  };

  // Raises EOleError: "Could not find file '%s'." when the path does not
  // exist, "Cannot open the file '%s'. You need permission to view its
  // data." when it cannot be read, and "Unrecognized database format '%s'."
  // (followed by libmdb's own report or the damage found, if any) when it is
  // not a regular file or not an Access database that can be read. Nothing
  // that is not a regular file is opened (a FIFO would block).
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

  const CatalogObject& Object(int catalogIndex) const { return catalog_.at(static_cast<size_t>(catalogIndex)); }
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
  void ReadCatalog();
  // Reads MSysComplexColumns (ACE files) into complexTypes_.
  void ReadComplexColumns();
  // Calls `row` with the texts of `columns` for every row of the local table
  // `table` that can be read; nothing when the table or a column is missing.
  void ForEachRow(UnicodeStringView table, const std::vector<const char16_t*>& columns,
                  const std::function<void(const std::vector<UnicodeString>&)>& row) const;

  UnicodeString path_;
  MdbHandle* mdb_ = nullptr;
  std::vector<CatalogObject> catalog_;
  std::vector<UnicodeString> queryNames_;
  std::map<int32_t, int> complexTypes_;  // ComplexID -> DAO type
  UnicodeString password_;
};
