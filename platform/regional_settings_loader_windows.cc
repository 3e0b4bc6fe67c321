#include "platform/regional_settings_loader.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace {

// One locale value as text; `fallback` when the locale has none.
UnicodeString LocaleText(LCTYPE type, const UnicodeString& fallback) {
  wchar_t buffer[256];
  int n = GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buffer, 256);
  if (n <= 1) return fallback;  // n counts the terminating zero
  return UnicodeString(reinterpret_cast<const char16_t*>(buffer), static_cast<size_t>(n - 1));
}

char16_t LocaleChar(LCTYPE type, char16_t fallback) {
  UnicodeString text = LocaleText(type, UnicodeString());
  return text.empty() ? fallback : text[0];
}

// The numeric locale values are single digits ("0", "1").
bool LocaleFlag(LCTYPE type) { return LocaleText(type, u"0") == u"1"; }

}  // namespace

FormatSettings PlatformRegionalSettings() {
  FormatSettings s;  // defaults stand in for anything the locale lacks
  s.CurrencyString = LocaleText(LOCALE_SCURRENCY, s.CurrencyString);
  s.ThousandSeparator = LocaleChar(LOCALE_STHOUSAND, s.ThousandSeparator);
  s.DecimalSeparator = LocaleChar(LOCALE_SDECIMAL, s.DecimalSeparator);
  s.DateSeparator = LocaleChar(LOCALE_SDATE, s.DateSeparator);
  s.TimeSeparator = LocaleChar(LOCALE_STIME, s.TimeSeparator);
  s.ShortDateFormat = LocaleText(LOCALE_SSHORTDATE, s.ShortDateFormat);
  s.LongDateFormat = LocaleText(LOCALE_SLONGDATE, s.LongDateFormat);
  s.TimeAMString = LocaleText(LOCALE_S1159, UnicodeString());
  s.TimePMString = LocaleText(LOCALE_S2359, UnicodeString());
  for (int i = 0; i < 12; ++i) {
    s.ShortMonthNames[i] = LocaleText(LOCALE_SABBREVMONTHNAME1 + i, s.ShortMonthNames[i]);
    s.LongMonthNames[i] = LocaleText(LOCALE_SMONTHNAME1 + i, s.LongMonthNames[i]);
  }
  // The runtime's week starts on Sunday, the locale's on Monday (name 1).
  for (int i = 0; i < 7; ++i) {
    s.ShortDayNames[i] = LocaleText(LOCALE_SABBREVDAYNAME1 + (i + 6) % 7, s.ShortDayNames[i]);
    s.LongDayNames[i] = LocaleText(LOCALE_SDAYNAME1 + (i + 6) % 7, s.LongDayNames[i]);
  }
  // Time formats from the hour style rather than LOCALE_STIMEFORMAT, whose
  // pattern letters ("tt", "H") are not the runtime's.
  UnicodeString hour = LocaleFlag(LOCALE_ITLZERO) ? u"hh" : u"h";
  UnicodeString prefix, suffix;
  if (!LocaleFlag(LOCALE_ITIME)) {  // 12-hour clock
    if (LocaleFlag(LOCALE_ITIMEMARKPOSN)) prefix = u"AMPM ";
    else suffix = u" AMPM";
  }
  s.ShortTimeFormat = prefix + hour + u":mm" + suffix;
  s.LongTimeFormat = prefix + hour + u":mm:ss" + suffix;
  return s;
}

void LoadPlatformRegionalSettingsOnce() {
  static bool loaded = false;
  if (loaded) return;
  RegionalSettings() = PlatformRegionalSettings();
  loaded = true;
}
