#include "jet/jet_table_definition.h"

#include <gtest/gtest.h>

#include <map>

#include "jet/jet_error.h"
#include "tests/jet/definition_bytes.h"

using jet_test::Definition;
using jet_test::Entry;

namespace {

std::string ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const EJetError& e) {
    return e.what();
  }
  return "(no error)";
}

}  // namespace

TEST(JetTableDefinition, ColumnsInNumberOrderWithTheirFacts) {
  const JetTableDefinition d(kJet4Format,
                             Definition(kJet4Format,
                                        {{0x10, 3, 0, 0x03, 8, 17, "Amount", 28, 4},
                                         {0x0A, 1, 0, 0x02, 0, 100, "Title", 0x09, 0x04, 0x01},
                                         {0x04, 0, 1, 0x02, 0, 4, "ID", 0, 0, 0xC0},
                                         {0x12, 2, 2, 0x07, 4, 4, "Files", 0x07, 0x01}},
                                        2),
                             1252);
  EXPECT_EQ(d.RowCount(), 1234u);
  EXPECT_EQ(d.MaxColumns(), 4);
  const auto& c = d.Columns();
  ASSERT_EQ(c.size(), 4u);
  EXPECT_EQ(c[0].name, u"ID");
  EXPECT_TRUE(c[0].calculated);
  EXPECT_EQ(c[1].name, u"Title");
  EXPECT_FALSE(c[1].calculated);  // compressed text only
  EXPECT_FALSE(c[1].fixed);
  EXPECT_EQ(c[1].size, 100);
  EXPECT_EQ(c[2].complexId, 0x0107);
  EXPECT_EQ(c[2].variableIndex, 2);
  EXPECT_EQ(c[3].name, u"Amount");
  EXPECT_TRUE(c[3].fixed);
  EXPECT_EQ(c[3].fixedOffset, 8);
  EXPECT_EQ(c[3].precision, 28);
  EXPECT_EQ(c[3].scale, 4);

  // Jet 3: names in the file's code page.
  const JetTableDefinition jet3(kJet3Format, Definition(kJet3Format, {{0x0A, 0, 0, 0x02, 0, 50, "\xC6\xE0"}}), 1251);
  EXPECT_EQ(jet3.Columns().at(0).name, u"\u0416\u0430");
}

TEST(JetTableDefinition, DefinitionsShorterThanTheirEntriesAreDamaged) {
  const std::string one = Definition(kJet4Format, {{0x04, 0, 0, 0x03, 0, 4, "ID"}});
  const std::string rows[] = {
      std::string(),
      std::string(40, '\0'),
      Definition(kJet4Format, {{0x04, 0, 0, 0x03, 0, 4, "ID"}}, 0, 3),  // fewer entries than columns
      one.substr(0, 80),                                                // an entry cut short
      one.substr(0, one.size() - 4),                                    // a name cut short
      std::string(one).replace(51, 4, "\xFF\xFF\xFF\x0F"),                      // an index count beyond the bytes
  };
  for (const std::string& r : rows)
    EXPECT_EQ(ErrorOf([&] { JetTableDefinition(kJet4Format, r, 1252); }), "The definition of the table is damaged.")
        << r.size();
}

TEST(JetTableDefinition, ReadFollowsContinuationPagesAsFarAsNeeded) {
  // Page 5 holds the header and the first entry's start; page 9 the rest.
  const std::string whole =
      Definition(kJet4Format, {{0x10, 0, 0, 0x03, 0, 17, "A", 18, 6}, {0x10, 1, 0, 0x03, 17, 17, "B", 10, 2}});
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
  // Page 5 again is never needed: the names end on page 9.
  const JetTableDefinition d = JetTableDefinition::Read(kJet4Format, 5, 1252, reader);
  ASSERT_EQ(d.Columns().size(), 2u);
  EXPECT_EQ(d.Columns()[1].name, u"B");
  EXPECT_EQ(d.Columns()[1].scale, 2);

  struct Row {
    const char* name;
    std::function<void()> damage;
  } rows[] = {
      {"a continuation page that is missing", [&] { pages.erase(9); }},
      {"a continuation page pointing back when more is needed", [&] { pages[9].resize(20); }},
      {"a first page that is no table definition", [&] { pages[5][0] = 0x01; }},
  };
  const auto saved = pages;
  for (const Row& r : rows) {
    pages = saved;
    r.damage();
    EXPECT_EQ(ErrorOf([&] { JetTableDefinition::Read(kJet4Format, 5, 1252, reader); }),
              "The definition of the table is damaged.")
        << r.name;
  }
}

