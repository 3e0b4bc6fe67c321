// Column kinds of Access 2000 to 2019 files through the DAO server: Decimal, Date/Time Extended, calculated columns, and linked tables.
// Every file is written by the project's Access writer (tools/accessdb).
#include <gtest/gtest.h>

#include "platform/automation/create_ole_object.h"
#include "runtime/date_time.h"
#include "runtime/exceptions.h"
#include "runtime/utf8.h"
#include "tests/platform/dao/dao_calls.h"
#include "tests/platform/automation/temp_directory.h"
#include "tools/accessdb/database_writer.h"

using accessdb::ColumnType;
using accessdb::Value;
using dao_calls::ErrorOf;
using dao_calls::Field;
using dao_calls::Open;
using dao_calls::OpenTable;

namespace {

// Jet 4 (.mdb), or the same layout marked as an Access 2007, 2010 or 2019 file.
struct FileKind {
  const char* name;
  int aceVersion;
};
const FileKind kFileKinds[] = {{"Jet4", 0}, {"Ace2007", 2}, {"Ace2010", 3}, {"Ace2019", 6}};

accessdb::DatabaseOptions Options(const FileKind& kind) {
  accessdb::DatabaseOptions o;
  o.ace_version = kind.aceVersion;
  return o;
}

TDateTime At(int y, int m, int d, int h = 0, int n = 0, int s = 0) {
  return CombineDateTime(EncodeDate(y, m, d), EncodeTime(h, n, s, 0));
}

class DaoStoredKinds : public ::testing::TestWithParam<FileKind> {
 protected:
  std::string Path(const char* name) { return dir_.File(std::string(GetParam().name) + name); }
  TempDirectory dir_;
};

}  // namespace

// Each Decimal column reads with its own scale: a stored 1 is 1, not 1E-18.
TEST_P(DaoStoredKinds, DecimalColumnsKeepTheirPrecisionAndScale) {
  const std::string path = Path("decimal.mdb");
  struct Case {
    int precision, scale;
    std::vector<std::string> values;  // as written and as read back
  } cases[] = {
      {18, 0, {"1", "-1", "0", "999999999999999999", "-999999999999999999", "12"}},
      {18, 6, {"1", "-50.325", "0", "999999999999.999999", "-999999999999.999999", "0.000001"}},
      {28, 4, {"1", "-50.325", "0", "999999999999999999999999.9999", "-999999999999999999999999.9999", "79228.1625"}},
      {10, 2, {"1", "-50.32", "0", "99999999.99", "-99999999.99", "0.01"}},
  };
  {
    accessdb::DatabaseWriter w(path, Options(GetParam()));
    std::vector<accessdb::Column> columns;
    for (const Case& c : cases) {
      accessdb::Column col{"D" + std::to_string(c.precision) + "_" + std::to_string(c.scale), ColumnType::kDecimal};
      col.precision = c.precision;
      col.scale = c.scale;
      columns.push_back(col);
    }
    w.BeginTable("Numbers", columns);
    for (size_t row = 0; row < cases[0].values.size(); ++row) {
      std::vector<Value> values;
      for (const Case& c : cases) values.push_back(Value::Text(c.values[row]));
      w.AddRow(values);
    }
    w.AddRow({Value::Null(), Value::Null(), Value::Null(), Value::Null()});
    w.Finish();
  }
  Variant rs = OpenTable(Open(path), u"Numbers");
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(Field(rs, i).Get(u"Type").ToInt32(), 20);
    EXPECT_EQ(Field(rs, i).Get(u"Size").ToInt32(), 16);
  }
  for (size_t row = 0; row < cases[0].values.size(); ++row, rs.Call(u"MoveNext")) {
    for (int i = 0; i < 4; ++i) {
      Variant v = Field(rs, i).Get(u"Value");
      ASSERT_EQ(v.Type(), VarType::Decimal) << row << " " << i;
      EXPECT_EQ(ToUtf8(v.ToString()), cases[i].values[row]) << "row " << row << ", column " << i;
    }
  }
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(Field(rs, i).Get(u"Value").IsNull());
}

