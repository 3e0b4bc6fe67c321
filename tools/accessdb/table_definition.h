// The table definition ("TDEF") pages of one table: header, column entries,
// column names and the usage-map pointers of its long-value columns.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/accessdb/byte_buffer.h"
#include "tools/accessdb/table_layout.h"

namespace accessdb {

class PageFile;
class CodePageEncoder;

struct TableDefinition {
  const TableLayout* layout = nullptr;
  bool system = false;
  std::uint32_t row_count = 0;
  std::uint32_t used_pages_map = 0;  // page pointers of usage-map rows
  std::uint32_t free_pages_map = 0;
  // Per long-value column, in layout order: its own two usage maps.
  std::vector<std::uint32_t> long_used_maps, long_free_maps;
};

// Writes the definition to `first_page` and, when it is longer than a page, to
// further pages allocated from `file`. `names` converts Jet 3 column names.
void WriteTableDefinition(const JetFormat& format, const TableDefinition& def,
                          std::uint32_t first_page, const CodePageEncoder* names, PageFile& file);

}  // namespace accessdb
