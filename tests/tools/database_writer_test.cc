// Writes databases with the writer and reads every value back through libmdb
// (in process) and the mdb-export / mdb-json programs.
#include "tools/accessdb/database_writer.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cfloat>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>

#include "tests/tools/libmdb_table_reader.h"
#include "tests/tools/mdb_programs.h"
#include "tests/tools/test_support.h"
#include "tools/accessdb/header_page.h"
#include "tools/accessdb/jet_format.h"

namespace accessdb_test {
namespace {

using accessdb::Column;
using accessdb::ColumnType;
using accessdb::DatabaseOptions;
using accessdb::DatabaseWriter;
using accessdb::Format;
using accessdb::Value;
using T = ColumnType;

const char* FormatName(Format f) { return f == Format::kJet4 ? "Jet4" : "Jet3"; }

DatabaseOptions Options(Format format, int code_page = 1252) {
  DatabaseOptions o;
  o.format = format;
  o.code_page = code_page;
  return o;
}

Value Date(const std::string& iso) { return Value::DateTime(accessdb::ParseDateTime(iso)); }

// What each reader should give for one written value.
std::string SingleText(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.8g", static_cast<double>(static_cast<float>(v)));
  return buf;
}
std::string DoubleText(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.16g", v);
  return buf;
}

// libmdb's date text is only right from 1900 to about 4637.
bool LibmdbDateRange(const Value& v) { return v.as_double() >= 2.0 && v.as_double() < 1000000.0; }

// libmdb prints a GUID in upper case and without the hyphen before its last group.
std::string LibmdbGuidText(const Value& v) {
  std::string text;
  for (char c : v.as_string()) text += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text.erase(24, 1);
}

// The value mdb-export prints (std::nullopt: the null marker); "skip" where
// libmdb is known to print something else (dates outside its range).
std::optional<std::string> ExportText(T type, const Value& v) {
  if (v.is_null()) return std::nullopt;
  switch (type) {
    case T::kBoolean: return v.as_bool() ? "1" : "0";
    case T::kByte:
    case T::kInteger:
    case T::kLong: return std::to_string(v.as_int());
    case T::kCurrency: return CurrencyText(v.as_int());
    case T::kSingle: return SingleText(v.as_double());
    case T::kDouble: return DoubleText(v.as_double());
    case T::kDateTime:
      if (!LibmdbDateRange(v)) return std::string("skip");
      return accessdb::FormatDateTime(accessdb::FromAccessDays(v.as_double()));
    case T::kText:
    case T::kMemo:
      if (v.as_string().empty()) return std::nullopt;  // libmdb: empty text is null
      return v.as_string().substr(0, 199999);          // mdb-export's longest value
    case T::kBinary: {
      const std::string cut = v.as_string().substr(0, v.as_string().find('\0'));  // libmdb stops at 0x00
      if (cut.empty()) return std::nullopt;
      return Hex(cut);
    }
    case T::kOle: return Hex(v.as_string());
    case T::kGuid: return Hex(LibmdbGuidText(v));  // "-b hex" also applies to its text
    case T::kDecimal:
    case T::kDateTimeExtended:
    case T::kComplex: return std::string("skip");  // libmdb 1.0 misreads these; checked through the DAO engine
  }
  return std::nullopt;
}

void ExpectLibmdbCell(T type, const Value& v, const MdbCell& cell, const std::string& where) {
  SCOPED_TRACE(where);
  if (type == T::kBoolean) {
    EXPECT_EQ(cell.text, v.as_bool() ? "1" : "0");
    return;
  }
  ASSERT_EQ(cell.null, v.is_null());
  if (v.is_null()) return;
  switch (type) {
    case T::kByte:
    case T::kInteger:
    case T::kLong: EXPECT_EQ(cell.text, std::to_string(v.as_int())); break;
    case T::kCurrency: EXPECT_EQ(cell.text, CurrencyText(v.as_int())); break;
    case T::kSingle: EXPECT_EQ(cell.number, static_cast<double>(static_cast<float>(v.as_double()))); break;
    case T::kDouble: EXPECT_EQ(cell.number, v.as_double()); break;
    case T::kDateTime: EXPECT_EQ(cell.number, v.as_double()); break;
    case T::kText: EXPECT_EQ(cell.text, v.as_string()); break;
    case T::kGuid: EXPECT_EQ(cell.text, LibmdbGuidText(v)); break;
    case T::kMemo:
      EXPECT_EQ(cell.raw.size(), v.as_string().size());
      EXPECT_TRUE(cell.raw == v.as_string());
      break;
    case T::kBinary:
    case T::kOle:
      EXPECT_EQ(cell.raw.size(), v.as_string().size());
      EXPECT_TRUE(cell.raw == v.as_string());
      break;
    default: break;
  }
}

struct TableSpec {
  std::string name;
  std::vector<Column> columns;
  std::vector<std::vector<Value>> rows;
};

void Write(const std::string& path, const DatabaseOptions& options, const std::vector<TableSpec>& tables) {
  DatabaseWriter w(path, options);
  for (const TableSpec& t : tables) {
    w.BeginTable(t.name, t.columns);
    for (const auto& r : t.rows) w.AddRow(r);
    w.EndTable();
  }
  w.Finish();
}

// Every value through libmdb, mdb-export and mdb-json.
void ExpectAllReadersAgree(const std::string& path, const TableSpec& t, bool programs = true) {
  LibmdbTableReader reader(path);
  std::vector<MdbColumnInfo> columns;
  size_t r = 0;
  const std::uint64_t count = reader.Read(t.name, &columns, [&](const std::vector<MdbCell>& cells) {
    ASSERT_LT(r, t.rows.size());
    for (size_t c = 0; c < t.columns.size(); ++c) {
      ExpectLibmdbCell(t.columns[c].type, t.rows[r][c], cells[c],
                       "libmdb row " + std::to_string(r + 1) + " column " + t.columns[c].name);
    }
    ++r;
  });
  ASSERT_EQ(count, t.rows.size());
  ASSERT_EQ(columns.size(), t.columns.size());
  for (size_t c = 0; c < columns.size(); ++c) {
    EXPECT_EQ(columns[c].name, t.columns[c].name);
    EXPECT_EQ(columns[c].type, static_cast<int>(t.columns[c].type));
  }
  if (!programs) return;

  const auto exported = MdbExport(path, t.name);
  ASSERT_EQ(exported.size(), t.rows.size() + 1);
  for (size_t c = 0; c < t.columns.size(); ++c) EXPECT_EQ(exported[0][c], t.columns[c].name);
  const auto json = MdbJson(path, t.name);
  ASSERT_EQ(json.size(), t.rows.size());
  for (size_t i = 0; i < t.rows.size(); ++i) {
    ASSERT_EQ(exported[i + 1].size(), t.columns.size());
    for (size_t c = 0; c < t.columns.size(); ++c) {
      SCOPED_TRACE("row " + std::to_string(i + 1) + " column " + t.columns[c].name);
      const T type = t.columns[c].type;
      const std::optional<std::string> want = ExportText(type, t.rows[i][c]);
      if (want && *want == "skip") continue;
      EXPECT_EQ(exported[i + 1][c], want) << "mdb-export";
      // mdb-json: null and empty cells are absent; binary comes as base64, text as strings.
      const nlohmann::json& row = json[i];
      const std::string& name = t.columns[c].name;
      if (!want) {
        EXPECT_FALSE(row.contains(name)) << "mdb-json";
        continue;
      }
      ASSERT_TRUE(row.contains(name)) << "mdb-json";
      const nlohmann::json& got = row[name];
      switch (type) {
        case T::kBinary:
        case T::kGuid:  // mdb-json gives a GUID as the base64 of its text
        case T::kOle: EXPECT_TRUE(got.contains("$binary")) << "mdb-json"; break;
        default: EXPECT_EQ(got.get<std::string>(), *want) << "mdb-json"; break;
      }
    }
  }
}

class WriterTest : public ::testing::TestWithParam<Format> {};

INSTANTIATE_TEST_SUITE_P(Formats, WriterTest, ::testing::Values(Format::kJet4, Format::kJet3),
                         [](const auto& info) { return std::string(FormatName(info.param)); });

TEST_P(WriterTest, EveryTypeWithExtremesAndNullsReadsBack) {
  const std::int64_t i64max = std::numeric_limits<std::int64_t>::max();
  const std::int64_t i64min = std::numeric_limits<std::int64_t>::min();
  TableSpec t{"Every Type",
              {{"Flag", T::kBoolean, 0}, {"Tiny", T::kByte, 0}, {"Short", T::kInteger, 0},
               {"Whole", T::kLong, 0}, {"Money", T::kCurrency, 0}, {"Float", T::kSingle, 0},
               {"Real", T::kDouble, 0}, {"When", T::kDateTime, 0}, {"Label", T::kText, 255},
               {"Notes", T::kMemo, 0}, {"Blob", T::kBinary, 255}, {"Object", T::kOle, 0},
               {"Key", T::kGuid, 0}},
              {}};
  const std::string text255 = Utf8Text(255, 1, true);
  t.rows = {
      {Value::Bool(true), Value::Int(255), Value::Int(32767), Value::Int(2147483647),
       Value::Currency(i64max), Value::Double(FLT_MAX), Value::Double(DBL_MAX),
       Date("9999-12-31T23:59:59"), Value::Text(text255), Value::Text(""),
       Value::Bytes(Bytes(255, 2)), Value::Bytes(""), Value::Text("{FFFFFFFF-FFFF-FFFF-FFFF-FFFFFFFFFFFF}")},
      {Value::Bool(false), Value::Int(0), Value::Int(-32768), Value::Int(-2147483647 - 1),
       Value::Currency(i64min), Value::Double(-FLT_MIN), Value::Double(-4.9e-324),
       Date("0100-01-01T00:00:00"), Value::Text(""), Value::Text(Utf8Text(3000, 3, true)),
       Value::Bytes(std::string("\x01", 1)), Value::Bytes(Bytes(3000, 4)),
       Value::Text("{00000000-0000-0000-0000-000000000001}")},
      {Value::Bool(true), Value(), Value(), Value(), Value(), Value(), Value(), Value(), Value(),
       Value(), Value(), Value(), Value()},
      {Value::Bool(false), Value::Int(7), Value::Int(-1), Value::Int(123456),
       Value::Currency(-12345), Value::Double(3.25), Value::Double(3.141592653589793),
       Date("1899-12-29T06:00:00"), Value::Text("h\xC3\xA9llo w\xC3\xB6rld \xE2\x82\xAC \"q\", x"),
       Value::Text("line one\r\nline \"two\"\ttab \xE2\x82\xAC"),
       Value::Bytes(std::string("\xFF\x00\x10", 3)), Value::Bytes(std::string("\x00", 1)),
       Value::Text("{6b29fc40-ca47-1067-b31d-00dd010662da}")},
      {Value::Bool(true), Value::Int(128), Value::Int(1000), Value::Int(-5),
       Value::Currency(10000), Value::Double(-0.1), Value::Double(1e-300),
       Date("2024-02-29T12:34:56"), Value::Text("x"), Value::Text(Utf8Text(64, 5, true)),
       Value::Bytes("ab"), Value::Bytes(Bytes(65, 6)), Value::Text("{6B29FC40-CA47-1067-B31D-00DD010662DA}")},
  };
  TempFile file(std::string("types-") + FormatName(GetParam()) + ".mdb");
  Write(file.path(), Options(GetParam()), {t});
  ExpectAllReadersAgree(file.path(), t);
}

TEST_P(WriterTest, LongValuesOfEverySizeReadBack) {
  // Around the inline limit (64), one long-value row (up to 4076 / 2032 bytes
  // stored) and chains (4072 / 2028 data bytes a row), up to 4 MB.
  const int sizes[] = {0, 1, 63, 64, 65, 1000, 2028, 2029, 2032, 2033, 3000, 4056, 4072, 4073,
                       4076, 4077, 8144, 8145, 300000, 4 * 1024 * 1024};
  TableSpec t{"Long Values", {{"Size", T::kLong, 0}, {"Memo", T::kMemo, 0}, {"Ole", T::kOle, 0}}, {}};
  for (int size : sizes) {
    // Jet 4 text: mixed-width characters; Jet 3: code page text (ASCII here).
    t.rows.push_back({Value::Int(size),
                      Value::Text(Utf8Text(static_cast<size_t>(size), static_cast<std::uint32_t>(size),
                                           GetParam() == Format::kJet3 || size % 2 == 0)),
                      Value::Bytes(Bytes(size, static_cast<std::uint32_t>(size) + 1))});
  }
  // Short values in their row as Access keeps them, or every one on
  // long-value pages as other writers store them.
  for (const bool in_row : {true, false}) {
    SCOPED_TRACE(in_row ? "short values in their row" : "every value on long-value pages");
    TempFile file(std::string("long-") + FormatName(GetParam()) + (in_row ? "-in-row" : "-out") + ".mdb");
    DatabaseOptions options = Options(GetParam());
    options.long_values_in_row = in_row;
    Write(file.path(), options, {t});
    ExpectAllReadersAgree(file.path(), t, /*programs=*/false);

    // The 63-byte OLE value behind an in-row header (its length, the in-row
    // flag, eight zero bytes) only where short values stay in their row.
    const std::string ole = Bytes(63, 64);
    const std::string file_bytes = ReadFile(file.path());
    EXPECT_NE(file_bytes.find(ole), std::string::npos);
    EXPECT_EQ(file_bytes.find(std::string("\x3F\0\0\x80", 4) + std::string(8, '\0') + ole) != std::string::npos,
              in_row);

    // mdb-export stops each value at 199,999 bytes; up to there it agrees.
    const auto exported = MdbExport(file.path(), t.name);
    ASSERT_EQ(exported.size(), t.rows.size() + 1);
    for (size_t i = 0; i < t.rows.size(); ++i) {
      SCOPED_TRACE("size " + std::to_string(sizes[i]));
      EXPECT_EQ(exported[i + 1][1], ExportText(T::kMemo, t.rows[i][1]));
    }
  }
}

TEST_P(WriterTest, MillionRowsAcrossDataPagesReadBack) {
  const int kRows = 1000000;
  TempFile file(std::string("million-") + FormatName(GetParam()) + ".mdb");
  const auto started = std::chrono::steady_clock::now();
  {
    DatabaseWriter w(file.path(), Options(GetParam()));
    w.BeginTable("Million", {{"Id", T::kLong, 0}, {"Key", T::kText, 20}, {"Flag", T::kBoolean, 0}});
    for (int i = 0; i < kRows; ++i) {
      w.AddRow({Value::Int(i), Value::Text("K" + std::to_string(i)), Value::Bool(i % 3 == 0)});
    }
    w.EndTable();
    // A second table after the large one: usage maps must keep them apart.
    w.BeginTable("After", {{"Id", T::kLong, 0}});
    w.AddRow({Value::Int(42)});
    w.EndTable();
    w.Finish();
  }
  std::printf("%s: 1,000,000 rows written in %.2f s\n", FormatName(GetParam()),
              std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());

  LibmdbTableReader reader(file.path());
  std::int64_t next = 0;
  bool all_match = true;
  const std::uint64_t count = reader.Read("Million", nullptr, [&](const std::vector<MdbCell>& cells) {
    all_match = all_match && cells[0].text == std::to_string(next) &&
                cells[1].text == "K" + std::to_string(next) &&
                cells[2].text == (next % 3 == 0 ? "1" : "0");
    ++next;
  });
  EXPECT_EQ(count, static_cast<std::uint64_t>(kRows));
  EXPECT_TRUE(all_match) << "first mismatch near row " << next;
  EXPECT_EQ(reader.Read("After", nullptr, [](const std::vector<MdbCell>& c) { EXPECT_EQ(c[0].text, "42"); }), 1u);

  // mdb-export reads the same rows in the same order.
  std::int64_t line = -1;  // the header comes first
  bool export_matches = true;
  MdbExportRows(file.path(), "Million", [&](const CsvRow& r) {
    if (line >= 0) {
      export_matches = export_matches && r.size() == 3 && r[0] == std::to_string(line) &&
                       r[1] == "K" + std::to_string(line) && r[2] == (line % 3 == 0 ? "1" : "0");
    }
    ++line;
  });
  EXPECT_EQ(line, kRows);
  EXPECT_TRUE(export_matches);
}

TEST_P(WriterTest, SeveralTablesWithOddNamesAreListedByEveryReader) {
  const std::string long_name(64, 'N');
  const std::string odd = GetParam() == Format::kJet4 ? "Z\xC3\xBC" "rich / \xD0\x96\xE4\xB8\xAD" : "Z\xC3\xBC" "rich / Bl\xC3\xA4tter";
  std::vector<TableSpec> tables = {
      {"Plain", {{"A", T::kLong, 0}}, {{Value::Int(1)}}},
      {odd, {{"Col with blanks", T::kText, 10}, {odd, T::kLong, 0}}, {{Value::Text("v"), Value::Int(2)}}},
      {long_name, {{long_name, T::kInteger, 0}}, {{Value::Int(3)}}},
      {"Empty Table", {{"Nothing", T::kMemo, 0}}, {}},
  };
  // A table whose definition spans several pages: 120 columns with long names.
  TableSpec wide{"Wide", {}, {{}}};
  for (int i = 0; i < 120; ++i) {
    wide.columns.push_back({"Column number " + std::to_string(i) + " " + std::string(40, 'w'),
                            i % 2 ? T::kText : T::kInteger, 8});
    wide.rows[0].push_back(i % 2 ? Value::Text(std::to_string(i)) : Value::Int(i));
  }
  tables.push_back(wide);
  TempFile file(std::string("names-") + FormatName(GetParam()) + ".mdb");
  Write(file.path(), Options(GetParam()), tables);

  std::vector<std::string> names;
  for (const TableSpec& t : tables) names.push_back(t.name);
  LibmdbTableReader reader(file.path());
  EXPECT_EQ(reader.UserTables(), names);
  EXPECT_EQ(MdbTables(file.path()), names);
  const std::vector<std::string> all = reader.AllTables();
  for (const char* system : {"MSysObjects", "MSysACEs", "MSysQueries", "MSysRelationships"}) {
    EXPECT_NE(std::find(all.begin(), all.end(), system), all.end()) << system;
  }
  for (const TableSpec& t : tables) ExpectAllReadersAgree(file.path(), t);
}

TEST_P(WriterTest, HeaderPageCarriesFormatCodePageAndEmptyPassword) {
  TempFile file(std::string("header-") + FormatName(GetParam()) + ".mdb");
  DatabaseOptions o = Options(GetParam(), GetParam() == Format::kJet3 ? 1251 : 1252);
  o.creation_date = 45678.25;
  Write(file.path(), o, {{"T", {{"A", T::kText, 10}}, {{Value::Text("\xD0\x9F\xD1\x80\xD0\xB8")}}}});

  const accessdb::JetFormat& f = accessdb::FormatConstants(GetParam());
  std::ifstream in(file.path(), std::ios::binary);
  accessdb::Bytes page(static_cast<size_t>(f.page_size));
  in.read(reinterpret_cast<char*>(page.data()), f.page_size);
  ASSERT_TRUE(in);
  in.seekg(0, std::ios::end);
  EXPECT_EQ(static_cast<long>(in.tellg()) % f.page_size, 0);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(&page[4]), 15), "Standard Jet DB");
  EXPECT_EQ(page[0x14], f.jet4() ? 1 : 0);
  accessdb::ToggleHeaderMask(f, page);
  EXPECT_EQ(page[0x3C] | page[0x3D] << 8, o.code_page);
  for (int i = 0x3E; i < 0x42; ++i) EXPECT_EQ(page[static_cast<size_t>(i)], 0) << "page key";
  if (f.jet4()) {
    double date;
    std::memcpy(&date, &page[0x72], 8);
    EXPECT_EQ(date, 45678.25);
    // Empty password: the 40 bytes are the creation day's 4 bytes, repeated.
    for (int i = 0; i < 40; ++i) EXPECT_EQ(page[static_cast<size_t>(0x42 + i)], (45678u >> (8 * (i % 4))) & 0xFF);
    EXPECT_EQ(page[0x6E] | page[0x6F] << 8, 0x0409);
  } else {
    for (int i = 0; i < 20; ++i) EXPECT_EQ(page[static_cast<size_t>(0x42 + i)], 0);
    EXPECT_EQ(page[0x3A] | page[0x3B] << 8, 0x0409);
  }

