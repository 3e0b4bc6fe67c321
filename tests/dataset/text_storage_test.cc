// String and memo fields keep their text in the ANSI code page active at the
// time of the assignment.
#include "dataset/ansi_buffer.h"
#include "dataset/t_string_field.h"
#include "platform/code_page.h"
#include "tests/dataset/dataset_test_util.h"

TEST(TextStorage, StringFieldsKeepSizeBytesOfTheCodePageForm) {
  struct Row {
    int32_t codePage;
    int32_t size;
    const char16_t* assigned;
    const char16_t* readBack;
  } rows[] = {
      {1252, 5, u"abcdefgh", u"abcde"},
      {1252, 3, u"\u00C4\u00D6\u00DC\u00DF", u"\u00C4\u00D6\u00DC"},    // one byte each under 1252
      {1252, 10, u"\u20AC5", u"\u20AC5"},                               // the euro sign is in 1252
      {1252, 10, u"\u0416x\U0001F600", u"?x?"},                         // outside the code page: "?"
      {1251, 10, u"\u0416\u00DC", u"\u0416?"},
      {932, 4, u"\u65E5\u672C\u8A9E", u"\u65E5\u672C"},                 // two bytes each: 2 characters
      {932, 5, u"\u65E5\u672C\u8A9E", u"\u65E5\u672C"},                 // never half a character
      {932, 5, u"a\u65E5\u672C\u8A9E", u"a\u65E5\u672C"},
      {932, 4, u"a\u65E5\u672C", u"a\u65E5"},
      {932, 1, u"\u65E5", u""},
      {932, 3, u"\uFF71\uFF72\uFF73\uFF74", u"\uFF71\uFF72\uFF73"},     // half-width katakana: one byte each
      {936, 3, u"\u4E2D\u6587", u"\u4E2D"},
      {kCodePageUtf8, 4, u"\u00E9\u00E9\u00E9", u"\u00E9\u00E9"},
  };
  for (const Row& r : rows) {
    ScopedActiveCodePage codePage(r.codePage);
    auto ds = OpenDataSet({{u"S", ftString, r.size}, {u"M", ftMemo, r.size}});
    AppendRow(*ds, {r.assigned, r.assigned});
    EXPECT_EQ(ToUtf8(ds->Fields(0)->AsString()), ToUtf8(r.readBack)) << r.codePage << " size " << r.size;
    // A memo is never cut, but loses the same characters.
    UnicodeString memo = FromAnsi(ToAnsi(r.assigned));
    EXPECT_EQ(ds->Fields(1)->AsString(), memo) << r.codePage;
    // Read straight into UTF-8: the same text.
    EXPECT_EQ(ds->Fields(0)->AsUtf8(), ToUtf8(r.readBack)) << r.codePage << " size " << r.size;
    EXPECT_EQ(ds->Fields(1)->AsUtf8(), ToUtf8(memo)) << r.codePage;
  }
  auto ds = OpenDataSet({{u"S", ftString, 5}, {u"M", ftMemo, 5}});
  ds->Append();
  ds->Post();
  EXPECT_EQ(ds->Fields(0)->AsUtf8(), "");
  EXPECT_EQ(ds->Fields(1)->AsUtf8(), "");
}

TEST(TextStorage, AnsiFormIsTheTextInTheActiveCodePage) {
  // Straight from the stored bytes for text kinds, through the text for the others.
  const char16_t* texts[] = {u"", u"plain", u"\u00C4\u20AC\u0416", u"\u0081\u008D"};
  for (int32_t codePage : {1252, 1251, 932}) {
    ScopedActiveCodePage active(codePage);
    for (const char16_t* text : texts) {
      auto ds = OpenDataSet({{u"S", ftString, 40}, {u"M", ftMemo, 0}, {u"W", ftWideString, 40}});
      AppendRow(*ds, {text, text, text});
      for (int field = 0; field < 3; ++field) {
        EXPECT_EQ(ds->Fields(field)->AsAnsi(), ToAnsi(ds->Fields(field)->AsString())) << codePage << " " << field;
        std::string storage;
        EXPECT_EQ(ds->Fields(field)->AnsiView(storage), ds->Fields(field)->AsAnsi()) << codePage << " " << field;
      }
    }
  }
  // Bytes stored under one code page and read under others.
  auto stored = OpenDataSet({{u"M", ftMemo, 0}});
  {
    ScopedActiveCodePage active(1252);
    AppendRow(*stored, {u"\u00C4\u0081\u00FF"});
  }
  for (int32_t codePage : {1251, 1253, 932}) {
    ScopedActiveCodePage active(codePage);
    std::string storage;
    EXPECT_EQ(stored->Fields(0)->AnsiView(storage), stored->Fields(0)->AsAnsi()) << codePage;
  }
  auto ds = OpenDataSet({{u"I", ftInteger, 0}, {u"M", ftMemo, 0}});
  AppendRow(*ds, {u"42", u"x"});
  EXPECT_EQ(ds->Fields(0)->AsAnsi(), "42");
  std::string storage;
  EXPECT_EQ(ds->Fields(0)->AnsiView(storage), "42");
  ds->Append();
  ds->Post();
  EXPECT_EQ(ds->Fields(1)->AsAnsi(), "");  // null
  EXPECT_EQ(ds->Fields(1)->AnsiView(storage), "");
}

