// Where each column of a table lives in the table's rows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/accessdb/column.h"
#include "tools/accessdb/jet_format.h"

namespace accessdb {

struct ColumnLayout {
  Column column;
  int number = 0;        // column number: order in the definition, bit in the null mask
  int fixed_offset = 0;  // fixed columns: offset in the fixed area
  int var_index = 0;     // variable columns: position in the variable-offset table
  int long_index = -1;   // memo/OLE columns: index among the table's long-value columns
  int stored_size = 0;   // length field of the column entry (bytes)
  bool variable = false;  // stored in the variable area (variable types, calculated columns)
  // Entry flags (offset 15) and extra flags (offset 16) beyond what the type
  // implies: Access marks the columns of complex columns' tables this way.
  std::uint8_t added_flags = 0;
  std::uint8_t added_extra_flags = 0;
};

struct TableLayout {
  std::vector<ColumnLayout> columns;
  int fixed_size = 0;  // bytes of the fixed area
  int var_count = 0;
  int long_count = 0;
  int null_mask_size() const { return (static_cast<int>(columns.size()) + 7) / 8; }
};

// Lays the columns out in the given order; checks names, sizes and counts and
// throws std::invalid_argument with a message naming the table.
TableLayout MakeTableLayout(const JetFormat& format, const std::string& table_name,
                            const std::vector<Column>& columns);

// Checks a table or column name: 1 to 64 characters, valid UTF-8.
void CheckObjectName(const std::string& what, const std::string& name);

}  // namespace accessdb