// Column entries as Access writes them read; entries no well-formed file
// holds make the table damaged (a memo read as Null, a key cut short).
TEST(JetTableDefinition, ColumnEntriesNoWellFormedFileHoldsAreDamaged) {
  const Entry id{0x04, 0, 0, 0x03, 0, 4, "ID"};
  struct Row {
    const char* name;
    Entry entry;
    bool damaged;
  } rows[] = {
      {"a memo", {0x0C, 1, 0, 0x02, 0, 0, "C"}, false},
      {"a variable Decimal of 9 bytes", {0x10, 1, 0, 0x02, 0, 9, "C", 18, 6}, false},
      {"an unknown variable kind", {0x46, 1, 0, 0x02, 0, 510, "C"}, false},
      {"an unknown fixed kind", {0x47, 1, 0, 0x03, 4, 4, "C"}, false},
      {"an unknown kind filling a row", {0x11, 1, 0, 0x03, 4, 3992, "C"}, false},
      {"an AutoNumber GUID", {0x0F, 1, 0, 0x43, 4, 16, "C"}, false},
      {"a complex column", {0x12, 1, 0, 0x07, 4, 4, "C"}, false},
      {"a calculated text without a size", {0x0A, 1, 0, 0x02, 0, 0, "C", 0, 0, 0xC0}, false},
      {"a column number past the maximum", {0x0C, 2, 0, 0x02, 0, 0, "C"}, true},
      {"a column number shared", {0x0C, 0, 0, 0x02, 0, 0, "C"}, true},
      {"a variable index past the maximum", {0x0C, 1, 0x7FFF, 0x02, 0, 0, "C"}, true},
      {"all flags set", {0x0C, 1, 0, 0xFF, 0, 0, "C"}, true},
      {"a long AutoNumber on text", {0x0A, 1, 0, 0x06, 0, 100, "C"}, true},
      {"a hyperlink on text", {0x0A, 1, 0, 0x82, 0, 100, "C"}, true},
      {"a fixed memo", {0x0C, 1, 0, 0x03, 4, 0, "C"}, true},
      {"a variable Yes/No", {0x01, 1, 0, 0x02, 0, 1, "C"}, true},
      {"a memo's type damaged into an unknown kind", {0x3F, 1, 0, 0x02, 0, 0, "C"}, true},
      {"a text without a size", {0x0A, 1, 0, 0x02, 0, 0, "C"}, true},
      {"a fixed Long of 2 bytes", {0x04, 1, 0, 0x03, 4, 2, "C"}, true},
      {"a variable Long of 5 bytes", {0x04, 1, 0, 0x02, 0, 5, "C"}, true},
      {"a fixed column past the largest row", {0x07, 1, 0, 0x03, 4060, 8, "C"}, true},
      {"a fixed calculated column", {0x07, 1, 0, 0x03, 4, 8, "C", 0, 0, 0xC0}, true},
  };
  for (const Row& r : rows) {
    // Two columns, so the table's column maximum is 2.
    EXPECT_EQ(ErrorOf([&] { JetTableDefinition(kJet4Format, Definition(kJet4Format, {id, r.entry}), 1252); }),
              r.damaged ? "The definition of column 'C' is damaged." : "(no error)")
        << r.name;
  }
  // Two variable columns in one slot of the row's offsets.
  EXPECT_EQ(ErrorOf([&] {
              JetTableDefinition(kJet4Format,
                                 Definition(kJet4Format, {{0x0C, 0, 0, 0x02, 0, 0, "B"}, {0x0C, 1, 0, 0x02, 0, 0, "C"}}),
                                 1252);
            }),
            "The definition of column 'C' is damaged.");
}

// A calculated column takes the result type its ResultType property names,
// when it is a type a result can have; an ordinary column takes none.
TEST(JetTableDefinition, ResultTypesOfCalculatedColumnsOnly) {
  const struct {
    size_t column;  // 0: calculated "ID" (entry type long), 1: "Title"
    int type;
    bool accepted;
  } cases[] = {
      {0, 0x05, true},   // currency
      {0, 0x0C, true},   // memo
      {0, 0x10, true},   // Decimal
      {0, 0x12, false},  // complex
      {0, 0x00, false},
      {0, 0x46, false},
      {1, 0x0A, false},  // not calculated
  };
  for (const auto& c : cases) {
    JetTableDefinition d(kJet4Format,
                         Definition(kJet4Format,
                                    {{0x0A, 1, 0, 0x02, 0, 100, "Title", 0x09, 0x04, 0x01},
                                     {0x04, 0, 1, 0x02, 0, 4, "ID", 0, 0, 0xC0}},
                                    2),
                         1252);
    EXPECT_EQ(d.Columns()[0].ValueType(), 0x04);
    const std::string error = ErrorOf([&] { d.SetResultType(c.column, c.type); });
    if (!c.accepted) {
      EXPECT_EQ(error, c.column == 0 ? "The definition of column 'ID' is damaged."
                                     : "The definition of column 'Title' is damaged.") << c.type;
      continue;
    }
    EXPECT_EQ(error, "(no error)");
    EXPECT_EQ(d.Columns()[0].ValueType(), c.type);
    EXPECT_EQ(d.Columns()[0].type, 0x04);  // the entry's own type stays
    EXPECT_TRUE(d.Columns()[0].resultTypeFromProperty);
  }
}
