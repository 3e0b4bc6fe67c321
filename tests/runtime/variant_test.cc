#include "runtime/variant.h"

#include <gtest/gtest.h>

#include "runtime/exceptions.h"

TEST(Variant, SetMeansNeitherNullNorEmpty) {
  EXPECT_FALSE(Variant().IsSet());
  EXPECT_FALSE(Variant::Null().IsSet());
  EXPECT_TRUE(Variant(u"").IsSet());
  EXPECT_TRUE(Variant(0).IsSet());
}

TEST(Variant, TextFormOfEachKind) {
  FormatSettings us;
  ScopedRegionalSettings scope(us);
  Decimal dec{true, 3, 0, 1234567};
  struct Row {
    Variant v;
    UnicodeString text;
  } rows[] = {
      {Variant(), u""},
      {Variant::Null(), u""},
      {Variant(u"x y"), u"x y"},
      {Variant(int32_t(-2147483647 - 1)), u"-2147483648"},
      {Variant(int64_t(9223372036854775807)), u"9223372036854775807"},
      {Variant(uint8_t(255)), u"255"},
      {Variant(1234.5), u"1234.5"},
      {Variant(0.1), u"0.1"},
      {Variant::FromSingle(0.1f), u"0.1"},
      {Variant(Currency{-185000}), u"-18.5"},
      {Variant(Currency{10000}), u"1"},
      {Variant(dec), u"-1234.567"},
      {Variant(true), u"True"},
      {Variant(false), u"False"},
      {Variant::FromDate(EncodeDate(2020, 12, 31)), u"12/31/2020"},
      {Variant(Variant::Bytes{'a', 'b', 0xE9}), u"ab\u00E9"},
  };
  for (const Row& r : rows) EXPECT_EQ(r.v.ToString(), r.text);
}

TEST(Variant, FloatTextUsesTheRegionalDecimalSeparator) {
  FormatSettings de;
  de.DecimalSeparator = u',';
  ScopedRegionalSettings scope(de);
  EXPECT_EQ(Variant(1234.5).ToString(), u"1234,5");
  EXPECT_EQ(Variant(u"0,25").ToDouble(), 0.25);
  EXPECT_THROW(Variant(u"0.25").ToDouble(), EConvertError);
}

TEST(Variant, Conversions) {
  EXPECT_EQ(Variant(u" 42 ").ToInt64(), 42);
  EXPECT_EQ(Variant(u"true").ToBoolean(), true);
  EXPECT_EQ(Variant(2.5).ToInt64(), 2);  // half to even
  EXPECT_EQ(Variant(Currency{25000}).ToInt64(), 2);
  EXPECT_THROW(Variant(u"abc").ToInt64(), EConvertError);
  EXPECT_THROW(Variant(Variant::Array{}).ToString(), EVariantError);
  FormatSettings us;
  ScopedRegionalSettings scope(us);
  EXPECT_EQ(Variant(u"12/31/2020 7:05 PM").ToDateTime(), EncodeDate(2020, 12, 31) + EncodeTime(19, 5, 0, 0));
}

TEST(Variant, EqualityComparesKindAndValue) {
  EXPECT_EQ(Variant(1), Variant(1));
  EXPECT_NE(Variant(1), Variant(int64_t(1)));
  EXPECT_EQ(Variant::Null(), Variant::Null());
  EXPECT_NE(Variant::Null(), Variant());
  EXPECT_EQ(Variant(Variant::Array{Variant(1), Variant(u"a")}), Variant(Variant::Array{Variant(1), Variant(u"a")}));
}
