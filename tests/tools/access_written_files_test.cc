// The writer against files that Access itself wrote (tests/data/real-access):
// given the values those files hold (expected/NAME.json), it writes files
// that mdbtools reads as it reads Access's, and stores calculated results
// byte for byte as Access did.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>

#include "tests/tools/libmdb_table_reader.h"
#include "tests/tools/mdb_programs.h"
#include "tests/tools/test_support.h"
#include "tools/accessdb/database_writer.h"

namespace accessdb_test {
namespace {

using accessdb::Column;
using accessdb::Value;
using T = accessdb::ColumnType;

std::string RealFile(const std::string& name) { return std::string(REAL_ACCESS_DIR) + "/" + name; }

nlohmann::json Expected(const std::string& name) {
  std::ifstream in(RealFile("expected/" + name + ".json"));
  return nlohmann::json::parse(in);
}

// The file make-access-db writes from the values of an Access-written file.
void WriteTwin(const std::string& name, const std::string& out) {
  RunCommand(std::string(MAKE_ACCESS_DB) + " tables " + ShellQuote(RealFile("expected/" + name + ".json")) + " " +
             ShellQuote(out));
}

std::string Schema(const std::string& path) {
  return RunCommand("mdb-schema --no-indexes --no-relations " + ShellQuote(path));
}

// ResultType and Expression of each column, as mdb-prop lists them (sorted:
// it lists a column's properties in no fixed order).
std::vector<std::string> CalculatedProperties(const std::string& path, const std::string& table) {
  std::vector<std::string> out;
  std::string column;
  const std::string listing = RunCommand("mdb-prop " + ShellQuote(path) + " " + ShellQuote(table));
  for (size_t at = 0; at < listing.size();) {
    const size_t end = std::min(listing.find('\n', at), listing.size());
    const std::string line = listing.substr(at, end - at);
    at = end + 1;
    if (line.rfind("name: ", 0) == 0) column = line.substr(6);
    const bool wanted = line.find("\tExpression: ") == 0 || (line.find("\tResultType: ") == 0 && line != "\tResultType: 0");
    if (wanted) out.push_back(column + line);
  }
  std::sort(out.begin(), out.end());
  return out;
}

std::vector<MdbCell> Row(const LibmdbTableReader& reader, const std::string& table, size_t index) {
  std::vector<MdbCell> found;
  size_t i = 0;
  reader.Read(table, nullptr, [&](const std::vector<MdbCell>& cells) {
    if (i++ == index) found = cells;
  });
  return found;
}

// Every column whose kind mdbtools reads right (not calculated) exports alike,
// and every table has the same columns, types and sizes.
TEST(AccessWrittenFilesTest, WriterTwinsReadLikeTheOriginals) {
  for (const char* name : {"testV1997.mdb", "test2V2000.mdb", "fixedNumericTestV2003.mdb", "calcFieldTestV2010.accdb"}) {
    SCOPED_TRACE(name);
    TempFile twin(std::string("twin-") + name);
    WriteTwin(name, twin.path());
    EXPECT_EQ(Schema(twin.path()), Schema(RealFile(name)));
    const nlohmann::json expected = Expected(name);
    for (const nlohmann::json& table : expected["tables"]) {
      const std::string t = table["name"];
      const auto mine = MdbExport(twin.path(), t);
      const auto theirs = MdbExport(RealFile(name), t);
      ASSERT_EQ(mine.size(), theirs.size()) << t;
      ASSERT_EQ(mine.size(), table["rows"].size() + 1) << t;
      for (size_t r = 0; r < mine.size(); ++r) {
        for (size_t c = 0; c < table["columns"].size(); ++c) {
          if (table["columns"][c].value("calculated", false)) continue;
          EXPECT_EQ(mine[r][c], theirs[r][c]) << t << " row " << r << " column " << c;
        }
      }
      EXPECT_EQ(CalculatedProperties(twin.path(), t), CalculatedProperties(RealFile(name), t)) << t;
    }
  }
}

// All 44 calculated results of calcFieldTestV2010.accdb: the same bytes as
// Access stored, wrapping included, whatever type the column entry holds.
TEST(AccessWrittenFilesTest, CalculatedResultsAreStoredAsAccessStoresThem) {
  const std::string name = "calcFieldTestV2010.accdb";
  TempFile twin("twin-calc.accdb");
  WriteTwin(name, twin.path());
  const nlohmann::json table = Expected(name)["tables"][0];
  const LibmdbTableReader mine(twin.path()), theirs(RealFile(name));
  int compared = 0;
  for (size_t r = 0; r < table["rows"].size(); ++r) {
    const std::vector<MdbCell> a = Row(mine, "Table1", r), b = Row(theirs, "Table1", r);
    for (size_t c = 0; c < table["columns"].size(); ++c) {
      const nlohmann::json& column = table["columns"][c];
      if (!column.value("calculated", false)) continue;
      SCOPED_TRACE("row " + std::to_string(r + 1) + " column " + column["name"].get<std::string>());
      std::string written = a[c].stored, stored = b[c].stored;
      if (column["result_type"] == "memo") {
        // The long values' pointers differ; their lengths, where they lie and their bytes do not.
        EXPECT_EQ(written.substr(0, 4), stored.substr(0, 4));
        written = a[c].raw;
        stored = b[c].raw;
      } else if (column["result_type"] == "decimal") {
        // The DECIMAL's first two bytes (after the 20 of wrapping) are 14, or 0 where Access copied a Decimal column.
        ASSERT_EQ(stored.size(), 39u);
        EXPECT_TRUE(stored.substr(20, 2) == std::string("\x0e\0", 2) || stored.substr(20, 2) == std::string(2, '\0'));
        EXPECT_EQ(written.substr(20, 2), std::string("\x0e\0", 2));
        written.erase(20, 2);
        stored.erase(20, 2);
      }
      EXPECT_EQ(Hex(written), Hex(stored));
      ++compared;
    }
  }
  EXPECT_EQ(compared, 44);
}

// A Null result of any type, Yes/No included, is an empty cell with its null
// bit clear: no wrapping, no long-value header.
TEST(AccessWrittenFilesTest, NullResultsAreEmptyCellsWithTheNullBitClear) {
  struct Kind {
    T entry, result;
  };
  const Kind kinds[] = {{T::kText, T::kText},       {T::kText, T::kMemo},        {T::kInteger, T::kBoolean},
                        {T::kLong, T::kLong},       {T::kDouble, T::kCurrency},  {T::kDecimal, T::kSingle},
                        {T::kDouble, T::kDecimal},  {T::kDouble, T::kDouble},    {T::kDouble, T::kDateTime},
                        {T::kByte, T::kByte},       {T::kInteger, T::kInteger},  {T::kLong, T::kGuid}};
  std::vector<Column> columns{{"Id", T::kLong}};
  std::vector<Value> nulls{Value::Int(1)};
  for (const Kind& k : kinds) {
    Column c{"C" + std::to_string(columns.size()), k.entry, 50};
    c.calculated = true;
    c.result_type = k.result;
    columns.push_back(c);
    nulls.push_back(Value());
  }
  TempFile file("null-results.accdb");
  accessdb::DatabaseOptions options;
  options.ace_version = 3;
  {
    accessdb::DatabaseWriter w(file.path(), options);
    w.BeginTable("T", columns);
    w.AddRow(nulls);
    w.Finish();
  }
  const std::vector<MdbCell> row = Row(LibmdbTableReader(file.path()), "T", 0);
  ASSERT_EQ(row.size(), columns.size());
  for (size_t c = 1; c < row.size(); ++c) {
    EXPECT_TRUE(row[c].null) << columns[c].name;
    EXPECT_EQ(row[c].stored, "") << columns[c].name;
  }
}

}  // namespace
}  // namespace accessdb_test