  LibmdbTableReader reader(file.path());
  EXPECT_EQ(reader.jet_version(), f.jet4() ? 1 : 0);
  EXPECT_EQ(reader.code_page(), o.code_page);
  EXPECT_EQ(reader.CatalogProperty("MSysDb", "AccessVersion"), f.jet4() ? "08.50" : "07.53");
  // Jet 3 stores the text in code page 1251; libmdb converts it back.
  reader.Read("T", nullptr, [](const std::vector<MdbCell>& c) { EXPECT_EQ(c[0].text, "\xD0\x9F\xD1\x80\xD0\xB8"); });
}

TEST_P(WriterTest, BadValuesAreRefusedAndLeaveTheWriterUsable) {
  struct Case {
    Column column;
    Value value;
    const char* message;
  };
  const Case cases[] = {
      {{"B", T::kBoolean, 0}, Value(), "a boolean column cannot hold null"},
      {{"B", T::kByte, 0}, Value::Int(256), "256 is out of range for a byte column"},
      {{"B", T::kByte, 0}, Value::Int(-1), "-1 is out of range for a byte column"},
      {{"I", T::kInteger, 0}, Value::Int(32768), "32768 is out of range for a integer column"},
      {{"L", T::kLong, 0}, Value::Int(2147483648LL), "2147483648 is out of range for a long column"},
      {{"L", T::kLong, 0}, Value::Text("1"), "a long column cannot hold a text value"},
      {{"C", T::kCurrency, 0}, Value::Double(1e16), "currency out of range"},
      {{"S", T::kSingle, 0}, Value::Double(1e39), "the number is out of range for a single column"},
      {{"D", T::kDouble, 0}, Value::Double(std::nan("")), "the number is not finite"},
      {{"T", T::kText, 3}, Value::Text("abcd"), "exceeds the column size 3"},
      {{"T", T::kText, 3}, Value::Text("\xFF"), "text is not valid UTF-8"},
      {{"X", T::kBinary, 2}, Value::Bytes("abc"), "3 bytes exceed the column size 2"},
      {{"M", T::kMemo, 0}, Value::Bytes("abc"), "a memo column cannot hold a bytes value"},
      {{"W", T::kDateTime, 0}, Value::DateTime(2958466.5), "date/time outside the years 100 to 9999"},
      {{"G", T::kGuid, 0}, Value::Text("6B29FC40-CA47-1067-B31D-00DD010662DA"), "is not a GUID"},
      {{"G", T::kGuid, 0}, Value::Int(1), "a guid column cannot hold a integer value"},
  };
  TempFile file(std::string("errors-") + FormatName(GetParam()) + ".mdb");
  DatabaseWriter w(file.path(), Options(GetParam()));
  int table = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    w.BeginTable("T" + std::to_string(++table), {c.column, {"Ok", T::kLong, 0}});
    try {
      w.AddRow({c.value, Value::Int(1)});
      ADD_FAILURE() << "no error";
    } catch (const std::invalid_argument& e) {
      const std::string what = e.what();
      EXPECT_NE(what.find("table \"T" + std::to_string(table) + "\", row 1, column \"" + c.column.name + "\": "), std::string::npos) << what;
      EXPECT_NE(what.find(c.message), std::string::npos) << what;
    }
    // The refused row left nothing behind; the next row is row 1.
    const Value good = c.column.type == T::kBoolean ? Value::Bool(true) : Value();
    w.AddRow({good, Value::Int(2)});
    w.EndTable();
  }
  EXPECT_THROW(w.AddRow({Value::Int(1)}), std::logic_error);
  EXPECT_THROW(w.BeginTable("msysX", {{"A", T::kLong, 0}}), std::invalid_argument);
  EXPECT_THROW(w.BeginTable("T1", {{"A", T::kLong, 0}}), std::invalid_argument);
  EXPECT_THROW(w.BeginTable("Dup", {{"A", T::kLong, 0}, {"a", T::kLong, 0}}), std::invalid_argument);
  EXPECT_THROW(w.BeginTable("Size", {{"A", T::kText, 256}}), std::invalid_argument);
  Column not_calculated{"A", T::kLong};
  not_calculated.result_type = T::kText;
  EXPECT_THROW(w.BeginTable("Result", {not_calculated}), std::invalid_argument);
  Column first_layout{"A", T::kLong};
  first_layout.calculated = first_layout.wrap_null_results = true;  // wrapping Nulls needs a result type
  EXPECT_THROW(w.BeginTable("Wrapped", {first_layout}), std::invalid_argument);
  EXPECT_THROW(w.BeginTable(std::string(65, 'n'), {{"A", T::kLong, 0}}), std::invalid_argument);
  w.Finish();

  LibmdbTableReader reader(file.path());
  for (int i = 1; i <= table; ++i) {
    EXPECT_EQ(reader.Read("T" + std::to_string(i), nullptr,
                          [](const std::vector<MdbCell>& c) { EXPECT_EQ(c[1].text, "2"); }),
              1u);
  }
}

