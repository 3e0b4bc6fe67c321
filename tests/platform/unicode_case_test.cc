#include "platform/unicode_case.h"

#include <gtest/gtest.h>

#include "runtime/utf8.h"

TEST(UnicodeUpperCase, MapsEveryLetterWhateverTheLocale) {
  struct Row {
    const char16_t* text;
    const char16_t* expected;
  } rows[] = {
      {u"abc xyz 09", u"ABC XYZ 09"},
      {u"m\u00E4rz", u"M\u00C4RZ"},
      {u"f\u00E9vr. ao\u00FBt d\u00E9c.", u"F\u00C9VR. AO\u00DBT D\u00C9C."},
      {u"\u0131d", u"ID"},            // Turkish dotless i
      {u"i\u0130", u"I\u0130"},       // no Turkish special case for the dotted i
      {u"stra\u00DFe", u"STRA\u00DFE"},  // no one-to-one capital: unchanged, same length
      {u"\u0436\u03C9", u"\u0416\u03A9"},
      {u"\U00010428x", u"\U00010400X"},  // a supplementary-plane letter (Deseret)
      {u"\xD801", u"\xD801"},            // a lone surrogate stays
      {u"", u""},
  };
  for (const Row& r : rows) EXPECT_EQ(UnicodeUpperCase(r.text), r.expected) << ToUtf8(r.text);
}

TEST(SameTextUnicode, IgnoresCaseByUnicodeRules) {
  EXPECT_TRUE(SameTextUnicode(u"\u0131d", u"ID"));
  EXPECT_TRUE(SameTextUnicode(u"M\u00C4R", u"m\u00E4r"));
  EXPECT_FALSE(SameTextUnicode(u"M\u00C4R", u"MAR"));
  EXPECT_FALSE(SameTextUnicode(u"ID", u"IDs"));
}
