// The values of one complex column as the recordset hands them out: a text
// for each row, what Access's datasheet shows, since the import engine takes
// every field as text or bytes (DAO itself would give a nested recordset).
//
// A multi-value list gives its values in stored order joined by ", " (a
// value of a type number the reader does not know as the upper-case hex of
// its bytes); an attachment column gives its file names joined by "; ".
// A row without values gives Null, as does a column whose flat table the
// catalog does not name.
//
// The flat table is read whole when the first value is asked for: one text
// per owning row is kept, as long as the flat table's values.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>

#include "jet/jet_file.h"
#include "platform/dao/dao_complex_column_types.h"
#include "runtime/variant.h"

class DaoComplexValues {
 public:
  DaoComplexValues(std::shared_ptr<const JetFile> file, DaoComplexColumnTypes::Column column);

  // The value of the owning row whose complex cell holds `key`. Raises
  // EJetError when the flat table cannot be read or lacks the columns its
  // kind has.
  Variant ValueOf(int32_t key);

 private:
  void Load();

  std::shared_ptr<const JetFile> file_;
  DaoComplexColumnTypes::Column column_;
  std::optional<std::map<int32_t, UnicodeString>> texts_;  // by key, once read
};
