#include "jet/jet_salvage_scan.h"

#include "jet/jet_value_decoding.h"

namespace {

JetTableDefinition ReadDefinition(const JetFile& file, const UnicodeString& name, uint32_t page) {
  try {
    return JetTableDefinition::Read(file.Format(), page, file.TextCodePage(),
                                    [&](uint32_t number, std::string& bytes) { return file.ReadPage(number, bytes); });
  } catch (const EJetError& e) {
    throw EJetError(FormatText(u"Cannot read the definition of table '%s'.", {name}) + u" " + e.Message());
  }
}

}  // namespace

JetSalvageScan::JetSalvageScan(std::shared_ptr<const JetFile> file, UnicodeString name, uint32_t definitionPage)
    : JetSalvageScan(file, name, definitionPage, ReadDefinition(*file, name, definitionPage)) {}

JetSalvageScan::JetSalvageScan(std::shared_ptr<const JetFile> file, UnicodeString name, uint32_t definitionPage,
                               JetTableDefinition definition, std::vector<uint32_t> pages)
    : file_(std::move(file)),
      name_(std::move(name)),
      definitionPage_(definitionPage),
      definition_(std::move(definition)),
      layout_(file_->Format(), definition_),
      longValues_(*file_),
      pages_(std::move(pages)),
      bytesLeft_(2 * file_->ByteSize()) {}

int JetSalvageScan::ColumnIndex(UnicodeStringView name) const {
  const auto& columns = definition_.Columns();
  for (size_t i = 0; i < columns.size(); ++i)
    if (SameText(columns[i].name, name)) return static_cast<int>(i);
  return -1;
}

bool JetSalvageScan::Next(JetPartialRow& row) {
  for (;;) {
    if (row_ >= rows_) {
      if (!LoadNextPage()) return false;
      continue;
    }
    const unsigned number = row_++;
    const JetDataPage page(file_->Format(), page_);
    if (page.SkippedInScan(number)) continue;  // deleted, or read through its overflow pointer
    const int64_t at[] = {static_cast<int64_t>(number), static_cast<int64_t>(pageNumber_)};
    std::optional<JetDataPage::Row> bounds = page.FindRow(number);
    rowPage_ = page_;
    if (!bounds) {
      PassOver(FormatText(u"Row %d of page %d lies outside its page.", {at[0], at[1]}));
      continue;
    }
    if (bounds->overflowPointer && !(bounds = FollowOverflow(*bounds))) {
      PassOver(FormatText(u"The record that row %d of page %d points to cannot be found.", {at[0], at[1]}));
      continue;
    }
    row.page = pageNumber_;
    row.row = number;
    Decode(*bounds, row);
    if (row.cells.empty() || row.cells[0].state == JetPartialRow::State::kUnreadable) {
      PassOver(FormatText(u"Row %d of page %d cannot be read: ", {at[0], at[1]}) +
               (row.cells.empty() ? UnicodeString(u"the table has no columns.") : row.cells[0].damage));
      continue;
    }
    return true;
  }
}

uint32_t JetSalvageScan::NextPageNumber() {
  if (ended_) return 0;
  uint32_t next = 0;
  if (pages_.empty()) next = pageNumber_ + 1 < file_->PageCount() ? pageNumber_ + 1 : 0;
  else if (nextPage_ < pages_.size()) next = pages_[nextPage_++];
  ended_ = next == 0;
  return next;
}

bool JetSalvageScan::LoadNextPage() {
  while ((pageNumber_ = NextPageNumber()) != 0) {
    if (!file_->ReadPage(pageNumber_, page_)) continue;
    const JetDataPage page(file_->Format(), page_);
    if (!page.IsData() || page.HoldsLongValues() || page.Owner() != definitionPage_) continue;
    const std::optional<unsigned> rows = page.RowCount();
    if (!rows) {
      PassOver(FormatText(u"Page %d of table '%s' is damaged: its row offsets do not fit in it.",
                          {static_cast<int64_t>(pageNumber_), name_}));
      continue;
    }
    rows_ = *rows;
    row_ = 0;
    return true;
  }
  rows_ = row_ = 0;
  return false;
}

std::optional<JetDataPage::Row> JetSalvageScan::FollowOverflow(JetDataPage::Row pointerRow) {
  return JetDataPage::FollowOverflow(file_->Format(), rowPage_, pointerRow, overflowPage_,
                                     [&](uint32_t page, std::string& buffer) {
                                       if (!file_->ReadPage(page, buffer)) return false;
                                       const JetDataPage data(file_->Format(), buffer);
                                       return data.IsData() && !data.HoldsLongValues() &&
                                              data.Owner() == definitionPage_;
                                     });
}

void JetSalvageScan::Decode(const JetDataPage::Row& bounds, JetPartialRow& row) {
  const auto& columns = definition_.Columns();
  size_t readable = 0;
  layout_.Split(rowPage_, bounds.start, bounds.end, cells_, &readable);
  row.cells.assign(columns.size(), JetPartialRow::Cell{});
  UnicodeString damage;
  size_t i = 0;
  for (; i < readable; ++i) {
    try {
      row.cells[i] = DecodeCell(i);
    } catch (const Exception& e) {
      damage = e.Message();
      break;
    }
  }
  if (i < columns.size() && damage.empty())
    damage = FormatText(u"The record at row %d of page %d is damaged from field '%s' on.",
                        {static_cast<int64_t>(row.row), static_cast<int64_t>(row.page), columns[i].name});
  for (; i < columns.size(); ++i) {
    row.cells[i].state = JetPartialRow::State::kUnreadable;
    row.cells[i].damage = damage;
  }
}

JetPartialRow::Cell JetSalvageScan::DecodeCell(size_t index) {
  const JetTableDefinition::Column& column = definition_.Columns()[index];
  const JetCell& cell = cells_[index];
  JetPartialRow::Cell out;
  out.state = JetPartialRow::State::kRead;
  // A damaged null mask would read a stored value as null, or a missing one
  // as present: the value is not known.
  if (cell.maskDisagrees)
    throw EJetError(FormatText(u"The null mask of field '%s' contradicts its row.", {column.name}));
  if (column.type == kJetBoolean && !column.calculated) {
    out.value = Variant(!cell.null);  // the null bit is the value
    return out;
  }
  if (cell.null || (column.calculated && cell.size == 0)) {
    out.value = Variant::Null();
    return out;
  }
  std::string_view bytes = rowPage_.substr(static_cast<size_t>(cell.start), static_cast<size_t>(cell.size));
  const int type = column.ValueType();
  if (type == kJetMemo || type == kJetOle) {
    bool cut = false;
    bytes = longValues_.ReadPrefix(bytes, cut);
    if (cut) {
      out.state = JetPartialRow::State::kCut;
      out.damage = FormatText(u"The long value of field '%s' is damaged.", {column.name});
    }
  }
  if (bytes.size() > bytesLeft_)
    throw EJetError(FormatText(u"Table '%s' is damaged: its records hold more data than the file.", {name_}));
  bytesLeft_ -= bytes.size();
  if (column.calculated) bytes = UnwrapCalculatedValue(bytes);
  out.value = DecodeJetValue(column, bytes, file_->IsJet3() ? file_->TextCodePage() : 0);
  return out;
}
