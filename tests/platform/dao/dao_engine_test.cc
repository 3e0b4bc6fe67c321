// The DAO server against real files written by the project's
// Access writer (tools/accessdb).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

#include "platform/automation/create_ole_object.h"
#include "runtime/exceptions.h"
#include "runtime/utf8.h"
#include "tests/jet/database_header.h"
#include "tests/platform/dao/dao_calls.h"
#include "tests/platform/automation/temp_directory.h"
#include "tools/accessdb/database_writer.h"

using accessdb::ColumnType;
using accessdb::Value;
using dao_calls::Engine;
using dao_calls::ErrorOf;
using dao_calls::Field;
using dao_calls::Open;
using dao_calls::OpenTable;

namespace {

accessdb::DatabaseOptions Options(accessdb::Format format, int codePage = 1252) {
  accessdb::DatabaseOptions o;
  o.format = format;
  o.code_page = codePage;
  return o;
}

// All column types the writer stores, one row of values and one of nulls.
struct TypedTable {
  std::vector<accessdb::Column> columns{
      {"ID", ColumnType::kLong},         {"Title", ColumnType::kText, 50}, {"Done", ColumnType::kBoolean},
      {"Body", ColumnType::kMemo},       {"Picture", ColumnType::kOle},    {"Tiny", ColumnType::kByte},
      {"Small", ColumnType::kInteger},   {"Price", ColumnType::kCurrency}, {"Ratio", ColumnType::kSingle},
      {"Exact", ColumnType::kDouble},    {"When", ColumnType::kDateTime},  {"Raw", ColumnType::kBinary, 8},
  };
};

std::string LongMemo() {
  std::string s;
  for (int i = 0; s.size() < 70000; ++i) s += "{\\rtf1 line " + std::to_string(i) + "}\r\n";
  return s;
}

void WriteTypedTable(const std::string& path, accessdb::Format format) {
  accessdb::DatabaseWriter w(path, Options(format));
  w.BeginTable("Typed", TypedTable().columns);
  w.AddRow({Value::Int(7), Value::Text("Caf\xC3\xA9"), Value::Bool(true), Value::Text(LongMemo()),
            Value::Bytes(std::string("\0\1\2\0", 4) + std::string(9000, '\x7F')), Value::Int(255), Value::Int(-32768),
            Value::Currency(-1234567), Value::Double(0.5), Value::Double(1e300),
            Value::DateTime(accessdb::ParseDateTime("1850-06-01T06:00:00")), Value::Bytes(std::string("a\0b", 3))});
  w.AddRow({Value::Null(), Value::Null(), Value::Bool(false), Value::Null(), Value::Null(), Value::Null(), Value::Null(),
            Value::Null(), Value::Null(), Value::Null(), Value::Null(), Value::Null()});
  w.AddRow({Value::Int(0), Value::Text(""), Value::Bool(false), Value::Text(""), Value::Bytes(""), Value::Int(0),
            Value::Int(0), Value::Int(0), Value::Int(0), Value::Int(0),
            Value::DateTime(accessdb::ParseDateTime("9999-12-31T23:59:59")), Value::Bytes("")});
  w.Finish();
}

class DaoEngineFormats : public ::testing::TestWithParam<accessdb::Format> {
 protected:
  TempDirectory dir_;
};

}  // namespace

TEST_P(DaoEngineFormats, FieldsInColumnOrderWithDaoTypesAndSizes) {
  std::string path = dir_.File("typed.mdb");
  WriteTypedTable(path, GetParam());
  Variant rs = OpenTable(Open(path), u"typed");  // table names ignore case
  struct Row {
    const char16_t* name;
    int type;
    int size;
  } rows[] = {
      {u"ID", 4, 4},   {u"Title", 10, 50}, {u"Done", 1, 1},  {u"Body", 12, 0},  {u"Picture", 11, 0}, {u"Tiny", 2, 1},
      {u"Small", 3, 2}, {u"Price", 5, 8},  {u"Ratio", 6, 4}, {u"Exact", 7, 8}, {u"When", 8, 8},     {u"Raw", 9, 8},
  };
  Variant fields = rs.Get(u"Fields");
  ASSERT_EQ(fields.Get(u"Count").ToInt32(), 12);
  for (int i = 0; i < 12; ++i) {
    Variant f = fields.Get(u"Item", {Variant(i)});
    EXPECT_EQ(f.Get(u"Name").ToString(), rows[i].name);
    EXPECT_EQ(f.Get(u"Type").ToInt32(), rows[i].type) << i;
    EXPECT_EQ(f.Get(u"Size").ToInt32(), rows[i].size) << i;
  }
  EXPECT_EQ(fields.Get(u"Item", {Variant(u"PRICE")}).Get(u"Name").ToString(), u"Price");
  EXPECT_EQ(rs.Get(u"RecordCount").ToInt32(), 3);
}

