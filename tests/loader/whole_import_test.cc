// Whole imports: real .xtp / .xrd databases written with the project's Access
// writer, imported by the built Arvoline.so through its four exports (in
// process with the host's session driver, and through arvoline-host for the
// code page cases, since a loaded module keeps the code page it started with).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <nlohmann/json.hpp>

#include "host/import_run.h"
#include "host/plugin_module.h"
#include "platform/code_page.h"
#include "runtime/utf8.h"
#include "tests/jet/database_damage.h"
#include "tests/platform/automation/temp_directory.h"
#include "tools/accessdb/database_writer.h"

using accessdb::ColumnType;
using accessdb::Value;

namespace {

struct Doc {
  int level;
  std::string title;
  std::string content;
  bool operator==(const Doc& o) const { return level == o.level && title == o.title && content == o.content; }
};

std::ostream& operator<<(std::ostream& out, const Doc& d) {
  return out << "{" << d.level << ", \"" << d.title << "\", \"" << d.content << "\"}";
}

// The module, loaded once for the process under code page 1252.
const PluginModule& Module() {
  static std::unique_ptr<PluginModule> module = [] {
    setenv("LC_ALL", "en_US.UTF-8", 1);
    return std::make_unique<PluginModule>(ARVOLINE_MODULE);
  }();
  return *module;
}

struct Result {
  std::vector<Doc> docs;
  std::string error;  // what the session raised, empty when none
};

Result Import(const std::string& path) {
  Result r;
  try {
    RunImport(Module(), path, [&](const ImportedDocument& d) { r.docs.push_back({d.level, d.title, d.content}); });
  } catch (const std::exception& e) {
    r.error = e.what();
  }
  return r;
}

// One outline entry: parent, key and title, each after its byte count in
// `codePage`, then nine '0' bytes. Returned as UTF-8.
std::string Entry(const std::string& parent, const std::string& key, const std::string& title, int codePage = 1252) {
  auto count = [&](const std::string& s, int width) {
    std::string n = std::to_string(WideToMultiByte(codePage, FromUtf8(s)).size());
    return std::string(static_cast<size_t>(width) - n.size(), '0') + n;
  };
  return count(parent, 2) + parent + count(key, 2) + key + count(title, 3) + title + "000000000";
}

struct NodeTable {
  std::string table = "Arvoline32XTPro";
  std::string structureField = "NodeTextValue";
  std::string contentField = "NodeTextRTFValue";
  std::string rootKey = "~Arvo32XT";
  accessdb::Column content{"", ColumnType::kMemo, 0};
  std::vector<accessdb::Column> extraColumns;
  accessdb::DatabaseOptions options;
  bool withRoot = true;
  bool withContentColumn = true;

  static NodeTable Gleanery() {
    NodeTable t;
    t.table = "DocumentsTreeNodes";
    t.structureField = "NodeDocumentDescription";
    t.contentField = "NodeDocumentKeywords";
    t.rootKey = "~DocsTree";
    return t;
  }

  // Writes the root record with `outline` and one record per (key, content).
  void Write(const std::string& path, const std::string& outline,
             const std::vector<std::pair<std::string, Value>>& records) const {
    accessdb::DatabaseWriter w(path, options);
    std::vector<accessdb::Column> columns{{"NodeKeyValue", ColumnType::kText, 100},
                                          {structureField, ColumnType::kMemo, 0}};
    if (withContentColumn) {
      accessdb::Column c = content;
      c.name = contentField;
      columns.push_back(c);
    }
    for (const auto& c : extraColumns) columns.push_back(c);
    w.BeginTable(table, columns);
    auto row = [&](const std::string& key, const Value& structure, const Value& value) {
      std::vector<Value> values{Value::Text(key), structure};
      if (withContentColumn)
        values.push_back(content.type == ColumnType::kBoolean && value.is_null() ? Value::Bool(false) : value);
      for (const auto& c : extraColumns) values.push_back(c.type == ColumnType::kBoolean ? Value::Bool(true) : Value::Null());
      w.AddRow(values);
    };
    if (withRoot) row(rootKey, Value::Text(outline), Value::Null());
    for (const auto& r : records) row(r.first, Value::Null(), r.second);
    w.Finish();
  }
};

class WholeImport : public ::testing::Test {
 protected:
  // The node table written in `format`, damaged by `damage`, then imported.
  Result ImportDamaged(accessdb::Format format, const std::string& outline,
                       const std::vector<std::pair<std::string, Value>>& records,
                       const std::function<void(DatabaseDamage&)>& damage) {
    NodeTable t;
    t.options.format = format;
    const std::string path = dir_.File("damaged.xtp");
    t.Write(path, outline, records);
    DatabaseDamage d(path);
    damage(d);
    d.Save();
    return Import(path);
  }