// Date/Time Extended reads as a Date field: a date-time value in years 100 to
// 9999, the text with its seven fraction digits before year 100.
TEST_P(DaoStoredKinds, DateTimeExtendedColumnsReadAsDates) {
  const std::string path = Path("dtx.mdb");
  {
    accessdb::DatabaseWriter w(path, Options(GetParam()));
    w.BeginTable("Moments", {{"ID", ColumnType::kLong}, {"At", ColumnType::kDateTimeExtended}});
    const char* values[] = {"2021-03-05T13:45:30.1234567", "1899-12-30T00:00:00", "1850-06-01T06:00:00",
                            "0100-01-01T00:00:00", "9999-12-31T23:59:59.9999999", "0001-01-01T00:00:00",
                            "0099-12-31T23:59:59.0000001"};
    int id = 0;
    for (const char* v : values) w.AddRow({Value::Int(++id), Value::Text(v)});
    w.AddRow({Value::Int(++id), Value::Null()});
    w.Finish();
  }
  Variant rs = OpenTable(Open(path), u"Moments");
  EXPECT_EQ(Field(rs, 1).Get(u"Type").ToInt32(), 8);
  struct Expected {
    TDateTime date;
    double fractionOfSecond;
  } dates[] = {
      {At(2021, 3, 5, 13, 45, 30), 0.1234567}, {At(1899, 12, 30), 0}, {At(1850, 6, 1, 6), 0},
      {At(100, 1, 1), 0},                        {At(9999, 12, 31, 23, 59, 59), 0.9999999},
  };
  for (const Expected& e : dates) {
    Variant v = Field(rs, 1).Get(u"Value");
    ASSERT_EQ(v.Type(), VarType::Date) << Field(rs, 0).Get(u"Value").ToInt32();
    const double shift = e.date < 0 ? -1 : 1;  // before 1899-12-30 the time counts away from zero
    EXPECT_NEAR(v.AsDate(), e.date + shift * e.fractionOfSecond / 86400.0, 1e-9);
    rs.Call(u"MoveNext");
  }
  EXPECT_EQ(Field(rs, 1).Get(u"Value"), Variant(u"0001-01-01 00:00:00.0000000"));
  rs.Call(u"MoveNext");
  EXPECT_EQ(Field(rs, 1).Get(u"Value"), Variant(u"0099-12-31 23:59:59.0000001"));
  rs.Call(u"MoveNext");
  EXPECT_TRUE(Field(rs, 1).Get(u"Value").IsNull());
}