TEST(TextStorage, MemoKeepsLongTextWhole) {
  ScopedActiveCodePage codePage(1252);
  auto ds = OpenDataSet({{u"M", ftMemo, 10}});
  UnicodeString text;
  for (int i = 0; i < 20000; ++i) text += static_cast<char16_t>(u'a' + i % 26);
  text += u"\u00E9";
  AppendRow(*ds, {text.c_str()});
  EXPECT_EQ(ds->Fields(0)->AsString(), text);
  EXPECT_EQ(ds->Fields(0)->AsVariant(), Variant(text));
}

TEST(TextStorage, EachAssignmentStoresOnlyItsOwnText) {
  // Fields convert through storage kept from one value to the next: a short
  // value after a long one, or after one of another kind, holds nothing of it.
  ScopedActiveCodePage codePage(1252);
  const UnicodeString longText(100000, u'x');
  const Variant rows[] = {Variant(longText), Variant(u"short"), Variant(u""), Variant(UnicodeString(30, u'\u00E9')),
                          Variant(int32_t{42}), Variant(u"\u20AC"), Variant(longText + u"y"), Variant(u"z")};
  auto ds = OpenDataSet({{u"S", ftString, 20}, {u"M", ftMemo, 20}});
  for (const Variant& v : rows) {
    ds->Append();
    ds->Fields(0)->SetAsVariant(v);
    ds->Fields(1)->SetAsVariant(v);
    ds->Post();
  }
  std::vector<std::string> memos, strings;
  for (const Variant& v : rows) {
    memos.push_back(ToUtf8(v.ToString()));
    strings.push_back(ToUtf8(v.ToString().substr(0, 20)));
  }
  EXPECT_EQ(Column(*ds, 0), strings);
  EXPECT_EQ(Column(*ds, 1), memos);
}

TEST(TextStorage, ConversionStorageOfALargeTextIsNotKept) {
  AnsiBuffer buffer;
  EXPECT_EQ(buffer.Convert(1251, u"\u0416a"), "\xC6" "a");
  EXPECT_EQ(buffer.Convert(1252, UnicodeString(AnsiBuffer::kKeptCapacity, u'a')).size(), AnsiBuffer::kKeptCapacity);
  buffer.Release();
  EXPECT_GE(buffer.Capacity(), AnsiBuffer::kKeptCapacity);  // kept for the next text
  EXPECT_EQ(buffer.Convert(1252, UnicodeString(AnsiBuffer::kKeptCapacity + 1, u'a')).size(), AnsiBuffer::kKeptCapacity + 1);
  buffer.Release();
  EXPECT_LT(buffer.Capacity(), AnsiBuffer::kKeptCapacity);
  EXPECT_EQ(buffer.Convert(1252, u"b"), "b");
}

TEST(TextStorage, KeysAreComparedAsStoredBytes) {
  // The search key is converted and cut like the stored value, so a key
  // longer than the field finds the row holding its first Size bytes.
  ScopedActiveCodePage codePage(932);
  auto ds = OpenDataSet({{u"K", ftString, 4}});
  ds->IndexDefs().Add(u"ByK", u"K", {ixPrimary});
  ds->SetIndexName(u"ByK");
  AppendRow(*ds, {u"\u65E5\u672C\u8A9E"});
  ds->SetKey();
  ds->Fields(0)->SetAsString(u"\u65E5\u672C\u6F22");
  EXPECT_TRUE(ds->GotoKey());
  EXPECT_EQ(ds->Fields(0)->AsString(), u"\u65E5\u672C");
}

TEST(TextStorage, CutAtCharacterBoundary) {
  std::string sjis = WideToMultiByte(932, u"a\u65E5b");
  ASSERT_EQ(sjis.size(), 4u);
  EXPECT_EQ(TStringField::CutAtCharacter(932, sjis, 2), "a");
  EXPECT_EQ(TStringField::CutAtCharacter(932, sjis, 3), sjis.substr(0, 3));
  EXPECT_EQ(TStringField::CutAtCharacter(932, sjis, 10), sjis);
  EXPECT_EQ(TStringField::CutAtCharacter(1252, "abc", 0), "");
}