  TempDirectory dir_;
  ScopedActiveCodePage cp_{1252};
};

}  // namespace

TEST_F(WholeImport, DocumentsInOutlineOrderWithLevelsTitlesAndContents) {
  struct Variant {
    NodeTable table;
    std::string file;
  } variants[] = {{NodeTable(), "notes.xtp"}, {NodeTable::Gleanery(), "notes.xrd"}};
  for (const Variant& v : variants) {
    std::string outline = Entry("Root", "A", "\xC3\x9C" "bersicht") + Entry("A", "B", "Caf\xC3\xA9") +
                          Entry("B", "C", "Deep") + Entry("Root", "D", "") + Entry("Root", "E", "No record") +
                          Entry("Root", "F", "Null content") + Entry("Root", "A", "Again A");
    std::string big = "{\\rtf1 " + std::string(100000, 'x') + "}";
    v.table.Write(dir_.File(v.file), outline,
                  {{"D", Value::Text("d")},
                   {"A", Value::Text("{\\rtf1 \xC3\xA4\xE2\x82\xAC}")},
                   {"B", Value::Text(big)},
                   {"C", Value::Text("c")},
                   {"F", Value::Null()},
                   {"unlisted", Value::Text("never delivered")}});
    Result r = Import(dir_.File(v.file));
    EXPECT_EQ(r.error, "") << v.file;
    std::vector<Doc> expected{
        {0, "\xC3\x9C" "bersicht", "{\\rtf1 \xC3\xA4\xE2\x82\xAC}"},
        {1, "Caf\xC3\xA9", big},
        {2, "Deep", "c"},
        {0, "", "d"},
        {0, "No record", ""},
        {0, "Null content", ""},
        {0, "Again A", "{\\rtf1 \xC3\xA4\xE2\x82\xAC}"},  // a duplicate key gives the same content
    };
    EXPECT_EQ(r.docs, expected) << v.file;
  }
}

TEST_F(WholeImport, TheExtensionChoosesTheVariantExactly) {
  std::string outline = Entry("Root", "K", "Title");
  NodeTable::Gleanery().Write(dir_.File("gleanery.XRD"), outline, {{"K", Value::Text("g")}});
  NodeTable().Write(dir_.File("arvoline.XRD"), outline, {{"K", Value::Text("a")}});
  NodeTable().Write(dir_.File("noext"), outline, {{"K", Value::Text("n")}});
  EXPECT_EQ(Import(dir_.File("gleanery.XRD")).error, "Cannot perform this operation on a closed dataset");
  EXPECT_EQ(Import(dir_.File("arvoline.XRD")).docs, (std::vector<Doc>{{0, "Title", "a"}}));
  EXPECT_EQ(Import(dir_.File("noext")).docs, (std::vector<Doc>{{0, "Title", "n"}}));
}

TEST_F(WholeImport, FailuresRaiseTheirMessages) {
  std::string outline = Entry("Root", "K", "Title");
  NodeTable noRoot;
  noRoot.withRoot = false;
  noRoot.Write(dir_.File("noroot.xtp"), outline, {{"K", Value::Text("x")}});
  NodeTable noContent;
  noContent.withContentColumn = false;
  noContent.Write(dir_.File("nocontent.xtp"), outline, {{"K", Value::Null()}});
  std::ofstream(dir_.File("text.xtp")) << "plain text, not a database";

  struct Row {
    std::string file;
    std::string error;
  } rows[] = {
      {"noroot.xtp", "Cannot find specified record"},
      {"nocontent.xtp", "Field 'NodeTextRTFValue' not found"},
      {"text.xtp", "Cannot perform this operation on a closed dataset"},
      {"missing.xtp", "Cannot perform this operation on a closed dataset"},
  };
  for (const Row& r : rows) EXPECT_EQ(Import(dir_.File(r.file)).error, r.error) << r.file;
}

