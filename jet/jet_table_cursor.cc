#include "jet/jet_table_cursor.h"

#include <algorithm>

#include "jet/jet_data_page.h"
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
                                [&](uint32_t page, std::vector<unsigned char>& bytes) {
                                  return file_->ReadPage(page, bytes);
                                });
                          })),
      usageMap_(Opening(name_, [&] { return JetUsageMap(*file_, definition_.UsedPagesMap()); })),
      layout_(file_->Format(), definition_),
      longValues_(*file_),
      page_(static_cast<size_t>(file_->PageSize())),
      readInRow_(definition_.Columns().size()) {}

bool JetTableCursor::MoveFirst() {
  pageNumber_ = 0;
  pageLoaded_ = false;
  rowNumber_ = 0;
  std::fill(readInRow_.begin(), readInRow_.end(), 0);
  bytesLeft_ = 2 * file_->ByteSize();
  longValues_.NewPass();
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
    std::optional<JetDataPage::Row> bounds = JetDataPage(file_->Format(), page_.data()).FindRow(row);
    if (bounds && bounds->deleted) continue;  // deleted rows and overflow pointers
    if (!bounds || !layout_.Split(page_.data(), bounds->start, bounds->end, cells_)) {
      DamagedRecord(FormatText(u"The record at row %d of page %d of table '%s' is damaged.",
                               {static_cast<int64_t>(row), static_cast<int64_t>(pageNumber_), name_}));
      return true;
    }
    hasRow_ = true;
    return true;
  }
}

// Reads the next page the usage map lists. False at the end of the table,
// and when the page is damaged (the cursor then stands on a damaged record).
bool JetTableCursor::LoadNextPage() {
  for (;;) {
    pageNumber_ = usageMap_.Next(pageNumber_);
    if (pageNumber_ == 0) return false;
    const int64_t number = pageNumber_;
    if (!file_->ReadPage(pageNumber_, page_.data()))
      return DamagedRecord(FormatText(u"Page %d of table '%s' cannot be read.", {number, name_}));
    const JetDataPage page(file_->Format(), page_.data());
    // Usage maps also list a table's long-value pages, and may list index
    // pages; only a page that is no page at all, or another table's data, is damage.
    if (page.IsData() && !page.HoldsLongValues() && page.Owner() != definitionPage_)
      return DamagedRecord(FormatText(u"Page %d of table '%s' belongs to another table.", {number, name_}));
    if (page_[0] == 0 || page_[0] > kJetLastPageType)
      return DamagedRecord(FormatText(u"Page %d of table '%s' is damaged.", {number, name_}));
    if (!page.IsData() || page.HoldsLongValues()) continue;
    std::optional<unsigned> rows = page.RowCount();
    if (!rows) return DamagedRecord(FormatText(u"Page %d of table '%s' is damaged.", {number, name_}));
    rows_ = *rows;
    row_ = 0;
    pageLoaded_ = true;
    return true;
  }
}

bool JetTableCursor::DamagedRecord(const UnicodeString& message) {
  damage_ = message;
  hasRow_ = true;
  return false;  // no page loaded: the next fetch goes on with the next page
}

Variant JetTableCursor::Value(size_t index) {
  if (!hasRow_) throw EJetError(u"There is no current row.");
  if (!damage_.empty()) throw EJetError(damage_);
  const JetTableDefinition::Column& column = definition_.Columns()[index];
  const JetCell& cell = cells_[index];
  if (column.type == kJetBoolean && !column.calculated) return Variant(!cell.null);  // the null bit is the value
  if (cell.null) return Variant::Null();
  std::string_view bytes(reinterpret_cast<const char*>(page_.data() + cell.start), static_cast<size_t>(cell.size));
  const bool again = readInRow_[index] == rowNumber_;
  if (column.type == kJetMemo || column.type == kJetOle) bytes = longValues_.Read(bytes, column.name, again);
  if (!again) {
    if (bytes.size() > bytesLeft_)
      throw EJetError(FormatText(u"Table '%s' is damaged: its records hold more data than the file.", {name_}));
    bytesLeft_ -= bytes.size();
    readInRow_[index] = rowNumber_;
  }
  if (column.calculated) bytes = UnwrapCalculatedValue(bytes);
  return DecodeJetValue(column, bytes, file_->IsJet3() ? file_->TextCodePage() : 0);
}
