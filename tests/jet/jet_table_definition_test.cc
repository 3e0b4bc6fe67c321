#include "jet/jet_table_definition.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// A Jet 4 definition: header, `realIndexes` index entries, then 25-byte
// column entries.
std::string Definition(uint16_t columns, uint32_t realIndexes, const std::vector<std::string>& entries) {
  std::string d(63, '\0');
  d[0] = 0x02;
  d[45] = static_cast<char>(columns & 0xFF);
  d[46] = static_cast<char>(columns >> 8);
  for (int k = 0; k < 4; ++k) d[51 + k] = static_cast<char>(realIndexes >> (8 * k));
  d += std::string(12 * realIndexes, '\x11');
  for (const std::string& e : entries) d += e;
  return d;
}

std::string Entry(uint8_t type, uint8_t number, uint8_t byte11, uint8_t byte12, uint8_t extraFlags) {
  std::string e(25, '\0');
  e[0] = static_cast<char>(type);
  e[5] = static_cast<char>(number);
  e[11] = static_cast<char>(byte11);
  e[12] = static_cast<char>(byte12);
  e[16] = static_cast<char>(extraFlags);
  return e;
}

}  // namespace

TEST(JetTableDefinition, ColumnEntriesAfterTheRealIndexes) {
  const JetTableDefinition d(Definition(
      4, 2,
      {Entry(0x10, 3, 28, 4, 0), Entry(0x0A, 1, 0x09, 0x04, 0x01), Entry(0x04, 0, 0, 0, 0xC0),
       Entry(0x12, 2, 0x07, 0x01, 0)}));
  ASSERT_EQ(d.Columns().size(), 4u);
  const JetTableDefinition::Column* decimal = d.Find(3);
  ASSERT_NE(decimal, nullptr);
  EXPECT_EQ(decimal->precision, 28);
  EXPECT_EQ(decimal->scale, 4);
  EXPECT_FALSE(d.Find(1)->calculated);  // compressed text only
  EXPECT_TRUE(d.Find(0)->calculated);
  EXPECT_EQ(d.Find(2)->complexId, 0x0107);
  EXPECT_EQ(d.Find(9), nullptr);
}

TEST(JetTableDefinition, ShortOrDamagedDefinitionsGiveWhatIsThere) {
  struct Row {
    std::string definition;
    size_t columns;
  } rows[] = {
      {std::string(), 0},
      {std::string(40, '\0'), 0},
      {Definition(3, 0, {Entry(0x04, 0, 0, 0, 0)}), 1},            // fewer entries than columns
      {Definition(1, 0, {Entry(0x04, 0, 0, 0, 0)}).substr(0, 80), 0},  // an entry cut short
      {Definition(1, 0, {Entry(0x04, 0, 0, 0, 0)}).replace(51, 4, "\xFF\xFF\xFF\xFF"), 0},  // an index count beyond the bytes
  };
  for (const Row& r : rows) EXPECT_EQ(JetTableDefinition(r.definition).Columns().size(), r.columns);
}

TEST(JetTableDefinition, ReadFollowsContinuationPagesOnce) {
  // Page 5 holds the header and the first entry's start; page 9 the rest.
  const std::string whole = Definition(2, 0, {Entry(0x10, 0, 18, 6, 0), Entry(0x10, 1, 10, 2, 0)});
  const size_t split = 70;
  std::map<uint32_t, std::string> pages;
  pages[5] = whole.substr(0, split);
  pages[5][4] = 9;  // next page
  pages[9] = std::string("\x02\x01\0\0\x05\0\0\0", 8) + whole.substr(split);  // points back to page 5
  auto reader = [&](uint32_t page, std::string& bytes) {
    auto it = pages.find(page);
    if (it == pages.end()) return false;
    bytes = it->second;
    return true;
  };
  const JetTableDefinition d = JetTableDefinition::Read(5, reader);
  ASSERT_EQ(d.Columns().size(), 2u);
  EXPECT_EQ(d.Find(1)->scale, 2);
  // A missing continuation page ends the definition where it is.
  pages.erase(9);
  EXPECT_EQ(JetTableDefinition::Read(5, reader).Columns().size(), 0u);
  // A first page that is no table definition gives nothing.
  pages[5][0] = 0x01;
  EXPECT_EQ(JetTableDefinition::Read(5, reader).Columns().size(), 0u);
}