TEST_F(WholeImport, ContentColumnsOfOtherTypesArriveAsText) {
  struct Row {
    accessdb::Column column;
    Value value;
    std::string content;
  } rows[] = {
      {{"", ColumnType::kLong}, Value::Int(-42), "-42"},
      {{"", ColumnType::kByte}, Value::Int(7), "7"},
      {{"", ColumnType::kCurrency}, Value::Currency(15000), "1.5"},
      {{"", ColumnType::kDouble}, Value::Double(0.25), "0.25"},
      {{"", ColumnType::kDateTime}, Value::DateTime(accessdb::ParseDateTime("2020-12-31T13:45:00")),
       "12/31/2020 1:45:00 PM"},
      {{"", ColumnType::kBoolean}, Value::Bool(true), "True"},
      {{"", ColumnType::kText, 10}, Value::Text("fixed"), "fixed"},
      {{"", ColumnType::kOle}, Value::Bytes("bytes\x01z"), "bytes\x01z"},  // every byte, the last one too
      {{"", ColumnType::kText, 40}, Value::Text(std::string(40, 't')), std::string(40, 't')},
  };
  int n = 0;
  for (const Row& r : rows) {
    NodeTable t;
    t.content = r.column;
    // Columns the importer never reads, with names that need care.
    t.extraColumns = {{"Node Text", ColumnType::kText, 20},
                      {"A name longer than thirty-one characters", ColumnType::kBoolean, 0}};
    std::string file = dir_.File("typed" + std::to_string(n++) + ".xtp");
    t.Write(file, Entry("Root", "K", "T"), {{"K", r.value}});
    Result result = Import(file);
    EXPECT_EQ(result.error, "") << n;
    EXPECT_EQ(result.docs, (std::vector<Doc>{{0, "T", r.content}})) << n;
  }
}

TEST_F(WholeImport, NonAsciiTextUnderCodePages1252And1251) {
  struct Row {
    int codePage;
    accessdb::Format format;
    std::string title, content;              // as written (UTF-8)
    std::string expectTitle, expectContent;  // as delivered
  } rows[] = {
      {1252, accessdb::Format::kJet4, "Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC", "na\xC3\xAFve",
       "Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC", "na\xC3\xAFve"},
      {1252, accessdb::Format::kJet3, "Gr\xC3\xBC\xC3\x9F" "e", "\xC3\xA9t\xC3\xA9", "Gr\xC3\xBC\xC3\x9F" "e",
       "\xC3\xA9t\xC3\xA9"},
      {1251, accessdb::Format::kJet4, "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82", "\xD0\xB6",
       "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82", "\xD0\xB6"},
      {1251, accessdb::Format::kJet3, "\xD0\x94\xD0\xB0", "\xD0\x96\xD0\xB0\xD1\x80", "\xD0\x94\xD0\xB0",
       "\xD0\x96\xD0\xB0\xD1\x80"},
      // Characters outside the ANSI code page reach the host as "?".
      {1252, accessdb::Format::kJet4, "\xD0\x94\xD0\xB0 x", "\xD0\x96", "?? x", "?"},
  };
  int n = 0;
  for (const Row& r : rows) {
    NodeTable t;
    t.options.format = r.format;
    t.options.code_page = r.format == accessdb::Format::kJet3 ? r.codePage : 1252;
    std::string file = dir_.File("cp" + std::to_string(n++) + ".xtp");
    t.Write(file, Entry("Root", "K", r.title, r.codePage), {{"K", Value::Text(r.content)}});
    std::string json = dir_.File("out.json");
    std::string command = std::string(ARVOLINE_HOST) + " --plugin " + ARVOLINE_MODULE + " --codepage " +
                          std::to_string(r.codePage) + " import " + file + " --json " + json + " > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    nlohmann::json docs = nlohmann::json::parse(std::ifstream(json));
    ASSERT_EQ(docs.size(), 1u) << n;
    EXPECT_EQ(docs[0]["title"], r.expectTitle) << n;
    EXPECT_EQ(docs[0]["content"], r.expectContent) << n;
    EXPECT_EQ(docs[0]["level"], 0);
  }
}

TEST_F(WholeImport, HostPrintsTheTreeOfARealDatabase) {
  NodeTable().Write(dir_.File("tree.xtp"), Entry("Root", "A", "Top") + Entry("A", "B", "Child"),
                    {{"A", Value::Text("abc")}, {"B", Value::Null()}});
  std::string out = dir_.File("out.txt");
  std::string command = std::string(ARVOLINE_HOST) + " --plugin " + ARVOLINE_MODULE + " import " +
                        dir_.File("tree.xtp") + " > " + out + " 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0);
  std::ifstream in(out);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text, "Top  [3 bytes]\n  Child  [0 bytes]\n2 documents\n");
}

