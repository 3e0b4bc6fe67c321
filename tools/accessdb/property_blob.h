// Property blobs: the long values in MSysObjects' LvProp column that hold an
// object's properties and, for a table, its columns' properties.
#pragma once

#include <string>
#include <vector>

#include "tools/accessdb/column.h"

namespace accessdb {

// Data type codes of property values.
enum class PropertyType : unsigned char { kBoolean = 1, kByte = 2, kText = 10, kMemo = 12 };

struct Property {
  std::string name;
  PropertyType type = PropertyType::kText;
  std::string value;  // kBoolean, kByte: the byte itself; kText, kMemo: UTF-8
  bool ddl = false;   // set by the table designer rather than by the user interface
};

// The properties of the object itself (`object` empty) or of one of its columns.
struct PropertyBlock {
  std::string object;
  std::vector<Property> properties;
};

// "MR2" (Jet 4) or "KKD" (Jet 3), the names chunk, then one chunk per block.
// Names and texts are UCS-2 in Jet 4, bytes of `code_page` in Jet 3.
std::string PropertyBlob(Format format, const std::vector<PropertyBlock>& blocks, int code_page);

// The column properties Access keeps for what the writer stores in Access's
// own layout, or "" when there are none: a calculated column's ResultType (and
// Expression when given), AllowMultipleValues of a multi-value column,
// AppendOnly of a memo column whose versions a version-history column keeps
// (and of the table).
std::string ColumnProperties(Format format, const std::vector<Column>& columns, int code_page);

}  // namespace accessdb
