#include "jet/jet_data_page.h"

bool JetDataPage::HoldsLongValues() const { return page_.compare(4, 4, "LVAL") == 0; }

std::optional<unsigned> JetDataPage::RowCount() const {
  const unsigned rows = JetReadLE<uint16_t>(page_, format_.rowCountOffset);
  if (format_.rowCountOffset + 2 + 2 * static_cast<int>(rows) > format_.pageSize) return std::nullopt;
  return rows;
}

bool JetDataPage::SkippedInScan(unsigned row) const {
  std::optional<unsigned> rows = RowCount();
  return rows && row < *rows && (Offset(row) & kJetRowSkipped) != 0;
}

bool JetDataPage::MovedHere(unsigned row) const {
  std::optional<unsigned> rows = RowCount();
  return rows && row < *rows && (Offset(row) & (kJetRowSkipped | kJetRowOverflowPointer)) == kJetRowSkipped;
}

std::optional<JetDataPage::Row> JetDataPage::FindRow(unsigned row) const {
  std::optional<unsigned> rows = RowCount();
  if (!rows || row >= *rows) return std::nullopt;
  const unsigned raw = Offset(row);
  Row r;
  r.start = static_cast<int>(raw & kJetRowOffsetMask);
  r.end = row == 0 ? format_.pageSize : static_cast<int>(Offset(row - 1) & kJetRowOffsetMask);
  r.overflowPointer = (raw & kJetRowOverflowPointer) != 0;
  const int rowArea = format_.rowCountOffset + 2 + 2 * static_cast<int>(*rows);
  if (r.start < rowArea || r.start > r.end || r.end > format_.pageSize) return std::nullopt;
  return r;
}

std::optional<JetDataPage::Row> JetDataPage::FollowOverflow(const JetFormat& format, std::string_view& rowPage,
                                                            Row pointerRow, std::string& buffer,
                                                            const RowPageReader& readRows,
                                                            std::vector<uint32_t>* followed) {
  // Access moves a record that outgrew its page; a few further moves are
  // followed, never a loop.
  constexpr int kMaxHops = 4;
  for (int hop = 0; hop < kMaxHops; ++hop) {
    if (pointerRow.size() < 4) return std::nullopt;
    const uint32_t pointer = JetReadLE<uint32_t>(rowPage, static_cast<size_t>(pointerRow.start));
    if (followed) followed->push_back(pointer);
    if (!readRows(JetPointerPage(pointer), buffer)) return std::nullopt;
    rowPage = buffer;
    const JetDataPage page(format, rowPage);
    if (!page.SkippedInScan(JetPointerRow(pointer))) return std::nullopt;
    std::optional<Row> target = page.FindRow(JetPointerRow(pointer));
    if (!target || !target->overflowPointer) return target;
    pointerRow = *target;
  }
  return std::nullopt;
}
