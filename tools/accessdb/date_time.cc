#include "tools/accessdb/date_time.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace accessdb {
namespace {

// Days since 1970-01-01 in the proleptic Gregorian calendar (H. Hinnant's
// days_from_civil; the standard library offers it only from C++20 on).
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int* year, int* month, int* day) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  *year = static_cast<int>(static_cast<long long>(yoe) + era * 400 + (m <= 2));
  *month = static_cast<int>(m);
  *day = static_cast<int>(d);
}

const long long kAccessEpoch = DaysFromCivil(1899, 12, 30);

int DaysInMonth(int year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

}  // namespace

double ToAccessDays(const CivilDateTime& t) {
  if (t.year < 100 || t.year > 9999 || t.month < 1 || t.month > 12 || t.day < 1 ||
      t.day > DaysInMonth(t.year, t.month) || t.hour < 0 || t.hour > 23 || t.minute < 0 ||
      t.minute > 59 || t.second < 0 || t.second > 59) {
    throw std::invalid_argument("date/time out of range: " + FormatDateTime(t));
  }
  const double day = static_cast<double>(
      DaysFromCivil(t.year, static_cast<unsigned>(t.month), static_cast<unsigned>(t.day)) -
      kAccessEpoch);
  const double time = (t.hour * 3600.0 + t.minute * 60.0 + t.second) / 86400.0;
  return day < 0 ? day - time : day + time;
}

double ParseDateTime(const std::string& text) {
  // Digits at the positions of "YYYY-MM-DDTHH:MM:SS", separators in between,
  // then perhaps "." and one to three digits of milliseconds.
  static const char kShape[] = "dddd-dd-ddTdd:dd:dd.ddd";
  constexpr size_t kSeconds = 19;
  bool ok = text.size() == kSeconds || (text.size() > kSeconds + 1 && text.size() < sizeof(kShape));
  for (size_t i = 0; ok && i < text.size(); ++i) {
    ok = kShape[i] == 'd' ? (text[i] >= '0' && text[i] <= '9') : text[i] == kShape[i];
  }
  if (!ok) {
    throw std::invalid_argument("date/time \"" + text + "\" is not YYYY-MM-DDTHH:MM:SS[.mmm]");
  }
  auto num = [&](size_t pos, size_t len) { return std::stoi(text.substr(pos, len)); };
  CivilDateTime t;
  t.year = num(0, 4);
  t.month = num(5, 2);
  t.day = num(8, 2);
  t.hour = num(11, 2);
  t.minute = num(14, 2);
  t.second = num(17, 2);
  const double days = ToAccessDays(t);
  if (text.size() == kSeconds) return days;
  const std::string digits = text.substr(kSeconds + 1);
  const double milliseconds = std::stoi(digits) * (digits.size() == 1 ? 100 : digits.size() == 2 ? 10 : 1);
  // Before 1899-12-30 the time of day counts away from zero, like the day.
  return days + (days < 0 ? -milliseconds : milliseconds) / 86400000.0;
}

CivilDateTime FromAccessDays(double days) {
  // Undo the sign convention: the integer part is the day, |fraction| the time.
  const double day = std::trunc(days);
  long long seconds = std::llround(std::fabs(days - day) * 86400.0);
  long long whole_day = static_cast<long long>(day);
  if (seconds >= 86400) {  // rounding reached the next calendar day
    seconds -= 86400;
    whole_day += 1;
  }
  CivilDateTime t;
  CivilFromDays(whole_day + kAccessEpoch, &t.year, &t.month, &t.day);
  t.hour = static_cast<int>(seconds / 3600);
  t.minute = static_cast<int>(seconds / 60 % 60);
  t.second = static_cast<int>(seconds % 60);
  return t;
}

std::string EncodeExtendedDateTime(const std::string& text) {
  static const char kShape[] = "dddd-dd-ddTdd:dd:dd";
  const size_t base = sizeof(kShape) - 1;
  bool ok = text.size() >= base && text.size() != base + 1 && text.size() <= base + 8;
  for (size_t i = 0; ok && i < text.size(); ++i) {
    const char want = i < base ? kShape[i] : (i == base ? '.' : 'd');
    ok = want == 'd' ? (text[i] >= '0' && text[i] <= '9') : text[i] == want;
  }
  if (!ok) {
    throw std::invalid_argument("date/time \"" + text + "\" is not YYYY-MM-DDTHH:MM:SS[.fffffff]");
  }
  auto num = [&](size_t pos, size_t len) { return std::stoi(text.substr(pos, len)); };
  const int year = num(0, 4), month = num(5, 2), day = num(8, 2);
  const int hour = num(11, 2), minute = num(14, 2), second = num(17, 2);
  if (year < 1 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || hour > 23 ||
      minute > 59 || second > 59) {
    throw std::invalid_argument("date/time out of range: " + text);
  }
  std::string fraction = text.size() > base ? text.substr(base + 1) : std::string();
  fraction.resize(7, '0');
  const long long days = DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
                         DaysFromCivil(1, 1, 1);
  char buf[48];
  std::snprintf(buf, sizeof buf, "%019lld:%012d%s:7", days, hour * 3600 + minute * 60 + second, fraction.c_str());
  return std::string(buf, 41) + '\0';
}

std::string FormatDateTime(const CivilDateTime& t) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d", t.year, t.month, t.day,
                t.hour, t.minute, t.second);
  return buf;
}

}  // namespace accessdb
