// Complex columns (Access 2007 and later) as Access writes them: each column
// of a complex kind has a flat table holding the values behind each row's key,
// a template table that names its kind, and a row in MSysComplexColumns.
// Pure functions from column descriptions and values to tables and rows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/accessdb/column.h"
#include "tools/accessdb/value.h"

namespace accessdb {

// Catalog flags Access gives the tables of complex columns.
constexpr std::uint32_t kComplexOwnerFlags = 0x00040000;   // a table with complex columns
constexpr std::uint32_t kFlatTableFlags = 0x800A0000;
constexpr std::uint32_t kTemplateTableFlags = 0x80030000;
constexpr std::uint32_t kComplexCatalogFlags = 0x80000000;  // MSysComplexColumns

constexpr const char* kComplexCatalogName = "MSysComplexColumns";

struct TableShape {
  std::string name;
  std::vector<Column> columns;
};

// The flat table of `column` in table `table`, named "f_" + 32 hex digits (the
// ComplexID) + "_" + the column's name, cut to 64 characters. Its columns:
// "_<column>" (the owning row's key), the kind's columns, then "<table>_<column>"
// (each value's own id, counted from 1).
TableShape FlatTable(const std::string& table, const Column& column);

// The template table of the column's kind: "MSysComplexType_Text", ...,
// "MSysComplexType_Attachment", or for version history one of its own,
// "MSysComplexTypeVH_" + 32 hex digits, with the kind's columns and no rows.
TableShape TemplateTable(const Column& column);

// The flat-table rows behind one owning cell (Null, a bare key or a Complex
// value), without their own ids. Throws std::invalid_argument for values that
// do not fit the kind.
std::vector<std::vector<Value>> FlatRows(const Column& column, const Value& cell);

// An attachment's FileData as Access stores it: 1 (compressed), the decoded
// length, then the zlib stream (level 5, which gives Access's own bytes) of a
// 12-byte header, the type in UTF-16 with a terminating 0, and the file.
std::string EncodeAttachmentData(const Attachment& attachment);

// The columns of MSysComplexColumns; its rows hold the column's name, the
// template table's id, the flat table's id, the owning table's id and the
// ComplexID, in this order.
const std::vector<Column>& ComplexCatalogColumns();

}  // namespace accessdb
