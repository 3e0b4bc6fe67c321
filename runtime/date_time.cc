#include "runtime/date_time.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <string>

#include "runtime/exceptions.h"

namespace {

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int32_t& y, int32_t& m, int32_t& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  d = static_cast<int32_t>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int32_t>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int32_t>(yoe + era * 400 + (m <= 2));
}

constexpr int64_t kDelta1970 = 25569;  // days from 1899-12-30 to 1970-01-01
constexpr int64_t kMsPerDay = 86400000;

int64_t DayNumber(TDateTime value) { return static_cast<int64_t>(std::trunc(value)); }

int64_t TimeMs(TDateTime value) {
  double frac = std::fabs(value - std::trunc(value));
  int64_t ms = static_cast<int64_t>(std::llround(frac * kMsPerDay));
  return ms >= kMsPerDay ? kMsPerDay - 1 : ms;
}

UnicodeString Digits(int64_t v, int width) {
  std::string s = std::to_string(v < 0 ? -v : v);
  while (static_cast<int>(s.size()) < width) s.insert(s.begin(), '0');
  if (v < 0) s.insert(s.begin(), '-');
  return AsciiToUnicode(s);
}

bool StartsWithNoCase(UnicodeStringView s, size_t pos, UnicodeStringView what) {
  if (pos + what.size() > s.size()) return false;
  return SameTextAscii(s.substr(pos, what.size()), what);
}

// True when an AM/PM specifier appears at or after `pos`, outside quotes.
bool TwelveHourClockFollows(UnicodeStringView f, size_t pos) {
  char16_t quote = 0;
  for (size_t i = pos; i < f.size(); ++i) {
    if (quote) {
      if (f[i] == quote) quote = 0;
      continue;
    }
    if (f[i] == u'\'' || f[i] == u'"') {
      quote = f[i];
      continue;
    }
    if (StartsWithNoCase(f, i, u"am/pm") || StartsWithNoCase(f, i, u"a/p") || StartsWithNoCase(f, i, u"ampm"))
      return true;
  }
  return false;
}

void FormatInto(UnicodeString& out, UnicodeStringView f, TDateTime value, const FormatSettings& fs, int depth);

// What the letters of one pattern share while it is written.
struct PatternState {
  UnicodeString& out;
  TDateTime value;
  const FormatSettings& fs;
  int depth;  // patterns within patterns (c, ddddd, t ...) go two levels deep at most
  DateParts date;
  TimeParts time;
  bool lastWasHour = false;  // "m" after an hour means minutes
};

// Writes the AM/PM specifier at f[i]; its length, 0 when there is none.
size_t WriteAmPm(PatternState& s, UnicodeStringView f, size_t i) {
  if (StartsWithNoCase(f, i, u"am/pm") || StartsWithNoCase(f, i, u"ampm")) {
    s.out += s.time.hour < 12 ? s.fs.TimeAMString : s.fs.TimePMString;
    return StartsWithNoCase(f, i, u"am/pm") ? 5 : 4;
  }
  if (StartsWithNoCase(f, i, u"a/p")) {
    s.out.push_back(s.time.hour < 12 ? u'a' : u'p');
    return 3;
  }
  return 0;
}

// Writes the date letters C, D, M and Y (`run` of them, upper-cased `u`);
// the pattern characters used, 0 for any other character.
size_t WriteDateLetters(PatternState& s, char16_t u, size_t run) {
  const bool nest = s.depth < 2;
  switch (u) {
    case u'C':
      if (nest) {
        FormatInto(s.out, s.fs.ShortDateFormat, s.value, s.fs, s.depth + 1);
        if (TimeMs(s.value) != 0) {
          s.out.push_back(u' ');
          FormatInto(s.out, s.fs.LongTimeFormat, s.value, s.fs, s.depth + 1);
        }
      }
      return 1;
    case u'D':
      if (run <= 2) s.out += Digits(s.date.day, static_cast<int>(run));
      else if (run == 3) s.out += s.fs.ShortDayNames[DayOfWeek(s.value) - 1];
      else if (run == 4) s.out += s.fs.LongDayNames[DayOfWeek(s.value) - 1];
      else if (nest) FormatInto(s.out, run == 5 ? s.fs.ShortDateFormat : s.fs.LongDateFormat, s.value, s.fs, s.depth + 1);
      break;
    case u'M':
      if (s.lastWasHour && run <= 2) s.out += Digits(s.time.minute, static_cast<int>(run));
      else if (run <= 2) s.out += Digits(s.date.month, static_cast<int>(run));
      else if (run == 3) s.out += s.fs.ShortMonthNames[s.date.month - 1];
      else s.out += s.fs.LongMonthNames[s.date.month - 1];
      break;
    case u'Y':
      s.out += run <= 2 ? Digits(s.date.year % 100, 2) : Digits(s.date.year, 4);
      break;
    default:
      return 0;
  }
  s.lastWasHour = false;
  return run;
}