// Damaged files through the four exports: the engine's errors reach the
// import run, which drops a row it cannot read; a file it cannot open leaves
// the dataset closed. Never a crash or a hang.
TEST_F(WholeImport, DamagedFilesEndInCleanErrorsOrDropTheDamagedRow) {
  const std::string longContent(9000, 'x');  // a chain of long-value rows in both formats
  const std::string outline = Entry("Root", "A", "First") + Entry("Root", "B", "Second");
  auto chainHeader = [&](const DatabaseDamage& d) {
    const uint32_t stored = static_cast<uint32_t>(longContent.size() + (d.PageSize() == 4096 ? 2 : 0));
    return d.Find(std::string(reinterpret_cast<const char*>(&stored), 4));
  };
  struct Case {
    const char* name;
    std::function<void(DatabaseDamage&)> damage;
    std::vector<Doc> docs;
    std::string error;
  } cases[] = {
      {"content chain pointing at itself",
       [&](DatabaseDamage& d) {
         const uint32_t first = d.ReadU32(chainHeader(d) + 4);
         d.ShortenRow({first >> 8, first & 0xFF}, 4);
         d.WriteU32(d.RowStart({first >> 8, first & 0xFF}), first);
       },
       {{0, "First", "a"}, {0, "Second", ""}},
       ""},
      {"catalog usage map of length 0", [](DatabaseDamage& d) { d.EmptyUsageMap(2); }, {},
       "Cannot perform this operation on a closed dataset"},
      {"node table's data page zeroed",
       [](DatabaseDamage& d) { d.ZeroPage(d.RowHolding("~Arvo32XT").page); }, {}, "Cannot find specified record"},
  };
  for (accessdb::Format format : {accessdb::Format::kJet3, accessdb::Format::kJet4}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.name);
      Result r = ImportDamaged(format, outline, {{"A", Value::Text("a")}, {"B", Value::Text(longContent)}}, c.damage);
      EXPECT_EQ(r.error, c.error);
      EXPECT_EQ(r.docs, c.docs);
    }
  }
}

// Damage a lenient reader takes for data: instead of documents without
// their content, or none at all, the import ends in an error; where only
// some records are damaged, those are dropped like any damaged row.
TEST_F(WholeImport, DamageThatReadsAsDataEndsInACleanError) {
  const std::string content(9000, 'c');  // each a chain of long-value rows
  const int kNodes = 50;
  std::string outline;
  std::vector<std::pair<std::string, Value>> records;
  for (int i = 0; i < kNodes; ++i) {
    const std::string key = "K" + std::to_string(100 + i);
    outline += Entry("Root", key, "T" + std::to_string(i));
    records.push_back({key, Value::Text(content)});
  }
  // The column entries: NodeKeyValue, NodeTextValue, NodeTextRTFValue.
  auto entry = [](DatabaseDamage& d, int column, int field) {
    return d.ColumnEntry(d.TablePage("Arvoline32XTPro"), column) + static_cast<size_t>(field);
  };
  // Documents as their titles and content sizes.
  auto sizes = [](const std::vector<Doc>& docs) {
    std::vector<std::string> out;
    for (const Doc& d : docs) out.push_back(d.title + ":" + std::to_string(d.content.size()));
    return out;
  };
  std::vector<std::string> firstOnly;
  for (int i = 0; i < kNodes; ++i) firstOnly.push_back("T" + std::to_string(i) + ":" + (i == 0 ? "9000" : "0"));
  struct Case {
    const char* name;
    std::function<void(DatabaseDamage&)> damage;
    std::vector<std::string> docs;
    std::string error;
  } cases[] = {
      {"the content column's variable index set to 0x7FFF",
       [&](DatabaseDamage& d) { d.WriteU32(entry(d, 2, d.Format().columnVariableIndex), 0x7FFF); }, {},
       "Cannot perform this operation on a closed dataset"},
      {"the key column's size damaged to 4 bytes",
       [&](DatabaseDamage& d) { d.WriteByte(entry(d, 0, d.Format().columnSize), 4); }, {},
       "Cannot find specified record"},
      {"the outline's long-value length zeroed",
       [&](DatabaseDamage& d) {
         const uint32_t stored = static_cast<uint32_t>(outline.size() + (d.PageSize() == 4096 ? 2 : 0));
         d.WriteU32(d.Find(std::string(reinterpret_cast<const char*>(&stored), 3)), 0);
       },
       {}, "Cannot find specified record"},
      {"every content pointing at the first one's long value",
       [&](DatabaseDamage& d) {
         const uint32_t stored = static_cast<uint32_t>(content.size() + (d.PageSize() == 4096 ? 2 : 0));
         const std::vector<size_t> headers = d.FindAll(std::string(reinterpret_cast<const char*>(&stored), 4));
         ASSERT_EQ(headers.size(), static_cast<size_t>(kNodes));
         for (size_t h : headers) d.WriteU32(h + 4, d.ReadU32(headers[0] + 4));
       },
       firstOnly, ""},
  };
  for (accessdb::Format format : {accessdb::Format::kJet3, accessdb::Format::kJet4}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.name);
      Result r = ImportDamaged(format, outline, records, c.damage);
      EXPECT_EQ(r.error, c.error);
      EXPECT_EQ(sizes(r.docs), c.docs);
    }
  }
}