TEST_P(DaoEngineFormats, ValuesAsDaoGivesThem) {
  std::string path = dir_.File("typed.mdb");
  WriteTypedTable(path, GetParam());
  Variant rs = OpenTable(Open(path), u"Typed");

  // Row 1: every type with a value.
  EXPECT_FALSE(rs.Get(u"Eof").ToBoolean());
  EXPECT_EQ(Field(rs, 0).Get(u"Value"), Variant(int32_t(7)));
  EXPECT_EQ(Field(rs, 1).Get(u"Value"), Variant(u"Caf\u00E9"));
  EXPECT_EQ(Field(rs, 2).Get(u"Value"), Variant(true));
  Variant body = Field(rs, 3).Get(u"Value");
  ASSERT_TRUE(body.IsString());
  EXPECT_EQ(ToUtf8(body.AsStringRef()), LongMemo());  // whole, across many long-value pages
  Variant picture = Field(rs, 4).Get(u"Value");
  ASSERT_EQ(picture.Type(), VarType::ByteArray);
  EXPECT_EQ(picture.AsBytes().size(), 9004u);
  EXPECT_EQ(picture.AsBytes()[3], 0);
  EXPECT_EQ(picture.AsBytes()[9003], 0x7F);
  EXPECT_EQ(Field(rs, 5).Get(u"Value"), Variant(uint8_t(255)));
  EXPECT_EQ(Field(rs, 6).Get(u"Value"), Variant(int32_t(-32768)));
  EXPECT_EQ(Field(rs, 7).Get(u"Value"), Variant(Currency::FromScaled(-1234567)));
  EXPECT_EQ(Field(rs, 8).Get(u"Value"), Variant::FromSingle(0.5f));
  EXPECT_EQ(Field(rs, 9).Get(u"Value"), Variant(1e300));
  Variant when = Field(rs, 10).Get(u"Value");
  ASSERT_EQ(when.Type(), VarType::Date);
  DateParts d = DecodeDate(when.AsDate());
  EXPECT_EQ(d.year, 1850);
  EXPECT_EQ(d.month, 6);
  EXPECT_EQ(d.day, 1);
  EXPECT_NEAR(std::fabs(when.AsDate() - std::trunc(when.AsDate())), 0.25, 1e-9);
  EXPECT_EQ(Field(rs, 11).Get(u"Value"), Variant(Variant::Bytes{'a', 0, 'b'}));

  // Row 2: Null everywhere but the yes/no column, which cannot be null.
  rs.Call(u"MoveNext");
  for (int i = 0; i < 12; ++i) {
    Variant v = Field(rs, i).Get(u"Value");
    if (i == 2) EXPECT_EQ(v, Variant(false));
    else EXPECT_TRUE(v.IsNull()) << i;
  }

  // Row 3: empty texts and byte data are not Null; the last second of 9999.
  rs.Call(u"MoveNext");
  EXPECT_EQ(Field(rs, 1).Get(u"Value"), Variant(u""));
  EXPECT_EQ(Field(rs, 3).Get(u"Value"), Variant(u""));
  EXPECT_EQ(Field(rs, 4).Get(u"Value"), Variant(Variant::Bytes{}));
  EXPECT_EQ(Field(rs, 11).Get(u"Value"), Variant(Variant::Bytes{}));
  DateParts last = DecodeDate(Field(rs, 10).Get(u"Value").AsDate());
  EXPECT_EQ(last.year, 9999);
  EXPECT_EQ(last.month, 12);
  EXPECT_EQ(last.day, 31);

  rs.Call(u"MoveNext");
  EXPECT_TRUE(rs.Get(u"Eof").ToBoolean());
  EXPECT_EQ(ErrorOf([&] { rs.Call(u"MoveNext"); }), u"No current record.");
  EXPECT_EQ(ErrorOf([&] { Field(rs, 0).Get(u"Value"); }), u"No current record.");
  rs.Call(u"MoveFirst");
  EXPECT_EQ(Field(rs, 0).Get(u"Value"), Variant(int32_t(7)));
  rs.Call(u"Close");
  EXPECT_EQ(ErrorOf([&] { rs.Get(u"Eof"); }), u"Object invalid or no longer set.");
}