// Writes the time letters H, N, S, Z and T at f[i] (`run` of them,
// upper-cased `u`); the pattern characters used, 0 for any other character.
size_t WriteTimeLetters(PatternState& s, UnicodeStringView f, size_t i, char16_t u, size_t run) {
  const int width = run == 1 ? 1 : 2;
  switch (u) {
    case u'H': {
      int h = s.time.hour;
      if (TwelveHourClockFollows(f, i + run)) {
        h %= 12;
        if (h == 0) h = 12;
      }
      s.out += Digits(h, width);
      s.lastWasHour = true;
      return run;
    }
    case u'N': s.out += Digits(s.time.minute, width); break;
    case u'S': s.out += Digits(s.time.second, width); break;
    case u'Z': s.out += Digits(s.time.millisecond, run >= 3 ? 3 : 1); return run;
    case u'T':
      if (s.depth < 2) FormatInto(s.out, run == 1 ? s.fs.ShortTimeFormat : s.fs.LongTimeFormat, s.value, s.fs, s.depth + 1);
      return run;
    default: return 0;
  }
  s.lastWasHour = false;
  return run;
}

void FormatInto(UnicodeString& out, UnicodeStringView f, TDateTime value, const FormatSettings& fs, int depth) {
  PatternState s{out, value, fs, depth, DecodeDate(value), DecodeTime(value)};
  size_t i = 0;
  while (i < f.size()) {
    const char16_t c = f[i];
    const char16_t u = AsciiUpper(c);
    size_t run = 1;
    while (i + run < f.size() && AsciiUpper(f[i + run]) == u) ++run;
    if (c == u'\'' || c == u'"') {
      size_t end = f.find(c, i + 1);
      if (end == UnicodeStringView::npos) end = f.size();
      out.append(f.substr(i + 1, end - i - 1));
      i = end + 1;
      continue;
    }
    size_t used = WriteAmPm(s, f, i);
    if (!used) used = WriteDateLetters(s, u, run);
    if (!used) used = WriteTimeLetters(s, f, i, u, run);
    if (used) {
      i += used;
      continue;
    }
    if (c == u'/') {
      if (fs.DateSeparator) out.push_back(fs.DateSeparator);
    } else if (c == u':') {
      if (fs.TimeSeparator) out.push_back(fs.TimeSeparator);
    } else {
      out.push_back(c);
    }
    ++i;
  }
}


// 0: no override, CurrentYear() reads the clock.
int32_t gCurrentYearOverride = 0;

// Reads the text of ParseDateTimeText from left to right.
class DateTimeTextReader {
 public:
  explicit DateTimeTextReader(UnicodeStringView text) : text_(text) {}

  void SkipBlanks() {
    while (pos_ < text_.size() && text_[pos_] == u' ') ++pos_;
  }
  // Up to nine digits after any blanks; false when there is none.
  bool Number(int64_t& value) {
    SkipBlanks();
    const size_t start = pos_;
    value = 0;
    while (pos_ < text_.size() && text_[pos_] >= u'0' && text_[pos_] <= u'9' && pos_ - start < 9)
      value = value * 10 + (text_[pos_++] - u'0');
    return pos_ > start;
  }
  // Steps over `c` when it comes next.
  bool Take(char16_t c) {
    if (pos_ >= text_.size() || text_[pos_] != c) return false;
    ++pos_;
    return true;
  }
  bool AtEnd() const { return pos_ >= text_.size(); }
  UnicodeStringView Rest() const { return text_.substr(pos_); }
  size_t Position() const { return pos_; }
  void Rewind(size_t pos) { pos_ = pos; }

