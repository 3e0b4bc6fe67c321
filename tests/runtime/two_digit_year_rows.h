// Two-digit years and where the century window places them: the same rows
// for every reader of dates that applies the window.
#pragma once

#include <cstdint>

#include "runtime/date_time.h"
#include "runtime/regional_settings.h"
#include "runtime/unicode_string.h"

struct TwoDigitYearRow {
  int32_t twoDigits;
  int32_t window;
  int32_t currentYear;
  int32_t year;

  UnicodeString Digits() const { return {char16_t(u'0' + twoDigits / 10), char16_t(u'0' + twoDigits % 10)}; }
};

// The window's hundred years begin `window` years before the current year;
// 0 keeps the current century, a negative window begins after the current year.
inline constexpr TwoDigitYearRow kTwoDigitYearRows[] = {
    {20, 50, 2026, 2020},  {76, 50, 2026, 1976},  {75, 50, 2026, 2075},  {26, 99, 2026, 2026},
    {27, 99, 2026, 1927},  {0, 0, 2026, 2000},    {20, 0, 2026, 2020},   {99, 0, 2026, 2099},
    {20, -10, 2026, 2120}, {36, -10, 2026, 2036}, {35, -10, 2026, 2135}, {5, -1, 2099, 2105},
};

// Calls `check` for every row with the row's window and current year in force.
template <typename Check>
void ForEachTwoDigitYearRow(Check check) {
  for (const TwoDigitYearRow& r : kTwoDigitYearRows) {
    FormatSettings settings;
    settings.TwoDigitYearCenturyWindow = r.window;
    ScopedRegionalSettings scoped(settings);
    ScopedCurrentYear year(r.currentYear);
    check(r);
  }
}
