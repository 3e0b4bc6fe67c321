// Sequential reading of one table, a row at a time, each value decoded as
// the DAO server hands it out (jet_value_decoding.h).
//
// Opening parses the table's definition and reads its usage map row; the
// data pages the map lists are then read one at a time, in page order, and
// each row split into its cells (JetRowLayout). Deleted rows are skipped; a
// record that Access moved off its page is read through its overflow pointer,
// in the place the pointer holds (the moved row itself is passed over).
// Memo and OLE values are read whole (JetLongValueReader). A table with
// calculated columns also has its properties read when opened, for the types
// of their results (JetCatalog::TableProperties).
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
// Shares its JetFile with the catalog and the other cursors; holds a page
// (two once an overflow pointer is followed), the long-value reader's few
// pages, and the table's definition.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "jet/jet_data_page.h"
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
  // The index of the column named `name` (letter case ignored), or -1.
  int ColumnIndex(UnicodeStringView name) const;
  // Number of rows the table definition records. Access does not always keep
  // it up to date; CountRows() counts the rows there are.
  uint32_t RowCount() const { return definition_.RowCount(); }
  // The records a pass from MoveFirst meets, counted from the offset tables
  // of the table's pages without splitting a row: each page is read once
  // more. A page that a pass meets as a damaged record counts as one. Raises
  // EJetError when the usage map is damaged. Leaves the position alone.
  uint64_t CountRows() const;

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
  // Raises what Value(index) would raise, without building the value where
  // that cannot fail (Jet 4 memo text, OLE data): for a caller that only
  // needs to know that the cell reads.
  void CheckValue(size_t index);
  // Once a pass has ended: the rows of the table flagged as moved (the
  // targets of overflow pointers, which a pass reads through the pointer)
  // that no pointer of the pass led to, as page << 8 | row. A pass never
  // meets them; damage to a row's offset entry makes one, and hides its
  // record from every reader.
  std::vector<uint32_t> MovedRowsNothingPointsTo() const;
  // Stands on the row `pointer` (page << 8 | row) of the table, read as a
  // record whatever its flags (a damaged one, as Fetch makes it); false when
  // the pointer leads to no row of the table's pages. For reading the rows
  // above; a pass goes on where it stood.
  bool MoveToRow(uint32_t pointer);
  // On a damaged record whose row could be split as far as column `index`
  // (its cells before the damage lie inside the row), that column's value
  // as Value() would read it on a whole row; nullopt on a whole row, on a
  // damaged page, or where the damage lies at or before the column. Value()
  // itself raises on every cell of a damaged record, as Jet does: this is
  // for a caller that wants to know whose record was damaged.
  std::optional<Variant> ValueBeforeDamage(size_t index);
  // Whether the current row's null mask contradicts its cell of column
  // `index` (JetCell::maskDisagrees): Value() then reads a value the row may
  // hold as null, or one it lacks as present. False on a damaged record.
  bool NullMaskDisagrees(size_t index) const { return hasRow_ && damage_.empty() && cells_[index].maskDisagrees; }

 private:
  // The bytes of column `index`'s value as DecodeJetValue takes them, its
  // long value read and counted; nullopt where the cell is the value itself
  // (Null, or a Yes/No's null bit).
  std::optional<std::string_view> ValueBytes(size_t index, bool beforeDamage = false);
  Variant Decode(size_t index, const std::optional<std::string_view>& bytes) const;
  // What a page the usage map lists is to this table.
  enum class PageRole { kRows, kOther, kUnreadable, kForeign, kDamaged };
  // Reads page `number` into `buffer` (a page's size) and tells its role:
  // rows of this table, long values or index pages, or damage.
  PageRole Examine(uint32_t number, std::string& buffer) const;
  // Takes the result types of calculated columns from the table's
  // properties, where Access keeps them; true when it found properties.
  bool ReadResultTypes();
  bool Fetch();
  // Splits the row `bounds` of rowPage_ (row `row` of page `page`) into the
  // current record, a damaged one when it does not split.
  void StandOn(const std::optional<JetDataPage::Row>& bounds, unsigned row, uint32_t page);
  bool LoadNextPage();
  // The row the overflow pointer `pointerRow` (on rowPage_) leads to, through
  // any further pointers; sets rowPage_ to the page holding it. Nullopt when
  // a pointer leads to no row of this table, or to a row not marked as moved
  // (which a scan reads in its own place).
  std::optional<JetDataPage::Row> FollowOverflow(JetDataPage::Row pointerRow);
  bool DamagedRecord(const UnicodeString& message);

  std::shared_ptr<const JetFile> file_;
  UnicodeString name_;
  uint32_t definitionPage_;
  JetTableDefinition definition_;
  JetUsageMap usageMap_;
  JetRowLayout layout_;
  JetLongValueReader longValues_;
  std::string page_;          // the data page read last
  std::string overflowPage_;  // the page an overflow pointer led to last
  std::string_view rowPage_;  // the page holding the current row: one of the two
  std::vector<JetCell> cells_;       // of the current row
  // The row each column was last read in (rows count from 1 in a pass), so
  // that a cell read again is neither charged nor claimed again.
  std::vector<uint64_t> readInRow_;
  uint64_t rowNumber_ = 0;
  uint64_t bytesLeft_ = 0;  // what the pass may still read
  bool hasRow_ = false;
  UnicodeString damage_;     // set while standing on a damaged record
  size_t splitBeforeDamage_ = 0;  // on a damaged row: the columns split before the damage
  std::vector<uint32_t> movedRows_;  // in this pass: rows flagged as moved, page << 8 | row
  std::vector<uint32_t> pointedTo_;  // and the pointers followed
  uint32_t pageNumber_ = 0;  // 0 before the first page
  bool pageLoaded_ = false;  // rows of the page left to read
  unsigned row_ = 0;         // next row of the page
  unsigned rows_ = 0;        // rows the page declares
};
