#include "jet/jet_row_layout.h"

#include <gtest/gtest.h>

#include "tests/jet/definition_bytes.h"

using jet_test::Definition;
using jet_test::Entry;

namespace {

std::string Long(char low) { return std::string{low, '\0', '\0', '\0'}; }

// ID (fixed Long, number 0), Title (variable text, 1), Done (Yes/No, 2),
// Note (variable text, 3).
const std::vector<Entry> kColumns = {{0x04, 0, 0, 0x03, 0, 4, "ID"},
                                     {0x0A, 1, 0, 0x02, 0, 510, "Title"},
                                     {0x01, 2, 0, 0x03, 4, 1, "Done"},
                                     {0x0A, 3, 1, 0x02, 0, 510, "Note"}};

// A Jet 4 row: column count, fixed data, variable data, then the end of the
// data and the variable offsets (last first), their count and the null mask.
std::string Jet4Row(unsigned columns, const std::string& fixed, const std::vector<std::string>& variable,
                    uint8_t mask) {
  std::string row{static_cast<char>(columns), '\0'};
  row += fixed;
  std::vector<unsigned> offsets;
  for (const std::string& v : variable) {
    offsets.push_back(static_cast<unsigned>(row.size()));
    row += v;
  }
  offsets.push_back(static_cast<unsigned>(row.size()));
  for (size_t i = offsets.size(); i-- > 0;) row += std::string{static_cast<char>(offsets[i] & 0xFF), static_cast<char>(offsets[i] >> 8)};
  row += std::string{static_cast<char>(variable.size()), '\0'};
  return row + static_cast<char>(mask);
}

struct Split {
  bool ok = false;
  std::vector<std::string> values;  // "null" or the cell's bytes
  std::vector<bool> maskDisagrees;
};

Split SplitRow(const JetFormat& format, const std::vector<Entry>& columns, const std::string& row) {
  const JetTableDefinition definition(format, Definition(format, columns), 1252);
  JetRowLayout layout(format, definition);
  // The row at the end of a page, as row 0 lies.
  std::string page(static_cast<size_t>(format.pageSize) - row.size(), '\0');
  page += row;
  std::vector<JetCell> cells;
  Split s;
  s.ok = layout.Split(page, static_cast<int>(page.size() - row.size()),
                      static_cast<int>(page.size()), cells);
  if (!s.ok) return s;
  for (const JetCell& c : cells) {
    s.values.push_back(c.null ? "null" : page.substr(static_cast<size_t>(c.start), static_cast<size_t>(c.size)));
    s.maskDisagrees.push_back(c.maskDisagrees);
  }
  return s;
}

}  // namespace

TEST(JetRowLayout, CellsOfJet4Rows) {
  struct Row {
    const char* name;
    std::string row;
    std::vector<std::string> values;
  } rows[] = {
      {"every column present", Jet4Row(4, Long(7), {"ab", "xyz"}, 0x0F), {Long(7), "ab", "", "xyz"}},
      {"nulls, a false Yes/No", Jet4Row(4, std::string(4, '\0'), {"", ""}, 0x02), {"null", "", "null", "null"}},
      // Written before Note was added.
      {"a row older than the last column", Jet4Row(3, Long(1), {"ab"}, 0x07), {Long(1), "ab", "", "null"}},
  };
  for (const Row& r : rows) {
    const Split s = SplitRow(kJet4Format, kColumns, r.row);
    ASSERT_TRUE(s.ok) << r.name;
    EXPECT_EQ(s.values, r.values) << r.name;
  }
}