TEST_P(DaoEngineFormats, MemosOfEveryStorageReadWholeInAnyOrder) {
  // Short memos stay in the row, longer ones take one long-value row or a
  // chain of them; each value read must stay intact after the next is read.
  const std::string chained = LongMemo(), single(1500, 'm'), shorter = "in the row";
  const std::string path = dir_.File("memos.mdb");
  {
    accessdb::DatabaseWriter w(path, Options(GetParam()));
    w.BeginTable("Memos", {{"A", ColumnType::kMemo}, {"B", ColumnType::kMemo}, {"C", ColumnType::kMemo}});
    w.AddRow({Value::Text(chained), Value::Text(single), Value::Text(shorter)});
    w.AddRow({Value::Text(shorter), Value::Null(), Value::Text(chained + "!")});
    w.Finish();
  }
  struct Read {
    int row, field;
    const std::string* text;  // null: a Null value
    const char* suffix;
  } reads[] = {
      {0, 0, &chained, ""}, {0, 1, &single, ""},  {0, 0, &chained, ""}, {0, 2, &shorter, ""},
      {1, 2, &chained, "!"}, {1, 0, &shorter, ""}, {1, 1, nullptr, ""},  {1, 2, &chained, "!"},
  };
  Variant rs = OpenTable(Open(path), u"Memos");
  int row = 0;
  for (const Read& r : reads) {
    if (r.row != row) rs.Call(u"MoveNext"), row = r.row;
    const Variant v = Field(rs, r.field).Get(u"Value");
    if (!r.text) {
      EXPECT_TRUE(v.IsNull()) << r.row << "/" << r.field;
      continue;
    }
    ASSERT_TRUE(v.IsString()) << r.row << "/" << r.field;
    EXPECT_EQ(ToUtf8(v.AsStringRef()), *r.text + r.suffix) << r.row << "/" << r.field;
  }
}

INSTANTIATE_TEST_SUITE_P(Jet, DaoEngineFormats, ::testing::Values(accessdb::Format::kJet3, accessdb::Format::kJet4),
                         [](const auto& info) { return info.param == accessdb::Format::kJet3 ? "Jet3" : "Jet4"; });

TEST(DaoEngine, TextInTheFilesCodePageAndUnicode) {
  TempDirectory dir;
  struct Row {
    accessdb::Format format;
    int codePage;
    std::string text;  // UTF-8
    UnicodeString expected;
  } rows[] = {
      {accessdb::Format::kJet3, 1251, "\xD0\x96\xD0\xB0\xD1\x80", u"\u0416\u0430\u0440"},
      {accessdb::Format::kJet3, 1252, "\xC3\x9C" "ber \xE2\x82\xAC", u"\u00DCber \u20AC"},
      {accessdb::Format::kJet4, 1252, "\xD0\x96 \xE2\x82\xAC \xF0\x9F\x98\x80", u"\u0416 \u20AC \U0001F600"},
  };
  int n = 0;
  for (const Row& r : rows) {
    std::string path = dir.File("cp" + std::to_string(n++) + ".mdb");
    {
      accessdb::DatabaseWriter w(path, Options(r.format, r.codePage));
      // Non-ASCII names too: the table and column names come back as written.
      w.BeginTable(r.text.substr(0, 2) + "T", {{r.text.substr(0, 2) + " Col", ColumnType::kText, 20},
                                               {"Memo", ColumnType::kMemo}});
      w.AddRow({Value::Text(r.text), Value::Text(r.text + r.text)});
      w.Finish();
    }
    Variant rs = OpenTable(Open(path), (FromUtf8(r.text.substr(0, 2)) + u"T").c_str());
    EXPECT_EQ(Field(rs, 0).Get(u"Name").ToString(), FromUtf8(r.text.substr(0, 2)) + u" Col");
    EXPECT_EQ(Field(rs, 0).Get(u"Value").ToString(), r.expected);
    EXPECT_EQ(Field(rs, 1).Get(u"Value").ToString(), r.expected + r.expected);
  }
}

