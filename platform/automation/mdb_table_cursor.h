// Sequential reading of one table of an MdbDatabaseFile, a row at a time,
// with every cell decoded the way DAO delivers it. Internal to the DAO
// server of platform/automation/.
//
// The cursor works on its own clone of the database's libmdb handle: libmdb
// keeps the current data page in the handle, so two cursors on one handle
// would read each other's pages. Rows are walked with mdb_fetch_row, but no
// column is bound: libmdb's text forms lose data (text cut at the bind size,
// null and empty text alike, dates wrong outside 1900-9998), so each cell is
// decoded from the row bytes instead (row located with mdb_find_row and split
// with mdb_crack_row, which also gives the null mask). Memo and long binary
// values are read whole from their long-value pages.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/automation/mdb_api.h"
#include "platform/automation/mdb_database_file.h"
#include "runtime/variant.h"

class MdbTableCursor {
 public:
  struct Column {
    UnicodeString name;
    int jetType;
    int daoType;
    int32_t daoSize;
    // From the table definition (see JetTableDefinition).
    int scale = 0;            // Decimal columns
    bool calculated = false;  // the cell holds a wrapped calculated result
  };

  // Opens the table at `catalogIndex` of `file`. Raises EOleError when
  // libmdb cannot read its definition.
  MdbTableCursor(std::shared_ptr<MdbDatabaseFile> file, int catalogIndex);
  ~MdbTableCursor();
  MdbTableCursor(const MdbTableCursor&) = delete;
  MdbTableCursor& operator=(const MdbTableCursor&) = delete;

  // Columns in the table's column order.
  const std::vector<Column>& Columns() const { return columns_; }
  // Number of rows the table definition records.
  int64_t RowCount() const;

  // Positions on the first row; false when the table is empty.
  bool MoveFirst();
  // Positions on the next row; false past the last one.
  bool MoveNext();
  bool HasRow() const { return hasRow_; }
  // The value of column `index` in the current row, decoded anew on every
  // call (a caller reads each cell once; keeping copies would cost more).
  // Raises EOleError "No current record." without a current row.
  Variant Value(size_t index);

 private:
  bool Fetch();
  // Takes what libmdb does not give from the table definition at `page`.
  void ApplyTableDefinition(uint32_t page);
  Variant Decode(size_t index);
  std::string ReadLongValue(const MdbField& field, size_t index);
  // Locates row `row` of page `page` through the page cache; returns its bytes.
  std::string_view LongValueRow(uint32_t page, uint32_t row);

  std::shared_ptr<MdbDatabaseFile> file_;
  MdbHandle* mdb_ = nullptr;  // owned clone
  MdbTableDef* table_ = nullptr;
  std::vector<Column> columns_;
  std::vector<MdbField> fields_;
  bool hasRow_ = false;
  std::vector<unsigned char> lvalPage_;  // copy of the last long-value page read
  uint32_t lvalPageNumber_ = 0;
  bool lvalPageValid_ = false;
};