TEST(JetRowLayout, NullMasksThatContradictTheVariablePartAreMarked) {
  struct Row {
    const char* name;
    std::string row;
    std::vector<bool> disagrees;  // ID, Title, Done, Note
  } rows[] = {
      {"every column present", Jet4Row(4, Long(7), {"ab", "xyz"}, 0x0F), {false, false, false, false}},
      {"an empty Title marked absent", Jet4Row(4, Long(7), {"", "xyz"}, 0x0D), {false, false, false, false}},
      {"a row older than the last column", Jet4Row(3, Long(1), {"ab"}, 0x07), {false, false, false, false}},
      {"Title marked absent, holding bytes", Jet4Row(4, Long(7), {"ab", "xyz"}, 0x0D), {false, true, false, false}},
      {"Note marked present, beyond the variable count", Jet4Row(4, Long(1), {"ab"}, 0x0F), {false, false, false, true}},
  };
  for (const Row& r : rows) {
    const Split s = SplitRow(kJet4Format, kColumns, r.row);
    ASSERT_TRUE(s.ok) << r.name;
    EXPECT_EQ(s.maskDisagrees, r.disagrees) << r.name;
  }
}

TEST(JetRowLayout, Jet3JumpTablesCarryOffsetsPast256) {
  const std::vector<Entry> columns = {{0x04, 0, 0, 0x03, 0, 4, "ID"},
                                      {0x0A, 1, 0, 0x02, 0, 255, "A"},
                                      {0x0A, 2, 1, 0x02, 0, 255, "B"}};
  // Data: count byte, 4 fixed bytes, A (200 bytes) from 5, B (150) from 205;
  // the data ends at 355. Then, read backwards from the end: the mask, the
  // count 2, one jump entry (offset 2 is the first past 256), and the low
  // bytes of the offsets 5, 205, 355.
  const std::string a(200, 'a'), b(150, 'b');
  std::string row = std::string("\x03\x09\0\0\0", 5) + a + b;
  row += std::string{static_cast<char>(355 & 0xFF), static_cast<char>(205), 5, 2, 2, 0x07};
  Split s = SplitRow(kJet3Format, columns, row);
  ASSERT_TRUE(s.ok);
  EXPECT_EQ(s.values, (std::vector<std::string>{Long(9), a, b}));

  // Data ending below the first mark in a row just over 256 bytes: its jump
  // entry is a dummy and is left out.
  const std::vector<Entry> four = {{0x04, 0, 0, 0x03, 0, 4, "ID"}, {0x0A, 1, 0, 0x02, 0, 255, "A"},
                                   {0x0A, 2, 1, 0x02, 0, 255, "B"}, {0x0A, 3, 2, 0x02, 0, 255, "C"},
                                   {0x0A, 4, 3, 0x02, 0, 255, "D"}};
  const std::string c(100, 'c'), d(40, 'd');
  row = std::string("\x05\x09\0\0\0", 5) + c + c + d + "dddd";  // offsets 5, 105, 205, 245; ends at 249
  row += std::string{static_cast<char>(249), static_cast<char>(245), static_cast<char>(205), 105, 5};
  row += std::string{static_cast<char>(0xFF), 4, 0x1F};  // the dummy jump, the count, the mask
  ASSERT_EQ(row.size(), 257u);
  s = SplitRow(kJet3Format, four, row);
  ASSERT_TRUE(s.ok);
  EXPECT_EQ(s.values, (std::vector<std::string>{Long(9), c, c, d, "dddd"}));
}

TEST(JetRowLayout, RowsWhoseTablesOrCellsLieOutsideThemAreDamaged) {
  const std::string good = Jet4Row(4, Long(7), {"ab", "xyz"}, 0x0F);
  auto with = [&](size_t at, char byte) {
    std::string r = good;
    r[at] = byte;
    return r;
  };
  const size_t countAt = good.size() - 3;  // the variable count, before the mask
  struct Row {
    const char* name;
    std::string row;
  } rows[] = {
      {"shorter than its column count", std::string("\x04", 1)},
      {"a null mask longer than the row", with(0, '\xFF')},
      {"more variable columns than columns", with(countAt, 9)},
      {"offsets reaching before the row", with(countAt, 40)},
      {"a cell running into the offsets", with(countAt - 6, 13)},      // the end of the data
      {"a cell of negative size", with(countAt - 4, 2)},                // the second offset below the first
      {"a cell before the row's data", with(countAt - 2, 1)},
  };
  for (const Row& r : rows) EXPECT_FALSE(SplitRow(kJet4Format, kColumns, r.row).ok) << r.name;
}
