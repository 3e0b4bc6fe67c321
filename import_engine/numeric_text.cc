#include "import_engine/numeric_text.h"

#include <charconv>
#include <string>

#include "runtime/regional_settings.h"

namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// The text in plain numeric syntax as ASCII (with "." as the decimal point),
// or an empty string when it is not in that syntax.
std::string PlainNumber(UnicodeStringView text, char16_t decimalSeparator) {
  UnicodeString s(text);
  if (decimalSeparator != u'.') {
    const size_t at = s.find(decimalSeparator);
    if (at != UnicodeString::npos) s[at] = u'.';
  }
  size_t i = 0;
  const size_t n = s.size();
  if (i < n && (s[i] == u'+' || s[i] == u'-')) ++i;
  const size_t digitsStart = i;
  while (i < n && IsDigit(s[i])) ++i;
  if (i == digitsStart) return std::string();
  if (i < n && s[i] == u'.') {
    ++i;
    while (i < n && IsDigit(s[i])) ++i;
  }
  if (i < n && (s[i] == u'e' || s[i] == u'E')) {
    ++i;
    if (i < n && (s[i] == u'+' || s[i] == u'-')) ++i;
    const size_t exponentStart = i;
    while (i < n && IsDigit(s[i])) ++i;
    if (i == exponentStart) return std::string();
  }
  if (i != n) return std::string();
  // Every character checked above is ASCII.
  return std::string(s.begin(), s.end());
}

}  // namespace

bool IsNumericText(UnicodeStringView text, char16_t decimalSeparator) {
  return !PlainNumber(text, decimalSeparator).empty();
}

bool IsNumericText(UnicodeStringView text) { return IsNumericText(text, RegionalSettings().DecimalSeparator); }

bool TryNumericTextToFloat(UnicodeStringView text, char16_t decimalSeparator, double& value) {
  std::string plain = PlainNumber(text, decimalSeparator);
  if (plain.empty()) return false;
  // from_chars reads no leading "+"; it is locale-independent, unlike strtod.
  const char* first = plain.data();
  const char* last = plain.data() + plain.size();
  if (*first == '+') ++first;
  double result = 0;
  const auto [ptr, ec] = std::from_chars(first, last, result);
  // Out of the range of a double (either way) does not fit: no number.
  if (ec != std::errc() || ptr != last) return false;
  value = result;
  return true;
}

bool TryNumericTextToFloat(UnicodeStringView text, double& value) {
  return TryNumericTextToFloat(text, RegionalSettings().DecimalSeparator, value);
}