// A calculated column gives the value behind its wrapping, with the type of
// its result.
TEST_P(DaoStoredKinds, CalculatedColumnsGiveTheirResults) {
  const std::string path = Path("calc.mdb");
  auto calc = [](const char* name, ColumnType type, int size = 0) {
    accessdb::Column c{name, type, size};
    c.calculated = true;
    return c;
  };
  accessdb::Column price = calc("Price", ColumnType::kDecimal);
  price.precision = 10;
  price.scale = 2;
  {
    accessdb::DatabaseWriter w(path, Options(GetParam()));
    w.BeginTable("People", {{"First", ColumnType::kText, 50},
                            calc("FullName", ColumnType::kText, 100),
                            calc("Age", ColumnType::kLong),
                            calc("Adult", ColumnType::kBoolean),
                            calc("Born", ColumnType::kDateTime),
                            calc("Ratio", ColumnType::kDouble),
                            calc("Notes", ColumnType::kMemo),
                            price,
                            calc("Tiny", ColumnType::kByte)});
    w.AddRow({Value::Text("Bruce"), Value::Text("Wayne, Bruce"), Value::Int(12), Value::Bool(true),
              Value::DateTime(accessdb::ParseDateTime("1972-02-19T07:30:00")), Value::Double(-2.5),
              Value::Text(std::string(5000, 'n')), Value::Text("-50.32"), Value::Int(255)});
    w.AddRow({Value::Text("Ann"), Value::Text(""), Value::Int(-7), Value::Bool(false),
              Value::DateTime(accessdb::ParseDateTime("1850-06-01T06:00:00")), Value::Double(0), Value::Text("short"),
              Value::Text("0"), Value::Int(0)});
    w.AddRow({Value::Null(), Value::Null(), Value::Null(), Value::Null(), Value::Null(), Value::Null(), Value::Null(),
              Value::Null(), Value::Null()});
    w.Finish();
  }
  Variant rs = OpenTable(Open(path), u"People");
  const int types[] = {10, 10, 4, 1, 8, 7, 12, 20, 2};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(Field(rs, i).Get(u"Type").ToInt32(), types[i]) << i;
  EXPECT_EQ(Field(rs, 1).Get(u"Size").ToInt32(), 100);

  EXPECT_EQ(Field(rs, 1).Get(u"Value"), Variant(u"Wayne, Bruce"));
  EXPECT_EQ(Field(rs, 2).Get(u"Value"), Variant(int32_t(12)));
  EXPECT_EQ(Field(rs, 3).Get(u"Value"), Variant(true));
  EXPECT_EQ(Field(rs, 4).Get(u"Value"), Variant::FromDate(At(1972, 2, 19, 7, 30)));
  EXPECT_EQ(Field(rs, 5).Get(u"Value"), Variant(-2.5));
  EXPECT_EQ(Field(rs, 6).Get(u"Value"), Variant(UnicodeString(5000, u'n')));
  EXPECT_EQ(Field(rs, 7).Get(u"Value").ToString(), u"-50.32");
  EXPECT_EQ(Field(rs, 8).Get(u"Value"), Variant(uint8_t(255)));

  rs.Call(u"MoveNext");
  EXPECT_EQ(Field(rs, 1).Get(u"Value"), Variant(u""));
  EXPECT_EQ(Field(rs, 2).Get(u"Value"), Variant(int32_t(-7)));
  EXPECT_EQ(Field(rs, 3).Get(u"Value"), Variant(false));
  EXPECT_NEAR(Field(rs, 4).Get(u"Value").AsDate(), At(1850, 6, 1, 6), 1e-9);
  EXPECT_EQ(Field(rs, 6).Get(u"Value"), Variant(u"short"));
  EXPECT_EQ(Field(rs, 7).Get(u"Value").ToString(), u"0");

  // A calculated Yes/No result can be Null, unlike a stored Yes/No column.
  rs.Call(u"MoveNext");
  for (int i = 0; i < 9; ++i) EXPECT_TRUE(Field(rs, i).Get(u"Value").IsNull()) << i;
}

