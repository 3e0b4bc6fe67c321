// Sequential reading of one table, a row at a time, each value decoded as
// the DAO server hands it out (jet_value_decoding.h).
//
// Opening parses the table's definition and reads its usage map row; the
// data pages the map lists are then read one at a time, in page order, and
// each row split into its cells (JetRowLayout). Deleted rows and overflow
// pointers are skipped (the target of a pointer is read on its own page).
// Memo and OLE values are read whole (JetLongValueReader).
//
// Damage is never skipped: a data page or row that cannot be read becomes a
// damaged record, on which the cursor stands like on any other row and whose
// every Value() raises EJetError with what was found; MoveNext goes on after
// it, as Jet does. A damaged long value raises from Value(). In one pass over
// the table (from MoveFirst), the cells read may hold at most twice the
// file's bytes: a well-formed file's cells do not overlap, so more can only
// come from damage that points cells at the same bytes again and again (a
// cell read twice counts once); past that every Value() raises.
//
// Shares its JetFile with the catalog and the other cursors; holds one page,
// the long-value reader's few pages, and the table's definition.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "jet/jet_file.h"
#include "jet/jet_long_value_reader.h"
#include "jet/jet_row_layout.h"
#include "jet/jet_table_definition.h"
#include "jet/jet_usage_map.h"
#include "runtime/variant.h"

class JetTableCursor {
 public:
  // Opens the table `name` whose definition starts on `definitionPage`.
  // Raises EJetError "Cannot read the definition of table '...'." followed
  // by the damage found.
  JetTableCursor(std::shared_ptr<const JetFile> file, UnicodeString name, uint32_t definitionPage);
  JetTableCursor(const JetTableCursor&) = delete;
  JetTableCursor& operator=(const JetTableCursor&) = delete;

  const UnicodeString& Name() const { return name_; }
  // Columns in the table's order (their numbers').
  const std::vector<JetTableDefinition::Column>& Columns() const { return definition_.Columns(); }
  // Number of rows the table definition records.
  uint32_t RowCount() const { return definition_.RowCount(); }

  // Positions on the first row; false when the table is empty.
  bool MoveFirst();
  // Positions on the next row; false past the last one. Raises EJetError
  // when the table's usage map is damaged.
  bool MoveNext();
  bool HasRow() const { return hasRow_; }
  // The value of column `index` in the current row, decoded anew on every
  // call (a caller reads each cell once; keeping copies would cost more).
  // Needs a current row.
  Variant Value(size_t index);

 private:
  bool Fetch();
  bool LoadNextPage();
  bool DamagedRecord(const UnicodeString& message);

  std::shared_ptr<const JetFile> file_;
  UnicodeString name_;
  uint32_t definitionPage_;
  JetTableDefinition definition_;
  JetUsageMap usageMap_;
  JetRowLayout layout_;
  JetLongValueReader longValues_;
  std::vector<unsigned char> page_;  // the data page read last
  std::vector<JetCell> cells_;       // of the current row
  // The row each column was last read in (rows count from 1 in a pass), so
  // that a cell read again is neither charged nor claimed again.
  std::vector<uint64_t> readInRow_;
  uint64_t rowNumber_ = 0;
  uint64_t bytesLeft_ = 0;  // what the pass may still read
  bool hasRow_ = false;
  UnicodeString damage_;     // set while standing on a damaged record
  uint32_t pageNumber_ = 0;  // 0 before the first page
  bool pageLoaded_ = false;  // rows of the page left to read
  unsigned row_ = 0;         // next row of the page
  unsigned rows_ = 0;        // rows the page declares
};
