// The salvage scan on node tables written by the project's writer, damaged
// where the usual reading stops: what it recovers and what it passes over.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "jet/jet_catalog.h"
#include "jet/jet_definition_search.h"
#include "jet/jet_salvage_scan.h"
#include "jet/jet_table_cursor.h"
#include "runtime/utf8.h"
#include "tests/jet/database_damage.h"
#include "tests/platform/automation/temp_directory.h"
#include "tools/accessdb/outline_database.h"

namespace {

// A chain of long-value rows in both formats, its last part marked.
const std::string kLong = std::string(6000, 'L') + "END";

std::vector<accessdb::OutlineNode> Nodes() {
  return {{"Root", "Ka", "First", "first " + kLong}, {"Root", "Kb", "Second", std::string("inline-second")}};
}

// The inline value's end offset in its row's variable offsets, overwritten:
// the content cell then ends outside the row.
void PointContentOutside(DatabaseDamage& d) {
  const size_t end = d.RowEnd(d.RowHolding("inline-second"));
  if (d.PageSize() == 2048)
    d.WriteByte(end - 6, 0xFF);
  else
    d.WriteU32(end - 11, 0xFFFF | (d.ReadU32(end - 11) & 0xFFFF0000));
}

// One line a row ("KEY content STATE LENGTH") and one a thing passed over.
std::string Scan(const std::string& path, bool* fromCatalog) {
  auto file = std::make_shared<const JetFile>(FromUtf8(path));
  std::vector<UnicodeString> damage;
  const auto found = FindTableDefinition(file, u"Arvoline32XTPro", {u"NodeKeyValue", u"NodeTextRTFValue"}, damage);
  if (!found) return "no definition";
  *fromCatalog = found->fromCatalog;
  JetSalvageScan scan(file, u"Arvoline32XTPro", found->page);
  const size_t content = static_cast<size_t>(scan.ColumnIndex(u"NodeTextRTFValue"));
  std::string lines;
  JetPartialRow row;
  while (scan.Next(row)) {
    const JetPartialRow::Cell& c = row.cells[content];
    const char* state = c.state == JetPartialRow::State::kRead ? "read" : c.state == JetPartialRow::State::kCut ? "cut" : "unreadable";
    lines += ToUtf8(row.cells[0].value.ToString()) + " " + state + " " +
             (c.value.IsNull() ? "null" : std::to_string(c.value.ToString().size())) +
             (c.damage.empty() ? "" : " " + ToUtf8(c.damage)) + "\n";
  }
  for (const UnicodeString& passed : scan.PassedOver()) lines += "passed over: " + ToUtf8(passed) + "\n";
  return lines;
}

TEST(JetSalvageScan, RecoversRowsPastDamage) {
  const std::string whole = "~Arvo32XT read null\nKa read 6009\nKb read 13\n";
  struct Case {
    const char* name;
    std::function<void(DatabaseDamage&)> damage;
    bool fromCatalog;
    std::string rows;
  } cases[] = {
      {"undamaged", [](DatabaseDamage&) {}, true, whole},
      {"usage map emptied", [](DatabaseDamage& d) { d.EmptyUsageMap(d.TablePage("Arvoline32XTPro")); }, true, whole},
      {"catalog page zeroed", [](DatabaseDamage& d) { d.ZeroPage(2); }, false, whole},
      {"long-value chain cut", [](DatabaseDamage& d) { d.ZeroPage(d.RowHolding("LEND").page); }, true,
       "~Arvo32XT read null\nKa cut CUT The long value of field 'NodeTextRTFValue' is damaged.\nKb read 13\n"},
      {"content cell outside its row", PointContentOutside, true,
       "~Arvo32XT read null\nKa read 6009\n"
       "Kb unreadable null The record at row R of page P is damaged from field 'NodeTextRTFValue' on.\n"},
      {"data page zeroed", [](DatabaseDamage& d) { d.ZeroPage(d.RowHolding("inline-second").page); }, true, ""},
      {"row offset past the page",
       [](DatabaseDamage& d) {
         const DatabaseDamage::RowPointer r = d.RowHolding("inline-second");
         const size_t entry = size_t{r.page} * d.PageSize() + d.Format().rowCountOffset + 2 + 2 * r.row;
         d.WriteByte(entry, 0xFF);
         d.WriteByte(entry + 1, 0x1F);
       },
       true, "~Arvo32XT read null\nKa read 6009\npassed over: Row R of page P lies outside its page.\n"},
  };
  TempDirectory directory;
  for (const accessdb::Format format : {accessdb::Format::kJet3, accessdb::Format::kJet4}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.name) + (format == accessdb::Format::kJet3 ? ", Jet 3" : ", Jet 4"));
      const std::string path = directory.File("notes.xtp");
      accessdb::OutlineOptions options;
      options.format = format;
      accessdb::WriteOutlineDatabase(path, options, Nodes());
      DatabaseDamage d(path);
      const DatabaseDamage::RowPointer second = d.RowHolding("inline-second");
      c.damage(d);
      d.Save();
      std::string rows = c.rows;
      for (const auto& [from, to] : {std::pair<std::string, std::string>{"R", std::to_string(second.row)},
                                     {"P", std::to_string(second.page)}})
        if (rows.find(" " + from + " ") != std::string::npos) rows.replace(rows.find(" " + from + " ") + 1, 1, to);
      bool fromCatalog = false;
      const std::string got = Scan(path, &fromCatalog);
      if (rows.find("CUT") != std::string::npos) {
        // The chain breaks at its zeroed page: what lies before it is kept.
        const size_t at = got.find("Ka cut ");
        ASSERT_NE(at, std::string::npos) << got;
        const size_t length = std::stoul(got.substr(at + 7));
        EXPECT_GT(length, 0u);
        EXPECT_LT(length, 6009u);
        rows.replace(rows.find("CUT"), 3, std::to_string(length));
      }
      EXPECT_EQ(got, rows);
      EXPECT_EQ(fromCatalog, c.fromCatalog);
    }
  }
}

