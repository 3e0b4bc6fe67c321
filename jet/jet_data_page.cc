#include "jet/jet_data_page.h"

#include <cstring>

bool JetDataPage::HoldsLongValues() const { return std::memcmp(page_ + 4, "LVAL", 4) == 0; }

std::optional<unsigned> JetDataPage::RowCount() const {
  const unsigned rows = JetReadLE<uint16_t>(page_ + format_.rowCountOffset);
  if (format_.rowCountOffset + 2 + 2 * static_cast<int>(rows) > format_.pageSize) return std::nullopt;
  return rows;
}

std::optional<JetDataPage::Row> JetDataPage::FindRow(unsigned row) const {
  std::optional<unsigned> rows = RowCount();
  if (!rows || row >= *rows) return std::nullopt;
  const int offsets = format_.rowCountOffset + 2;
  const unsigned raw = JetReadLE<uint16_t>(page_ + offsets + 2 * row);
  Row r;
  r.start = static_cast<int>(raw & kJetRowOffsetMask);
  r.end = row == 0 ? format_.pageSize
                   : static_cast<int>(JetReadLE<uint16_t>(page_ + offsets + 2 * (row - 1)) & kJetRowOffsetMask);
  r.deleted = (raw & kJetRowDeleted) != 0;
  r.overflow = (raw & kJetRowOverflow) != 0;
  if (r.deleted) return Row{0, 0, true, r.overflow};  // nothing of it is read
  const int rowArea = offsets + 2 * static_cast<int>(*rows);
  if (r.start < rowArea || r.start > r.end || r.end > format_.pageSize) return std::nullopt;
  return r;
}
