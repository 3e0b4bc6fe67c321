#include "platform/code_page.h"

#include <vector>

#include "runtime/utf8.h"

#include <gtest/gtest.h>

TEST(CodePage, DerivedFromTheLocaleName) {
  struct Row {
    const char* locale;
    int32_t codePage;
  } rows[] = {
      {"", 1252},          {"C", 1252},          {"POSIX", 1252},    {"en_US.UTF-8", 1252}, {"de_DE", 1252},
      {"ru_RU.UTF-8", 1251}, {"uk_UA", 1251},     {"pl_PL", 1250},    {"el_GR", 1253},       {"tr_TR", 1254},
      {"he_IL", 1255},     {"fa_IR", 1256},      {"lv_LV", 1257},    {"vi_VN", 1258},       {"th_TH", 874},
      {"ja_JP.UTF-8", 932}, {"zh_CN.UTF-8", 936}, {"zh_SG", 936},     {"zh_TW", 950},        {"zh_HK", 950},
      {"ko_KR", 949},
  };
  for (const Row& r : rows) EXPECT_EQ(AnsiCodePageForLocale(r.locale), r.codePage) << r.locale;
  EXPECT_EQ(OemCodePageForAnsi(1252), 437);
  EXPECT_EQ(OemCodePageForAnsi(1251), 866);
}

TEST(CodePage, MissingCharactersBecomeQuestionMarks) {
  EXPECT_EQ(WideToMultiByte(1252, u"\u00DCber \u20AC \u0416"), "\xDC" "ber \x80 ?");
  EXPECT_EQ(WideToMultiByte(1251, u"\u0416\u00DC"), "\xC6?");
  EXPECT_EQ(WideToMultiByte(1252, u"a\U0001F600b"), "a?b");
  struct Row {
    UnicodeString wide;
    std::string bytes;
  } rows[] = {
      {u"", ""},
      {u"\U0001F600", "?"},
      {u"\U0001F600\U0001F600x", "??x"},
      {u"a" + UnicodeString(1, char16_t(0xD800)), "a?"},
      {UnicodeString(1, char16_t(0xD800)) + u"b", "?b"},
      {UnicodeString(1, char16_t(0xDC00)) + u"b", "?b"},
      {UnicodeString(u"a\0\u00DC", 3), std::string("a\0\xDC", 3)},
      // ASCII runs around characters that need the table, across four-character steps.
      {u"abcd\u20ACefgh", "abcd\x80" "efgh"},
      {u"abcdefg\U0001F600hijk", "abcdefg?hijk"},
      {u"abc" + UnicodeString(1, char16_t(0xD800)) + u"defgh", "abc?defgh"},
      {u"abcdefgh\u0416", "abcdefgh?"},
      {u"0123456789abcdef\u00E9xyz", "0123456789abcdef\xE9xyz"},
      // ... and across sixteen-character steps, the odd character in either half of one.
      {u"0123456789abcde\u00E9" u"0123456789abcdefghijklmnopqrstuv", "0123456789abcde\xE9" "0123456789abcdefghijklmnopqrstuv"},
      {u"0123456\u00E9" u"89abcdef0123456789abcdef\u0416", "0123456\xE9" "89abcdef0123456789abcdef?"},
      {u"0123456789abcdef0123456789abcdef0123456789abcdef\u20AC", "0123456789abcdef0123456789abcdef0123456789abcdef\x80"},
  };
  std::string reused(1000, 'x');  // converted into, after the longer text it held
  for (const Row& r : rows) {
    EXPECT_EQ(WideToMultiByte(1252, r.wide), r.bytes);
    WideToMultiByte(1252, r.wide, reused);
    EXPECT_EQ(reused, r.bytes);
  }
  for (int32_t codePage : {932, kCodePageUtf8}) {
    WideToMultiByte(codePage, u"", reused);
    EXPECT_EQ(reused, "");
    WideToMultiByte(codePage, u"\u65E5a", reused);
    EXPECT_EQ(reused, WideToMultiByte(codePage, u"\u65E5a"));
  }
  EXPECT_EQ(MultiByteToWide(1252, "\xDC\x80"), u"\u00DC\u20AC");
  EXPECT_EQ(MultiByteToWide(1251, "\xC6"), u"\u0416");
}