TEST(WriterTextTest, Jet4TextInEveryStoredFormReadsBack) {
  // Compressed, uncompressed (a character with low byte 0), a leading U+FEFF,
  // and text beyond the code page that Jet 3 refuses.
  TableSpec t{"Texts", {{"Text", T::kText, 50}, {"Memo", T::kMemo, 0}}, {}};
  for (const char* s : {"plain ascii", "caf\xC3\xA9 \xE2\x82\xAC", "\xC4\x80" "A", "\xEF\xBB\xBF" "bom first",
                        "\xE4\xB8\xAD\xE6\x96\x87 mixed \xC3\xA9", "\xD0\x96"}) {
    t.rows.push_back({Value::Text(s), Value::Text(std::string(s) + std::string(100, 'm'))});
  }
  TempFile file("texts.mdb");
  Write(file.path(), Options(Format::kJet4), {t});
  ExpectAllReadersAgree(file.path(), t);

  DatabaseWriter jet3(file.path() + "3", Options(Format::kJet3));
  jet3.BeginTable("T", {{"Text", T::kText, 50}});
  try {
    jet3.AddRow({Value::Text("\xE4\xB8\xAD")});
    ADD_FAILURE() << "no error";
  } catch (const std::invalid_argument& e) {
    EXPECT_NE(std::string(e.what()).find("character U+4E2D is not in code page 1252"), std::string::npos) << e.what();
  }
}

