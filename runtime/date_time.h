// Date-time values as the runtime keeps them: a double counting days since
// 1899-12-30, the fraction being the time of day. Before that day the integer
// part is the negative day number and the fraction is still the positive time
// of day (-1.25 is 1899-12-29 06:00).
#pragma once

#include <cstdint>

#include "runtime/regional_settings.h"
#include "runtime/unicode_string.h"

using TDateTime = double;

struct DateParts {
  int32_t year = 0, month = 0, day = 0;
};
struct TimeParts {
  int32_t hour = 0, minute = 0, second = 0, millisecond = 0;
};

bool IsLeapYear(int32_t year);
int32_t DaysInMonth(int32_t year, int32_t month);
// False when the parts name no day of years 1 to 9999.
bool TryEncodeDate(int32_t year, int32_t month, int32_t day, TDateTime& out);
// Raises EConvertError "Invalid argument to date encode" when the parts name no day.
TDateTime EncodeDate(int32_t year, int32_t month, int32_t day);
bool TryEncodeTime(int32_t hour, int32_t minute, int32_t second, int32_t ms, TDateTime& out);
// Raises EConvertError "Invalid argument to time encode".
TDateTime EncodeTime(int32_t hour, int32_t minute, int32_t second, int32_t ms);
DateParts DecodeDate(TDateTime value);
TimeParts DecodeTime(TDateTime value);
// Combines a date (its day) and a time of day the way the runtime does for
// negative dates: the time always moves forward within the day.
TDateTime CombineDateTime(TDateTime date, TDateTime time);
// 1 (Sunday) to 7 (Saturday).
int32_t DayOfWeek(TDateTime value);

// The local date and time now.
TDateTime Now();

// The year two-digit years are placed by: the local year now, unless a
// ScopedCurrentYear is alive.
int32_t CurrentYear();

// Makes CurrentYear() answer `year` for its lifetime (tests). Nestable on one
// thread; everything that reads it runs on one thread.
class ScopedCurrentYear {
 public:
  explicit ScopedCurrentYear(int32_t year);
  ~ScopedCurrentYear();
  ScopedCurrentYear(const ScopedCurrentYear&) = delete;
  ScopedCurrentYear& operator=(const ScopedCurrentYear&) = delete;

 private:
  int32_t saved_;
};

// Places a two-digit year (below 100) in the hundred years that begin `window`
// years before `currentYear` (FormatSettings::TwoDigitYearCenturyWindow). A
// negative window starts them after the current year; a window of 0 keeps
// the year in the current year's century.
int32_t PlaceTwoDigitYear(int32_t year, int32_t currentYear, int32_t window);

// Reads a date, a time or both as the regional settings write them: numbers
// in the order of the short date format separated by the date separator (two
// numbers: month and day of CurrentYear(); a two-digit year is placed by
// PlaceTwoDigitYear), then hour, minute and optional second separated by the
// time separator, then an optional AM or PM designator (regional or English).
// False when the text is anything else or names no day or time.
bool ParseDateTimeText(UnicodeStringView text, TDateTime& out);

// Formats `value` by a runtime format pattern (see FormatSettings).
UnicodeString FormatDateTime(UnicodeStringView format, TDateTime value,
                             const FormatSettings& settings = RegionalSettings());
// The short date, followed by a blank and the long time unless the value is
// exactly midnight.
UnicodeString DateTimeToStr(TDateTime value, const FormatSettings& settings = RegionalSettings());