// A value's type and text, for comparing two readings.
std::string Text(const Variant& v) {
  try {
    return std::to_string(static_cast<int>(v.Type())) + ":" + ToUtf8(v.ToString());
  } catch (const Exception&) {
    return std::to_string(static_cast<int>(v.Type()));
  }
}

// A damaged row count lets a page claim rows past 0xFF, which no pointer can
// name: one flagged as moved is no row of another page.
TEST(JetTableCursor, MovedRowsArePointersToTheirOwnPage) {
  for (accessdb::Format format : {accessdb::Format::kJet3, accessdb::Format::kJet4}) {
    TempDirectory dir;
    const std::string path = dir.File("moved.xtp");
    accessdb::OutlineOptions options;
    options.format = format;
    accessdb::WriteOutlineDatabase(path, options, Nodes());
    DatabaseDamage d(path);
    const uint32_t page = d.RowHolding("inline-second").page;
    const size_t count = size_t{page} * d.PageSize() + d.Format().rowCountOffset;
    d.WriteByte(count, 44);
    d.WriteByte(count + 1, 1);  // 300 rows
    d.FlagRow({page, 299}, 0x8000);
    d.Save();
    auto file = std::make_shared<const JetFile>(FromUtf8(path));
    JetTableCursor cursor(file, u"Arvoline32XTPro", d.TablePage("Arvoline32XTPro"));
    for (bool more = cursor.MoveFirst(); more; more = cursor.MoveNext()) {
    }
    for (const uint32_t pointer : cursor.MovedRowsNothingPointsTo()) EXPECT_EQ(JetPointerPage(pointer), page);
  }
}

TEST(JetSalvageScan, ReadsUndamagedFilesAsTheCursorDoes) {
  size_t rows = 0;
  for (const char* name : {"testV1997.mdb", "test2V2000.mdb", "fixedNumericTestV2003.mdb",
                           "unsupportedFieldsTestV2007.accdb", "complexDataTestV2010.accdb"}) {
    auto file = std::make_shared<const JetFile>(FromUtf8(std::string(ARVOLINE_SOURCE_DIR "/tests/data/real-access/") + name));
    const JetCatalog catalog(file);
    for (const JetCatalog::Object& table : catalog.Objects()) {
      SCOPED_TRACE(std::string(name) + ", " + ToUtf8(table.name));
      if (!table.IsLocalTable()) continue;
      JetTableCursor cursor(file, table.name, table.DefinitionPage());
      std::vector<std::string> read;
      for (bool more = cursor.MoveFirst(); more; more = cursor.MoveNext()) {
        read.emplace_back();
        for (size_t i = 0; i < cursor.Columns().size(); ++i) read.back() += Text(cursor.Value(i)) + "|";
      }
      // Every moved row of an undamaged file is a pointer's target.
      EXPECT_EQ(cursor.MovedRowsNothingPointsTo(), std::vector<uint32_t>());
      JetSalvageScan scan(file, table.name, table.DefinitionPage());
      std::vector<std::string> salvaged;
      JetPartialRow row;
      while (scan.Next(row)) {
        salvaged.emplace_back();
        for (const JetPartialRow::Cell& c : row.cells)
          salvaged.back() += c.state == JetPartialRow::State::kRead ? Text(c.value) + "|" : "damaged|";
      }
      // Calculated results are typed by table properties, which the scan does not read.
      bool calculated = false;
      for (const auto& column : cursor.Columns()) calculated |= column.calculated;
      if (!calculated) {
        EXPECT_EQ(salvaged, read);
      }
      EXPECT_EQ(scan.PassedOver(), std::vector<UnicodeString>());
      rows += read.size();
    }
  }
  EXPECT_EQ(rows, 850u);  // every row of these files
}

}  // namespace
