// Recovery of one table's rows from a damaged file, trusting neither its
// usage map nor the page chains that lead to its rows.
//
// Every page of the file is read once, in page order, one page at a time;
// a data page is the table's when its header names the table's definition
// page. Its rows are read in row order: deleted rows are skipped, a record
// Access moved is read through its overflow pointer (at most four hops, as
// the cursor does) and the moved row itself is passed over. Each row is
// decoded as far as it can be (JetPartialRow): the columns before the first
// cell that lies outside the row, each decoded on its own; a memo or OLE
// value whose chain breaks gives the bytes before the break, marked as cut
// (JetLongValueReader::ReadPrefix); a value that does not decode is
// unreadable, and so is every column after it. A row of which not even the
// first column can be read, a page whose row offsets do not fit, and an
// overflow pointer that leads nowhere are passed over and told in
// PassedOver().
//
// Bounded as the rest of the reader: nothing is read outside a page, every
// loop ends with the file's pages, and the cells read may hold at most twice
// the file's bytes (a well-formed file's cells never overlap); past that
// every cell is unreadable.
//
// Holds two pages (one more after an overflow pointer), the long-value
// reader's few pages and one bit per long-value row of the file, the
// definition, and the texts of what it passed over. Shares its JetFile.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "jet/jet_data_page.h"
#include "jet/jet_file.h"
#include "jet/jet_long_value_reader.h"
#include "jet/jet_partial_row.h"
#include "jet/jet_row_layout.h"
#include "jet/jet_table_definition.h"

class JetSalvageScan {
 public:
  // Reads the definition of table `name` that starts on `definitionPage`
  // (jet_definition_search.h finds it). Raises EJetError "Cannot read the
  // definition of table '...'." followed by the damage found.
  JetSalvageScan(std::shared_ptr<const JetFile> file, UnicodeString name, uint32_t definitionPage);
  // Reads the rows of the table whose data pages name `definitionPage` with
  // `definition` instead (one repaired from damage: jet_definition_repair.h);
  // only the data pages `pages` (in their order) when not empty.
  JetSalvageScan(std::shared_ptr<const JetFile> file, UnicodeString name, uint32_t definitionPage,
                 JetTableDefinition definition, std::vector<uint32_t> pages = {});
  JetSalvageScan(const JetSalvageScan&) = delete;
  JetSalvageScan& operator=(const JetSalvageScan&) = delete;

  const std::vector<JetTableDefinition::Column>& Columns() const { return definition_.Columns(); }
  // The index of the column named `name` (letter case ignored), or -1.
  int ColumnIndex(UnicodeStringView name) const;

  // Reads the next row of the table into `row`; false after the file's last
  // page. Never raises for damage.
  bool Next(JetPartialRow& row);

  // What the scan passed over so far, one sentence each, in file order.
  const std::vector<UnicodeString>& PassedOver() const { return passedOver_; }

 private:
  bool LoadNextPage();
  // The number of the next page to look at after pageNumber_; 0 after the last.
  uint32_t NextPageNumber();
  // The row the overflow pointer `pointer` leads to, through further
  // pointers; sets rowPage_ to the page holding it.
  std::optional<JetDataPage::Row> FollowOverflow(JetDataPage::Row pointer);
  void Decode(const JetDataPage::Row& bounds, JetPartialRow& row);
  // The value of column `index` from its cell, cut or not; raises EJetError
  // when it does not decode.
  JetPartialRow::Cell DecodeCell(size_t index);
  void PassOver(const UnicodeString& what) { passedOver_.push_back(what); }

  std::shared_ptr<const JetFile> file_;
  UnicodeString name_;
  uint32_t definitionPage_;
  JetTableDefinition definition_;
  JetRowLayout layout_;
  JetLongValueReader longValues_;
  std::string page_;          // the table's data page read last
  std::string overflowPage_;  // the page an overflow pointer led to last
  std::string_view rowPage_;  // the page holding the current row: one of the two
  std::vector<JetCell> cells_;
  uint32_t pageNumber_ = 0;  // 0 before the first page
  std::vector<uint32_t> pages_;  // the only pages to read, when not empty
  size_t nextPage_ = 0;          // in pages_
  bool ended_ = false;           // past the last page
  unsigned row_ = 0;         // next row of the page
  unsigned rows_ = 0;        // rows the page declares
  uint64_t bytesLeft_;       // what the cells may still hold
  std::vector<UnicodeString> passedOver_;
};