// Calculated columns as Access writes them: the column entry's type is not
// the result's (the ResultType property tells it), numeric results are in
// their own layouts (a Decimal as 16 bytes with its own scale), and a Null
// result has its null bit clear, whatever the type: an empty cell, or the
// wrapping around nothing.
TEST_P(DaoStoredKinds, CalculatedColumnsInAccessLayoutGiveTheirResults) {
  using T = ColumnType;
  struct Kind {
    T entry, result;
    Value written;
    int daoType;
    const char16_t* shown;  // the value's text
  } kinds[] = {
      {T::kText, T::kText, Value::Text("Wayne, Bruce"), 10, u"Wayne, Bruce"},
      {T::kText, T::kMemo, Value::Text("Doe, John=" + std::string(3000, 'j')), 12, nullptr},
      {T::kLong, T::kLong, Value::Int(12), 4, u"12"},
      {T::kDouble, T::kCurrency, Value::Currency(833333333), 5, u"83333.3333"},
      {T::kInteger, T::kBoolean, Value::Bool(true), 1, u"True"},
      {T::kDouble, T::kDecimal, Value::Text("19230.7692307692"), 20, u"19230.7692307692"},
      // A Decimal's text drops trailing zeros, as VB's does; the value keeps its scale.
      {T::kDecimal, T::kDecimal, Value::Text("56505085819.424791296572280180"), 20, u"56505085819.42479129657228018"},
      {T::kDecimal, T::kSingle, Value::Double(2583.2092), 6, u"2583.2092"},
      {T::kDouble, T::kDouble, Value::Double(-0.0833), 7, u"-0.0833"},
      {T::kByte, T::kByte, Value::Int(255), 2, u"255"},
      {T::kLong, T::kInteger, Value::Int(-7), 3, u"-7"},
  };
  std::vector<accessdb::Column> columns{{"Id", T::kLong}};
  std::vector<Value> values{Value::Int(1)}, nulls{Value::Int(2)};
  for (bool wrap : {false, true}) {
    for (const Kind& k : kinds) {
      accessdb::Column c{"C" + std::to_string(columns.size()), k.entry, 100};
      c.calculated = true;
      c.result_type = k.result;
      c.wrap_null_results = wrap;
      columns.push_back(c);
      values.push_back(k.written);
      nulls.push_back(Value::Null());
    }
  }
  const std::string path = Path("calc-access.accdb");
  {
    accessdb::DatabaseWriter w(path, Options(GetParam()));
    w.BeginTable("T", columns);
    w.AddRow(values);
    w.AddRow(nulls);
    w.Finish();
  }
  Variant rs = OpenTable(Open(path), u"T");
  for (size_t i = 0; i + 1 < columns.size(); ++i) {
    const Kind& k = kinds[i % std::size(kinds)];
    SCOPED_TRACE(columns[i + 1].name);
    Variant field = Field(rs, static_cast<int>(i + 1));
    EXPECT_EQ(field.Get(u"Type").ToInt32(), k.daoType);
    const UnicodeString shown = field.Get(u"Value").ToString();
    EXPECT_EQ(shown, k.shown ? UnicodeString(k.shown) : FromUtf8(k.written.as_string()));
  }
  rs.Call(u"MoveNext");
  for (size_t i = 1; i < columns.size(); ++i) EXPECT_TRUE(Field(rs, static_cast<int>(i)).Get(u"Value").IsNull()) << i;
}

INSTANTIATE_TEST_SUITE_P(Files, DaoStoredKinds, ::testing::ValuesIn(kFileKinds),
                         [](const auto& info) { return std::string(info.param.name); });

// Tables linked through the Jet engine or through ODBC cannot be opened; both
// say so, and neither is confused with a missing table.
TEST(DaoEngineLinkedTables, AreRefusedByName) {
  TempDirectory dir;
  const std::string path = dir.File("links.mdb");
  {
    accessdb::DatabaseWriter w(path, accessdb::DatabaseOptions());
    w.BeginTable("Local", {{"A", ColumnType::kLong}});
    w.AddRow({Value::Int(1)});
    w.AddLinkedTable({"FromAccess", "Remote", "C:\\data\\other.mdb", "", false});
    w.AddLinkedTable({"FromServer", "dbo.Remote", "", "ODBC;DSN=Sales;DATABASE=sales", true});
    w.Finish();
  }
  Variant db = Open(path);
  struct Row {
    const char16_t* name;
    const char16_t* error;
  } rows[] = {
      {u"FromAccess", u"Linked table 'FromAccess' cannot be opened: this engine reads local tables only."},
      {u"fromserver", u"Linked table 'fromserver' cannot be opened: this engine reads local tables only."},
      {u"Elsewhere",
       u"Cannot find the input table or query 'Elsewhere'. Make sure it exists and that its name is spelled "
       u"correctly."},
  };
  for (const Row& r : rows) EXPECT_EQ(ErrorOf([&] { OpenTable(db, r.name); }), r.error);
  EXPECT_EQ(Field(OpenTable(db, u"Local"), 0).Get(u"Value"), Variant(int32_t(1)));
}

