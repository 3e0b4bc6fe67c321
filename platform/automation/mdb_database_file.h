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
  // possible) or a saved query; letter case ignored.
  bool IsLinkedTable(UnicodeStringView name) const;
  bool IsQuery(UnicodeStringView name) const;

 private:
  struct CatalogName {
    UnicodeString name;
    int objectType;
  };
  UnicodeString path_;
  MdbHandle* mdb_ = nullptr;
  std::vector<CatalogName> catalog_;  // same order as mdb_->catalog
  std::vector<UnicodeString> queryNames_;
  UnicodeString password_;
};