// Access 2007-2019 files share the Jet 4 layout; the newer column kinds are
// Jet 4 only. Their values are checked through the DAO engine's tests, since
// libmdb 1.0 misreads them (that is why the engine reads them itself).
TEST(WriterAceTest, NewerFilesAndColumnKindsAsLibmdbSeesThem) {
  Column decimal{"Amount", T::kDecimal};
  decimal.precision = 10;
  decimal.scale = 2;
  Column calculated{"Full", T::kText, 20};
  calculated.calculated = true;
  const std::vector<Column> columns{decimal, {"At", T::kDateTimeExtended}, calculated};
  for (int version : {2, 3, 4, 5, 6}) {
    TempFile file("ace" + std::to_string(version) + ".accdb");
    DatabaseOptions o = Options(Format::kJet4);
    o.ace_version = version;
    Write(file.path(), o, {{"T", columns, {{Value::Text("-1.5"), Value::Text("2021-03-05T13:45:30"), Value::Text("x")}}}});
    std::ifstream in(file.path(), std::ios::binary);
    std::string header(0x18, '\0');
    in.read(header.data(), 0x18);
    EXPECT_EQ(header.substr(4, 16), std::string("Standard ACE DB", 16));
    LibmdbTableReader reader(file.path());
    EXPECT_EQ(reader.jet_version(), version);
    std::vector<MdbColumnInfo> info;
    EXPECT_EQ(reader.Read("T", &info, [](const std::vector<MdbCell>&) {}), 1u);
    ASSERT_EQ(info.size(), 3u);
    EXPECT_EQ(info[0].type, 0x10);
    EXPECT_EQ(info[1].type, 0x14);
    EXPECT_EQ(info[2].type, 0x0A);
  }
  DatabaseOptions jet3 = Options(Format::kJet3);
  for (const Column& c : columns) {
    TempFile file("jet3-" + c.name + ".mdb");
    EXPECT_THROW(Write(file.path(), jet3, {{"T", {c}, {}}}), std::invalid_argument) << c.name;
  }
  DatabaseOptions bad = Options(Format::kJet3);
  bad.ace_version = 3;
  TempFile file("bad.accdb");
  EXPECT_THROW(DatabaseWriter(file.path(), bad), std::invalid_argument);
}