// Complex columns answer DAO's complex type for their kind, which
// MSysComplexColumns and the name of the kind's template table tell; without
// a flat table they have no values.
TEST(DaoEngineComplexColumns, AnswerDaoTypesByKind) {
  TempDirectory dir;
  const std::string path = dir.File("complex.accdb");
  struct Kind {
    const char* column;
    int complexId;
    const char* templateName;  // nullptr: no MSysComplexColumns row
    int daoType;
  } kinds[] = {
      {"Files", 1, "MSysComplexType_Attachment", 101}, {"Bytes", 2, "MSysComplexType_UnsignedByte", 102},
      {"Shorts", 3, "MSysComplexType_Short", 103},     {"Longs", 4, "MSysComplexType_Long", 104},
      {"Singles", 5, "MSysComplexType_IEEESingle", 105}, {"Doubles", 6, "MSysComplexType_IEEEDouble", 106},
      {"Guids", 7, "MSysComplexType_GUID", 107},       {"Amounts", 8, "MSysComplexType_Decimal", 108},
      {"Tags", 9, "MSysComplexType_Text", 109},        {"History", 10, "MSysComplexType_Memo", 109},
      {"Orphan", 11, nullptr, 109},
  };
  {
    accessdb::DatabaseOptions options;
    options.ace_version = 3;
    accessdb::DatabaseWriter w(path, options);
    std::vector<accessdb::Column> columns{{"ID", ColumnType::kLong}};
    std::vector<Value> row{Value::Int(1)};
    for (const Kind& k : kinds) {
      accessdb::Column c{k.column, ColumnType::kComplex};
      c.complex_id = k.complexId;
      columns.push_back(c);
      row.push_back(Value::Int(k.complexId * 10));
    }
    w.BeginTable("Items", columns);
    const uint32_t items = w.table_id();
    w.AddRow(row);
    std::vector<std::vector<Value>> catalogRows;
    for (const Kind& k : kinds) {
      if (!k.templateName) continue;
      w.BeginSystemTable(k.templateName, {{"Value", ColumnType::kText, 255}});
      catalogRows.push_back({Value::Text(k.column), Value::Int(k.complexId), Value::Int(w.table_id()),
                             Value::Int(items), Value::Int(0)});
    }
    w.BeginSystemTable("MSysComplexColumns", {{"ColumnName", ColumnType::kText, 64},
                                              {"ComplexID", ColumnType::kLong},
                                              {"ComplexTypeObjectID", ColumnType::kLong},
                                              {"ConceptualTableID", ColumnType::kLong},
                                              {"FlatTableID", ColumnType::kLong}});
    for (const auto& r : catalogRows) w.AddRow(r);
    w.Finish();
  }
  Variant rs = OpenTable(Open(path), u"Items");
  EXPECT_EQ(Field(rs, 0).Get(u"Type").ToInt32(), 4);
  for (size_t i = 0; i < std::size(kinds); ++i) {
    Variant f = Field(rs, static_cast<int>(i + 1));
    EXPECT_EQ(f.Get(u"Name").ToString(), FromUtf8(kinds[i].column));
    EXPECT_EQ(f.Get(u"Type").ToInt32(), kinds[i].daoType) << kinds[i].column;
    EXPECT_TRUE(f.Get(u"Value").IsNull()) << kinds[i].column;
  }
}

