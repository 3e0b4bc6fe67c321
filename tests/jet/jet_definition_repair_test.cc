// The definition a salvage reads a node table with, when bytes of the
// table's definition are damaged: every row reads as from the undamaged file,
// unless nothing of the definition is left.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "jet/jet_definition_repair.h"
#include "jet/jet_salvage_scan.h"
#include "runtime/utf8.h"
#include "tests/jet/database_damage.h"
#include "tests/platform/automation/temp_directory.h"
#include "tools/accessdb/outline_database.h"

namespace {

const std::vector<UnicodeString> kWanted = {u"NodeKeyValue", u"NodeTextValue", u"NodeTextRTFValue"};

std::vector<accessdb::OutlineNode> Nodes() {
  return {{"Root", "Ka", "First", "first " + std::string(3000, 'L')}, {"Root", "Kb", "Second", std::string("inline")}};
}

// What a salvage reads: "KEY OUTLINE-LENGTH CONTENT-LENGTH" a row, or what
// stopped it.
std::string Rows(const std::string& path, bool& repaired, bool& fromCatalog) {
  auto file = std::make_shared<const JetFile>(FromUtf8(path));
  std::vector<UnicodeString> damage;
  std::optional<JetSalvageDefinition> found = FindSalvageDefinition(file, u"Arvoline32XTPro", kWanted, damage);
  if (!found) return "no definition";
  repaired = found->repaired;
  fromCatalog = found->fromCatalog;
  JetSalvageScan scan(file, u"Arvoline32XTPro", found->page, std::move(found->definition));
  std::vector<size_t> columns;
  for (const UnicodeString& name : kWanted) columns.push_back(static_cast<size_t>(scan.ColumnIndex(name)));
  std::string lines;
  JetPartialRow row;
  while (scan.Next(row)) {
    for (size_t i = 0; i < columns.size(); ++i) {
      const JetPartialRow::Cell& c = row.cells[columns[i]];
      const std::string text = c.state != JetPartialRow::State::kRead ? "damaged"
                               : c.value.IsNull()                     ? "null"
                               : i == 0                               ? ToUtf8(c.value.ToString())
                                                                      : std::to_string(c.value.ToString().size());
      lines += (i ? " " : "") + text;
    }
    lines += "\n";
  }
  return lines;
}

// Damage to the definition that starts at file offset `definition`, whose
// column names start at `names`.
using Damage = std::function<void(DatabaseDamage&, size_t definition, size_t names)>;

void Put16(DatabaseDamage& x, size_t at, unsigned v) {
  x.WriteByte(at, static_cast<unsigned char>(v & 0xFF));
  x.WriteByte(at + 1, static_cast<unsigned char>(v >> 8));
}

TEST(JetDefinitionRepair, DamagedDefinitionsReadAsTheUndamagedOne) {
  struct Case {
    const char* name;
    Damage damage;
    bool repaired;
    bool fromCatalog = true;
    bool jet4Only = false;
    bool readable = true;  // else nothing is left to repair it from
  } cases[] = {
      {"undamaged", [](DatabaseDamage&, size_t, size_t) {}, false},
      {"a character of the key's name",
       [](DatabaseDamage& d, size_t, size_t names) { d.WriteByte(names + (d.PageSize() == 2048 ? 1 : 2), 'X'); }, true},
      {"the length of the key's name",
       [](DatabaseDamage& d, size_t, size_t names) { d.WriteByte(names, 0x7F); }, true},
      {"the column count",
       [](DatabaseDamage& d, size_t def, size_t) { Put16(d, def + d.Format().definitionColumnCount, 0x200); }, true},
      {"the real-index count",
       [](DatabaseDamage& d, size_t def, size_t) { d.WriteU32(def + d.Format().definitionRealIndexCount, 5); }, true},
      {"the page type", [](DatabaseDamage& d, size_t def, size_t) { d.WriteByte(def, 0x07); }, true},
      {"a column number past the maximum",
       [](DatabaseDamage& d, size_t def, size_t) {
         Put16(d, d.ColumnEntry(static_cast<uint32_t>(def / d.PageSize()), 2) + d.Format().columnNumber, 0x7FFF);
       },
       true},
      {"a variable index shared with the key",
       [](DatabaseDamage& d, size_t def, size_t) {
         Put16(d, d.ColumnEntry(static_cast<uint32_t>(def / d.PageSize()), 2) + d.Format().columnVariableIndex, 0);
       },
       true},
      {"the content's type unknown",
       [](DatabaseDamage& d, size_t def, size_t) {
         d.WriteByte(d.ColumnEntry(static_cast<uint32_t>(def / d.PageSize()), 2), 0x33);
       },
       true},
      {"the key's size cut to one character, which the rules allow",
       [](DatabaseDamage& d, size_t def, size_t) {
         Put16(d, d.ColumnEntry(static_cast<uint32_t>(def / d.PageSize()), 0) + d.Format().columnSize,
               d.PageSize() == 2048 ? 1 : 2);
       },
       true},
      {"the outline column marked calculated",
       [](DatabaseDamage& d, size_t def, size_t) {
         d.WriteByte(d.ColumnEntry(static_cast<uint32_t>(def / d.PageSize()), 1) + d.Format().columnExtraFlags, 0xC0);
       },
       true, true, true},
      {"the catalog zeroed and the key's name damaged",
       [](DatabaseDamage& d, size_t, size_t names) {
         d.ZeroPage(2);
         d.WriteByte(names + (d.PageSize() == 2048 ? 1 : 2), 'X');
       },
       true, false},
      {"the definition page zeroed",
       [](DatabaseDamage& d, size_t def, size_t) { d.ZeroPage(static_cast<uint32_t>(def / d.PageSize())); }, false,
       false, false, false},
  };
  TempDirectory directory;
  const std::string path = directory.File("notes.xtp");
  for (const accessdb::Format format : {accessdb::Format::kJet3, accessdb::Format::kJet4}) {
    accessdb::OutlineOptions options;
    options.format = format;
    accessdb::WriteOutlineDatabase(path, options, Nodes());
    bool repaired = false, fromCatalog = false;
    const std::string whole = Rows(path, repaired, fromCatalog);
    EXPECT_EQ(whole, "~Arvo32XT 55 null\nKa null 3006\nKb null 6\n");
    for (const Case& c : cases) {
      if (c.jet4Only && format == accessdb::Format::kJet3) continue;
      SCOPED_TRACE(std::string(c.name) + (format == accessdb::Format::kJet3 ? ", Jet 3" : ", Jet 4"));
      accessdb::WriteOutlineDatabase(path, options, Nodes());
      DatabaseDamage d(path);
      const uint32_t page = d.TablePage("Arvoline32XTPro");
      c.damage(d, size_t{page} * static_cast<size_t>(d.PageSize()), d.ColumnEntry(page, 3));
      d.Save();
      repaired = fromCatalog = false;
      EXPECT_EQ(Rows(path, repaired, fromCatalog), c.readable ? whole : "no definition");
      EXPECT_EQ(repaired, c.repaired);
      EXPECT_EQ(fromCatalog, c.fromCatalog);
    }
  }
}

}  // namespace
