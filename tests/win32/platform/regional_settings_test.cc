// The user's locale read into the runtime's regional settings.
#include "platform/regional_settings_loader.h"
#include "runtime/variant.h"
#include "tests/win32/platform/platform_tests.h"
#include "tests/win32/support/check.h"

void RunEnglishRegionalSettingsTests() {
  check::Case() = "English (United States) locale";
  check::CountCase();
  // The locale gives what the runtime's defaults hold.
  FormatSettings s = PlatformRegionalSettings();
  FormatSettings d;
  CHECK(s.DateSeparator == d.DateSeparator);
  CHECK(s.TimeSeparator == d.TimeSeparator);
  CHECK(s.ShortDateFormat == d.ShortDateFormat);
  CHECK(s.LongDateFormat == d.LongDateFormat);
  CHECK(s.ShortTimeFormat == d.ShortTimeFormat);
  CHECK(s.LongTimeFormat == d.LongTimeFormat);
  CHECK(s.TimeAMString == d.TimeAMString);
  CHECK(s.TimePMString == d.TimePMString);
  CHECK(s.DecimalSeparator == d.DecimalSeparator);
  CHECK(s.ThousandSeparator == d.ThousandSeparator);
  CHECK(s.CurrencyString == d.CurrencyString);
  CHECK(s.ShortMonthNames == d.ShortMonthNames);
  CHECK(s.LongMonthNames == d.LongMonthNames);
  CHECK(s.ShortDayNames == d.ShortDayNames);
  CHECK(s.LongDayNames == d.LongDayNames);
  CHECK_EQ(s.TwoDigitYearCenturyWindow, 50);
}

void RunGermanRegionalSettingsTests() {
  check::Case() = "German locale";
  check::CountCase();
  FormatSettings s = PlatformRegionalSettings();
  CHECK(s.DecimalSeparator == u',');
  CHECK(s.ThousandSeparator == u'.');
  CHECK(s.DateSeparator == u'.');
  // Day, month, year with dots: Windows gives "dd.MM.yyyy", wine 8 "d.M.yyyy".
  CHECK(s.ShortDateFormat == u"dd.MM.yyyy" || s.ShortDateFormat == u"d.M.yyyy");
  // 24-hour clock with leading zero, no designator.
  CHECK(s.ShortTimeFormat == u"hh:mm");
  CHECK(s.LongTimeFormat == u"hh:mm:ss");
  CHECK(s.CurrencyString == u"\u20AC");
  CHECK(s.LongMonthNames[0] == u"Januar");
  CHECK(s.LongDayNames[0] == u"Sonntag");
  CHECK(s.LongDayNames[1] == u"Montag");
  // Loaded once into the process-wide settings; the runtime then formats with them.
  LoadPlatformRegionalSettingsOnce();
  CHECK(RegionalSettings().DecimalSeparator == u',');
  CHECK(Variant(1.5).ToString() == u"1,5");
  RegionalSettings() = FormatSettings{};
  LoadPlatformRegionalSettingsOnce();
  CHECK(RegionalSettings().DecimalSeparator == u'.');
}

