#include "tools/damage_corpus/database_layout.h"

#include <stdexcept>

#include "jet/jet_data_page.h"
#include "tools/accessdb/text_codec.h"

namespace damage_corpus {

namespace {

// Byte 0x14 of the header: the file's version, 0 for Jet 3.
const JetFormat& FormatOf(std::string_view file) {
  if (file.size() < 0x800) throw std::runtime_error("not a database file");
  return file[0x14] == 0 ? kJet3Format : kJet4Format;
}

}  // namespace

DatabaseLayout::DatabaseLayout(std::string_view file) : file_(file), format_(FormatOf(file)) {}

std::optional<DatabaseLayout::Row> DatabaseLayout::RowAt(size_t at) const {
  const uint32_t page = static_cast<uint32_t>(at / PageSize());
  const JetDataPage data(format_, file_.substr(Page(page).begin, PageSize()));
  if (!data.IsData()) return std::nullopt;
  const size_t base = Page(page).begin;
  for (unsigned number = 0; number < data.RowCount().value_or(0); ++number) {
    const std::optional<JetDataPage::Row> row = data.FindRow(number);
    if (row && base + static_cast<size_t>(row->start) <= at && at < base + static_cast<size_t>(row->end))
      return Row{page, number, {base + static_cast<size_t>(row->start), base + static_cast<size_t>(row->end)},
                 base + static_cast<size_t>(format_.rowCountOffset) + 2 + 2 * number};
  }
  return std::nullopt;
}

DatabaseLayout::Row DatabaseLayout::RowOf(uint32_t pointer) const {
  const uint32_t page = JetPointerPage(pointer);
  if (page >= PageCount()) throw std::runtime_error("a row pointer beyond the file");
  const JetDataPage data(format_, file_.substr(Page(page).begin, PageSize()));
  const std::optional<JetDataPage::Row> row = data.FindRow(JetPointerRow(pointer));
  if (!row) throw std::runtime_error("a row pointer to no row");
  const size_t base = Page(page).begin;
  return Row{page, JetPointerRow(pointer), {base + static_cast<size_t>(row->start), base + static_cast<size_t>(row->end)},
             base + static_cast<size_t>(format_.rowCountOffset) + 2 + 2 * JetPointerRow(pointer)};
}

bool DatabaseLayout::HoldsLongValues(uint32_t page) const {
  const JetDataPage data(format_, file_.substr(Page(page).begin, PageSize()));
  return data.IsData() && data.HoldsLongValues();
}

uint32_t DatabaseLayout::DefinitionWithColumn(const std::string& column) const {
  std::string name;
  if (format_.jet3) {
    name = column;
  } else {
    for (const char16_t c : accessdb::Utf8ToUtf16(column)) name += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
  }
  for (uint32_t page = 1; page < PageCount(); ++page) {
    const std::string_view bytes = file_.substr(Page(page).begin, PageSize());
    if (JetByte(bytes, 0) == kJetTableDefinitionPage && bytes.find(name) != std::string_view::npos) return page;
  }
  throw std::runtime_error("no table has a column " + column);
}

DatabaseLayout::Row DatabaseLayout::UsageMapRow(uint32_t definition) const {
  return RowOf(JetReadLE<uint32_t>(file_, Page(definition).begin + static_cast<size_t>(format_.definitionUsedPagesMap)));
}

std::vector<uint32_t> DatabaseLayout::DataPages(uint32_t definition) const {
  std::vector<uint32_t> pages;
  for (uint32_t page = 1; page < PageCount(); ++page) {
    const JetDataPage data(format_, file_.substr(Page(page).begin, PageSize()));
    if (data.IsData() && data.Owner() == definition) pages.push_back(page);
  }
  if (pages.empty()) throw std::runtime_error("a table without data pages");
  return pages;
}

}  // namespace damage_corpus
