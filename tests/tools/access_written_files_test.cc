// The writer against files that Access itself wrote (tests/data/real-access):
// given the values those files hold (expected/NAME.json), it writes files
// that mdbtools reads as it reads Access's, and stores calculated results
// byte for byte as Access did.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>

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

// The named properties of each column, as mdb-prop lists them (sorted: it
// lists a column's properties in no fixed order), but for the defaults that
// Access spells out on ordinary columns (ResultType 0, AppendOnly no).
std::vector<std::string> Properties(const std::string& path, const std::string& table,
                                    const std::vector<std::string>& names) {
  std::vector<std::string> out;
  std::string column;
  const std::string listing = RunCommand("mdb-prop " + ShellQuote(path) + " " + ShellQuote(table));
  for (size_t at = 0; at < listing.size();) {
    const size_t end = std::min(listing.find('\n', at), listing.size());
    const std::string line = listing.substr(at, end - at);
    at = end + 1;
    if (line.rfind("name: ", 0) == 0) column = line.substr(6);
    const bool named = std::any_of(names.begin(), names.end(),
                                   [&](const std::string& n) { return line.rfind("\t" + n + ": ", 0) == 0; });
    if (named && line != "\tResultType: 0" && line.find(": no") == std::string::npos) out.push_back(column + line);
  }
  std::sort(out.begin(), out.end());
  return out;
}

