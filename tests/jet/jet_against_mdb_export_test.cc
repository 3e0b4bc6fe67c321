// The reader against an independent one: every table of each database below
// read through jet/ and through mdb-export (mdbtools' libmdb, the test
// oracle), value by value, wherever libmdb is known to read a kind right.
//
// The databases are written here by the project's writer, or were written
// by Access (tests/data/real-access/); a file of any other origin is one more
// row of kFiles (its path from the source tree).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <optional>
#include <vector>

#include "jet/jet_catalog.h"
#include "jet/jet_table_cursor.h"
#include "runtime/date_time.h"
#include "runtime/utf8.h"
#include "tests/platform/automation/temp_directory.h"
#include "tests/tools/mdb_programs.h"
#include "tests/tools/test_support.h"
#include "tools/accessdb/database_writer.h"
#include "tools/accessdb/json_tables.h"
#include "tools/accessdb/outline_database.h"

using accessdb::ColumnType;
using accessdb::Value;

namespace {

// What mdb-export prints for a value (nullopt: its null marker), or why the
// value cannot be compared.
struct Expected {
  std::optional<std::string> text;
  const char* skip = nullptr;
};
Expected Skip(const char* why) { return Expected{std::nullopt, why}; }

std::string Printf(const char* format, double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, format, v);
  return buf;
}

// libmdb's text of text and memo values.
Expected ExportedText(const UnicodeString& s) {
  if (s.empty()) return Expected{std::nullopt};  // libmdb reads empty text as null
  UnicodeString seen = s.substr(0, s.find(u'\0'));  // and stops at U+0000
  for (char16_t& c : seen)
    if (c >= 0xD800 && c <= 0xDFFF) c = u'?';  // one "?" for each half of a character beyond the BMP
  std::string utf8 = ToUtf8(seen);
  if (utf8.size() > 199999) return Skip("mdb-export stops a value at 199,999 bytes");
  return Expected{utf8};
}

// Why libmdb does not read a column's values right, or nullptr: these kinds
// are not compared.
const char* NotComparable(const JetTableDefinition::Column& c) {
  if (c.calculated) return "libmdb prints a calculated column's wrapping, not its result";
  switch (c.type) {
    case kJetNumeric: return "libmdb 1.0 swaps a Decimal column's precision and scale";
    case kJetBigInt:
    case kJetDateTimeExtended: return "libmdb 1.0 does not know the type";
    default: return nullptr;
  }
}

// How mdb-export prints each kind of value.
Expected ExportedValue(const JetTableDefinition::Column& c, const Variant& v) {
  if (v.IsNull()) return Expected{std::nullopt};
  switch (c.type) {
    case kJetBoolean: return Expected{v.ToBoolean() ? "1" : "0"};
    case kJetByte:
    case kJetInteger:
    case kJetLong:
    case kJetComplex: return Expected{std::to_string(v.ToInt64())};  // the key of its values' rows
    case kJetCurrency: return Expected{accessdb_test::CurrencyText(v.AsCurrency().scaled)};
    case kJetSingle: return Expected{Printf("%.8g", v.ToDouble())};
    case kJetDouble: return Expected{Printf("%.16g", v.ToDouble())};
    case kJetDateTime: {
      // libmdb rounds to whole seconds without carrying into the next day,
      // and prints only 1899-12-31 to about 4637 right.
      const double days = v.AsDate();
      const double seconds = std::floor(std::fabs(days - std::trunc(days)) * 86400.0 + 0.5);
      if (days < 2.0 || days >= 1000000.0 || seconds >= 86400) return Skip("libmdb's dates: 1900 to 4637 only");
      const DateParts d = DecodeDate(std::trunc(days));
      const int s = static_cast<int>(seconds);
      char buf[40];
      std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d", d.year, d.month, d.day, s / 3600, s / 60 % 60,
                    s % 60);
      return Expected{std::string(buf)};
    }
    case kJetText:
    case kJetMemo: return ExportedText(v.AsStringRef());
    case kJetBinary: {
      const Variant::Bytes& b = v.AsBytes();
      const std::string bytes(b.begin(), b.end());
      const std::string cut = bytes.substr(0, bytes.find('\0'));  // libmdb stops binary at 0x00
      if (cut.empty()) return Expected{std::nullopt};
      return Expected{accessdb_test::Hex(cut)};
    }
    case kJetOle: {
      const Variant::Bytes& b = v.AsBytes();
      if (2 * b.size() > 199999) return Skip("mdb-export stops a value at 199,999 bytes");
      return Expected{accessdb_test::Hex(std::string(b.begin(), b.end()))};
    }
    case kJetGuid: {
      // libmdb writes {8-4-4-16}, without the last dash, and -b hex prints
      // that text's bytes.
      std::string text = ToUtf8(v.AsStringRef());
      return Expected{accessdb_test::Hex(text.erase(24, 1))};
    }
    default: return Skip("a kind libmdb does not know (an unknown type number)");
  }
}

