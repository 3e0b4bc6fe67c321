// The rows of a data page, found with bounds.
//
// A data page: its type (kJetDataPage), at byte 4 the definition page of
// the table that owns it (or "LVAL" on a page of long values), the row
// count, then one 2-byte offset per row. Row i runs from its offset to the
// previous row's (row 0 to the page's end); the top bits of an offset are
// flags (jet_format.h).
//
// A view: it reads the page bytes it was given and copies nothing.
#pragma once

#include <cstdint>
#include <optional>

#include "jet/jet_format.h"

class JetDataPage {
 public:
  // One row: its bytes [start, end) and the flags of its offset.
  struct Row {
    int start;
    int end;
    bool deleted;   // deleted, or an overflow pointer whose target is read in its place
    bool overflow;  // the target of an overflow pointer
    int size() const { return end - start; }
  };

  // `page` holds format.pageSize bytes and outlives the view.
  JetDataPage(const JetFormat& format, const unsigned char* page) : format_(format), page_(page) {}

  bool IsData() const { return page_[0] == kJetDataPage; }
  bool HoldsLongValues() const;
  // The definition page of the table whose rows the page holds.
  uint32_t Owner() const { return JetReadLE<uint32_t>(page_ + 4); }
  // The number of rows the page declares; nullopt when its offsets do not
  // fit in the page.
  std::optional<unsigned> RowCount() const;
  // Row `row`; nullopt when the row does not exist or its bounds lie outside
  // the page's row area. A deleted row comes back empty, unchecked.
  std::optional<Row> FindRow(unsigned row) const;

 private:
  const JetFormat& format_;
  const unsigned char* page_;
};
