#include "jet/jet_table_cursor.h"

#include <algorithm>
#include <iterator>

#include "jet/jet_catalog.h"
#include "jet/jet_property_blob.h"
#include "jet/jet_value_decoding.h"

namespace {

// Runs `open`, a step of opening table `name`; its damage becomes the
// table's: "Cannot read the definition of table '...'. <damage>".
template <typename F>
auto Opening(const UnicodeString& name, F open) {
  try {
    return open();
  } catch (const EJetError& e) {
    throw EJetError(FormatText(u"Cannot read the definition of table '%s'.", {name}) + u" " + e.Message());
  }
}

}  // namespace

JetTableCursor::JetTableCursor(std::shared_ptr<const JetFile> file, UnicodeString name, uint32_t definitionPage)
    : file_(std::move(file)),
      name_(std::move(name)),
      definitionPage_(definitionPage),
      definition_(Opening(name_,
                          [&] {
                            return JetTableDefinition::Read(
                                file_->Format(), definitionPage, file_->TextCodePage(),
                                [&](uint32_t page, std::string& bytes) {
                                  return file_->ReadPage(page, bytes);
                                });
                          })),
      usageMap_(Opening(name_, [&] { return JetUsageMap(*file_, definition_.UsedPagesMap()); })),
      layout_(file_->Format(), definition_),
      longValues_(*file_),
      readInRow_(definition_.Columns().size()) {
  Opening(name_, [&] { return ReadResultTypes(); });
}

int JetTableCursor::ColumnIndex(UnicodeStringView name) const {
  const auto& columns = definition_.Columns();
  for (size_t i = 0; i < columns.size(); ++i)
    if (SameText(columns[i].name, name)) return static_cast<int>(i);
  return -1;
}

bool JetTableCursor::ReadResultTypes() {
  const auto& columns = definition_.Columns();
  // The catalog's own columns are never calculated (and reading its
  // properties would open this table again).
  if (definitionPage_ == JetCatalog::kDefinitionPage ||
      std::none_of(columns.begin(), columns.end(), [](const auto& c) { return c.calculated; }))
    return false;
  const std::string bytes = JetCatalog::TableProperties(file_, definitionPage_);
  if (bytes.empty()) return false;
  const JetPropertyBlob properties(bytes, file_->IsJet3() ? file_->TextCodePage() : 0, name_);
  for (size_t i = 0; i < columns.size(); ++i) {
    if (!columns[i].calculated) continue;
    const std::string* type = properties.Find(columns[i].name, u"ResultType");
    if (type && !type->empty()) definition_.SetResultType(i, static_cast<uint8_t>((*type)[0]));
  }
  return true;
}

bool JetTableCursor::MoveFirst() {
  pageNumber_ = 0;
  pageLoaded_ = false;
  rowNumber_ = 0;
  std::fill(readInRow_.begin(), readInRow_.end(), 0);
  bytesLeft_ = 2 * file_->ByteSize();
  longValues_.NewPass();
  movedRows_.clear();
  pointedTo_.clear();
  return Fetch();
}

bool JetTableCursor::MoveNext() { return Fetch(); }

bool JetTableCursor::Fetch() {
  hasRow_ = false;
  damage_.clear();
  ++rowNumber_;
  for (;;) {
    if (!pageLoaded_ || row_ >= rows_) {
      pageLoaded_ = false;
      if (!LoadNextPage()) return hasRow_;  // the end, or a damaged page
      continue;
    }
    const unsigned row = row_++;
    const JetDataPage page(file_->Format(), page_);
    if (page.SkippedInScan(row)) {  // deleted, or read through its overflow pointer
      // A row past 0xFF (a damaged row count) is one no pointer can name.
      if (page.MovedHere(row) && row <= 0xFF) movedRows_.push_back(JetPointerTo(pageNumber_, row));
      continue;
    }
    std::optional<JetDataPage::Row> bounds = page.FindRow(row);
    rowPage_ = page_;
    if (bounds && bounds->overflowPointer) bounds = FollowOverflow(*bounds);
    StandOn(bounds, row, pageNumber_);
    return true;
  }
}

void JetTableCursor::StandOn(const std::optional<JetDataPage::Row>& bounds, unsigned row, uint32_t page) {
  size_t split = 0;
  if (!bounds || !layout_.Split(rowPage_, bounds->start, bounds->end, cells_, &split)) {
    DamagedRecord(FormatText(u"The record at row %d of page %d of table '%s' is damaged.",
                             {static_cast<int64_t>(row), static_cast<int64_t>(page), name_}));
    splitBeforeDamage_ = bounds ? split : 0;
    return;
  }
  hasRow_ = true;
}

std::vector<uint32_t> JetTableCursor::MovedRowsNothingPointsTo() const {
  std::vector<uint32_t> moved = movedRows_, pointed = pointedTo_, left;
  std::sort(moved.begin(), moved.end());
  std::sort(pointed.begin(), pointed.end());
  std::set_difference(moved.begin(), moved.end(), pointed.begin(), pointed.end(), std::back_inserter(left));
  return left;
}

bool JetTableCursor::MoveToRow(uint32_t pointer) {
  hasRow_ = false;
  damage_.clear();
  ++rowNumber_;
  if (Examine(JetPointerPage(pointer), overflowPage_) != PageRole::kRows) return false;
  rowPage_ = overflowPage_;
  const std::optional<JetDataPage::Row> bounds =
      JetDataPage(file_->Format(), rowPage_).FindRow(JetPointerRow(pointer));
  if (!bounds) return false;
  StandOn(bounds, JetPointerRow(pointer), JetPointerPage(pointer));
  return true;
}