// What mdb-export should print for each row of `cursor`'s table, in jet/'s
// order. Every value is read, compared or not; calculated results are read by
// their own tests.
std::vector<std::vector<Expected>> ExpectedRows(JetTableCursor& cursor) {
  const auto& columns = cursor.Columns();
  std::vector<std::vector<Expected>> rows;
  for (bool more = cursor.MoveFirst(); more; more = cursor.MoveNext()) {
    std::vector<Expected> row;
    for (size_t i = 0; i < columns.size(); ++i) {
      if (columns[i].calculated) {
        row.push_back(Skip("read by the calculated columns' own tests"));
        continue;
      }
      const Variant value = cursor.Value(i);
      const char* why = NotComparable(columns[i]);
      row.push_back(why ? Skip(why) : ExportedValue(columns[i], value));
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

// Compares every table of `path`, system tables included; the number of
// values compared. Rows are matched in order, except that libmdb lists a
// record Access moved off its page where the record lies, and jet/ where its
// overflow pointer stands: an exported row out of place is looked for among
// the rows not yet matched.
int CompareEveryTable(const std::string& path) {
  auto file = std::make_shared<const JetFile>(FromUtf8(path));
  const JetCatalog catalog(file);
  int compared = 0;
  for (const JetCatalog::Object& table : catalog.Objects()) {
    if (!table.IsLocalTable()) continue;
    const std::string name = ToUtf8(table.name);
    SCOPED_TRACE(name);
    JetTableCursor cursor(file, table.name, table.DefinitionPage());
    const auto& columns = cursor.Columns();
    const std::vector<std::vector<Expected>> rows = ExpectedRows(cursor);
    std::vector<bool> matched(rows.size());
    size_t line = 0;
    accessdb_test::MdbExportRows(path, name, [&](const accessdb_test::CsvRow& exported) {
      if (line++ == 0) {  // the header: the column names, in the same order
        ASSERT_EQ(exported.size(), columns.size());
        for (size_t i = 0; i < columns.size(); ++i) EXPECT_EQ(exported[i], ToUtf8(columns[i].name));
        return;
      }
      ASSERT_EQ(exported.size(), columns.size());
      auto same = [&](size_t at) {
        if (at >= rows.size() || matched[at]) return false;
        for (size_t i = 0; i < columns.size(); ++i)
          if (!rows[at][i].skip && exported[i] != rows[at][i].text) return false;
        return true;
      };
      const size_t inPlace = line - 2;
      size_t at = inPlace;
      for (size_t k = 0; !same(at) && k < rows.size(); ++k) at = k;
      if (!same(at)) {
        ADD_FAILURE() << "row " << line - 1 << " of mdb-export matches no row of jet/";
        for (size_t i = 0; inPlace < rows.size() && i < columns.size(); ++i) {
          if (rows[inPlace][i].skip) continue;
          EXPECT_EQ(exported[i], rows[inPlace][i].text) << "column " << ToUtf8(columns[i].name);
        }
        return;
      }
      matched[at] = true;
      for (const Expected& e : rows[at]) compared += e.skip ? 0 : 1;
    });
    EXPECT_EQ(line == 0 ? 0 : line - 1, rows.size()) << "mdb-export's rows against jet/'s";
  }
  return compared;
}

// The writer's databases: every kind it stores, in both formats and as an
// Access 2010 file, with their extremes, nulls, long values of every storage,
// wide tables, long Jet 3 rows, and generated outlines.
void WriteKinds(const std::string& path, accessdb::Format format, int aceVersion, int codePage) {
  accessdb::DatabaseOptions options;
  options.format = format;
  options.ace_version = aceVersion;
  options.code_page = codePage;
  accessdb::DatabaseWriter w(path, options);
  w.BeginTable("Kinds", {{"Flag", ColumnType::kBoolean},  {"Tiny", ColumnType::kByte},     {"Short", ColumnType::kInteger},
                         {"Whole", ColumnType::kLong},    {"Money", ColumnType::kCurrency}, {"Float", ColumnType::kSingle},
                         {"Real", ColumnType::kDouble},   {"When", ColumnType::kDateTime},  {"Label", ColumnType::kText, 255},
                         {"Notes", ColumnType::kMemo},    {"Blob", ColumnType::kBinary, 255}, {"Object", ColumnType::kOle}});
  const std::string text = codePage == 1251 ? "\xD0\x96\xD0\xB0\xD1\x80 \xD0\xBF\xD1\x82\xD0\xB8\xD1\x86\xD0\xB0"
                                            : "Caf\xC3\xA9 \"q\", \xE2\x82\xAC";
  for (int i = 0; i < 400; ++i) {
    const bool nulls = i % 7 == 3;
    auto value = [&](Value v) { return nulls ? Value::Null() : v; };
    w.AddRow({Value::Bool(i % 2 == 0), value(Value::Int(i % 256)), value(Value::Int(i * 81 - 16000)),
              value(Value::Int(i * 5000011 - 1000000000)), value(Value::Currency(i * 123456789LL - 7)),
              value(Value::Double(i * 0.37 - 50)), value(Value::Double(i * 1e10 / 3 - 1e9)),
              value(Value::DateTime(2.25 + i * 97.125)), value(Value::Text(text + std::string(static_cast<size_t>(i % 200), 't'))),
              value(Value::Text(std::string(static_cast<size_t>(i * 37 % 9000), 'm') + text)),
              value(Value::Bytes(accessdb_test::Bytes(i % 255 + 1, static_cast<uint32_t>(i)))),
              value(Value::Bytes(accessdb_test::Bytes(i * 53 % 7000, static_cast<uint32_t>(i) + 1)))});
  }
  w.EndTable();
  // Rows longer than 256 bytes (Jet 3 jump tables), and a definition over several pages.
  std::vector<accessdb::Column> wide;
  std::vector<Value> row;
  for (int i = 0; i < 90; ++i) {
    wide.push_back({"Wide column " + std::to_string(i) + std::string(40, 'w'), i % 3 ? ColumnType::kText : ColumnType::kLong, 30});
    row.push_back(i % 3 ? Value::Text(std::string(static_cast<size_t>(i % 30), 'v')) : Value::Int(i));
  }
  w.BeginTable("Wide", wide);
  for (int i = 0; i < 20; ++i) w.AddRow(row);
  w.EndTable();
  w.Finish();
}

struct DatabaseFile {
  const char* name;
  std::function<void(const std::string& path)> write;  // empty: a file of the source tree
};

const DatabaseFile kFiles[] = {
    {"kinds-jet3-1252.mdb", [](const std::string& p) { WriteKinds(p, accessdb::Format::kJet3, 0, 1252); }},
    {"kinds-jet3-1251.mdb", [](const std::string& p) { WriteKinds(p, accessdb::Format::kJet3, 0, 1251); }},
    {"kinds-jet4.mdb", [](const std::string& p) { WriteKinds(p, accessdb::Format::kJet4, 0, 1252); }},
    {"kinds-ace2010.accdb", [](const std::string& p) { WriteKinds(p, accessdb::Format::kJet4, 3, 1252); }},
    {"outline-jet3.xtp",
     [](const std::string& p) {
       accessdb::OutlineOptions o;
       o.format = accessdb::Format::kJet3;
       accessdb::GeneratorOptions g;
       g.nodes = 300;
       g.content_bytes = 700;
       accessdb::WriteGeneratedOutlineDatabase(p, o, g);
     }},
    {"outline-jet4-two-byte.xrd",
     [](const std::string& p) {
       accessdb::OutlineOptions o;
       o.variant = accessdb::OutlineVariant::kGleanery;
       o.compress_text = false;
       accessdb::GeneratorOptions g;
       g.nodes = 300;
       g.content_bytes = 3000;
       accessdb::WriteGeneratedOutlineDatabase(p, o, g);
     }},
    // Calculated columns as Access writes them (results of another type than
    // the column entry's, Decimal results in their own layout), written from
    // the values of the Access-written file: their other columns and the
    // catalog are compared.
    {"calculated-ace2010.accdb",
     [](const std::string& p) {
       std::ifstream values(std::string(ARVOLINE_SOURCE_DIR) +
                            "/tests/data/real-access/expected/calcFieldTestV2010.accdb.json");
       accessdb::WriteTablesJson(values, p);
     }},
    {"tests/data/real-access/testV1997.mdb", {}},
    {"tests/data/real-access/test2V2000.mdb", {}},
    {"tests/data/real-access/fixedNumericTestV2003.mdb", {}},
    {"tests/data/real-access/unsupportedFieldsTestV2007.accdb", {}},
    {"tests/data/real-access/complexDataTestV2010.accdb", {}},
    {"tests/data/real-access/calcFieldTestV2010.accdb", {}},
};

void PrintTo(const DatabaseFile& f, std::ostream* os) { *os << f.name; }

class JetAgainstMdbExport : public ::testing::TestWithParam<DatabaseFile> {};

}  // namespace

TEST_P(JetAgainstMdbExport, EveryTableReadsAsLibmdbReadsIt) {
  TempDirectory dir;
  std::string path = std::string(ARVOLINE_SOURCE_DIR) + "/" + GetParam().name;
  if (GetParam().write) {
    path = dir.File(GetParam().name);
    GetParam().write(path);
  }
  EXPECT_GT(CompareEveryTable(path), 100);
}

INSTANTIATE_TEST_SUITE_P(Files, JetAgainstMdbExport, ::testing::ValuesIn(kFiles), [](const auto& info) {
  std::string name;
  for (char c : std::string(info.param.name)) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return name;
});
