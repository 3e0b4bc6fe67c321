// The process's regional settings: the values the import engine's formats,
// date parser and the variant's text forms read.
//
// One process-wide instance (RegionalSettings()) with defaults taken from the
// Windows English (United States) settings. Tests change it through
// ScopedRegionalSettings, which restores the previous values when it goes
// out of scope. A platform that has regional settings of its own loads them
// into this instance at start-up (see platform/).
#pragma once

#include <array>
#include <cstdint>

#include "runtime/unicode_string.h"

struct FormatSettings {
  char16_t DateSeparator = u'/';
  char16_t TimeSeparator = u':';
  // Runtime format patterns: d dd ddd dddd, m mm mmm mmmm (minutes after an
  // hour), yy yyyy, h hh, n nn, s ss, z zzz, AMPM / AM/PM, '/' and ':' for the
  // separators, quoted literals.
  UnicodeString ShortDateFormat = u"M/d/yyyy";
  UnicodeString LongDateFormat = u"dddd, MMMM d, yyyy";
  UnicodeString ShortTimeFormat = u"h:mm AMPM";
  UnicodeString LongTimeFormat = u"h:mm:ss AMPM";
  UnicodeString TimeAMString = u"AM";
  UnicodeString TimePMString = u"PM";
  char16_t DecimalSeparator = u'.';
  char16_t ThousandSeparator = u',';
  UnicodeString CurrencyString = u"$";
  std::array<UnicodeString, 12> ShortMonthNames = {u"Jan", u"Feb", u"Mar", u"Apr", u"May", u"Jun",
                                                   u"Jul", u"Aug", u"Sep", u"Oct", u"Nov", u"Dec"};
  std::array<UnicodeString, 12> LongMonthNames = {u"January", u"February", u"March",     u"April",
                                                  u"May",     u"June",     u"July",      u"August",
                                                  u"September", u"October", u"November", u"December"};
  std::array<UnicodeString, 7> ShortDayNames = {u"Sun", u"Mon", u"Tue", u"Wed", u"Thu", u"Fri", u"Sat"};
  std::array<UnicodeString, 7> LongDayNames = {u"Sunday",   u"Monday", u"Tuesday", u"Wednesday",
                                               u"Thursday", u"Friday", u"Saturday"};
  // Two-digit years are placed within the hundred years that begin this many
  // years before the current year (0: the current century; negative: they
  // begin after the current year). See PlaceTwoDigitYear.
  int32_t TwoDigitYearCenturyWindow = 50;
};

// The process-wide settings. Read on the calling thread only.
FormatSettings& RegionalSettings();

// Replaces the process-wide settings for its lifetime (tests).
class ScopedRegionalSettings {
 public:
  explicit ScopedRegionalSettings(const FormatSettings& settings);
  ~ScopedRegionalSettings();
  ScopedRegionalSettings(const ScopedRegionalSettings&) = delete;
  ScopedRegionalSettings& operator=(const ScopedRegionalSettings&) = delete;

 private:
  FormatSettings saved_;
};
