#include "import_engine/numeric_text.h"

#include <gtest/gtest.h>

#include "runtime/regional_settings.h"
#include "runtime/utf8.h"

namespace {

TEST(NumericText, PlainSyntaxAfterTheDecimalSeparatorIsReplaced) {
  struct Row {
    const char16_t* text;
    char16_t decimalSeparator;
    bool numeric;
  } rows[] = {
      {u"12", u'.', true},       {u"-12.5", u'.', true},   {u"+1e5", u'.', true},    {u"1.5E-3", u'.', true},
      {u"5.", u'.', true},       {u"0.5", u'.', true},     {u"1,5", u',', true},     {u"-0,25e+2", u',', true},
      // Only the first separator is replaced; a "." is always the point.
      {u"1,5,3", u',', false},   {u"1.5", u',', true},     {u"1,5", u'.', false},    {u".5", u'.', false},
      {u"", u'.', false},        {u" 12", u'.', false},    {u"12 ", u'.', false},    {u"1e", u'.', false},
      {u"e5", u'.', false},      {u"--1", u'.', false},    {u"+", u'.', false},      {u"abc", u'.', false},
      {u"1 000", u'.', false},   {u"1.2.3", u'.', false},  {u"0x1F", u'.', false},   {u"1e5.5", u'.', false},
      {u"\u0661", u'.', false},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(IsNumericText(r.text, r.decimalSeparator), r.numeric)
        << ToUtf8(r.text) << " with " << static_cast<char>(r.decimalSeparator);
  }
}

TEST(NumericText, RegionalSeparatorIsTheDefault) {
  FormatSettings settings;
  settings.DecimalSeparator = u',';
  ScopedRegionalSettings scoped(settings);
  EXPECT_TRUE(IsNumericText(u"1,5"));
  double value = 0;
  ASSERT_TRUE(TryNumericTextToFloat(u"-1,25", value));
  EXPECT_EQ(value, -1.25);
}

TEST(NumericText, ConversionToFloat) {
  struct Row {
    const char16_t* text;
    bool converts;
    double value;
  } rows[] = {
      {u"1234.50", true, 1234.5}, {u"+7", true, 7.0},     {u"-0.5", true, -0.5},  {u"2.5e3", true, 2500.0},
      {u"1e400", false, 0},       {u"1e-400", false, 0},  {u"abc", false, 0},     {u"", false, 0},
  };
  for (const Row& r : rows) {
    double value = -99;
    EXPECT_EQ(TryNumericTextToFloat(r.text, u'.', value), r.converts) << ToUtf8(r.text);
    EXPECT_EQ(value, r.converts ? r.value : -99) << ToUtf8(r.text);
  }
}

}  // namespace
