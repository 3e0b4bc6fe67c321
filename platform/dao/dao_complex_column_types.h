// DAO's types of a file's complex columns (attachments, multi-value lists,
// version history), which MSysComplexColumns tells.
//
// Each row of MSysComplexColumns names a ComplexID (the column's, in its
// table definition) and the table that serves as its kind's template; the
// template's name says the kind: 101 for an attachment, 102 to 109 for a
// multi-value column of bytes, integers, long integers, singles, doubles,
// GUIDs, decimals or texts; 109 (text) for any other, such as a memo's
// version history, and for a column the table does not list. Each row also
// names the column and its flat table, which holds its values (one row per
// value, keyed by the column's cell: dao_complex_values.h).
//
// Read once when a database opens; then a value.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "jet/jet_catalog.h"
#include "jet/jet_file.h"

class DaoComplexColumnTypes {
 public:
  // Reads MSysComplexColumns where the file has it. A row that cannot be
  // read is left out (its column then answers the default).
  DaoComplexColumnTypes(const std::shared_ptr<const JetFile>& file, const JetCatalog& catalog);

  // What MSysComplexColumns says of one complex column.
  struct Column {
    int daoType = 109;
    bool history = false;      // a memo's version history (template MSysComplexTypeVH_...)
    UnicodeString name;        // the column's name, which names its flat table's key column
    UnicodeString flatTable;   // empty when the catalog has no such table
    uint32_t flatTablePage = 0;
  };

  int TypeOf(int32_t complexId) const;
  // The column `complexId` names; nullptr when MSysComplexColumns does not list it.
  const Column* Find(int32_t complexId) const;

 private:
  std::map<int32_t, Column> columns_;  // by ComplexID
};
