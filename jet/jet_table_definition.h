// What a Jet 4 / ACE table definition says about each column beyond what
// libmdb hands out: libmdb 1.0 swaps a Decimal column's precision and scale
// (its col_scale holds the precision), and does not expose the flag of a
// calculated column or the id of a complex column. Part of the reader
// of platform/automation/.
//
// A value type: parsed once when a table is opened, then only read.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

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
  // Reads a Jet 4 / ACE definition that starts at `firstPage`, following the
  // next-page pointers. `readPage` fills `bytes` with one whole page and
  // answers false when it cannot; such a page, a page that is not a table
  // definition, or one met before ends the definition early.
  using PageReader = std::function<bool(uint32_t page, std::string& bytes)>;
  static JetTableDefinition Read(uint32_t firstPage, const PageReader& readPage);

  // The column entry with this column number, or nullptr.
  const Column* Find(int number) const;
  const std::vector<Column>& Columns() const { return columns_; }

 private:
  std::vector<Column> columns_;
};
