// The rows of a data page, found with bounds.
//
// A data page: its type (kJetDataPage), at byte 4 the definition page of
// the table that owns it (or "LVAL" on a page of long values), the row
// count, then one 2-byte offset per row. Row i runs from its offset to the
// previous row's (row 0 to the page's end); the top bits of an offset are
// flags (jet_format.h): 0x4000 alone an overflow pointer, 0x8000 alone the
// row it points to, both a deleted row.
//
// A view: it reads the page bytes it was given and copies nothing.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "jet/jet_format.h"

class JetDataPage {
 public:
  // One row: its bytes [start, end).
  struct Row {
    int start;
    int end;
    bool overflowPointer;  // its first 4 bytes point to the row that holds the record
    int size() const { return end - start; }
  };

  // `page` holds format.pageSize bytes and outlives the view.
  JetDataPage(const JetFormat& format, std::string_view page) : format_(format), page_(page) {}

  bool IsData() const { return JetByte(page_, 0) == kJetDataPage; }
  bool HoldsLongValues() const;
  // The definition page of the table whose rows the page holds.
  uint32_t Owner() const { return JetReadLE<uint32_t>(page_, 4); }
  // The number of rows the page declares; nullopt when its offsets do not
  // fit in the page.
  std::optional<unsigned> RowCount() const;
  // True when a scan of the table passes over row `row` without reading it:
  // a deleted row, or the target of an overflow pointer (read through the
  // pointer, where the table's order has it). False for a row that does not
  // exist.
  bool SkippedInScan(unsigned row) const;
  // True when row `row` is flagged as the target of an overflow pointer
  // (moved here), not deleted.
  bool MovedHere(unsigned row) const;
  // Row `row` where it lies, whatever its flags say of scans; nullopt when
  // the row does not exist or its bounds lie outside the page's row area.
  std::optional<Row> FindRow(unsigned row) const;

  // The row that holds the record the overflow pointer `pointerRow` (a row of
  // `rowPage`) leads to, through at most four pointers, never a loop; it must
  // be marked as moved (any other row is read in its own place). `readRows`
  // reads a page into `buffer` and tells whether it holds the table's rows.
  // Sets `rowPage` to `buffer` once a pointer is followed; nullopt when a
  // pointer leads to no such row. `followed`, when given, receives each
  // pointer followed.
  using RowPageReader = std::function<bool(uint32_t page, std::string& buffer)>;
  static std::optional<Row> FollowOverflow(const JetFormat& format, std::string_view& rowPage, Row pointerRow,
                                           std::string& buffer, const RowPageReader& readRows,
                                           std::vector<uint32_t>* followed = nullptr);

 private:
  // The offset entry of an existing row.
  uint16_t Offset(unsigned row) const { return JetReadLE<uint16_t>(page_, format_.rowCountOffset + 2 + 2 * row); }

  const JetFormat& format_;
  std::string_view page_;
};