std::optional<JetDataPage::Row> JetTableCursor::FollowOverflow(JetDataPage::Row pointerRow) {
  return JetDataPage::FollowOverflow(file_->Format(), rowPage_, pointerRow, overflowPage_,
                                     [&](uint32_t page, std::string& buffer) {
                                       return Examine(page, buffer) == PageRole::kRows;
                                     },
                                     &pointedTo_);
}

JetTableCursor::PageRole JetTableCursor::Examine(uint32_t number, std::string& buffer) const {
  if (!file_->ReadPage(number, buffer)) return PageRole::kUnreadable;
  const JetDataPage page(file_->Format(), buffer);
  // Usage maps also list a table's long-value pages, and may list index
  // pages; only a page that is no page at all, or another table's data, is damage.
  if (page.IsData() && !page.HoldsLongValues() && page.Owner() != definitionPage_) return PageRole::kForeign;
  const uint8_t type = JetByte(buffer, 0);
  if (type == 0 || type > kJetLastPageType) return PageRole::kDamaged;
  if (!page.IsData() || page.HoldsLongValues()) return PageRole::kOther;
  return page.RowCount() ? PageRole::kRows : PageRole::kDamaged;
}

// Reads the next page the usage map lists. False at the end of the table,
// and when the page is damaged (the cursor then stands on a damaged record).
bool JetTableCursor::LoadNextPage() {
  for (;;) {
    pageNumber_ = usageMap_.Next(pageNumber_);
    if (pageNumber_ == 0) return false;
    const int64_t number = pageNumber_;
    switch (Examine(pageNumber_, page_)) {
      case PageRole::kUnreadable:
        return DamagedRecord(FormatText(u"Page %d of table '%s' cannot be read.", {number, name_}));
      case PageRole::kForeign:
        return DamagedRecord(FormatText(u"Page %d of table '%s' belongs to another table.", {number, name_}));
      case PageRole::kDamaged: return DamagedRecord(FormatText(u"Page %d of table '%s' is damaged.", {number, name_}));
      case PageRole::kOther: continue;
      case PageRole::kRows: break;
    }
    rows_ = *JetDataPage(file_->Format(), page_).RowCount();
    row_ = 0;
    pageLoaded_ = true;
    return true;
  }
}

bool JetTableCursor::DamagedRecord(const UnicodeString& message) {
  damage_ = message;
  splitBeforeDamage_ = 0;
  hasRow_ = true;
  return false;  // no page loaded: the next fetch goes on with the next page
}

uint64_t JetTableCursor::CountRows() const {
  JetUsageMap map(*file_, definition_.UsedPagesMap());
  std::string buffer;
  uint64_t records = 0;
  for (uint32_t number = map.Next(0); number != 0; number = map.Next(number)) {
    switch (Examine(number, buffer)) {
      case PageRole::kOther: break;
      case PageRole::kRows: {
        const JetDataPage page(file_->Format(), buffer);
        const unsigned rows = *page.RowCount();
        for (unsigned row = 0; row < rows; ++row) records += page.SkippedInScan(row) ? 0 : 1;
        break;
      }
      default: ++records;  // a page the scan meets as one damaged record
    }
  }
  return records;
}

std::optional<std::string_view> JetTableCursor::ValueBytes(size_t index, bool beforeDamage) {
  if (!hasRow_) throw EJetError(u"There is no current row.");
  if (!damage_.empty() && !(beforeDamage && index < splitBeforeDamage_)) throw EJetError(damage_);
  const JetTableDefinition::Column& column = definition_.Columns()[index];
  const JetCell& cell = cells_[index];
  if (column.type == kJetBoolean && !column.calculated) return std::nullopt;  // the null bit is the value
  // A calculated column's cell without even its wrapping holds no result.
  if (cell.null || (column.calculated && cell.size == 0)) return std::nullopt;
  std::string_view bytes = rowPage_.substr(static_cast<size_t>(cell.start), static_cast<size_t>(cell.size));
  const bool again = readInRow_[index] == rowNumber_;
  const int type = column.ValueType();
  if (type == kJetMemo || type == kJetOle) bytes = longValues_.Read(bytes, column.name, again);
  if (!again) {
    if (bytes.size() > bytesLeft_)
      throw EJetError(FormatText(u"Table '%s' is damaged: its records hold more data than the file.", {name_}));
    bytesLeft_ -= bytes.size();
    readInRow_[index] = rowNumber_;
  }
  if (column.calculated) bytes = UnwrapCalculatedValue(bytes);
  return bytes;
}

Variant JetTableCursor::Decode(size_t index, const std::optional<std::string_view>& bytes) const {
  const JetTableDefinition::Column& column = definition_.Columns()[index];
  if (!bytes) return column.type == kJetBoolean && !column.calculated ? Variant(!cells_[index].null) : Variant::Null();
  return DecodeJetValue(column, *bytes, file_->IsJet3() ? file_->TextCodePage() : 0);
}

Variant JetTableCursor::Value(size_t index) { return Decode(index, ValueBytes(index)); }

std::optional<Variant> JetTableCursor::ValueBeforeDamage(size_t index) {
  if (!hasRow_ || damage_.empty() || index >= splitBeforeDamage_) return std::nullopt;
  return Decode(index, ValueBytes(index, true));
}

void JetTableCursor::CheckValue(size_t index) {
  const std::optional<std::string_view> bytes = ValueBytes(index);
  const JetTableDefinition::Column& column = definition_.Columns()[index];
  const int type = column.ValueType();
  // Jet 3 memo text goes through its code page, which may refuse bytes.
  const bool decodingCannotFail = type == kJetOle || (type == kJetMemo && !file_->IsJet3());
  if (bytes && !decodingCannotFail) DecodeJetValue(column, *bytes, file_->IsJet3() ? file_->TextCodePage() : 0);
}