std::vector<std::vector<MdbCell>> Rows(const std::string& path, const std::string& table) {
  std::vector<std::vector<MdbCell>> rows;
  LibmdbTableReader(path).Read(table, nullptr, [&](const std::vector<MdbCell>& cells) { rows.push_back(cells); });
  return rows;
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
      EXPECT_EQ(Properties(twin.path(), t, {"ResultType", "Expression"}),
                Properties(RealFile(name), t, {"ResultType", "Expression"}))
          << t;
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
  const auto mine = Rows(twin.path(), "Table1"), theirs = Rows(RealFile(name), "Table1");
  ASSERT_EQ(mine.size(), theirs.size());
  int compared = 0;
  for (size_t r = 0; r < mine.size(); ++r) {
    const std::vector<MdbCell>& a = mine[r];
    const std::vector<MdbCell>& b = theirs[r];
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

// Catalog id -> (name, flags), from MSysObjects.
std::map<std::string, std::pair<std::string, std::string>> CatalogObjects(const std::string& path) {
  std::map<std::string, std::pair<std::string, std::string>> out;
  const auto rows = MdbExport(path, "MSysObjects");
  for (size_t r = 1; r < rows.size(); ++r) out[*rows[r][0]] = {rows[r][2].value_or(""), rows[r][7].value_or("")};
  return out;
}

// Rows of a flat table without their own ids (the last column of the
// writer's, the column named <table>_<column> of Access's), sorted.
std::vector<std::string> FlatRowsOf(const std::string& path, const std::string& table) {
  const auto rows = MdbExport(path, table);
  std::vector<std::string> out;
  for (size_t r = 1; r < rows.size(); ++r) {
    std::map<std::string, std::string> cells;  // by column name: the two tables order their columns differently
    for (size_t c = 0; c < rows[0].size(); ++c) {
      if (rows[0][c]->find("Table1_") != 0) cells[*rows[0][c]] = rows[r][c].value_or("<null>");
    }
    std::string line;
    for (const auto& [name, value] : cells) line += name + "=" + value + ";";
    out.push_back(line);
  }
  std::sort(out.begin(), out.end());
  return out;
}

// complexDataTestV2010.accdb's Table1 written from its values: the keys, the
// catalog of complex columns, the kinds' template tables and the flat tables
// with every value (attachments compressed to Access's very bytes).
TEST(AccessWrittenFilesTest, ComplexColumnsAreWrittenAsAccessWritesThem) {
  const std::string name = "complexDataTestV2010.accdb";
  nlohmann::json values = Expected(name);
  values["tables"] = nlohmann::json::array({values["tables"][0]});  // the writer makes the others
  TempFile json("complex.json"), twin("twin-complex.accdb");
  std::ofstream(json.path()) << values.dump();
  RunCommand(std::string(MAKE_ACCESS_DB) + " tables " + ShellQuote(json.path()) + " " + ShellQuote(twin.path()));
  EXPECT_EQ(MdbExport(twin.path(), "Table1"), MdbExport(RealFile(name), "Table1"));

  const auto mine = CatalogObjects(twin.path()), theirs = CatalogObjects(RealFile(name));
  auto rows_by_column = [](const std::string& path) {
    std::map<std::string, std::vector<std::optional<std::string>>> out;
    for (const auto& row : MdbExport(path, "MSysComplexColumns")) out[row[0].value_or("")] = row;
    return out;
  };
  const auto my_rows = rows_by_column(twin.path()), their_rows = rows_by_column(RealFile(name));
  for (const char* column : {"VersionHistory_F5F8918F-0A3F-4DA9-AE71-184EE5012880", "multi-value-data", "attach-data"}) {
    SCOPED_TRACE(column);
    ASSERT_EQ(my_rows.count(column), 1u);
    const auto& a = my_rows.at(column);
    const auto& b = their_rows.at(column);
    EXPECT_EQ(a[4], b[4]);  // ComplexID
    EXPECT_EQ(mine.at(*a[3]).first, "Table1");
    for (size_t id : {1, 2, 3}) EXPECT_EQ(mine.at(*a[id]).second, theirs.at(*b[id]).second) << "catalog flags";
    const std::string my_template = mine.at(*a[1]).first, their_template = theirs.at(*b[1]).first;
    EXPECT_EQ(my_template.substr(0, 18), their_template.substr(0, 18));  // the kind: ..._Text, ..._Attachment, ...VH_
    EXPECT_EQ(FlatRowsOf(twin.path(), mine.at(*a[2]).first), FlatRowsOf(RealFile(name), theirs.at(*b[2]).first));
  }
  const std::vector<std::string> kinds{"AllowMultipleValues", "AppendOnly"};
  EXPECT_EQ(Properties(twin.path(), "Table1", kinds), Properties(RealFile(name), "Table1", kinds));
}

// A Null result of any type, Yes/No included, has its null bit clear: an
// empty cell (no wrapping, no long-value header), or where asked for the
// wrapping around nothing (a memo's in its long value).
TEST(AccessWrittenFilesTest, NullResultsHaveTheNullBitClear) {
  struct Kind {
    T entry, result;
  };
  const Kind kinds[] = {{T::kText, T::kText},       {T::kText, T::kMemo},        {T::kInteger, T::kBoolean},
                        {T::kLong, T::kLong},       {T::kDouble, T::kCurrency},  {T::kDecimal, T::kSingle},
                        {T::kDouble, T::kDecimal},  {T::kDouble, T::kDouble},    {T::kDouble, T::kDateTime},
                        {T::kByte, T::kByte},       {T::kInteger, T::kInteger},  {T::kLong, T::kGuid}};
  std::vector<Column> columns{{"Id", T::kLong}};
  std::vector<Value> nulls{Value::Int(1)};
  for (bool wrap : {false, true}) {
    for (const Kind& k : kinds) {
      Column c{"C" + std::to_string(columns.size()), k.entry, 50};
      c.calculated = true;
      c.result_type = k.result;
      c.wrap_null_results = wrap;
      columns.push_back(c);
      nulls.push_back(Value());
    }
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
  const auto rows = Rows(file.path(), "T");
  ASSERT_EQ(rows.size(), 1u);
  const std::vector<MdbCell>& row = rows[0];
  ASSERT_EQ(row.size(), columns.size());
  const std::string wrapping(23, '\0');
  for (size_t c = 1; c < row.size(); ++c) {
    const bool memo = *columns[c].result_type == T::kMemo;
    EXPECT_TRUE(row[c].null) << columns[c].name;
    if (!columns[c].wrap_null_results) {
      EXPECT_EQ(row[c].stored, "") << columns[c].name;
    } else if (memo) {
      EXPECT_EQ(Hex(row[c].stored.substr(0, 4)), "17000080") << columns[c].name;  // 23 bytes, inline
    } else {
      EXPECT_EQ(Hex(row[c].stored), Hex(wrapping)) << columns[c].name;
    }
  }
}

}  // namespace
}  // namespace accessdb_test