TEST(DaoEngine, OpenFailuresRaiseErrors) {
  TempDirectory dir;
  std::string text = dir.File("notes.txt");
  std::ofstream(text) << std::string(5000, 'x');
  std::string empty = dir.File("empty.mdb");
  std::ofstream(empty).flush();
  std::string good = dir.File("good.mdb");
  {
    accessdb::DatabaseWriter w(good, Options(accessdb::Format::kJet4));
    w.BeginTable("T", {{"A", ColumnType::kLong}});
    w.Finish();
  }
  UnicodeString missing = FromUtf8(dir.File("missing.mdb"));
  EXPECT_EQ(ErrorOf([&] { Open(dir.File("missing.mdb")); }), u"Could not find file '" + missing + u"'.");
  for (const std::string& bad : {text, empty, dir.path()}) {
    UnicodeString error = ErrorOf([&] { Open(bad); });
    EXPECT_EQ(error.rfind(u"Unrecognized database format '" + FromUtf8(bad) + u"'.", 0), 0u) << ToUtf8(error);
  }
  Variant db = Open(good);
  EXPECT_EQ(ErrorOf([&] { OpenTable(db, u"Nothing"); }),
            u"Cannot find the input table or query 'Nothing'. Make sure it exists and that its name is spelled "
            u"correctly.");
  EXPECT_EQ(ErrorOf([&] { db.Call(u"OpenRecordset", {Variant(u"T"), Variant(3)}); }), u"Invalid argument.");
  EXPECT_EQ(ErrorOf([&] { db.Call(u"Frobnicate"); }), u"Unknown name: 'Frobnicate'.");
  // An empty table: Eof at once, MoveFirst has no record to move to.
  Variant rs = OpenTable(db, u"T");
  EXPECT_TRUE(rs.Get(u"Eof").ToBoolean());
  EXPECT_EQ(rs.Get(u"RecordCount").ToInt32(), 0);
  EXPECT_EQ(ErrorOf([&] { rs.Call(u"MoveFirst"); }), u"No current record.");
  db.Call(u"Close");
  EXPECT_EQ(ErrorOf([&] { db.Get(u"QueryDefs"); }), u"Object invalid or no longer set.");
}

TEST(DaoEngine, NamedArgumentsQueryDefsAndIndependentRecordsets) {
  TempDirectory dir;
  std::string path = dir.File("two.mdb");
  {
    accessdb::DatabaseWriter w(path, Options(accessdb::Format::kJet4));
    for (const char* table : {"A", "B"}) {
      w.BeginTable(table, {{"N", ColumnType::kLong}, {"M", ColumnType::kMemo}});
      for (int i = 0; i < 600; ++i)
        w.AddRow({Value::Int(i), Value::Text(std::string(table) + std::string(300 + i, 'm'))});
      w.EndTable();
    }
    w.Finish();
  }
  Variant db = Engine().Call(u"OpenDatabase", {},
                             {{u"Name", Variant(FromUtf8(path))}, {u"Connect", Variant(u";PWD=secret")}});
  Variant queries = db.Get(u"QueryDefs");
  EXPECT_EQ(queries.Get(u"Count").ToInt32(), 0);
  EXPECT_EQ(ErrorOf([&] { queries.Get(u"Item", {Variant(0)}); }), u"Item not found in this collection.");

  // Two recordsets read in step stay on their own rows and pages.
  Variant a = OpenTable(db, u"A");
  Variant b = OpenTable(db, u"B");
  b.Call(u"MoveNext");
  int rows = 0;
  for (; !a.Get(u"Eof").ToBoolean(); ++rows) {
    EXPECT_EQ(Field(a, 0).Get(u"Value").ToInt32(), rows);
    EXPECT_EQ(Field(a, 1).Get(u"Value").ToString().size(), size_t(301 + rows));
    if (!b.Get(u"Eof").ToBoolean()) {
      EXPECT_EQ(Field(b, 0).Get(u"Value").ToInt32(), rows + 1);
      EXPECT_EQ(Field(b, 1).Get(u"Value").ToString().substr(0, 2), u"Bm");
      b.Call(u"MoveNext");
    }
    a.Call(u"MoveNext");
  }
  EXPECT_EQ(rows, 600);
}