 private:
  UnicodeStringView text_;
  size_t pos_ = 0;
};

// The order of day, month and year in the short date format, "MDY" when it
// does not name all three.
std::string DateOrder(const FormatSettings& fs) {
  std::string order;
  for (char16_t c : fs.ShortDateFormat) {
    const char u = static_cast<char>(AsciiUpper(c));
    if ((u == 'D' || u == 'M' || u == 'Y') && order.find(u) == std::string::npos) order.push_back(u);
  }
  return order.size() == 3 ? order : "MDY";
}

enum class DateRead { kNone, kDate, kInvalid };

// The date at the reader: two or three numbers joined by the date separator.
// kNone (reader unmoved) when the text does not begin with one.
DateRead ReadDate(DateTimeTextReader& reader, const FormatSettings& fs, TDateTime& date) {
  const size_t start = reader.Position();
  int64_t parts[3] = {0, 0, 0};
  if (!reader.Number(parts[0]) || !reader.Take(fs.DateSeparator)) {
    reader.Rewind(start);
    return DateRead::kNone;
  }
  if (!reader.Number(parts[1])) return DateRead::kInvalid;
  const bool withYear = reader.Take(fs.DateSeparator);
  if (withYear && !reader.Number(parts[2])) return DateRead::kInvalid;

  // Two numbers are month and day in their format order, in the current year.
  int64_t y = withYear ? 0 : CurrentYear(), m = 0, d = 0;
  size_t k = 0;
  for (char o : DateOrder(fs)) {
    if (o == 'Y' && !withYear) continue;
    const int64_t part = parts[k++];
    if (o == 'Y') y = part;
    if (o == 'M') m = part;
    if (o == 'D') d = part;
  }
  if (withYear && y < 100)
    y = PlaceTwoDigitYear(static_cast<int32_t>(y), CurrentYear(), fs.TwoDigitYearCenturyWindow);
  return TryEncodeDate(static_cast<int32_t>(y), static_cast<int32_t>(m), static_cast<int32_t>(d), date)
             ? DateRead::kDate
             : DateRead::kInvalid;
}

// The time at the reader up to the end of the text: hour and minute, an
// optional second, an optional AM or PM designator.
bool ReadTime(DateTimeTextReader& reader, const FormatSettings& fs, TDateTime& time) {
  int64_t h = 0, mi = 0, se = 0;
  if (!reader.Number(h) || !reader.Take(fs.TimeSeparator) || !reader.Number(mi)) return false;
  if (reader.Take(fs.TimeSeparator) && !reader.Number(se)) return false;
  reader.SkipBlanks();
  const UnicodeString designator = UpperCase(reader.Rest());
  if (!designator.empty()) {
    if (designator == UpperCase(fs.TimePMString) || designator == u"PM") {
      if (h < 12) h += 12;
    } else if (designator == UpperCase(fs.TimeAMString) || designator == u"AM") {
      if (h == 12) h = 0;
    } else {
      return false;
    }
  }
  return TryEncodeTime(static_cast<int32_t>(h), static_cast<int32_t>(mi), static_cast<int32_t>(se), 0, time);
}

}  // namespace

