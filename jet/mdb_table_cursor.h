// Sequential reading of one table of an MdbDatabaseFile, a row at a time,
// with every cell decoded the way DAO delivers it. Internal to the DAO
// server of platform/automation/.
//
// The cursor works on its own clone of the database's libmdb handle: libmdb
// keeps the current data page in the handle, so two cursors on one handle
// would read each other's pages. The table's definition is parsed once
// (JetTableDefinition) and each row split into its cells (JetRowLayout);
// everything else the file points at is read here with bounds too: the
// table's usage map (MdbUsageMap), the row offsets of each data page, and
// long values. Each cell is decoded from the row bytes: memo and long binary
// values are read whole from their long-value pages.
//
// Damage is never skipped: a data page or row that cannot be read becomes a
// damaged record, on which the cursor stands like on any other row and whose
// every Value() raises EOleError; MoveNext goes on after it. A long value
// whose chain loops, ends early or holds more than its stated length raises
// EOleError from Value().
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "jet/jet_row_layout.h"
#include "jet/jet_table_definition.h"
#include "jet/mdb_api.h"
#include "jet/mdb_database_file.h"
#include "jet/mdb_page_reader.h"
#include "jet/mdb_usage_map.h"
#include "runtime/variant.h"

class MdbTableCursor {
 public:
  struct Column {
    UnicodeString name;
    int jetType;
    int daoType;
    int32_t daoSize;
    int scale = 0;            // Decimal columns
    bool calculated = false;  // the cell holds a wrapped calculated result
  };

  // Opens the table at `catalogIndex` of `file`, which the cursor keeps
  // alive. Raises EOleError when its definition cannot be read.
  MdbTableCursor(std::shared_ptr<MdbDatabaseFile> file, int catalogIndex);
  // Opens the table defined on `tableDefinitionPage` of `file`, which must
  // outlive the cursor (the catalog is read this way while `file` opens).
  MdbTableCursor(const MdbDatabaseFile& file, const UnicodeString& name, uint32_t tableDefinitionPage);
  ~MdbTableCursor();
  MdbTableCursor(const MdbTableCursor&) = delete;
  MdbTableCursor& operator=(const MdbTableCursor&) = delete;

  // Columns in the table's column order.
  const std::vector<Column>& Columns() const { return columns_; }
  // Number of rows the table definition records.
  int64_t RowCount() const;

  // Positions on the first row; false when the table is empty.
  bool MoveFirst();
  // Positions on the next row; false past the last one. Raises EOleError
  // when the table's usage map is damaged.
  bool MoveNext();
  bool HasRow() const { return hasRow_; }
  // The value of column `index` in the current row, decoded anew on every
  // call (a caller reads each cell once; keeping copies would cost more).
  // Raises EOleError "No current record." without a current row.
  Variant Value(size_t index);

 private:
  void Open(uint32_t tableDefinitionPage);
  void Release();  // frees libmdb's handle
  bool Fetch();
  bool LoadNextPage();
  bool DamagedRecord(const UnicodeString& message);
  Variant Decode(size_t index);
  // The bytes of a memo or long binary cell. They stay valid until the next
  // long value is read or the cursor moves: they lie in the current data
  // page, in the cached long-value page, or in longValue_.
  std::string_view ReadLongValue(const JetCell& cell, size_t index);
  // Locates row `row` of page `page` through the page cache; returns its bytes.
  std::string_view LongValueRow(uint32_t page, uint32_t row);

  std::shared_ptr<MdbDatabaseFile> owner_;  // empty for the catalog's cursor
  const MdbDatabaseFile& file_;
  UnicodeString name_;
  MdbHandle* mdb_ = nullptr;  // owned clone
  uint32_t definitionPage_ = 0;
  std::unique_ptr<JetTableDefinition> definition_;
  std::unique_ptr<JetRowLayout> layout_;
  std::unique_ptr<MdbPageReader> pages_;
  std::unique_ptr<MdbUsageMap> usageMap_;
  std::vector<Column> columns_;
  std::vector<JetCell> cells_;
  bool hasRow_ = false;
  UnicodeString damage_;     // set while standing on a damaged record
  uint32_t page_ = 0;        // data page in mdb_->pg_buf, 0 before the first
  bool pageLoaded_ = false;  // rows of page_ left to read
  unsigned row_ = 0;         // next row of page_
  unsigned rows_ = 0;        // rows page_ declares
  // Copies of the long-value pages read last. The memo cells of one row may
  // each lie on a page of its own, so with a single copy every cell would
  // read its page again; a few pages (kilobytes) serve the cells of a row.
  struct LongValuePage {
    bool valid = false;
    uint32_t number = 0;
    uint64_t lastUse = 0;
    std::vector<unsigned char> bytes;
  };
  static constexpr size_t kLongValuePages = 4;
  LongValuePage lvalPages_[kLongValuePages];
  uint64_t lvalUses_ = 0;
  std::string longValue_;  // a long value spread over several pages; reused, so it holds the largest read so far
};
