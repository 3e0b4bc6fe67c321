#include "import_engine/date_time_parsing.h"

#include <gtest/gtest.h>

#include <optional>

#include "import_engine/t_smi_data_formats.h"
#include "runtime/exceptions.h"
#include "runtime/regional_settings.h"
#include "runtime/utf8.h"
#include "tests/runtime/two_digit_year_rows.h"

namespace {

constexpr const char16_t* kDmy = u"DD.MM.YYYY HH:NN:SS";
constexpr const char16_t* kTime = u"HH:NN:SS";

TDateTime At(int32_t y, int32_t m, int32_t d, int32_t h = 0, int32_t n = 0, int32_t s = 0) {
  return CombineDateTime(EncodeDate(y, m, d), EncodeTime(h, n, s, 0));
}
TDateTime TimeOfDay(int32_t h, int32_t n, int32_t s = 0) { return EncodeTime(h, n, s, 0); }

struct Row {
  const char16_t* text;
  const char16_t* format;
  char16_t dateSeparator;
  std::optional<TDateTime> expected;  // nothing: EConvertError
};

void CheckRows(const std::vector<Row>& rows, int32_t currentYear = 2026) {
  for (const Row& r : rows) {
    const std::string label = ToUtf8(r.text) + " by " + ToUtf8(r.format);
    if (r.expected) {
      EXPECT_DOUBLE_EQ(ParseDateTime(r.text, r.format, r.dateSeparator, u':', currentYear), *r.expected) << label;
    } else {
      EXPECT_THROW(ParseDateTime(r.text, r.format, r.dateSeparator, u':', currentYear), EConvertError) << label;
    }
  }
}

TEST(ParseDateTime, DatesAndTimesByPicture) {
  CheckRows({
      {u"31.12.2020", kDmy, u'.', At(2020, 12, 31)},
      {u"1.2.2021", kDmy, u'.', At(2021, 2, 1)},
      {u"31.12.2020 23:59:58", kDmy, u'.', At(2020, 12, 31, 23, 59, 58)},
      {u"12/31/2020 19:05:30", u"MM/DD/YYYY HH:NN:SS", u'/', At(2020, 12, 31, 19, 5, 30)},
      {u"2020-12-31", u"YYYY-MM-DD HH:NN:SS", u'-', At(2020, 12, 31)},
      {u"20201231", u"YYYYMMDD", u'-', At(2020, 12, 31)},
      {u"19:05", kTime, u'.', TimeOfDay(19, 5)},
      {u"07:05:00 PM", kTime, u'.', TimeOfDay(19, 5)},
      {u"07:05:00 pm", kTime, u'.', TimeOfDay(19, 5)},
      {u"12:30:00 PM", kTime, u'.', TimeOfDay(12, 30)},
      {u"0:00:01", kTime, u'.', TimeOfDay(0, 0, 1)},
      // The letters of a short "7:05 PM" fall under the seconds.
      {u"7:05 PM", kTime, u'.', std::nullopt},
      {u"07:05 PM", kTime, u'.', std::nullopt},
      {u"abc", kTime, u'.', 0.0},
      {u"", kTime, u'.', 0.0},
      {u"", kDmy, u'.', 0.0},
  });
}

TEST(ParseDateTime, OutOfRangePartsAreIgnoredButImpossibleValuesFail) {
  CheckRows({
      {u"32.12.2020", kDmy, u'.', 0.0},
      {u"00.12.2020", kDmy, u'.', 0.0},
      {u"31.13.2020", kDmy, u'.', 0.0},
      {u"23:60", kTime, u'.', 0.0},
      {u"23:59:60", kTime, u'.', 0.0},
      {u"25:00", kTime, u'.', 0.0},
      // A date outside the ranges keeps a valid time.
      {u"32.12.2020 10:00:00", kDmy, u'.', TimeOfDay(10, 0)},
      {u"30.02.2020", kDmy, u'.', std::nullopt},
      {u"29.02.2021", kDmy, u'.', std::nullopt},
      {u"31.04.2020", kDmy, u'.', std::nullopt},
      {u"24:00", kTime, u'.', std::nullopt},
      {u"24:00:00", kTime, u'.', std::nullopt},
      {u"3x.12.2020", kDmy, u'.', std::nullopt},
      {u"12:3x", kTime, u'.', std::nullopt},
  });
  CheckRows({{u"29.02.2020", kDmy, u'.', At(2020, 2, 29)}});
}

TEST(ParseDateTime, TwoDigitYearsFollowTheCenturyWindow) {
  struct WindowRow {
    const char16_t* text;
    int32_t window;
    int32_t currentYear;
    int32_t year;
  } rows[] = {
      {u"31.12.20", 50, 2026, 2020},  {u"31.12.75", 50, 2026, 2075}, {u"31.12.76", 50, 2026, 1976},
      {u"31.12.99", 50, 2026, 1999},  {u"31.12.00", 50, 2026, 2000}, {u"31.12.20", 0, 2026, 2020},
      {u"31.12.99", 0, 2026, 2099},   {u"31.12.20", 50, 2080, 2120}, {u"31.12.31", 50, 2080, 2031},
      {u"31.12.0020", 50, 2026, 2020}, {u"31.12.2020", 50, 1999, 2020},
  };
  for (const WindowRow& r : rows) {
    FormatSettings settings;
    settings.TwoDigitYearCenturyWindow = r.window;
    ScopedRegionalSettings scoped(settings);
    const TDateTime x = ParseDateTime(r.text, kDmy, u'.', u':', r.currentYear);
    EXPECT_EQ(DecodeDate(x).year, r.year) << ToUtf8(r.text) << " window " << r.window << " in " << r.currentYear;
  }
}

TEST(ParseDateTime, TwoDigitYearsFollowTheSharedCenturyWindowRows) {
  ForEachTwoDigitYearRow([](const TwoDigitYearRow& r) {
    const UnicodeString text = u"31.12." + r.Digits();
    EXPECT_EQ(DecodeDate(ParseDateTime(text, kDmy, u'.', u':')).year, r.year) << ToUtf8(text) << " window " << r.window;
  });
}

TEST(ParseDateTime, TheFourArgumentFormUsesTheInjectableCurrentYear) {
  FormatSettings settings;
  settings.TwoDigitYearCenturyWindow = 50;
  ScopedRegionalSettings scoped(settings);
  {
    ScopedCurrentYear year(2026);
    EXPECT_EQ(CurrentYear(), 2026);
    EXPECT_EQ(DecodeDate(ParseDateTime(u"01.01.75", kDmy, u'.', u':')).year, 2075);
    {
      ScopedCurrentYear inner(2080);
      EXPECT_EQ(DecodeDate(ParseDateTime(u"01.01.20", kDmy, u'.', u':')).year, 2120);
    }
    EXPECT_EQ(CurrentYear(), 2026);
  }
  EXPECT_EQ(CurrentYear(), DecodeDate(Now()).year);
}

TEST(ParseDateTime, MonthNamesInEnglishAndRegionally) {
  CheckRows({
      {u"5-MAR-2021", u"DD-MMM-YYYY", u'-', At(2021, 3, 5)},
      {u"31-dec-2020", u"dd-mmm-yyyy", u'-', At(2020, 12, 31)},
      {u"05 January 2021", u"DD MMMMMMM YYYY", u'-', At(2021, 1, 5)},
      {u"05 SEPTEMBER 2021", u"DD MMMMMMMMM YYYY", u'-', At(2021, 9, 5)},
      {u"05-Foo-2021", u"DD-MMM-YYYY", u'-', 0.0},
      // Fewer than three characters read as a number.
      {u"05-Ma-2021", u"DD-MM-YYYY", u'-', std::nullopt},
  });
  FormatSettings german;
  german.ShortMonthNames = {u"Jan", u"Feb", u"M\u00E4r", u"Apr", u"Mai", u"Jun",
                            u"Jul", u"Aug", u"Sep", u"Okt", u"Nov", u"Dez"};
  german.LongMonthNames = {u"Januar", u"Februar", u"M\u00E4rz",    u"April",   u"Mai",      u"Juni",
                           u"Juli",   u"August",  u"September", u"Oktober", u"November", u"Dezember"};
  ScopedRegionalSettings scoped(german);
  CheckRows({
      {u"05 m\u00E4rz 2021", u"DD MMMM YYYY", u'-', At(2021, 3, 5)},
      {u"05-Okt-2021", u"DD-MMM-YYYY", u'-', At(2021, 10, 5)},
      {u"05-OCT-2021", u"DD-MMM-YYYY", u'-', At(2021, 10, 5)},
      // Non-ASCII letters compare by Unicode rules, whatever the process locale.
      {u"05-M\u00C4R-2021", u"dd-mmm-yyyy", u'-', At(2021, 3, 5)},
      {u"05-m\u00E4r-2021", u"DD-MMM-YYYY", u'-', At(2021, 3, 5)},
      {u"05 M\u00C4RZ 2021", u"DD MMMM YYYY", u'-', At(2021, 3, 5)},
  });
  FormatSettings french;
  french.ShortMonthNames = {u"janv.", u"f\u00E9vr.", u"mars", u"avr.", u"mai", u"juin",
                            u"juil.", u"ao\u00FBt", u"sept.", u"oct.", u"nov.", u"d\u00E9c."};
  french.LongMonthNames = {u"janvier", u"f\u00E9vrier", u"mars",      u"avril",   u"mai",      u"juin",
                           u"juillet", u"ao\u00FBt",    u"septembre", u"octobre", u"novembre", u"d\u00E9cembre"};
  ScopedRegionalSettings scopedFrench(french);
  CheckRows({
      {u"05 F\u00C9VRIER 2021", u"DD MMMMMMM YYYY", u'-', At(2021, 2, 5)},
      {u"12 AO\u00DBT 2021", u"DD MMMM YYYY", u'-', At(2021, 8, 12)},
      {u"24 D\u00E9cembre 2021", u"DD MMMMMMMM YYYY", u'-', At(2021, 12, 24)},
  });
}

TEST(ParseDateTime, RegionalPmDesignator) {
  FormatSettings settings;
  settings.TimePMString = u"nachm.";
  ScopedRegionalSettings scoped(settings);
  CheckRows({
      {u"07:05:00 NACHM.", kTime, u'-', TimeOfDay(19, 5)},
      // "PM" is no longer the designator.
      {u"07:05:00 PM", kTime, u'-', TimeOfDay(7, 5)},
  });
  settings.TimePMString = u"";
  ScopedRegionalSettings empty(settings);
  CheckRows({
      {u"07:05:00 pm", kTime, u'-', TimeOfDay(19, 5)},
      {u"07:05:00 Pm", kTime, u'-', TimeOfDay(7, 5)},
  });
}

TEST(ParseDateTime, TimeBeforeTheEpochDayStaysWithinItsDay) {
  const TDateTime x = ParseDateTime(u"01.01.1800 06:00:00", kDmy, u'.', u':', 2026);
  EXPECT_EQ(DecodeDate(x).year, 1800);
  EXPECT_EQ(DecodeDate(x).day, 1);
  EXPECT_EQ(DecodeTime(x).hour, 6);
}

TSMIDataFormats Formats(TSMIDateOrder order, char16_t dateSeparator, bool fourDigitYear,
                        char16_t timeSeparator = u':') {
  TSMIDataFormats formats;
  formats.SetDateOrder(order);
  formats.SetDateSeparator(dateSeparator);
  formats.SetTimeSeparator(timeSeparator);
  formats.SetFourDigitYear(fourDigitYear);
  return formats;
}

TEST(BuildDateFormat, PartsInDateOrderThenTheTime) {
  struct FormatRow {
    TSMIDataFormats formats;
    TTableTypeImport tableType;
    const char16_t* expected;
  } rows[] = {
      {Formats(doDMY, u'.', true), teAccess, u"DD.MM.YYYY HH:NN:SS"},
      {Formats(doMDY, u'/', false), teAccess, u"MM/DD/YY HH:NN:SS"},
      {Formats(doYMD, u'-', true), teText, u"YYYY-MM-DD HH:NN:SS"},
      {Formats(doYDM, u'-', true), teAccess, u"YYYY-DD-MM HH:NN:SS"},
      {Formats(doDYM, u'/', false), teAccess, u"DD/YY/MM HH:NN:SS"},
      {Formats(doMYD, u'/', false), teAccess, u"MM/YY/DD HH:NN:SS"},
      {Formats(doDMY, 0, true), teAccess, u"DDMMYYYY HH:NN:SS"},
      {Formats(doDMY, u'.', true, u'.'), teAccess, u"DD.MM.YYYY HH.NN.SS"},
      {Formats(doYMD, u'-', true), teXML, u"YYYY-MM-DD THH:NN:SS"},
  };
  for (const FormatRow& r : rows) EXPECT_EQ(BuildDateFormat(r.formats, r.tableType), r.expected) << ToUtf8(r.expected);

  TSMIDataFormats custom = Formats(doDMY, u'.', true);
  custom.SetCustomDateTimeFormat(u"dd-mmm-yyyy");
  EXPECT_EQ(BuildDateFormat(custom, teXML), u"DD-MMM-YYYY");
}

TEST(BuildTimeFormat, SeparatorAndTheTFlag) {
  EXPECT_EQ(BuildTimeFormat(Formats(doMDY, u'/', true, u':'), false), u"HH:NN:SS");
  EXPECT_EQ(BuildTimeFormat(Formats(doMDY, u'/', true, u':'), true), u"THH:NN:SS");
  EXPECT_EQ(BuildTimeFormat(Formats(doMDY, u'/', true, u'.'), false), u"HH.NN.SS");
  EXPECT_EQ(BuildTimeFormat(Formats(doMDY, u'/', true, 0), false), u"HHNNSS");
}

// A time separator of code 0 adds nothing to the picture (as a date separator
// of code 0 does): a NUL character there would count as a separator and push
// the text's digits out of line, reading 193005 as 19:05. The price: a time
// written with separators no longer lines up with the picture.
TEST(BuildTimeFormat, NoTimeSeparatorReadsRunTogetherDigits) {
  struct Row {
    const char16_t* text;
    bool withDate;  // read by the date-time picture MM/DD/YYYY HHNNSS
    TDateTime expected;
  } rows[] = {
      {u"193005", false, TimeOfDay(19, 30, 5)},
      {u"1930", false, TimeOfDay(19, 30)},
      {u"0705", false, TimeOfDay(7, 5)},
      {u"235959", false, TimeOfDay(23, 59, 59)},
      {u"12/31/2020 193005", true, At(2020, 12, 31, 19, 30, 5)},
      // A separator in the text drops the picture letter at its place, so
      // the minutes fall under the seconds.
      {u"19:30", false, 0.0},
      {u"19 30 05", false, 0.0},
      {u"12/31/2020 19:30", true, At(2020, 12, 31)},
      {u"7:30 PM", false, TimeOfDay(19, 3)},
  };
  const TSMIDataFormats formats = Formats(doMDY, u'/', true, 0);
  const UnicodeString timeFormat = BuildTimeFormat(formats, false);
  const UnicodeString dateFormat = BuildDateFormat(formats, teAccess);
  EXPECT_EQ(timeFormat.find(u'\0'), UnicodeString::npos);
  EXPECT_EQ(dateFormat.find(u'\0'), UnicodeString::npos);
  for (const Row& r : rows) {
    EXPECT_NEAR(ParseDateTime(r.text, r.withDate ? dateFormat : timeFormat, u'/', 0, 2026), r.expected, 1e-9)
        << ToUtf8(r.text);
  }
}

TEST(DateDigits, RemovesSeparatorsAndTrims) {
  struct DigitsRow {
    const char16_t* text;
    char16_t dateSeparator;
    char16_t timeSeparator;
    const char16_t* expected;
  } rows[] = {
      {u"31.12.2020", u'.', u':', u"31122020"},
      {u" 1899/12/30 ", u'.', u':', u"18991230"},
      {u"1899-12-30", u'-', u':', u"18991230"},
      {u"10:20", u'.', u':', u"1020"},
      {u"10h20", u'.', u'h', u"1020"},
      {u"//  ::", u'.', u':', u""},
      {u"31 12 2020", u'.', u':', u"31 12 2020"},
  };
  for (const DigitsRow& r : rows) {
    EXPECT_EQ(DateDigits(r.text, Formats(doDMY, r.dateSeparator, true, r.timeSeparator)), r.expected)
        << ToUtf8(r.text);
  }
}

}  // namespace