TEST(CodePage, StraightToUtf8IsTheWayThroughUtf16) {
  EXPECT_EQ(MultiByteToUtf8(1252, "\x80 \xDC"), "\xE2\x82\xAC \xC3\x9C");
  std::string everyByte;
  for (int b = 0; b < 256; ++b) everyByte += static_cast<char>(b);
  std::vector<std::string> inputs = {"", "seventeen letters", everyByte, "\x81\x8D\x8F\x90\x9D", "\x82\xA0", "\x82",
                                     std::string(250, 'a') + "\xDC" + std::string(300, 'b') + everyByte};
  // Every byte after runs of ASCII that end inside and at the edge of eight- and sixteen-byte steps.
  for (int b = 0x80; b < 256; ++b)
    for (std::string run : {"1234567", "12345678", "123456789", "123456789abcdef", "123456789abcdefg",
                            "123456789abcdefgh"})
      inputs.push_back(run + char(b) + run);
  for (int32_t codePage : {1252, 1251, 1250, 1253, 874, 437, 866, 932, 936, kCodePageUtf8})
    for (const std::string& in : inputs)
      ASSERT_EQ(MultiByteToUtf8(codePage, in), ToUtf8(MultiByteToWide(codePage, in))) << codePage << " " << in;
}

TEST(CodePage, RoundTripIsTheWayThroughUtf16) {
  std::string everyByte;
  for (int b = 0; b < 256; ++b) everyByte += static_cast<char>(b);
  const std::string inputs[] = {"", "plain ASCII", everyByte, "\x81\x8D\x8F\x90\x9D", "\x82\xA0", "\x82", "a\x98" "b"};
  for (int32_t codePage : {1252, 1251, 1250, 1253, 1255, 874, 437, 866, 932, 936, kCodePageUtf8}) {
    for (const std::string& in : inputs)
      ASSERT_EQ(MultiByteRoundTrip(codePage, in), WideToMultiByte(codePage, MultiByteToWide(codePage, in)))
          << codePage << " " << in;
    // A page said to keep every byte does.
    if (RoundTripKeepsEveryByte(codePage)) {
      EXPECT_EQ(MultiByteRoundTrip(codePage, everyByte), everyByte) << codePage;
    }
  }
}

TEST(CodePage, EachConversionUsesTheCodePageItNames) {
  // The converter used last is kept at hand; switching pages must not reuse it.
  for (int round = 0; round < 2; ++round) {
    EXPECT_EQ(MultiByteToWide(1251, "\xC6"), u"\u0416");
    EXPECT_EQ(MultiByteToWide(1252, "\xC6"), u"\u00C6");
    EXPECT_EQ(WideToMultiByte(1251, u"\u0416"), "\xC6");
    EXPECT_EQ(WideToMultiByte(1252, u"\u0416"), "?");
    EXPECT_EQ(MultiByteToUtf8(1251, "\xC6"), "\xD0\x96");
    EXPECT_EQ(MultiByteToUtf8(1252, "\xC6"), "\xC3\x86");
  }
}

TEST(CodePage, DoubleBytePagesCountTwoBytesPerCharacter) {
  std::string sjis = WideToMultiByte(932, u"\u65E5\u672C a");
  EXPECT_EQ(sjis.size(), 6u);
  EXPECT_EQ(MultiByteToWide(932, sjis), u"\u65E5\u672C a");
  EXPECT_EQ(WideToMultiByte(936, u"\u4E2D").size(), 2u);
  EXPECT_EQ(WideToMultiByte(932, u"\u0416x"), std::string("\x84\x47x"));
  EXPECT_EQ(WideToMultiByte(932, u"\u00E9"), "?");
}

TEST(CodePage, ScopedOverrideRestores) {
  int32_t before = GetACP();
  {
    ScopedActiveCodePage scope(1251);
    EXPECT_EQ(GetACP(), 1251);
    EXPECT_EQ(ToAnsi(u"\u0416"), "\xC6");
  }
  EXPECT_EQ(GetACP(), before);
}

TEST(CodePage, Utf8IsACodePageToo) {
  EXPECT_EQ(WideToMultiByte(kCodePageUtf8, u"\u00DC"), "\xC3\x9C");
  EXPECT_TRUE(IsRepresentable(1252, u"\u00E9"));
  EXPECT_FALSE(IsRepresentable(1252, u"\u0416"));
}
