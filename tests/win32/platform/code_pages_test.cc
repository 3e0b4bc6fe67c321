// Code pages through the system's conversions (no <windows.h> here: it
// declares GetACP and GetOEMCP as well).
#include <string>

#include "platform/code_page.h"
#include "platform/unicode_case.h"
#include "tests/win32/platform/platform_tests.h"
#include "tests/win32/support/check.h"

namespace {

std::string Bytes(std::initializer_list<int> b) {
  std::string s;
  for (int c : b) s.push_back(static_cast<char>(c));
  return s;
}

void Conversions() {
  struct Row {
    const char* name;
    int32_t codePage;
    UnicodeString text;
    std::string bytes;
  };
  const Row rows[] = {
      {"western", 1252, u"Gr\u00FC\u00DFe \u20AC", Bytes({'G', 'r', 0xFC, 0xDF, 'e', ' ', 0x80})},
      {"cyrillic", 1251, u"\u041F\u0440\u0438", Bytes({0xCF, 0xF0, 0xE8})},
      {"japanese double-byte", 932, u"\u65E5\u672C", Bytes({0x93, 0xFA, 0x96, 0x7B})},
      {"utf-8", kCodePageUtf8, u"\u00DC", Bytes({0xC3, 0x9C})},
      {"empty", 1252, u"", ""},
      {"embedded zero", 1252, UnicodeString(u"a\0b", 3), std::string("a\0b", 3)},
  };
  for (const Row& r : rows) {
    check::Case() = r.name;
    check::CountCase();
    CHECK(WideToMultiByte(r.codePage, r.text) == r.bytes);
    CHECK(MultiByteToWide(r.codePage, r.bytes) == r.text);
    CHECK(IsRepresentable(r.codePage, r.text));
  }
  check::Case() = "unrepresentable";
  check::CountCase();
  // No best-fit character exists for a CJK ideograph in 1252: the default
  // character stands in, without an error.
  CHECK_EQ(WideToMultiByte(1252, u"a\u4E2Db"), std::string("a?b"));
  CHECK(!IsRepresentable(1252, u"\u4E2D"));
  check::Case() = "unknown code page";
  check::CountCase();
  CHECK_THROWS_MESSAGE(WideToMultiByte(4711, u"x"),
                       "No mapping for the Unicode character exists in the target multi-byte code page (4711)");
  CHECK_THROWS_MESSAGE(MultiByteToWide(4711, "x"),
                       "No mapping for the Unicode character exists in the target multi-byte code page (4711)");
}

void ActiveAndOem() {
  check::Case() = "system code pages (English locale)";
  check::CountCase();
  CHECK_EQ(GetACP(), 1252);
  CHECK_EQ(GetOEMCP(), 437);
  CHECK(FromAnsi(Bytes({0xE9})) == u"\u00E9");
  // OemToCharW reads code page 437 here; embedded zeros are kept.
  CHECK(OemToChar(Bytes({0x81, 0x00, 0x9A})) == UnicodeString(u"\u00FC\0\u00DC", 3));
  {
    check::Case() = "overridden";
    check::CountCase();
    ScopedActiveCodePage cyrillic(1251);
    CHECK_EQ(GetACP(), 1251);
    CHECK_EQ(GetOEMCP(), 866);
    CHECK(ToAnsi(u"\u0416") == Bytes({0xC6}));
    CHECK(OemToChar(Bytes({0x80})) == u"\u0410");
  }
  check::Case() = "restored";
  check::CountCase();
  CHECK_EQ(GetACP(), 1252);
  CHECK(OemToChar(Bytes({0x81})) == u"\u00FC");
}

}  // namespace

void RunCodePageTests() {
  Conversions();
  ActiveAndOem();
}

void RunJapaneseCodePageTests() {
  check::Case() = "Japanese locale";
  check::CountCase();
  CHECK_EQ(GetACP(), 932);
  CHECK_EQ(GetOEMCP(), 932);
  // A double-byte OEM code page: two bytes give one character.
  CHECK(OemToChar(Bytes({0x93, 0xFA, 'a'})) == u"\u65E5a");
}

// Upper-casing by the system's invariant table, whatever the user's locale.
void RunUnicodeCaseTests() {
  struct Row {
    const char* name;
    UnicodeString text;
    UnicodeString upper;
  };
  const Row rows[] = {
      {"german", u"m\u00E4rz", u"M\u00C4RZ"},
      {"french", u"f\u00E9vr. ao\u00FBt", u"F\u00C9VR. AO\u00DBT"},
      {"dotless i", u"\u0131d", u"ID"},
      {"dotted i stays", u"i", u"I"},
      {"empty", u"", u""},
  };
  for (const Row& r : rows) {
    check::Case() = std::string("upper case: ") + r.name;
    check::CountCase();
    CHECK(UnicodeUpperCase(r.text) == r.upper);
    CHECK(SameTextUnicode(r.text, r.upper));
  }
}
