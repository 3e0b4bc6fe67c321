// DAO's types of a file's complex columns (attachments, multi-value lists,
// version history), which MSysComplexColumns tells.
//
// Each row of MSysComplexColumns names a ComplexID (the column's, in its
// table definition) and the table that serves as its kind's template; the
// template's name says the kind: 101 for an attachment, 102 to 109 for a
// multi-value column of bytes, integers, long integers, singles, doubles,
// GUIDs, decimals or texts; 109 (text) for any other, such as a memo's
// version history, and for a column the table does not list.
//
// Read once when a database opens; then a value.
#pragma once

#include <cstdint>
#include <map>
#include <memory>

#include "jet/jet_catalog.h"
#include "jet/jet_file.h"

class DaoComplexColumnTypes {
 public:
  // Reads MSysComplexColumns where the file has it. A row that cannot be
  // read is left out (its column then answers the default).
  DaoComplexColumnTypes(const std::shared_ptr<const JetFile>& file, const JetCatalog& catalog);

  int TypeOf(int32_t complexId) const;

 private:
  std::map<int32_t, int> types_;  // ComplexID -> DAO type
};
