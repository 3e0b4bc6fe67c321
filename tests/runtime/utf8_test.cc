#include "runtime/utf8.h"

#include <gtest/gtest.h>

TEST(Utf8, RoundTripsEveryPlane) {
  struct Row {
    UnicodeString wide;
    std::string utf8;
  } rows[] = {
      {u"", ""},
      {u"abc", "abc"},
      {u"\u00DC", "\xC3\x9C"},
      {u"\u20AC", "\xE2\x82\xAC"},
      {u"\U0001F600", "\xF0\x9F\x98\x80"},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(ToUtf8(r.wide), r.utf8);
    EXPECT_EQ(FromUtf8(r.utf8), r.wide);
  }
}

TEST(Utf8, AsciiRunsAndOtherCharactersMixInAnyOrder) {
  struct Row {
    UnicodeString wide;
    std::string utf8;
  } rows[] = {
      {u"ab\u00DCcd", "ab\xC3\x9C" "cd"},
      {u"\u00DCab", "\xC3\x9C" "ab"},
      {u"ab\u00DC", "ab\xC3\x9C"},
      {u"a\U0001F600\u20ACb\u007F", "a\xF0\x9F\x98\x80\xE2\x82\xAC" "b\x7F"},
      {u"a" + UnicodeString(1, char16_t(0xD800)) + u"b", "a\xEF\xBF\xBD" "b"},
      {u"a" + UnicodeString(1, char16_t(0xDC00)), "a\xEF\xBF\xBD"},
      {UnicodeString(1, char16_t(0xD800)) + UnicodeString(1, char16_t(0xD800)) + u"x", "\xEF\xBF\xBD\xEF\xBF\xBD" "x"},
      {UnicodeString(u"a\0b", 3), std::string("a\0b", 3)},
  };
  std::string reused = "a longer text held before";
  for (const Row& r : rows) {
    EXPECT_EQ(ToUtf8(r.wide), r.utf8);
    ToUtf8(r.wide, reused);
    EXPECT_EQ(reused, r.utf8);
  }
}

TEST(Utf8, BrokenInputBecomesReplacementCharacter) {
  EXPECT_EQ(ToUtf8(UnicodeString(1, char16_t(0xD800))), "\xEF\xBF\xBD");
  EXPECT_EQ(FromUtf8("a\xFF" "b"), u"a\uFFFDb");
  EXPECT_EQ(FromUtf8("\xC0\x80"), u"\uFFFD\uFFFD");  // overlong form
  EXPECT_EQ(FromUtf8("\xE2\x82"), u"\uFFFD\uFFFD");  // cut short
}

TEST(Utf8, ValidityAgreesWithTheConversion) {
  const struct {
    std::string utf8;
    bool valid;
  } rows[] = {
      {"", true},           {"abc", true},          {"\xC3\x9C\xF0\x9F\x98\x80", true}, {"\xEF\xBF\xBD", true},
      {"a\xFF" "b", false}, {"\xC0\x80", false},    {"\xE2\x82", false},                {"\xED\xA0\x80", false},
      {"\xF4\x90\x80\x80", false},  // past U+10FFFF
  };
  for (const auto& r : rows) EXPECT_EQ(IsValidUtf8(r.utf8), r.valid) << r.utf8;
}

TEST(Utf8, PrefixLengthNeverEndsInsideACharacter) {
  struct Row {
    std::string utf8;
    size_t limit;
    size_t length;
  } rows[] = {
      {"", 0, 0},
      {"abc", 5, 3},
      {"abc", 2, 2},
      {"a\xC3\x9C", 2, 1},
      {"\xE2\x82\xAC", 2, 0},
      {"\xE2\x82\xAC" "a", 3, 3},
      {"\xF0\x9F\x98\x80", 3, 0},
  };
  for (const Row& r : rows) EXPECT_EQ(Utf8PrefixLength(r.utf8, r.limit), r.length) << r.utf8 << " at " << r.limit;
}
