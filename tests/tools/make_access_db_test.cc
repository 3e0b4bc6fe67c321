// The make-access-db program: both commands, run as a user runs them.
#include <gtest/gtest.h>

#include <fstream>

#include "tests/tools/libmdb_table_reader.h"
#include "tests/tools/mdb_programs.h"
#include "tests/tools/test_support.h"
#include "tools/accessdb/outline_database.h"
#include "tools/accessdb/text_codec.h"

namespace accessdb_test {
namespace {

const std::string kProgram = MAKE_ACCESS_DB;

int RunProgram(const std::string& args, std::string* output = nullptr) {
  const std::string command = ShellQuote(kProgram) + " " + args + " 2>&1";
  std::FILE* p = popen(command.c_str(), "r");
  std::string out;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  if (output != nullptr) *output = out;
  return pclose(p);
}

void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

TEST(MakeAccessDbTest, TablesCommandWritesWhatTheJsonDescribes) {
  // Rows before their columns and "format" after the tables still work; the
  // currency keeps all its digits.
  TempFile json("tables.json"), db("tables.mdb");
  WriteFile(json.path(), R"({ "tables": [
      { "rows": [[1, "one", "-922337203685477.5808", 0.5, {"base64": "AAEC"}, "2001-02-03T04:05:06", true]],
        "name": "First Table",
        "columns": [ {"name": "N", "type": "long"}, {"name": "Word", "type": "text", "size": 10},
                     {"name": "Money", "type": "currency"}, {"name": "Half", "type": "double"},
                     {"name": "Raw", "type": "ole"}, {"name": "At", "type": "datetime"},
                     {"name": "Yes", "type": "boolean"} ] },
      { "name": "Second", "columns": [ {"name": "M", "type": "memo"}, {"name": "C", "type": "currency"} ],
        "rows": [["x", 12.3456], [null, 922337203685477.5807], ["\u00e9", 7]] } ],
    "codepage": 1252, "format": "jet3" })");
  std::string output;
  ASSERT_EQ(RunProgram("tables " + ShellQuote(json.path()) + " " + ShellQuote(db.path()), &output), 0) << output;

  LibmdbTableReader reader(db.path());
  EXPECT_EQ(reader.jet_version(), 0);
  EXPECT_EQ(reader.UserTables(), (std::vector<std::string>{"First Table", "Second"}));
  const auto first = MdbExport(db.path(), "First Table");
  ASSERT_EQ(first.size(), 2u);
  EXPECT_EQ(first[1], (std::vector<std::optional<std::string>>{
                          "1", "one", "-922337203685477.5808", "0.5", "000102", "2001-02-03T04:05:06", "1"}));
  const auto second = MdbJson(db.path(), "Second");
  ASSERT_EQ(second.size(), 3u);
  EXPECT_EQ(second[0].dump(), R"({"C":"12.3456","M":"x"})");
  EXPECT_EQ(second[1].dump(), R"({"C":"922337203685477.5807"})");
  EXPECT_EQ(second[2].dump(), "{\"C\":\"7.0000\",\"M\":\"\xC3\xA9\"}");
}

TEST(MakeAccessDbTest, TablesCommandWritesNewerFilesAndColumnKinds) {
  TempFile json("newer.json"), db("newer.accdb");
  WriteFile(json.path(), R"({ "format": "ace2019", "codepage": 1252, "tables": [
      { "name": "T",
        "columns": [ {"name": "D", "type": "decimal", "precision": 28, "scale": 4},
                     {"name": "X", "type": "datetime-extended"},
                     {"name": "C", "type": "text", "size": 20, "calculated": true},
                     {"name": "K", "type": "complex", "complex_id": 7} ],
        "rows": [["-50.325", "0001-01-01T00:00:00.0000001", "Wayne, Bruce", 70], [12, null, null, null]] } ] })");
  std::string output;
  ASSERT_EQ(RunProgram("tables " + ShellQuote(json.path()) + " " + ShellQuote(db.path()), &output), 0) << output;
  LibmdbTableReader reader(db.path());
  EXPECT_EQ(reader.jet_version(), 6);
  std::vector<MdbColumnInfo> columns;
  EXPECT_EQ(reader.Read("T", &columns, [](const std::vector<MdbCell>&) {}), 2u);
  ASSERT_EQ(columns.size(), 4u);
  EXPECT_EQ(columns[0].type, 0x10);
  EXPECT_EQ(columns[1].type, 0x14);
  EXPECT_EQ(columns[2].type, 0x0A);
  EXPECT_EQ(columns[3].type, 0x12);
}

