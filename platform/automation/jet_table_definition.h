// What a Jet 4 / ACE table definition says about each column beyond what
// libmdb hands out: libmdb 1.0 swaps a Decimal column's precision and scale
// (its col_scale holds the precision), and does not expose the flag of a
// calculated column or the id of a complex column. Internal to the DAO server
// of platform/automation/.
//
// A value type: parsed once when a table is opened, then only read.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/automation/mdb_api.h"

class JetTableDefinition {
 public:
  struct Column {
    int number = 0;  // the column number, as libmdb's col_num
    int jetType = 0;
    int precision = 0;  // Decimal columns
    int scale = 0;      // Decimal columns
    bool calculated = false;
    int32_t complexId = 0;  // complex columns: their ComplexID in MSysComplexColumns
  };

  // Parses a definition: its pages joined (the first page whole, each further
  // page from byte 8 on). Entries that lie beyond the bytes are left out.
  explicit JetTableDefinition(std::string_view definition);
  // Reads the definition that starts at `page` through libmdb's page reads
  // (Jet 4 and later files; a Jet 3 definition gives no columns). Pages that
  // cannot be read end the definition early.
  static JetTableDefinition Read(MdbHandle* mdb, uint32_t page);

  // The column entry with this column number, or nullptr.
  const Column* Find(int number) const;
  const std::vector<Column>& Columns() const { return columns_; }

 private:
  std::vector<Column> columns_;
};