bool IsLeapYear(int32_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int32_t DaysInMonth(int32_t year, int32_t month) {
  static const int32_t kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool TryEncodeDate(int32_t year, int32_t month, int32_t day, TDateTime& out) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
    return false;
  out = static_cast<TDateTime>(DaysFromCivil(year, month, day) + kDelta1970);
  return true;
}

TDateTime EncodeDate(int32_t year, int32_t month, int32_t day) {
  TDateTime r;
  if (!TryEncodeDate(year, month, day, r)) throw EConvertError(u"Invalid argument to date encode");
  return r;
}

bool TryEncodeTime(int32_t hour, int32_t minute, int32_t second, int32_t ms, TDateTime& out) {
  if (hour < 0 || minute < 0 || minute > 59 || second < 0 || second > 59 || ms < 0 || ms > 999) return false;
  if (hour > 24 || (hour == 24 && (minute || second || ms))) return false;
  out = (((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + ms) / kMsPerDay;
  return true;
}

TDateTime EncodeTime(int32_t hour, int32_t minute, int32_t second, int32_t ms) {
  TDateTime r;
  if (!TryEncodeTime(hour, minute, second, ms, r)) throw EConvertError(u"Invalid argument to time encode");
  return r;
}

DateParts DecodeDate(TDateTime value) {
  DateParts p;
  CivilFromDays(DayNumber(value) - kDelta1970, p.year, p.month, p.day);
  return p;
}

TimeParts DecodeTime(TDateTime value) {
  int64_t ms = TimeMs(value);
  TimeParts t;
  t.hour = static_cast<int32_t>(ms / 3600000);
  t.minute = static_cast<int32_t>(ms / 60000 % 60);
  t.second = static_cast<int32_t>(ms / 1000 % 60);
  t.millisecond = static_cast<int32_t>(ms % 1000);
  return t;
}

TDateTime CombineDateTime(TDateTime date, TDateTime time) {
  double day = std::trunc(date);
  double frac = std::fabs(time - std::trunc(time));
  return day < 0 ? day - frac : day + frac;
}

int32_t DayOfWeek(TDateTime value) {
  // 1899-12-30 was a Saturday.
  int64_t d = DayNumber(value);
  int64_t w = ((d % 7) + 7 + 6) % 7;  // 0 = Sunday
  return static_cast<int32_t>(w + 1);
}

TDateTime Now() {
  std::time_t t = std::time(nullptr);
  std::tm local{};
#if defined(_WIN32)
  localtime_s(&local, &t);
#else
  localtime_r(&t, &local);
#endif
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                std::chrono::system_clock::now().time_since_epoch())
                .count() %
            1000;
  TDateTime date = EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
  TDateTime time = EncodeTime(local.tm_hour, local.tm_min, local.tm_sec > 59 ? 59 : local.tm_sec,
                              static_cast<int32_t>(ms));
  return CombineDateTime(date, time);
}

int32_t CurrentYear() {
  if (gCurrentYearOverride != 0) return gCurrentYearOverride;
  return DecodeDate(Now()).year;
}

ScopedCurrentYear::ScopedCurrentYear(int32_t year) : saved_(gCurrentYearOverride) { gCurrentYearOverride = year; }

ScopedCurrentYear::~ScopedCurrentYear() { gCurrentYearOverride = saved_; }

int32_t PlaceTwoDigitYear(int32_t year, int32_t currentYear, int32_t window) {
  const int32_t first = currentYear - window;
  int32_t placed = year + first / 100 * 100;
  if (window != 0 && placed < first) placed += 100;
  return placed;
}

bool ParseDateTimeText(UnicodeStringView text, TDateTime& out) {
  const FormatSettings& fs = RegionalSettings();
  const UnicodeString trimmed = Trim(text);
  if (trimmed.empty()) return false;
  DateTimeTextReader reader(trimmed);
  TDateTime date = 0;
  const DateRead dateRead = ReadDate(reader, fs, date);
  if (dateRead == DateRead::kInvalid) return false;
  reader.SkipBlanks();
  TDateTime time = 0;
  if (!reader.AtEnd()) {
    if (!ReadTime(reader, fs, time)) return false;
  } else if (dateRead == DateRead::kNone) {
    return false;
  }
  out = dateRead == DateRead::kDate ? CombineDateTime(date, time) : time;
  return true;
}

UnicodeString FormatDateTime(UnicodeStringView format, TDateTime value, const FormatSettings& settings) {
  UnicodeString out;
  FormatInto(out, format, value, settings, 0);
  return out;
}

UnicodeString DateTimeToStr(TDateTime value, const FormatSettings& settings) {
  return FormatDateTime(u"c", value, settings);
}