TEST(MakeAccessDbTest, BadInputFailsWithAMessageAndLeavesNoFile) {
  struct Case {
    const char* json;
    const char* message;
  };
  const Case cases[] = {
      {R"({"format": "jet5", "tables": []})", "\"format\" must be \"jet3\", \"jet4\" or \"ace2007\" to \"ace2019\""},
      {R"({"format": "jet3", "tables": [{"name": "T", "columns": [{"name": "A", "type": "decimal"}]}]})",
       "column \"A\": not possible in a Jet 3 file"},
      {R"({"tables": [{"name": "T", "columns": [{"name": "A", "type": "decimal", "precision": 5, "scale": 2}],
           "rows": [["1.234"]]}]})",
       "column \"A\": \"1.234\" has more than 2 decimals"},
      {R"({"tables": [{"name": "T", "columns": [{"name": "A", "type": "byte"}], "rows": [[300]]}]})",
       "table \"T\", row 1, column \"A\": 300 is out of range for a byte column"},
      {R"({"tables": [{"name": "T", "columns": [{"name": "A", "type": "datetime"}], "rows": [["2001-02-30T00:00:00"]]}]})",
       "date/time out of range"},
      {R"({"tables": [{"name": "T", "columns": [{"name": "A", "type": "uuid"}], "rows": []}]})",
       "unknown column type \"uuid\""},
      {R"({"tables": [{"name": "T", "columns": [{"name": "A", "type": "text", "size": 2}], "rows": [["abc"]]}]})",
       "exceeds the column size 2"},
      {R"({"tables": [{"name": "T", "columns": [{"name": "A", "type": "long", "calculated": true,
           "result_type": "money"}], "rows": []}]})",
       "unknown column type \"money\""},
      {R"({"tables": [{"name": "T", "columns": [{"name": "A", "type": "long", "result_type": "text"}]}]})",
       "column \"A\": only a calculated column has a result type"},
      {R"({"tables": [{"name": "T", "rows": [[1]]}]})", "needs \"name\" and \"columns\""},
      {R"({"tables": [}})", "TABLES.json at byte"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.json);
    TempFile json("bad.json"), db("bad.mdb");
    WriteFile(json.path(), c.json);
    std::string output;
    EXPECT_NE(RunProgram("tables " + ShellQuote(json.path()) + " " + ShellQuote(db.path()), &output), 0);
    EXPECT_NE(output.find(c.message), std::string::npos) << output;
    EXPECT_FALSE(std::ifstream(db.path()).good());
  }
}

TEST(MakeAccessDbTest, OutlineCommandIsDeterministicAndHoldsTheOutline) {
  TempFile a("a.xtp"), b("b.xtp"), c("c.xtp"), other("other-writer.xtp");
  const std::string options = " --nodes 300 --depth 4 --content-bytes 500 --seed 5 --format jet4";
  ASSERT_EQ(RunProgram("outline " + ShellQuote(a.path()) + options), 0);
  ASSERT_EQ(RunProgram("outline " + ShellQuote(b.path()) + options), 0);
  ASSERT_EQ(RunProgram("outline " + ShellQuote(c.path()) + " --nodes 300 --depth 4 --content-bytes 500 --seed 6"), 0);
  ASSERT_EQ(RunProgram("outline " + ShellQuote(other.path()) + options + " --two-byte-text --memos-out-of-row"), 0);
  EXPECT_TRUE(ReadFile(a.path()) == ReadFile(b.path()));
  EXPECT_FALSE(ReadFile(a.path()) == ReadFile(c.path()));
  EXPECT_GT(ReadFile(other.path()).size(), ReadFile(a.path()).size());  // two bytes a character

  accessdb::GeneratorOptions g;
  g.nodes = 300;
  g.depth = 4;
  g.content_bytes = 500;
  g.seed = 5;
  const auto nodes = accessdb::GenerateOutline(g, 1252);
  const std::string outline = accessdb::BuildOutlineText(nodes, accessdb::CodePageEncoder(1252));
  // The other writer's layout holds the same rows.
  for (const TempFile* file : {&a, &other}) {
    SCOPED_TRACE(file->path());
    LibmdbTableReader reader(file->path());
    std::vector<std::vector<MdbCell>> rows;
    reader.Read("Arvoline32XTPro", nullptr, [&](const std::vector<MdbCell>& r) { rows.push_back(r); });
    ASSERT_EQ(rows.size(), nodes.size() + 1);
    EXPECT_EQ(rows[0][0].text, "~Arvo32XT");
    EXPECT_EQ(rows[0][1].raw, outline);
    EXPECT_TRUE(rows[0][2].null);
    for (size_t i = 0; i < nodes.size(); ++i) {
      EXPECT_EQ(rows[i + 1][0].text, nodes[i].key);
      EXPECT_TRUE(rows[i + 1][1].null);
      EXPECT_EQ(rows[i + 1][2].raw, *nodes[i].content);
    }
  }
}

TEST(MakeAccessDbTest, OutlineFromJsonForGleanery) {
  TempFile json("outline.json"), db("outline.xrd");
  WriteFile(json.path(), R"([
      {"key": "A", "title": "Top", "content": "{\\rtf1 top}"},
      {"parent": "A", "key": "B", "title": "B\u00e9low"},
      {"parent": "Root", "key": "C", "title": "", "content": ""}])");
  std::string output;
  ASSERT_EQ(RunProgram("outline " + ShellQuote(db.path()) + " --variant gleanery --format jet3 --from " +
                    ShellQuote(json.path()), &output), 0) << output;
  const auto rows = MdbExport(db.path(), "DocumentsTreeNodes");
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[0], (std::vector<std::optional<std::string>>{"NodeKeyValue", "NodeDocumentDescription",
                                                               "NodeDocumentKeywords"}));
  EXPECT_EQ(rows[1][0], "~DocsTree");
  EXPECT_EQ(rows[1][1], "04Root01A003Top000000000" "01A01B005B\xC3\xA9low000000000" "04Root01C000000000000");
  EXPECT_EQ(rows[2], (std::vector<std::optional<std::string>>{"A", std::nullopt, "{\\rtf1 top}"}));
  EXPECT_EQ(rows[3], (std::vector<std::optional<std::string>>{"B", std::nullopt, std::nullopt}));

  EXPECT_NE(RunProgram("outline " + ShellQuote(db.path()) + " --from x.json --nodes 3", &output), 0);
}

}  // namespace
}  // namespace accessdb_test
