#include "runtime/date_time.h"

#include <gtest/gtest.h>

#include "runtime/utf8.h"
#include "tests/runtime/two_digit_year_rows.h"

TEST(DateTime, EncodesDaysFromTheEpochOfTheRuntime) {
  struct Row {
    int y, m, d;
    double serial;
  } rows[] = {
      {1899, 12, 30, 0}, {1900, 1, 1, 2}, {2020, 12, 31, 44196}, {100, 1, 1, -657434}, {9999, 12, 31, 2958465},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(EncodeDate(r.y, r.m, r.d), r.serial) << r.y;
    DateParts p = DecodeDate(r.serial);
    EXPECT_EQ(p.year, r.y);
    EXPECT_EQ(p.month, r.m);
    EXPECT_EQ(p.day, r.d);
  }
}

TEST(DateTime, NegativeDatesKeepAPositiveTimeOfDay) {
  DateParts p = DecodeDate(-1.25);
  EXPECT_EQ(p.day, 29);
  EXPECT_EQ(DecodeTime(-1.25).hour, 6);
  EXPECT_EQ(CombineDateTime(-1, 0.25), -1.25);
}

TEST(DateTime, RejectsImpossibleDays) {
  TDateTime out;
  EXPECT_FALSE(TryEncodeDate(2020, 2, 30, out));
  EXPECT_TRUE(TryEncodeDate(2020, 2, 29, out));
  EXPECT_FALSE(TryEncodeDate(2021, 2, 29, out));
  EXPECT_FALSE(TryEncodeTime(24, 0, 1, 0, out));
}

TEST(DateTime, FormatsWithUnitedStatesDefaults) {
  FormatSettings us;
  TDateTime noon = EncodeDate(2020, 12, 31) + EncodeTime(19, 5, 0, 0);
  EXPECT_EQ(DateTimeToStr(noon, us), u"12/31/2020 7:05:00 PM");
  EXPECT_EQ(DateTimeToStr(EncodeDate(2020, 1, 2), us), u"1/2/2020");
  EXPECT_EQ(FormatDateTime(u"dd.mm.yyyy hh:nn:ss", noon, us), u"31.12.2020 19:05:00");
  EXPECT_EQ(FormatDateTime(u"mmm mmmm ddd", noon, us), u"Dec December Thu");
}

TEST(DateTime, RegionalDateTextsPlaceTwoDigitYearsByTheCenturyWindow) {
  ForEachTwoDigitYearRow([](const TwoDigitYearRow& r) {
    const UnicodeString text = u"12/31/" + r.Digits();
    TDateTime x = 0;
    ASSERT_TRUE(ParseDateTimeText(text, x)) << ToUtf8(text);
    EXPECT_EQ(DecodeDate(x).year, r.year) << ToUtf8(text) << " window " << r.window;
  });
  // Month and day alone fall in the current year.
  ScopedCurrentYear year(2031);
  TDateTime x = 0;
  ASSERT_TRUE(ParseDateTimeText(u"12/31", x));
  EXPECT_EQ(x, EncodeDate(2031, 12, 31));
}
