// Text helpers of the runtime.
#include "runtime/unicode_string.h"

#include <gtest/gtest.h>

#include "runtime/utf8.h"

TEST(UnicodeString, SameUnitsIsEqualityOfCodeUnits) {
  const struct {
    UnicodeString a, b;
  } rows[] = {
      {u"", u""},
      {u"", u"a"},
      {u"NodeKeyValue", u"NodeKeyValue"},
      {u"NodeKeyValue", u"NodeKeyValuf"},   // the last unit differs
      {u"NodeKeyValue", u"nodeKeyValue"},   // letter case counts
      {u"NodeKeyValue", u"NodeKeyValue "},  // a longer text
      {UnicodeString(u"a\0b", 3), UnicodeString(u"a\0c", 3)},
      {UnicodeString(u"a\0b", 3), u"a"},
      {u"\u0141", u"\u4101"},  // the same two bytes the other way round
      {u"\U0001F600", u"\U0001F600"},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(SameUnits(r.a, r.b), r.a == r.b) << ToUtf8(r.a) << " / " << ToUtf8(r.b);
    EXPECT_EQ(SameUnits(r.b, r.a), r.a == r.b);
  }
}