TEST(DaoEngine, LibraryWarningsStayOffStandardError) {
  TempDirectory dir;
  std::string path = dir.File("quiet.mdb");
  WriteTypedTable(path, accessdb::Format::kJet4);
  std::string junk = dir.File("junk.mdb");
  std::ofstream(junk) << std::string(8192, '\x01');
  ::testing::internal::CaptureStderr();
  {
    Variant rs = OpenTable(Open(path), u"Typed");
    for (; !rs.Get(u"Eof").ToBoolean(); rs.Call(u"MoveNext"))
      for (int i = 0; i < 12; ++i) Field(rs, i).Get(u"Value");
    ErrorOf([&] { Open(junk); });
  }
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}


TEST(DaoEngine, APasswordProtectedDatabaseOpensOnlyWithItsPassword) {
  TempDirectory dir;
  for (accessdb::Format format : {accessdb::Format::kJet3, accessdb::Format::kJet4}) {
    const bool jet3 = format == accessdb::Format::kJet3;
    std::string path = dir.File(jet3 ? "p3.mdb" : "p4.mdb");
    {
      accessdb::DatabaseWriter w(path, Options(format));
      w.BeginTable("T", {{"A", ColumnType::kLong}});
      w.AddRow({Value::Int(1)});
      w.Finish();
    }
    auto open = [&](const char16_t* connect) {
      return ErrorOf([&] {
        std::vector<NamedArgument> named{{u"Name", Variant(FromUtf8(path))}};
        if (connect) named.push_back({u"Connect", Variant(connect)});
        Variant db = Engine().Call(u"OpenDatabase", {}, named);
        OpenTable(db, u"T");
      });
    };
    // The writer stores an empty password: any password given is ignored.
    EXPECT_EQ(open(nullptr), u"(no error)");
    EXPECT_EQ(open(u";PWD=anything"), u"(no error)");

    SetDatabasePassword(path, jet3, u"Geheim 1");
    struct Row {
      const char16_t* connect;
      const char16_t* result;
    } rows[] = {
        {nullptr, u"Not a valid password."},
        {u";PWD=geheim 1", u"Not a valid password."},
        {u";PWD=Geheim", u"Not a valid password."},
        {u";PWD=Geheim 1", u"(no error)"},
        {u";pwd=Geheim 1;UID=x", u"(no error)"},
    };
    for (const Row& r : rows) EXPECT_EQ(open(r.connect), r.result) << jet3 << " " << (r.connect ? ToUtf8(r.connect) : "");
    EXPECT_EQ(ErrorOf([&] { Open(path); }), u"Not a valid password.");
  }
}

// A file with a page key keeps every page but the header RC4-encoded with the
// key XOR the page number; it reads as the same file stored plainly.
TEST(DaoEngine, EncodedPagesReadLikePlainOnes) {
  TempDirectory dir;
  for (accessdb::Format format : {accessdb::Format::kJet3, accessdb::Format::kJet4}) {
    const std::string path = dir.File(format == accessdb::Format::kJet3 ? "k3.mdb" : "k4.mdb");
    WriteTypedTable(path, format);
    std::string bytes;
    {
      std::ifstream in(path, std::ios::binary);
      bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    const size_t pageSize = format == accessdb::Format::kJet3 ? 2048 : 4096;
    const uint32_t key = 0x5A17C0DE;
    auto* page0 = reinterpret_cast<uint8_t*>(&bytes[0]);
    const size_t masked = format == accessdb::Format::kJet3 ? 126 : 128;
    Rc4Crypt(std::string_view("\xC7\xDA\x39\x6B", 4), page0 + 0x18, masked);
    std::memcpy(page0 + 0x3E, &key, 4);
    Rc4Crypt(std::string_view("\xC7\xDA\x39\x6B", 4), page0 + 0x18, masked);
    for (size_t page = 1; page < bytes.size() / pageSize; ++page) {
      const uint32_t pageKey = key ^ static_cast<uint32_t>(page);
      Rc4Crypt(std::string_view(reinterpret_cast<const char*>(&pageKey), 4),
               reinterpret_cast<uint8_t*>(&bytes[page * pageSize]), pageSize);
    }
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;

    Variant rs = OpenTable(Open(path), u"Typed");
    EXPECT_EQ(Field(rs, 1).Get(u"Value"), Variant(u"Caf\u00E9"));
    EXPECT_EQ(ToUtf8(Field(rs, 3).Get(u"Value").AsStringRef()), LongMemo());  // across long-value pages
    rs.Call(u"MoveNext");
    EXPECT_TRUE(Field(rs, 0).Get(u"Value").IsNull());
  }
}