// Complex fields written with their values give them as one text each, in
// stored order: multi-value lists joined by ", ", attachment names by "; ",
// Null without values; the version history is not among the fields.
TEST(DaoEngineComplexColumns, GiveTheirValuesAsText) {
  TempDirectory dir;
  const std::string path = dir.File("values.accdb");
  auto complex = [](const char* name, accessdb::ComplexKind kind, ColumnType valueType = ColumnType::kText) {
    accessdb::Column c{name, ColumnType::kComplex, 255};
    c.complex_kind = kind;
    c.complex_value_type = valueType;
    return c;
  };
  accessdb::Column history = complex("History", accessdb::ComplexKind::kVersionHistory);
  history.history_of = "Notes";
  auto items = [](std::vector<Value> values, std::vector<accessdb::Attachment> files = {}) {
    accessdb::ComplexItems i;
    i.values = std::move(values);
    i.attachments = std::move(files);
    return i;
  };
  {
    accessdb::DatabaseOptions options;
    options.ace_version = 3;
    accessdb::DatabaseWriter w(path, options);
    w.BeginTable("Items", {{"ID", ColumnType::kLong},
                           complex("Tags", accessdb::ComplexKind::kMultiValue),
                           complex("Counts", accessdb::ComplexKind::kMultiValue, ColumnType::kLong),
                           complex("Files", accessdb::ComplexKind::kAttachment),
                           {"Notes", ColumnType::kMemo},
                           history});
    accessdb::ComplexItems versions;
    versions.versions = {{"first", 40000.5}, {"second", 40001.5}};
    w.AddRow({Value::Int(1), Value::Complex(1, items({Value::Text("red"), Value::Text("blue, dark")})),
              Value::Complex(1, items({Value::Int(3), Value::Int(-1), Value::Int(3)})),
              Value::Complex(1, items({}, {{"a.txt", "txt", "A"}, {"b.png", "png", "B"}})), Value::Text("second"),
              Value::Complex(1, versions)});
    w.AddRow({Value::Int(2), Value::Complex(2, items({})), Value::Complex(2, items({Value::Int(7)})),
              Value::Complex(2, items({})), Value::Null(), Value::Complex(2, items({}))});
    w.Finish();
  }
  Variant rs = OpenTable(Open(path), u"Items");
  ASSERT_EQ(rs.Get(u"Fields").Get(u"Count").ToInt32(), 5);  // no History
  const struct {
    const char16_t* name;
    int type;
    Variant first, second;
  } fields[] = {
      {u"Tags", 109, Variant(u"red, blue, dark"), Variant::Null()},
      {u"Counts", 104, Variant(u"3, -1, 3"), Variant(u"7")},
      {u"Files", 101, Variant(u"a.txt; b.png"), Variant::Null()},
      {u"Notes", 12, Variant(u"second"), Variant::Null()},
  };
  for (int i = 0; i < 4; ++i) {
    Variant f = Field(rs, i + 1);
    EXPECT_EQ(f.Get(u"Name").ToString(), fields[i].name);
    EXPECT_EQ(f.Get(u"Type").ToInt32(), fields[i].type) << i;
    EXPECT_EQ(f.Get(u"Value"), fields[i].first) << i;
  }
  rs.Call(u"MoveNext");
  for (int i = 0; i < 4; ++i) EXPECT_EQ(Field(rs, i + 1).Get(u"Value"), fields[i].second) << i;
}

// A flat table without the key column its complex column names is damage,
// raised by each value of the column; the other fields still read.
TEST(DaoEngineComplexColumns, FlatTableWithoutItsKeyIsDamage) {
  TempDirectory dir;
  const std::string path = dir.File("broken.accdb");
  {
    accessdb::DatabaseOptions options;
    options.ace_version = 3;
    accessdb::DatabaseWriter w(path, options);
    accessdb::Column tags{"Tags", ColumnType::kComplex};
    tags.complex_id = 1;
    w.BeginTable("Items", {{"ID", ColumnType::kLong}, tags});
    const uint32_t items = w.table_id();
    w.AddRow({Value::Int(1), Value::Int(10)});
    w.BeginTable("f_Tags", {{"Value", ColumnType::kText, 255}});  // no "_Tags"
    const uint32_t flat = w.table_id();
    w.BeginSystemTable("MSysComplexType_Text", {{"Value", ColumnType::kText, 255}});
    const uint32_t kind = w.table_id();
    w.BeginSystemTable("MSysComplexColumns", {{"ColumnName", ColumnType::kText, 64},
                                              {"ComplexID", ColumnType::kLong},
                                              {"ComplexTypeObjectID", ColumnType::kLong},
                                              {"ConceptualTableID", ColumnType::kLong},
                                              {"FlatTableID", ColumnType::kLong}});
    w.AddRow({Value::Text("Tags"), Value::Int(1), Value::Int(kind), Value::Int(items), Value::Int(flat)});
    w.Finish();
  }
  Variant rs = OpenTable(Open(path), u"Items");
  EXPECT_EQ(dao_calls::ErrorOf([&] { Field(rs, 1).Get(u"Value"); }),
            u"The values of column 'Tags' are damaged: table 'f_Tags' lacks their columns.");
  EXPECT_EQ(Field(rs, 0).Get(u"Value"), Variant(int32_t(1)));
}