// A value behind a complex key that its kind cannot hold refuses the whole
// row: neither the row nor any of its values is written.
TEST(WriterComplexTest, BadValuesBehindAKeyWriteNothing) {
  auto complex = [](accessdb::ComplexKind kind, T values = T::kText) {
    Column c{"K", T::kComplex};
    c.complex_kind = kind;
    c.complex_value_type = values;
    return c;
  };
  using K = accessdb::ComplexKind;
  auto items = [](std::vector<Value> values) { return accessdb::ComplexItems{std::move(values), {}, {}}; };
  struct Case {
    Column column;
    Value bad, good;
    const char* message;
  };
  const Case cases[] = {
      {complex(K::kMultiValue, T::kByte), Value::Complex(1, items({Value::Int(7), Value::Int(256)})),
       Value::Complex(1, items({Value::Int(7)})), "256 is out of range for a byte column"},
      {complex(K::kAttachment), Value::Complex(1, items({Value::Text("x")})),
       Value::Complex(1, {{}, {{"a.txt", "txt", "data"}}, {}}), "an attachment column holds attachments only"},
      {complex(K::kKeyOnly), Value::Complex(1, items({Value::Int(1)})), Value::Int(1),
       "a complex column without a kind holds a key only"},
  };
  TempFile file("complex-errors.accdb");
  DatabaseOptions options = Options(Format::kJet4);
  options.ace_version = 3;
  DatabaseWriter w(file.path(), options);
  int table = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    w.BeginTable("T" + std::to_string(++table), {c.column});
    try {
      w.AddRow({c.bad});
      ADD_FAILURE() << "no error";
    } catch (const std::invalid_argument& e) {
      EXPECT_NE(std::string(e.what()).find("row 1, column \"K\": "), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
    }
    w.AddRow({c.good});
  }
  Column no_memo = complex(K::kVersionHistory);
  no_memo.history_of = "Notes";
  Column not_complex{"L", T::kLong};
  not_complex.complex_kind = K::kMultiValue;
  for (const auto& columns : {std::vector<Column>{complex(K::kMultiValue, T::kMemo)}, std::vector<Column>{no_memo},
                              std::vector<Column>{not_complex}}) {
    EXPECT_THROW(w.BeginTable("Refused", columns), std::invalid_argument);
  }
  w.Finish();
  // One row in each table, and in each flat table only the good row's values.
  LibmdbTableReader reader(file.path());
  for (int i = 1; i <= table; ++i) EXPECT_EQ(reader.Read("T" + std::to_string(i), nullptr, [](const auto&) {}), 1u);
  EXPECT_EQ(MdbExport(file.path(), "f_00000000000000000000000000000001_K").size(), 2u);
  EXPECT_EQ(MdbExport(file.path(), "f_00000000000000000000000000000002_K").size(), 2u);
}

TEST(WriterFileTest, UnfinishedDatabaseIsRemoved) {
  TempFile file("unfinished.mdb");
  {
    DatabaseWriter w(file.path(), {});
    w.BeginTable("T", {{"A", T::kLong, 0}});
    w.AddRow({Value::Int(1)});
    std::ifstream exists(file.path());
    EXPECT_TRUE(exists.good());
  }
  std::ifstream gone(file.path());
  EXPECT_FALSE(gone.good());
}

}  // namespace
}  // namespace accessdb_test
