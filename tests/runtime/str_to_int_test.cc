#include "runtime/str_to_int.h"

#include <gtest/gtest.h>

#include <limits>

#include "runtime/exceptions.h"

namespace {

struct Accepted {
  const char16_t* text;
  int32_t value;
};

const Accepted kAccepted[] = {
    {u"5", 5},
    {u"05", 5},
    {u" 5", 5},
    {u"   42", 42},
    {u"+7", 7},
    {u"-1", -1},
    {u" -0", 0},
    {u"000", 0},
    {u"$1F", 31},
    {u"$ff", 255},
    {u"x10", 16},
    {u"X10", 16},
    {u"0x1a", 26},
    {u"0XAB", 171},
    {u"-$10", -16},
    {u"+0x10", 16},
    {u"2147483647", std::numeric_limits<int32_t>::max()},
    {u"-2147483648", std::numeric_limits<int32_t>::min()},
    {u"$7FFFFFFF", std::numeric_limits<int32_t>::max()},
    {u"$FFFFFFFF", -1},            // all 32 bits, read back as two's complement
    {u"$80000000", std::numeric_limits<int32_t>::min()},
    {u"0000000000012", 12},        // leading zeros do not count against the range
};

TEST(StrToInt, AcceptsTheRuntimeForms) {
  for (const Accepted& row : kAccepted) {
    int32_t value = 12345;
    EXPECT_TRUE(TryStrToInt(row.text, value)) << std::string(row.text, row.text + std::char_traits<char16_t>::length(row.text));
    EXPECT_EQ(value, row.value);
    EXPECT_EQ(StrToInt(row.text), row.value);
  }
}

const char16_t* const kRejected[] = {
    u"",
    u" ",
    u"5 ",           // trailing space
    u"\t5",          // only U+0020 counts as a leading space
    u"\u00A05",      // no-break space
    u"+",
    u"-",
    u"+-1",
    u"--1",
    u"+ 1",
    u"$",
    u"0x",
    u"x",
    u"1x",
    u"1.0",
    u"1e3",
    u"12a",
    u"$G",
    u"$1 ",
    u"\uFF15",       // fullwidth digit five
    u"2147483648",   // beyond 32 bits
    u"-2147483649",
    u"$100000000",
    u"99999999999999999999",
};

TEST(StrToInt, RejectsEverythingElseWithTheConversionError) {
  for (const char16_t* text : kRejected) {
    int32_t value = 12345;
    EXPECT_FALSE(TryStrToInt(text, value));
    EXPECT_EQ(value, 12345) << "value must stay untouched";
    try {
      StrToInt(text);
      ADD_FAILURE() << "no error for a rejected text";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), u"''" + UnicodeString(text) + u"'' is not a valid integer value");
    }
  }
}

TEST(StrToInt, EmptyTextGivesFourApostrophesInARow) {
  try {
    StrToInt(u"");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'''' is not a valid integer value");
  }
}

}  // namespace
