// The COM automation client against the test-only DAO server, registered
// as "DAO.DBEngine.36" by the test run.
#include <windows.h>
#include <objbase.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/automation/create_ole_object.h"
#include "runtime/exceptions.h"
#include "runtime/utf8.h"
#include "runtime/variant.h"
#include "tests/win32/platform/platform_tests.h"
#include "tests/win32/support/check.h"

namespace {

std::string g_fixtures;

UnicodeString Fixture(const char* name) {
  std::string path = g_fixtures + "\\" + name;
  return UnicodeString(path.begin(), path.end());
}

bool SameArray(const Variant& v, const std::vector<Variant>& expected) {
  if (!v.IsArray() || v.AsArray().size() != expected.size()) return false;
  for (size_t i = 0; i < expected.size(); ++i)
    if (!(v.AsArray()[i] == expected[i])) return false;
  return true;
}

Decimal MakeDecimal(bool negative, uint8_t scale, uint64_t lo) {
  Decimal d;
  d.negative = negative;
  d.scale = scale;
  d.lo64 = lo;
  return d;
}

void AutomationCalls() {
  check::Case() = "unknown class";
  check::CountCase();
  CHECK_THROWS(CreateOleObject(u"Arvoline.No.Such.Class"));

  Variant engine = CreateOleObject(u"DAO.DBEngine.36");
  check::Case() = "property";
  check::CountCase();
  CHECK(engine.Get(u"Version") == Variant(u"3.6"));

  // Every kind goes to the server and comes back unchanged.
  struct Kind {
    const char* name;
    Variant value;
  };
  const Kind kinds[] = {
      {"null", Variant::Null()},
      {"text", Variant(u"Gr\u00FC\u00DFe")},
      {"empty text", Variant(u"")},
      {"integer", Variant(int32_t(-70000))},
      {"64-bit integer", Variant(int64_t(1) << 40)},
      {"byte", Variant(uint8_t(200))},
      {"single", Variant::FromSingle(1.5f)},
      {"double", Variant(2.25)},
      {"currency", Variant(Currency::FromScaled(-123456))},
      {"decimal", Variant(MakeDecimal(true, 2, 12345))},
      {"date", Variant::FromDate(45000.75)},
      {"true", Variant(true)},
      {"false", Variant(false)},
      {"bytes", Variant(Variant::Bytes{0, 255, 7})},
      {"no bytes", Variant(Variant::Bytes{})},
      {"array", Variant(Variant::Array{Variant(int32_t(1)), Variant(u"x"), Variant::Null()})},
  };
  for (const Kind& k : kinds) {
    check::Case() = std::string("round trip of ") + k.name;
    check::CountCase();
    Variant back = engine.Call(u"EchoValue", {k.value});
    CHECK(back.Type() == k.value.Type());
    CHECK(back == k.value);
  }
  check::Case() = "round trip of an object";
  check::CountCase();
  Variant same = engine.Call(u"EchoValue", {engine});
  CHECK(same.Type() == VarType::Dispatch);
  CHECK(same.Get(u"Version") == Variant(u"3.6"));

  // Argument order: positional in order, named by parameter name.
  const Variant missing(u"<missing>");
  check::Case() = "positional arguments";
  check::CountCase();
  CHECK(SameArray(engine.Call(u"EchoArguments", {int32_t(1), int32_t(2)}),
                  {int32_t(1), int32_t(2), missing, missing}));
  check::Case() = "named arguments";
  check::CountCase();
  CHECK(SameArray(engine.Call(u"EchoArguments", {}, {{u"C", int32_t(3)}, {u"a", int32_t(1)}}),
                  {int32_t(1), missing, int32_t(3), missing}));
  check::Case() = "mixed arguments";
  check::CountCase();
  CHECK(SameArray(engine.Call(u"EchoArguments", {Variant(u"p"), int32_t(2)}, {{u"D", int32_t(4)}}),
                  {Variant(u"p"), int32_t(2), missing, int32_t(4)}));

  check::Case() = "failures";
  check::CountCase();
  CHECK_THROWS_MESSAGE(engine.Call(u"Fail", {Variant(u"The server says no.")}), "The server says no.");
  // Failures of the call itself carry the system's text for their HRESULT.
  CHECK_THROWS(engine.Call(u"NoSuchMember"));
  CHECK_THROWS(engine.Call(u"EchoArguments", {}, {{u"Z", int32_t(1)}}));
  CHECK_THROWS(engine.Call(u"Fail"));
}

void DaoReading() {
  Variant engine = CreateOleObject(u"DAO.DBEngine.36");
  check::Case() = "missing database";
  check::CountCase();
  UnicodeString nowhere = Fixture("no_such_database.mdb");
  CHECK_THROWS_MESSAGE(engine.Call(u"OpenDatabase", {nowhere}), "Could not find file '" + ToUtf8(nowhere) + "'.");

  check::Case() = "password as named arguments";
  check::CountCase();
  Variant locked = engine.Call(u"OpenDatabase", {}, {{u"Name", Fixture("password.mdb")}, {u"Connect", Variant(u";PWD=s3cret")}});
  CHECK(locked.Get(u"QueryDefs").Get(u"Count") == Variant(int32_t(0)));
  CHECK_THROWS_MESSAGE(
      engine.Call(u"OpenDatabase", {}, {{u"Name", Fixture("password.mdb")}, {u"Connect", Variant(u";PWD=wrong")}}),
      "Not a valid password.");

  Variant db = engine.Call(u"OpenDatabase", {Fixture("all_kinds.mdb")});
  check::Case() = "saved queries";
  check::CountCase();
  Variant queries = db.Get(u"QueryDefs");
  CHECK(queries.Get(u"Count") == Variant(int32_t(1)));
  CHECK(queries.Get(u"Item", {int32_t(0)}).Get(u"Name") == Variant(u"Everything"));

  Variant rs = db.Call(u"OpenRecordset", {Variant(u"AllKinds"), int32_t(1), int32_t(0), int32_t(2)});
  Variant fields = rs.Get(u"Fields");
  struct Expected {
    const char* name;
    int32_t type;
    int32_t size;
    Variant first;
  };
  const Expected columns[] = {
      {"Flag", 1, 1, Variant(true)},
      {"Tiny", 2, 1, Variant(uint8_t(250))},
      {"Small", 3, 2, Variant(int32_t(-300))},
      {"Whole", 4, 4, Variant(int32_t(2000000000))},
      {"Money", 5, 8, Variant(Currency::FromScaled(123456789))},
      {"Ratio", 6, 4, Variant::FromSingle(0.25f)},
      {"Amount", 7, 8, Variant(-1.5e10)},
      {"Stamp", 8, 8, Variant::FromDate(45352.5)},
      {"Raw", 11, 0, Variant(Variant::Bytes{0x00, 0xFF, 0x41})},
      {"Title", 10, 50, Variant(u"Gr\u00FC\u00DFe | \u041F")},
      {"Body", 12, 0, Variant(u"line one\nline two")},
      {"Exact", 20, 17, Variant(MakeDecimal(true, 3, 1234567))},
  };
  check::Case() = "field count";
  check::CountCase();
  CHECK(fields.Get(u"Count") == Variant(int32_t(sizeof columns / sizeof columns[0])));
  for (int32_t i = 0; i < int32_t(sizeof columns / sizeof columns[0]); ++i) {
    const Expected& e = columns[i];
    check::Case() = std::string("field ") + e.name;
    check::CountCase();
    Variant f = fields.Get(u"Item", {i});
    CHECK(f.Get(u"Name") == Variant(UnicodeString(e.name, e.name + std::strlen(e.name))));
    CHECK(f.Get(u"Type").ToInt32() == e.type);
    CHECK(f.Get(u"Size").ToInt32() == e.size);
    Variant value = f.Get(u"Value");
    CHECK(value.Type() == e.first.Type());
    CHECK(value == e.first);
  }
  check::Case() = "second record: nulls";
  check::CountCase();
  CHECK(rs.Get(u"Eof") == Variant(false));
  rs.Call(u"MoveNext");
  for (int32_t i = 0; i < 12; ++i) CHECK(rs.Get(u"Fields").Get(u"Item", {i}).Get(u"Value").IsNull());
  rs.Call(u"MoveNext");
  CHECK(rs.Get(u"Eof") == Variant(true));
  CHECK_THROWS_MESSAGE(fields.Get(u"Item", {int32_t(0)}).Get(u"Value"), "No current record.");
  rs.Call(u"Close");
  db.Call(u"Close");
}

}  // namespace

void RunAutomationTests(const std::string& fixtures) {
  g_fixtures = fixtures;
  if (FAILED(CoInitialize(nullptr))) {
    check::Case() = "CoInitialize";
    check::Fail(__FILE__, __LINE__, "CoInitialize failed");
    return;
  }
  try {
    AutomationCalls();
    DaoReading();
  } catch (const std::exception& e) {
    check::Fail(__FILE__, __LINE__, "unexpected error: " + std::string(e.what()));
  }
  CoUninitialize();
}
