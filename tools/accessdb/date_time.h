// Access date/time values: a double counting days since 1899-12-30, whose
// fraction is the time of day. Before 1899-12-30 the integer part is the
// negative day and the fraction still the positive time of day, so
// 1899-12-29 06:00 is -1.25 (not -0.75). The calendar is the proleptic Gregorian
// one, years 100 to 9999.
#pragma once

#include <string>

namespace accessdb {

struct CivilDateTime {
  int year = 1899, month = 12, day = 30, hour = 0, minute = 0, second = 0;
};

// Throws std::invalid_argument for a field out of range (year 100 to 9999,
// a real day of the month, hour 0-23, minute and second 0-59).
double ToAccessDays(const CivilDateTime& t);

// Parses "YYYY-MM-DDTHH:MM:SS" (exactly this shape; the year has four digits,
// so year 100 is "0100"), optionally followed by "." and one to three digits
// of milliseconds. Throws std::invalid_argument.
double ParseDateTime(const std::string& text);

// The inverse of ToAccessDays, rounded to the nearest second.
CivilDateTime FromAccessDays(double days);
std::string FormatDateTime(const CivilDateTime& t);  // "YYYY-MM-DDTHH:MM:SS"

// A Date/Time Extended cell (Access 2019 and later) from "YYYY-MM-DDTHH:MM:SS"
// with up to seven digits of fraction after a ".", years 1 to 9999: 42 ASCII
// bytes, the days since 0001-01-01 (19 digits), ":", the seconds of the day
// (12 digits) and the 100-nanosecond steps (7 digits), then ":7" and a zero
// byte. Throws std::invalid_argument.
std::string EncodeExtendedDateTime(const std::string& text);

}  // namespace accessdb
