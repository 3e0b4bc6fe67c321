#include "import_engine/date_time_parsing.h"

#include <algorithm>
#include <array>

#include "import_engine/t_smi_data_formats.h"
#include "platform/unicode_case.h"
#include "runtime/exceptions.h"
#include "runtime/regional_settings.h"
#include "runtime/str_to_int.h"

namespace {

constexpr std::array<const char16_t*, 12> kShortMonths = {u"JAN", u"FEB", u"MAR", u"APR", u"MAY", u"JUN",
                                                          u"JUL", u"AUG", u"SEP", u"OCT", u"NOV", u"DEC"};
constexpr std::array<const char16_t*, 12> kLongMonths = {u"JANUARY", u"FEBRUARY", u"MARCH",     u"APRIL",
                                                         u"MAY",     u"JUNE",     u"JULY",      u"AUGUST",
                                                         u"SEPTEMBER", u"OCTOBER", u"NOVEMBER", u"DECEMBER"};

// 1-12 for a month name (English or regional, short or long), 0 for none.
int32_t MonthByName(const UnicodeString& part, const FormatSettings& settings) {
  const UnicodeString upper = UnicodeUpperCase(part);
  for (size_t m = 0; m < 12; ++m) {
    if (upper == kShortMonths[m] || upper == kLongMonths[m] || upper == UnicodeUpperCase(settings.ShortMonthNames[m]) ||
        upper == UnicodeUpperCase(settings.LongMonthNames[m])) {
      return static_cast<int32_t>(m + 1);
    }
  }
  return 0;
}

bool TextCarriesPm(UnicodeStringView text, const FormatSettings& settings) {
  if (settings.TimePMString.empty()) {
    return text.find(u"PM") != UnicodeStringView::npos || text.find(u"pm") != UnicodeStringView::npos;
  }
  return UnicodeUpperCase(text).find(UnicodeUpperCase(settings.TimePMString)) != UnicodeString::npos;
}

}  // namespace

TDateTime ParseDateTime(UnicodeStringView text, UnicodeStringView format, char16_t dateSeparator,
                        char16_t timeSeparator) {
  return ParseDateTime(text, format, dateSeparator, timeSeparator, CurrentYear());
}

TDateTime ParseDateTime(UnicodeStringView text, UnicodeStringView format, char16_t dateSeparator,
                        char16_t timeSeparator, int32_t currentYear) {
  const FormatSettings& settings = RegionalSettings();
  UnicodeString t(text);
  UnicodeString f = UnicodeUpperCase(format);
  auto isSeparator = [&](char16_t c) {
    return c == u' ' || c == u'/' || c == u':' || c == dateSeparator || c == timeSeparator;
  };
  const bool pm = TextCarriesPm(t, settings);

  // Align text and picture on their separators: a separator in the text
  // drops the picture letter at its place, then a separator in the picture
  // drops the text character at its place. (A short hour "7:05" thus reads
  // by "H:NN:SS".) Each loop changes only the other string.
  for (size_t i = 0; i < t.size(); ++i) {
    if (isSeparator(t[i]) && i < f.size() && !isSeparator(f[i])) f.erase(i, 1);
  }
  for (size_t j = 0; j < f.size(); ++j) {
    if (isSeparator(f[j]) && j < t.size() && !isSeparator(t[j])) t.erase(j, 1);
  }

  UnicodeString day, month, year, hour, minute, second;
  const size_t n = std::min(t.size(), f.size());
  for (size_t k = 0; k < n; ++k) {
    if (isSeparator(t[k])) continue;
    switch (f[k]) {
      case u'D': day.push_back(t[k]); break;
      case u'H': hour.push_back(t[k]); break;
      case u'M': month.push_back(t[k]); break;
      case u'N': minute.push_back(t[k]); break;
      case u'S': second.push_back(t[k]); break;
      case u'Y': year.push_back(t[k]); break;
      default: break;
    }
  }

  TDateTime result = 0;
  bool haveDate = false;
  if (!day.empty() && !month.empty() && !year.empty()) {
    const int32_t d = StrToInt(day);
    int32_t y = StrToInt(year);
    const int32_t m = month.size() < 3 ? StrToInt(month) : MonthByName(month, settings);
    if (d >= 1 && d <= 31 && m >= 1 && m <= 12) {
      if (y < 100) y = PlaceTwoDigitYear(y, currentYear, settings.TwoDigitYearCenturyWindow);
      result = EncodeDate(y, m, d);
      haveDate = true;
    }
  }

  if (!hour.empty() && !minute.empty()) {
    int32_t h = StrToInt(hour);
    const int32_t mi = StrToInt(minute);
    const int32_t s = second.empty() ? 0 : StrToInt(second);
    if (pm && h < 12) h += 12;
    if (h >= 0 && h <= 24 && mi >= 0 && mi <= 59 && s >= 0 && s <= 59) {
      // The hour 24 passes the range check but fails the whole conversion,
      // like an impossible date (the runtime's EncodeTime would take
      // 24:00:00 as the end of the day).
      if (h == 24) throw EConvertError(u"Invalid argument to time encode");
      const TDateTime time = EncodeTime(h, mi, s, 0);
      // CombineDateTime keeps the time of day right for dates before 1899-12-30,
      // where a plain sum would move backwards within the day.
      result = haveDate ? CombineDateTime(result, time) : time;
    }
  }
  return result;
}

UnicodeString BuildTimeFormat(const TSMIDataFormats& formats, bool withT) {
  UnicodeString separator;
  if (formats.TimeSeparator() != 0) separator.push_back(formats.TimeSeparator());
  UnicodeString result = withT ? u"T" : u"";
  result += u"HH" + separator + u"NN" + separator + u"SS";
  return result;
}

UnicodeString BuildDateFormat(const TSMIDataFormats& formats, TTableTypeImport tableType) {
  if (!formats.CustomDateTimeFormat().empty()) return UnicodeUpperCase(formats.CustomDateTimeFormat());
  const UnicodeString mm = u"MM", dd = u"DD", yy = formats.FourDigitYear() ? u"YYYY" : u"YY";
  std::array<UnicodeString, 3> parts;
  switch (formats.DateOrder()) {
    case doMDY: parts = {mm, dd, yy}; break;
    case doDMY: parts = {dd, mm, yy}; break;
    case doYMD: parts = {yy, mm, dd}; break;
    case doYDM: parts = {yy, dd, mm}; break;
    case doDYM: parts = {dd, yy, mm}; break;
    case doMYD: parts = {mm, yy, dd}; break;
  }
  UnicodeString separator;
  if (formats.DateSeparator() != 0) separator.push_back(formats.DateSeparator());
  return parts[0] + separator + parts[1] + separator + parts[2] + u" " +
         BuildTimeFormat(formats, tableType == teXML);
}

UnicodeString DateDigits(UnicodeStringView text, const TSMIDataFormats& formats) {
  UnicodeString result;
  result.reserve(text.size());
  for (char16_t c : text) {
    if (c == u'/' || c == u':' || c == formats.DateSeparator() || c == formats.TimeSeparator()) continue;
    result.push_back(c);
  }
  return Trim(result);
}
