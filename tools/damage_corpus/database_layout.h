// Where the structures that damage aims at lie in a file written by the
// test-database writer: pages, rows of data pages, the node table's
// definition and usage map, the catalog's data pages.
//
// A view over the file's bytes (not copied; they must outlive it) read with
// jet/'s page layouts. Every lookup throws std::runtime_error when the file
// does not hold what it looks for.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "jet/jet_format.h"
#include "tools/damage_corpus/stored_text.h"

namespace damage_corpus {

class DatabaseLayout {
 public:
  explicit DatabaseLayout(std::string_view file);

  const JetFormat& Format() const { return format_; }
  size_t PageSize() const { return static_cast<size_t>(format_.pageSize); }
  uint32_t PageCount() const { return static_cast<uint32_t>(file_.size() / PageSize()); }
  ByteRange Page(uint32_t page) const { return {page * PageSize(), (page + 1) * PageSize()}; }

  // The row of a data page that holds file offset `at`, as file offsets, and its number.
  struct Row {
    uint32_t page;
    unsigned number;
    ByteRange bytes;
    size_t offsetEntry;  // file offset of its 2-byte entry in the page's offset table
  };
  std::optional<Row> RowAt(size_t at) const;
  Row RowOf(uint32_t pointer) const;  // page << 8 | row
  bool HoldsLongValues(uint32_t page) const;

  // The definition page of the table that has a column named `column`.
  uint32_t DefinitionWithColumn(const std::string& column) const;
  // The row that holds the usage map of the table defined on `definition`.
  Row UsageMapRow(uint32_t definition) const;
  // The data pages of the table defined on `definition` (2: the catalog, MSysObjects).
  std::vector<uint32_t> DataPages(uint32_t definition) const;

 private:
  std::string_view file_;
  const JetFormat& format_;
};

}  // namespace damage_corpus
